// The plan kept as its file's bytes: what it holds read as elements, the
// bytes of the file worked out by hand, and the plans no compile makes
// (other forms, other orders) kept just as faithfully.
#include "compiler/piano_tracciato.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace scenario {
namespace {

constexpr elemento_tracciato intero(double v) { return {tipo_elemento::intero, v}; }
constexpr elemento_tracciato doppio(double v) { return {tipo_elemento::doppio, v}; }

std::vector<uint8_t> byte_di(const piano_tracciato& p) {
  return {p.byte().begin(), p.byte().end()};
}

// A double as its tag and its eight bytes, little-endian.
std::vector<uint8_t> elemento_doppio(std::vector<uint8_t> otto) {
  otto.insert(otto.begin(), {5, 0});
  return otto;
}

std::vector<uint8_t> unisci(const std::vector<std::vector<uint8_t>>& parti) {
  std::vector<uint8_t> tutto;
  for (const auto& p : parti) tutto.insert(tutto.end(), p.begin(), p.end());
  return tutto;
}

TEST(PianoTracciato, PointsNotSetStayEmptyAndTheHalvesJoin) {
  piano_tracciato p;
  p.prepara(5);
  p.posa(intero(0), intero(0));
  p.posa(intero(0), intero(1));
  p.posa(doppio(1.5), doppio(2.5));
  EXPECT_EQ(p[0][3], elemento_tracciato{});
  EXPECT_THROW((void)p.byte(), std::logic_error);
  p.completa();
  const std::vector<uint8_t> uno_e_mezzo = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
  const std::vector<uint8_t> due_e_mezzo = {0, 0, 0, 0, 0, 0, 0x04, 0x40};
  EXPECT_EQ(byte_di(p), unisci({{2, 0, 0, 0, 2, 0, 0, 0},
                                elemento_doppio(uno_e_mezzo),
                                {0, 0, 0, 0},
                                {2, 0, 0, 0, 2, 0, 1, 0},
                                elemento_doppio(due_e_mezzo),
                                {0, 0, 0, 0}}));
  EXPECT_EQ(p[1][1], intero(1));
  EXPECT_EQ(p[0][2], doppio(1.5));
  EXPECT_EQ(p[1][4], elemento_tracciato{});
  EXPECT_EQ(p.memoria(), p.byte().size());
}

// Doubles where the compile puts integers and empty points: the first half
// outgrows the room a compile's plan needs, and the second moves on.
TEST(PianoTracciato, APlanUnlikeTheCompilesKeepsEveryElement) {
  piano_tracciato p;
  p.prepara(4);
  const std::vector<elemento_tracciato> x = {doppio(2.0), doppio(2.0), doppio(2.0), doppio(2.0)};
  const std::vector<elemento_tracciato> y = {intero(1), intero(2), {}, doppio(4.0)};
  for (std::size_t n = 0; n < 4; ++n) p.posa(x[n], y[n]);
  p.completa();
  const std::vector<uint8_t> due = {0, 0, 0, 0, 0, 0, 0, 0x40};
  const std::vector<uint8_t> quattro = {0, 0, 0, 0, 0, 0, 0x10, 0x40};
  EXPECT_EQ(byte_di(p), unisci({elemento_doppio(due),
                                elemento_doppio(due),
                                elemento_doppio(due),
                                elemento_doppio(due),
                                {2, 0, 1, 0, 2, 0, 2, 0, 0, 0},
                                elemento_doppio(quattro)}));
  for (std::size_t n = 0; n < 4; ++n) {
    EXPECT_EQ(p[0][n], x[n]) << n;
    EXPECT_EQ(p[1][n], y[n]) << n;
  }
}

TEST(PianoTracciato, AFilesBytesReadBackAreThePlan) {
  piano_tracciato p;
  p.prepara(6);
  p.posa(intero(0), intero(0));
  p.posa(intero(-5), intero(1));
  p.posa(doppio(-0.0), doppio(1e300));
  p.completa();
  const piano_tracciato letto = piano_tracciato::dai_byte(p.byte());
  EXPECT_EQ(letto, p);
  EXPECT_TRUE(letto.completo());
  EXPECT_EQ(letto.punti(), 6U);
  std::vector<elemento_tracciato> elementi;
  for (const auto& meta : letto) {
    for (const auto& e : meta) elementi.push_back(e);
  }
  ASSERT_EQ(elementi.size(), 12U);
  EXPECT_EQ(elementi[1], intero(-5));
  EXPECT_EQ(elementi[8], doppio(1e300));
  EXPECT_EQ(elementi[11], elemento_tracciato{});
}

TEST(PianoTracciato, BytesThatAreNoPlanAreRefused) {
  const std::vector<std::vector<uint8_t>> guasti = {
      {3, 0, 0, 0},              // a tag no form has
      {2, 0, 0, 0, 0, 0, 0, 0},  // three elements
      {5, 0, 1, 2, 3},           // a double cut short
  };
  for (const auto& byte : guasti) {
    EXPECT_THROW(piano_tracciato::dai_byte(byte), std::invalid_argument) << byte.size();
  }
}

TEST(PianoTracciato, NoPointPastTheLast) {
  piano_tracciato p;
  p.prepara(3);
  EXPECT_THROW(p.apri_doppi(4), std::out_of_range);
  p.posa(intero(0), intero(0));
  p.posa(intero(0), intero(1));
  p.posa(doppio(1), doppio(2));
  EXPECT_THROW(p.posa(doppio(1), doppio(2)), std::out_of_range);
  EXPECT_THROW((void)p[0][3], std::out_of_range);
}

// A plan that only counts its points takes no memory and has nothing to read.
TEST(PianoTracciato, APlanThatOnlyCountsKeepsNothing) {
  piano_tracciato p;
  p.conserva_byte(false);
  p.prepara(1'000);
  p.posa(intero(0), intero(0));
  p.posa(intero(0), intero(1));
  EXPECT_EQ(p.apri_doppi(900).x, nullptr);
  EXPECT_EQ(p.posati(), 902U);
  EXPECT_THROW(p.apri_doppi(99), std::out_of_range);
  p.completa();
  EXPECT_TRUE(p.completo());
  EXPECT_EQ(p.punti(), 1'000U);
  EXPECT_EQ(p.memoria(), 0U);
  EXPECT_THROW((void)p.byte(), std::logic_error);
  EXPECT_THROW((void)p[0][0], std::logic_error);
}

// A plan prepared again, smaller, lives in the memory of the larger one, and
// is the same plan as one prepared in new memory.
TEST(PianoTracciato, PreparedAgainItKeepsItsMemory) {
  piano_tracciato grande;
  grande.prepara(1'000);
  grande.posa(intero(0), intero(0));
  grande.posa(intero(0), intero(1));
  const piano_tracciato::spazio_doppi spazio = grande.apri_doppi(900);
  for (std::size_t k = 0; k < 900; ++k) {
    piano_tracciato::scrivi_doppio(spazio.x + 10 * k, 7.0);
    piano_tracciato::scrivi_doppio(spazio.y + 10 * k, 8.0);
  }
  grande.completa();
  const std::size_t memoria = grande.memoria();
  const uint8_t* dove = grande.byte().data();

  piano_tracciato nuovo;
  for (piano_tracciato* p : {&grande, &nuovo}) {
    p->prepara(10);
    p->posa(intero(0), intero(0));
    p->posa(intero(0), intero(1));
    p->completa();
  }
  EXPECT_EQ(grande, nuovo);
  EXPECT_EQ(grande.memoria(), memoria);
  EXPECT_EQ(grande.byte().data(), dove);
  EXPECT_EQ(byte_di(grande), byte_di(nuovo));
}

}  // namespace
}  // namespace scenario
