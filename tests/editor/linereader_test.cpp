#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "editor/textrecords.h"

namespace {

std::vector<std::string> AllLines(textrecords::TLineReader& reader) {
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.Next(line))
    lines.emplace_back(line);
  return lines;
}

// Files are read in chunks; whatever the chunk size, the lines are those of
// the whole text, also when a CR LF or a long line straddles two chunks.
TEST(LineReader, ChunkBoundariesDoNotChangeTheLines) {
  const std::string texts[] = {
      "a\r\nbb\nccc\rdddd\r\n\r\neeeee",
      "\xEF\xBB\xBF:00000001FF\r\n",
      "\r\r\n\n\r",
      std::string(300, 'x') + "\r\n" + std::string(5, 'y'),
      "only",
      "",
  };
  const std::vector<std::vector<std::string>> expected = {
      {"a", "bb", "ccc", "dddd", "", "eeeee"}, {":00000001FF"}, {"", "", "", ""},
      {std::string(300, 'x'), "yyyyy"},        {"only"},        {},
  };
  for (size_t t = 0; t < std::size(texts); ++t) {
    textrecords::TLineReader whole(texts[t]);
    EXPECT_EQ(AllLines(whole), expected[t]) << t;
    for (size_t chunk : {1, 2, 3, 7, 64, 4096}) {
      std::istringstream in(texts[t]);
      textrecords::TLineReader reader(in, chunk);
      EXPECT_EQ(AllLines(reader), expected[t]) << t << ", chunk " << chunk;
      ASSERT_TRUE(reader.Rewind());
      EXPECT_EQ(AllLines(reader), expected[t]) << t << ", chunk " << chunk << ", second pass";
    }
  }
}

} // namespace
