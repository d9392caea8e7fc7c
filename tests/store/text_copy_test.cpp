#include "store/text_copy.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

constexpr std::size_t kWindow = 1 << 20;  // the reader's window

struct LineCase {
  std::string name;
  std::string input;
  std::uint64_t start;
  std::uint64_t end;
  std::string expected;
};

std::string CopyLinesOf(const testing::TempDirectory& dir, const LineCase& c) {
  WriteFileBytes(dir.File("in.mb"), c.input);
  WriteFileBytes(dir.File("out.mb"), "");
  COrvexFile in(dir.File("in.mb"), File::Mode::Read);
  COrvexFile out(dir.File("out.mb"), File::Mode::Append);
  BufferedTextReader reader(in);
  BufferedTextWriter writer(out, 0);
  reader.CopyLines(c.start, c.end, writer);
  writer.Flush();
  out.Close();
  EXPECT_EQ(writer.Position(), ReadFileBytes(dir.File("out.mb")).size()) << c.name;
  return ReadFileBytes(dir.File("out.mb"));
}

TEST(TextCopy, LinesAreCopiedWholeWithCrLfEndings) {
  const std::string window_line(kWindow - 1, 'x');
  const std::string huge_line(3 * kWindow + 17, 'y');
  const std::vector<LineCase> cases = {
      {"block", "a\r\nb\r\n.\r\n", 0, 9, "a\r\nb\r\n.\r\n"},
      {"stops at the end", "a\r\nb\r\nc\r\n", 0, 3, "a\r\n"},
      {"one line at least", "a\r\nb\r\nc\r\n", 3, 3, "b\r\n"},
      {"end inside a line", "a\r\nbcd\r\nc\r\n", 0, 4, "a\r\nbcd\r\n"},
      {"bare line feeds", "a\nb\n\n.\n", 0, 7, "a\r\nb\r\n\r\n.\r\n"},
      {"last line without LF", "abc", 0, 99, "abc\r\n"},
      {"last line ending in CR", "abc\r", 0, 99, "abc\r\n"},
      {"start at the end of the file", "abc\r\n", 5, 5, ""},
      {"CR LF across the window edge", window_line + "\r\nz\r\n", 0, kWindow + 4, window_line + "\r\nz\r\n"},
      {"lone CR at the window edge", window_line + "\ry\r\n", 0, kWindow + 3, window_line + "\ry\r\n"},
      {"LF right after the window", window_line + "x\nq\r\n", 0, kWindow + 4, window_line + "x\r\nq\r\n"},
      {"line longer than the window", huge_line + "\r\n.\r\n", 0, huge_line.size() + 5, huge_line + "\r\n.\r\n"},
  };
  testing::TempDirectory dir;
  for (const LineCase& c : cases) EXPECT_EQ(CopyLinesOf(dir, c), c.expected) << c.name;
}

TEST(TextCopy, BytesStopAtTheEndOfTheFileAndSeeksMayGoBack) {
  testing::TempDirectory dir;
  std::string input;
  for (std::size_t i = 0; i < 2 * kWindow + 1000; ++i) input += static_cast<char>('0' + i % 10);
  WriteFileBytes(dir.File("in.mb"), input);
  WriteFileBytes(dir.File("out.mb"), "");
  COrvexFile in(dir.File("in.mb"), File::Mode::Read);
  COrvexFile out(dir.File("out.mb"), File::Mode::Append);
  BufferedTextReader reader(in);
  BufferedTextWriter writer(out, 0);
  const std::vector<std::pair<std::uint64_t, std::uint64_t>> pieces = {
      {10, 5}, {2, 3}, {kWindow - 2, 6}, {5, 1}, {input.size() - 4, 100}};
  std::string expected;
  for (const auto& [start, count] : pieces) {
    reader.Seek(start);
    const std::uint64_t copied = reader.CopyBytes(count, writer);
    EXPECT_EQ(copied, std::min<std::uint64_t>(count, input.size() - start));
    expected += input.substr(start, count);
  }
  writer.Flush();
  EXPECT_EQ(ReadFileBytes(dir.File("out.mb")), expected);
}

}  // namespace
}  // namespace lp
