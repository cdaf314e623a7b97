#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "gcode/numbers/arithmetic_fault.h"
#include "gcode/numbers/number_text.h"
#include "gcode/numbers/parse_field_number.h"
#include "gcode/numbers/ring_count.h"
#include "gcode/numbers/round3.h"
#include "gcode/shapes/pocket_fill.h"
#include "tests/support/raised.h"

namespace quorrel {
namespace {

using testing::Raised;

TEST(Round3, RoundsTheExactBinaryValueHalvesToEven) {
  const struct {
    double input;
    double expected;
  } rows[] = {
      {0.0625, 0.062},       {0.1875, 0.188},   {-0.0625, -0.062}, {2.0005, 2.001},
      {0.0005, 0.001},       {1.0005, 1.0},     {0.0004, 0.0},     {12.3456, 12.346},
      {4.4955000877, 4.496}, {-0.0015, -0.002}, {1e300, 1e300},    {123456789.1235, 123456789.124},
      {2.5e-7, 0.0},         {-2.5e-7, -0.0},
  };
  for (const auto& row : rows) EXPECT_EQ(Round3(row.input), row.expected) << row.input;
}

TEST(FormatCoord, WritesMachineCoordinates) {
  const struct {
    double input;
    const char* expected;
  } rows[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {0.0004, "0"},
      {-0.0004, "0"},
      {0.0625, ".062"},
      {12.3456, "12.346"},
      {-7.1, "-7.1"},
      {100.0, "100"},
      {-0.5, "-.5"},
      {10.0, "10"},
      {-5.0, "-5"},
      {2.5, "2.5"},
      {0.5, ".5"},
      {-0.25, "-.25"},
      {3.14159, "3.142"},
      {-4.5, "-4.5"},
      {0.25, ".25"},
      {0.001, ".001"},
      {-0.0015, "-.002"},
      {1000000.0, "1000000"},
      {123456789012.3456, "123456789012.346"},
      {1234567890123.456, "1234567890123.46"},  // 15 significant digits at most
      {99999999999999.99, "100000000000000"},
      {999999999999999.9, "1000000000000000"},
      {1e15, "1000000000000000"},
      {-2.5e20, "-250000000000000000000"},
  };
  for (const auto& row : rows) EXPECT_EQ(FormatCoord(row.input), row.expected) << row.input;
}

// A length made in tenths of the unit it is written in: the point one place left, and back.
TEST(MovePoint, KeepsFormatCoordsForm) {
  const struct {
    const char* tenths;
    const char* written;
  } rows[] = {
      {"8.125", ".8125"},   {"12.5", "1.25"},  {"125", "12.5"}, {"120", "12"},
      {"100", "10"},        {"5", ".5"},       {"-5", "-.5"},   {".5", ".05"},
      {"-.25", "-.025"},    {".001", ".0001"}, {"0", "0"},      {"10.5", "1.05"},
      {"-1.875", "-.1875"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MovePointLeft(row.tenths), row.written) << row.tenths;
    EXPECT_EQ(MovePointRight(row.written), row.tenths) << row.written;
  }
}

TEST(FormatCoord, KeepsSevenDigitsForA32BitValueOnItsOwn) {
  const struct {
    float input;
    const char* expected;
  } rows[] = {
      {-2.0F, "-2"},
      {0.1F, ".1"},
      {-1.25F, "-1.25"},
      {-0.2F, "-.2"},
      {12345.678F, "12345.68"},
      {-1234.5678F, "-1234.568"},
      {123456789.0F, "123456800"},
      {0.0F, "0"},
      {FLT_MAX, "340282346638528859811704183484516925440"},
  };
  for (const auto& row : rows) EXPECT_EQ(FormatCoord(row.input), row.expected) << row.input;
}

TEST(FormatCoord, NeverWritesAnExponentOrABlank) {
  for (double value = 1e-4; value < 1e15; value *= 7.3) {
    for (double signedValue : {value, -value}) {
      const std::string text = FormatCoord(signedValue);
      EXPECT_EQ(text.find_first_of("eE +"), std::string::npos) << signedValue;
    }
  }
}

// The decimal rounding of the exact binary value, the slow and obviously right way.
std::string FixedThousandths(double x) {
  char text[400];
  return std::string(text,
                     std::to_chars(text, text + sizeof text, x, std::chars_format::fixed, 3).ptr);
}

// FixedThousandths as a coordinate: no "0" before the point, no trailing zeros, no "-0".
std::string ExpectedCoord(double x) {
  std::string text = FixedThousandths(x);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  if (text == "0" || text == "-0") return "0";
  const std::size_t zero = text[0] == '-' ? 1 : 0;
  if (text.compare(zero, 2, "0.") == 0) text.erase(zero, 1);
  return text;
}

TEST(Round3, AgreesWithTheDecimalRoundingEverywhere) {
  std::mt19937_64 random(3);
  std::uniform_int_distribution<std::int64_t> thousandths(-2'000'000'000'000'000,
                                                          2'000'000'000'000'000);
  std::uniform_real_distribution<double> exponent(-8, 16);
  for (int i = 0; i < 200000; ++i) {
    // Exact halves, their neighbours, and values spread over every magnitude.
    const double half = (static_cast<double>(thousandths(random) % 100'000'000'000) + 0.5) / 1000;
    const double spread = std::pow(10.0, exponent(random)) * (random() % 2 ? 1 : -1);
    for (double x : {half, std::nextafter(half, 0.0), std::nextafter(half, 1e300), spread}) {
      double expected = 0;
      const std::string text = FixedThousandths(x);
      std::from_chars(text.data(), text.data() + text.size(), expected);
      ASSERT_EQ(Round3(x), expected) << text;
      ASSERT_EQ(std::signbit(Round3(x)), std::signbit(expected)) << text;
      if (std::fabs(x) < 1e12) {
        ASSERT_EQ(FormatCoord(x), ExpectedCoord(x)) << text;
      }
      if (std::fabs(x) < 1e4) {
        const auto single = static_cast<float>(x);
        ASSERT_EQ(FormatCoord(single), ExpectedCoord(single)) << text;
      }
    }
  }
}

TEST(FormatNumberPlain, WritesTheOrdinaryTextWithTheGivenSeparator) {
  const struct {
    double input;
    const char* separator;
    const char* expected;
  } rows[] = {
      {2.0, ".", "2"},
      {0.5, ".", "0.5"},
      {0.5, ",", "0,5"},
      {-0.25, ".", "-0.25"},
      {2.25, ",", "2,25"},
      {0.0, ",", "0"},
      {-0.0, ".", "0"},
      {1234.567, ",", "1234,567"},
      {0.001, ".", "0.001"},
      {2.5, "\xd9\xab",
       "2\xd9\xab"
       "5"},  // a separator of more than one byte
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatNumberPlain(row.input, row.separator), row.expected) << row.input;
  }
}

TEST(RingCount, RoundsHalvesToEven) {
  const struct {
    double input;
    int expected;
  } rows[] = {
      {2.5, 2},         {3.5, 4},           {-0.5, 0},          {0.5, 0},         {1.5, 2},
      {-1.5, -2},       {2.6666, 3},        {0.4999999, 0},     {-2.5, -2},       {32767.0, 32767},
      {32767.4, 32767}, {-32768.0, -32768}, {-32768.5, -32768}, {9.99999984, 10},
  };
  for (const auto& row : rows) EXPECT_EQ(RingCount(row.input), row.expected) << row.input;
}

TEST(RingCount, RaisesOverflowOutsideSixteenBits) {
  for (double input : {40000.0, 32767.5, 32768.0, -32768.51, -32769.0, 33333.3, 1e300}) {
    SCOPED_TRACE(input);
    if (auto fault = Raised<ArithmeticFault>([&] { RingCount(input); })) {
      EXPECT_EQ(fault->kind(), FaultKind::RingCountOverflow);
    }
  }
}

// Job parameters round the Tool Radius to thousandths, so the loop's step always moves the
// offset; a step finer than that must end the loop with a fault, never repeat a ring for ever.
TEST(CutRingsOutward, EndsOnAStepTooSmallToMoveTheOffset) {
  int rings = 0;
  if (auto fault = Raised<ArithmeticFault>(
          [&] { CutRingsOutward(Float32(1.0F), Float64(0.0003), [&](Float32) { ++rings; }); })) {
    EXPECT_EQ(fault->kind(), FaultKind::RingStepTooSmall);
  }
  EXPECT_EQ(rings, 1);
  CutRingsOutward(Float32(0.5F), StepOver(Float32(0.25F)), [&](Float32) { ++rings; });
  EXPECT_EQ(rings, 4);  // 0.5, 0.125, then the wall at 0
}

TEST(ParseFieldNumber, ReadsTheNumberAtTheStartOfTheText) {
  const struct {
    const char* text;
    double expected;
  } rows[] = {
      {"10", 10},
      {" 10", 10},
      {"10mm", 10},
      {"1 0", 10},
      {"", 0},
      {"-", 0},
      {"x", 0},
      {".5", 0.5},
      {"2,5", 2},
      {"1 000", 1000},
      {"\t\n 7", 7},
      {"-2", -2},
      {"+3.25", 3.25},
      {"1e3", 1000},
      {"1E3", 1000},
      {"1D3", 1000},
      {"2.5d-1", 0.25},
      {"1e", 1},
      {"1e+", 1},
      {"- 5", -5},
      {"1.2.3", 1.2},
      {"&HFF", 255},
      {"&hff", 255},
      {"&O17", 15},
      {"&o777", 511},
      {"&H", 0},
      {"&", 0},
      {"&O8", 0},
      {"&HFFFFFFFF", 4294967295.0},
      {"&H1F G", 31},
      {"abc", 0},
      {"0.1", 0.1},
      {"1e-400", 0},
      {"00012.50", 12.5},
      {"\r5", 0},
      {"12345678901234567890", 12345678901234567890.0},
      {"1.7976931348623157e308", 1.7976931348623157e308},
      {"0.000000000000000000000000000001e30", 1},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ParseFieldNumber(row.text), row.expected) << '"' << row.text << '"';
  }
}

TEST(ParseFieldNumber, RaisesOverflowBeyondThe64BitRange) {
  const std::string megabyteOfDigits(1 << 20, '9');
  for (const std::string& text :
       {std::string("1e400"), std::string("-1e400"), std::string("1.8e308"),
        std::string("1e99999999999999999999"), megabyteOfDigits, "&H" + std::string(300, 'F'),
        "&O" + std::string(400, '7')}) {
    SCOPED_TRACE(text.substr(0, 40));
    if (auto fault = Raised<ArithmeticFault>([&] { ParseFieldNumber(text); })) {
      EXPECT_EQ(fault->kind(), FaultKind::Overflow);
    }
  }
}

TEST(ParseFieldNumber, ReadsVeryLongTextsThatStayInRange) {
  EXPECT_EQ(ParseFieldNumber("0." + std::string(1 << 20, '0') + "1"), 0.0);
  EXPECT_EQ(ParseFieldNumber(std::string(1 << 20, ' ') + "4"), 4.0);
  EXPECT_EQ(ParseFieldNumber("1." + std::string(1 << 20, '0') + "1"), 1.0);
}

}  // namespace
}  // namespace quorrel
