#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editor/delphifmt.h"

namespace {

struct TFormatCase {
  const char* Fmt;
  std::string Expected;
  std::string Actual;
};

TEST(DelphiFormat, DirectivesAsTheProgramUsesThem) {
  const TFormatCase cases[] = {
      {"%2.2x", "0A", Format("%2.2x", {10})},
      {"%2.2x of 255", "FF", Format("%2.2x", {255})},
      {"%x of a negative int", "FFFFFFFF", Format("%x", {-1})},
      {"%x of a negative int64", "FFFFFFFFFFFFFFFF", Format("%x", {-1LL})},
      {"%8.8x", "0000BEEF", Format("%8.8x", {0xBEEF})},
      {"%6.6x", "012345", Format("%6.6x", {0x12345})},
      {"%8.8d", "00001234", Format("%8.8d", {1234})},
      {"%5.3d negative", " -007", Format("%5.3d", {-7})},
      {"%-5d", "42   ", Format("%-5d", {42})},
      {"%u of a negative int", "4294967295", Format("%u", {-1})},
      {"%u of uint64", "18446744073709551615",
       Format("%u", {std::numeric_limits<unsigned long long>::max()})},
      {"%d of int64 min", "-9223372036854775808",
       Format("%d", {std::numeric_limits<long long>::min()})},
      {"%s", "ab", Format("%s", {"ab"})},
      {"%.2s truncates", "ab", Format("%.2s", {"abcdef"})},
      {"%6s pads", "    ab", Format("%6s", {"ab"})},
      {"%f two decimals by default", "1.00", Format("%f", {1.0})},
      {"%1.2f", "3.14", Format("%1.2f", {3.14159})},
      {"%.0f half to even (down)", "2", Format("%.0f", {2.5})},
      {"%.0f half to even (up)", "4", Format("%.0f", {3.5})},
      {"%.2f exact tie", "0.12", Format("%.2f", {0.125})},
      {"%f tiny negative", "0.00", Format("%f", {-0.001})},
      {"%f NaN", "NAN", Format("%f", {std::nan("")})},
      {"%f -inf", "-INF", Format("%f", {-std::numeric_limits<double>::infinity()})},
      {"%n", "1,234,567.89", Format("%n", {1234567.891})},
      {"%.*n", "-1,000", Format("%.*n", {0, -1000.0})},
      {"%n small", "999.50", Format("%n", {999.5})},
      {"%g simple", "0.1", Format("%g", {0.1})},
      {"%g integer", "1234", Format("%g", {1234.0})},
      {"%g large", "1E20", Format("%g", {1e20})},
      {"%g 15 digits stay fixed", "100000000000000", Format("%g", {1e14})},
      {"%g small", "1.5E-6", Format("%g", {1.5e-6})},
      {"%g 0.00001 stays fixed", "0.00001", Format("%g", {0.00001})},
      {"%g rounds to 15 digits", "0.3", Format("%g", {0.1 + 0.2})},
      {"%g zero", "0", Format("%g", {0.0})},
      {"%e", "1.50000000000000E+003", Format("%e", {1500.0})},
      {"*%.*x width and precision", "  00FF", Format("%*.*x", {6, 4, 255})},
      {"index", "b a", Format("%1:s %0:s", {"a", "b"})},
      {"literal percent", "100%", Format("%d%%", {100})},
      {"lower-case type letter", "0A", Format("%2.2X", {10})},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Actual, c.Expected) << c.Fmt;
}

TEST(DelphiFormat, MismatchedArgumentsThrow) {
  EXPECT_THROW(Format("%d", {"text"}), TFormatError);
  EXPECT_THROW(Format("%s", {1}), TFormatError);
  EXPECT_THROW(Format("%f", {1}), TFormatError);
  EXPECT_THROW(Format("%d %d", {1}), TFormatError);
  EXPECT_THROW(Format("%q", {1}), TFormatError);
  EXPECT_THROW(Format("%", {}), TFormatError);
  EXPECT_THROW(Format("%*d", {-1, 5}), TFormatError);
}

TEST(DelphiFormat, RoundHalfEven) {
  struct {
    double In;
    int64_t Out;
  } const cases[] = {{0.5, 0},
                     {1.5, 2},
                     {2.5, 2},
                     {-2.5, -2},
                     {-3.5, -4},
                     {2.4999, 2},
                     {1e18, 1000000000000000000}};
  for (const auto& c : cases) {
    int64_t r = 0;
    ASSERT_TRUE(RoundHalfEven(c.In, r)) << c.In;
    EXPECT_EQ(r, c.Out) << c.In;
  }
  int64_t r;
  EXPECT_FALSE(RoundHalfEven(9223372036854775808.0, r));
  EXPECT_FALSE(RoundHalfEven(std::nan(""), r));
  EXPECT_FALSE(RoundHalfEven(std::numeric_limits<double>::infinity(), r));
}

} // namespace
