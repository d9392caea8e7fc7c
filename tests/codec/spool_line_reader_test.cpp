#include "codec/spool_line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_directory.h"

namespace lp {
namespace {

struct Piece {
  std::string text;
  bool starts_line;
  bool continues;
  bool operator==(const Piece&) const = default;
};

std::vector<Piece> ReadAll(const std::string& bytes) {
  testing::TempDirectory dir(true);
  testing::WriteFileBytes(dir.File("spool"), bytes);
  SpoolLineReader reader;
  EXPECT_TRUE(reader.Open("spool"));
  std::vector<Piece> pieces;
  SpoolLine line;
  while (reader.ReadSpoolLine(line)) pieces.push_back({line.text, line.starts_line, line.continues});
  return pieces;
}

TEST(SpoolLineReader, SplitsLinesAndLongLines) {
  const std::string x4095(4095, 'x');
  const struct {
    const char* name;
    std::string bytes;
    std::vector<Piece> expected;
  } cases[] = {
      {"CR LF and LF", "a\r\nb\nc", {{"a", true, false}, {"b", true, false}, {"c", true, false}}},
      {"empty lines", "\r\n\n", {{"", true, false}, {"", true, false}}},
      {"last line without break keeps no CR", "end\r", {{"end", true, false}}},
      {"lone CR stays", "a\rb\r\n", {{"a\rb", true, false}}},
      {"5000 bytes", std::string(5000, 'x') + "\r\n",
       {{x4095, true, true}, {std::string(905, 'x'), false, false}}},
      {"exactly the limit, CR LF", x4095 + "\r\nnext\r\n", {{x4095, true, false}, {"next", true, false}}},
      {"exactly the limit, LF", x4095 + "\nnext", {{x4095, true, false}, {"next", true, false}}},
      {"CR LF split by the limit", std::string(4094, 'x') + "\r\nnext",
       {{std::string(4094, 'x'), true, false}, {"next", true, false}}},
      {"limit at the end of the file", x4095, {{x4095, true, false}}},
      {"NUL bytes", std::string("a\0b\n", 4), {{std::string("a\0b", 3), true, false}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadAll(c.bytes), c.expected);
  }
}

TEST(SpoolLineReader, ReadsAcrossItsBlocks) {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += "line " + std::to_string(i) + "\r\n";
  const std::vector<Piece> pieces = ReadAll(bytes);
  ASSERT_EQ(pieces.size(), 100000u);
  EXPECT_EQ(pieces[54321].text, "line 54321");
}

TEST(SpoolLineReader, MissingFileOrDirectoryDoesNotOpen) {
  testing::TempDirectory dir(true);
  SpoolLineReader reader;
  EXPECT_FALSE(reader.Open("missing"));
  EXPECT_FALSE(reader.Open("."));
}

TEST(RemoveDotStuffing, DropsOneLeadingDot) {
  const std::pair<std::string, std::string> cases[] = {{"..x", ".x"}, {"..", "."}, {"x.", "x."}, {"", ""}};
  for (const auto& [input, expected] : cases) {
    std::string line = input;
    RemoveDotStuffing(line);
    EXPECT_EQ(line, expected) << input;
  }
}

}  // namespace
}  // namespace lp
