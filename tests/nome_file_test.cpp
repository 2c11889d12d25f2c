#include "base/nome_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scenario {
namespace {

TEST(NomeFile, WhatThePlatformCannotHoldIsToldWithItsReason) {
  const std::string proibito = ", which Windows does not allow in a file name";
  const std::string dispositivo = "is a name Windows keeps for a device";
  const std::string fine = "ends with a blank or a dot, which Windows drops from a file name";
  struct caso {
    std::string nome;
    std::string motivo;
  };
  for (const caso& c : std::vector<caso>{
           {"", "is empty"},
           {".", "starts with a dot, which hides the file or leads out of the folder"},
           {"..", "starts with a dot, which hides the file or leads out of the folder"},
           {".hidden", "starts with a dot, which hides the file or leads out of the folder"},
           {"a<b", "holds '<'" + proibito},
           {"a>b", "holds '>'" + proibito},
           {"a:b", "holds ':'" + proibito},
           {"a\"b", "holds '\"'" + proibito},
           {"a/b", "holds '/'" + proibito},
           {"a\\b", "holds '\\'" + proibito},
           {"a|b", "holds '|'" + proibito},
           {"a?b", "holds '?'" + proibito},
           {"a*b", "holds '*'" + proibito},
           {"a\tb", "holds the control character 0x09" + proibito},
           {std::string("a\0b", 3), "holds the control character 0x00" + proibito},
           {"a\x1F", "holds the control character 0x1F" + proibito},
           {"a\x7F", "holds the control character 0x7F" + proibito},
           {"a ", fine},
           {"a.", fine},
           {"CON", dispositivo},
           {"con", dispositivo},
           {"Prn.txt", dispositivo},
           {"aux.tar.gz", dispositivo},
           {"NUL .dat", dispositivo},
           {"COM0", dispositivo},
           {"com9", dispositivo},
           {"COM\xB9", dispositivo},  // a superscript one in Windows-1252
           {"LPT1.sim", dispositivo},
           {"lpt\xB3", dispositivo},
           {std::string(256, 'n'),
            "is 256 bytes long in UTF-8, more than the 255 a file name may have"},
           // 128 a-graves: 128 bytes here, 256 in UTF-8.
           {std::string(128, '\xE0'),
            "is 256 bytes long in UTF-8, more than the 255 a file name may have"},
       }) {
    SCOPED_TRACE(c.nome);
    EXPECT_EQ(motivo_nome_non_valido(c.nome), c.motivo);
    EXPECT_FALSE(nome_file_valido(c.nome));
  }
}

TEST(NomeFile, OrdinaryNamesPass) {
  for (const std::string& nome :
       {std::string("Ulmo_Tarvignano_Rovesco_4816.sim"), std::string("a.b"), std::string("x y"),
        std::string("CONSOLE"), std::string("COM10"), std::string("LPT"), std::string("NULL.txt"),
        std::string("Citt\xE0 \x80"), std::string(255, 'n'), std::string(127, '\xE0') + "n"}) {
    SCOPED_TRACE(nome);
    EXPECT_EQ(motivo_nome_non_valido(nome), std::nullopt);
    EXPECT_TRUE(nome_file_valido(nome));
  }
}

}  // namespace
}  // namespace scenario
