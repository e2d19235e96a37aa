#include "world/format.h"

#include <gtest/gtest.h>

#include <clocale>

namespace murinex {
namespace {

TEST(FormatTest, IntegersRightAligned) {
  EXPECT_EQ(FormatInt(42, 6), "    42");
  EXPECT_EQ(FormatInt(-7, 4), "  -7");
  EXPECT_EQ(FormatInt(1234567, 4), "1234567");  // wider than the field: written whole
  EXPECT_EQ(FormatInt(0), "0");
}

TEST(FormatTest, FixedPointAsPrintfWritesIt) {
  EXPECT_EQ(FormatFixed(0.25, 0, 5), "0.25000");
  EXPECT_EQ(FormatFixed(1.5, 7, 3), "  1.500");
  EXPECT_EQ(FormatFixed(4000.0, 0, 5), "4000.00000");
  EXPECT_EQ(FormatFixed(-2.5, 8, 4), " -2.5000");
  EXPECT_EQ(FormatFixed(123456.789, 4, 2), "123456.79");
}

TEST(FormatTest, TiesFollowTheExactBinaryValue) {
  EXPECT_EQ(FormatFixed(0.125, 0, 2), "0.12");  // exactly representable: half to even
  EXPECT_EQ(FormatFixed(0.375, 0, 2), "0.38");
  EXPECT_EQ(FormatFixed(2.5, 0, 0), "2");
  EXPECT_EQ(FormatFixed(0.3, 0, 20), "0.29999999999999998890");
}

TEST(FormatTest, NegativeZero) {
  EXPECT_EQ(FormatFixed(-0.0, 7, 3), "  0.000");
  EXPECT_EQ(FormatFixed(-0.0001, 7, 3), " -0.000");  // rounds to zero, keeps its sign
}

TEST(FormatTest, GeneralAndExponent) {
  EXPECT_EQ(FormatGeneral(99.0), "99");
  EXPECT_EQ(FormatGeneral(0.1), "0.1");
  EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FormatGeneral(-0.0), "0");
  EXPECT_EQ(FormatExponent(1e18, 5), "1.00000e+18");
  EXPECT_EQ(FormatExponent(-2.5e20, 5), "-2.50000e+20");
}

TEST(FormatTest, PointWhateverTheLocale) {
  const char* before = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = before ? before : "C";
  // A locale with a decimal comma, if this machine has one; the result must not change.
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "de_DE")) {
    EXPECT_EQ(FormatFixed(1.5, 0, 2), "1.50");
    EXPECT_EQ(FormatGeneral(0.5), "0.5");
  }
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(FormatFixed(1.5, 0, 2), "1.50");
}

TEST(FormatTest, PadLeft) {
  EXPECT_EQ(PadLeft("FriEns:", 10), "   FriEns:");
  EXPECT_EQ(PadLeft("Protocol:", 10), " Protocol:");
  EXPECT_EQ(PadLeft("toolongtext", 4), "toolongtext");
}

}  // namespace
}  // namespace murinex
