// One fuzz input compiled from memory, and the properties every compile must
// keep whatever its texts hold. The fuzz target and the regression test both
// run inputs through here.
//
// Input layout: byte 0 holds options (bit 0: no plan, j = 0; bit 1: the line
// text is missing; bit 2: the train text is missing); the line text follows,
// up to the first NUL byte; the train text is everything after that NUL. An
// input without a NUL has an empty train text.
#pragma once

#include <string>
#include <string_view>

namespace prova {

struct input_compilazione {
  bool tracciato = true;
  bool linea_presente = true;
  bool treno_presente = true;
  std::string linea;
  std::string treno;
};

input_compilazione dividi_input(std::string_view dati);

// The bytes of an input: the inverse of dividi_input (a line text holding a
// NUL cannot be written).
std::string componi_input(const input_compilazione& input);

// Compiles the input and checks every property; returns a description of the
// first that fails, or an empty text when all hold.
std::string verifica_compilazione(std::string_view dati);

}  // namespace prova
