#include <gtest/gtest.h>

#include <limits>

#include "shell/strtoint.h"

namespace {

TEST(ParseInteger, DecimalHexSignsBlanksAndLimits) {
  struct TCase {
    const char* Text;
    TIntParse Result;
    std::int64_t Value;
  };
  const std::int64_t min = std::numeric_limits<std::int64_t>::min();
  const std::int64_t max = std::numeric_limits<std::int64_t>::max();
  const TCase cases[] = {
      {"12", TIntParse::Ok, 12},
      {"  -7\t", TIntParse::Ok, -7},
      {"+3", TIntParse::Ok, 3},
      {"$A2", TIntParse::Ok, 0xA2},
      {"0xff", TIntParse::Ok, 255},
      {"-$10", TIntParse::Ok, -16},
      {"$FFFFFFFFFFFFFFFF", TIntParse::Ok, -1}, // hexadecimal takes all 64 bits
      {"9223372036854775807", TIntParse::Ok, max},
      {"-9223372036854775808", TIntParse::Ok, min},
      {"9223372036854775808", TIntParse::OutOfRange, 0},
      {"$10000000000000000", TIntParse::OutOfRange, 0},
      {"", TIntParse::NotInteger, 0},
      {"   ", TIntParse::NotInteger, 0},
      {"$", TIntParse::NotInteger, 0},
      {"-", TIntParse::NotInteger, 0},
      {"12a", TIntParse::NotInteger, 0},
      {"1 2", TIntParse::NotInteger, 0},
      {"$G", TIntParse::NotInteger, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    std::int64_t value = 0;
    EXPECT_EQ(ParseInteger(c.Text, value), c.Result);
    if (c.Result == TIntParse::Ok) {
      EXPECT_EQ(value, c.Value);
    }
  }
}

} // namespace
