#include "net/mime_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/mime_encoding.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::WriteFileBytes;

const std::string kNihongo = "\x93\xFA\x96\x7B\x8C\xEA";      // 日本語
const std::string kNihongoJis = "\x1B$BF|K\\8l\x1B(B";
const std::string kHalfGa = "\xB6\xDE";                        // ｶﾞ (half-width)
const std::string kGaJis = "\x1B$B%,\x1B(B";                   // ガ

std::string RemoveLineBreaks(const std::string& text) {
  std::string result;
  for (const char c : text) {
    if (c != '\r' && c != '\n') result += c;
  }
  return result;
}

class MimeWriterTest : public ::testing::Test {
 protected:
  // Runs `write` on a fresh file and returns what it holds.
  template <typename Write>
  std::string Written(Write&& write) {
    File file;
    EXPECT_TRUE(file.Open(FromNativePath(dir_.File("out")), File::Mode::Write));
    BufferedFileWriter out;
    out.Adopt(std::move(file), 0);
    write(out);
    EXPECT_TRUE(out.Close());
    return ReadFileBytes(dir_.File("out"));
  }

  testing::TempDirectory dir_;
  RecordingUserInterface ui_;
};

TEST_F(MimeWriterTest, ConvertedLines) {
  struct Case {
    std::string text;
    DotStuffing stuffing;
    std::string written;
  };
  const std::vector<Case> cases = {
      {"a\r\nb\r\n", DotStuffing::On, "a\r\nb\r\n"},
      {"a\r\nrest", DotStuffing::On, "a\r\nrest"},
      {".\r\n.x\r\nx.\r\n", DotStuffing::On, "..\r\n..x\r\nx.\r\n"},
      {".\r\n.x", DotStuffing::Off, ".\r\n.x"},
      {".", DotStuffing::On, ".."},
      {"\r\n\r\n", DotStuffing::On, "\r\n\r\n"},
      {"a\n.\rb", DotStuffing::On, "a\r\n..\r\nb"},
      {"a\r\r\nb", DotStuffing::Off, "a\r\n\r\nb"},
      {kNihongo + "\r\n" + kNihongo + "x", DotStuffing::On, kNihongoJis + "\r\n" + kNihongoJis + "x"},
      {"." + kNihongo + "\r\n", DotStuffing::On, ".." + kNihongoJis + "\r\n"},
      {kHalfGa + "\r\n", DotStuffing::On, kGaJis + "\r\n"},
      {"", DotStuffing::On, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Written([&](BufferedFileWriter& out) { WriteConvertedLines(c.text, c.stuffing, out); }), c.written)
        << c.text;
  }
}

TEST_F(MimeWriterTest, LongLinesAreNeitherFoldedNorCut) {
  const std::string line(5000, 'a');
  EXPECT_EQ(Written([&](BufferedFileWriter& out) { WriteConvertedLines(line + "\r\n", DotStuffing::On, out); }),
            line + "\r\n");
}

TEST_F(MimeWriterTest, PlainLinesKeepShiftJisAndGuardTheDotLine) {
  struct Case {
    std::string text;
    std::string written;
  };
  const std::vector<Case> cases = {
      {kNihongo + kHalfGa + "\r\n", kNihongo + kHalfGa + "\r\n"},
      {".\r\n", ". \r\n"},
      {".", ". "},
      {"a\n.\nb", "a\r\n. \r\nb"},
      {".x\r\n..\r\n. \r\n", ".x\r\n..\r\n. \r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Written([&](BufferedFileWriter& out) { WritePlainLines(c.text, out); }), c.written) << c.text;
  }
}

TEST(MakeBoundaryTest, PrefixAndFifteenDigits) {
  for (const std::string& boundary : {MakeBoundary(), MakeBoundary(1), MakeBoundary(2)}) {
    ASSERT_EQ(boundary.size(), 30u) << boundary;
    EXPECT_TRUE(boundary.starts_with("======Boundary=")) << boundary;
    EXPECT_EQ(boundary.find_first_not_of("0123456789", 15), std::string::npos) << boundary;
  }
  EXPECT_EQ(MakeBoundary(7), MakeBoundary(7));
  EXPECT_NE(MakeBoundary(7), MakeBoundary(8));
}

TEST_F(MimeWriterTest, Base64LinesOfFiftySevenBytes) {
  struct Case {
    std::size_t size;
    std::size_t full_lines;   // of 76 characters
    std::size_t last_length;  // the last group's line, empty when the size is a multiple of 57
  };
  const std::vector<Case> cases = {
      {0, 0, 0}, {1, 0, 4}, {57, 1, 0}, {58, 1, 4}, {130, 2, 24}, {57 * 288, 288, 0}, {57 * 600 + 5, 600, 8},
  };
  for (const Case& c : cases) {
    std::string data;
    for (std::size_t i = 0; i < c.size; ++i) data += static_cast<char>(i * 31 + i / 256);
    WriteFileBytes(dir_.File("in"), data);
    const std::string written = Written([&](BufferedFileWriter& out) {
      EXPECT_EQ(WriteBase64Attachment(FromNativePath(dir_.File("in")), out, ui_), AttachmentWrite::Written);
    });
    std::vector<std::size_t> lengths;
    for (std::size_t at = 0; at < written.size();) {
      const std::size_t end = written.find("\r\n", at);
      ASSERT_NE(end, std::string::npos);
      lengths.push_back(end - at);
      at = end + 2;
    }
    std::vector<std::size_t> expected(c.full_lines, 76);
    expected.push_back(c.last_length);
    EXPECT_EQ(lengths, expected) << c.size;
    EXPECT_EQ(Base64DecodeBytes(RemoveLineBreaks(written)), data) << c.size;
  }
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MimeWriterTest, Base64OfKnownBytes) {
  WriteFileBytes(dir_.File("in"), "abc" + std::string(54, 'z') + "ab");
  EXPECT_EQ(Written([&](BufferedFileWriter& out) {
              EXPECT_EQ(WriteBase64Attachment(FromNativePath(dir_.File("in")), out, ui_), AttachmentWrite::Written);
            }),
            "YWJjenp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6enp6\r\nYWI=\r\n");
}

TEST_F(MimeWriterTest, UnreadableAttachmentWritesNothing) {
  ASSERT_TRUE(MakeDirectory(FromNativePath(dir_.File("folder"))));
  for (const char* name : {"missing", "folder"}) {
    EXPECT_EQ(Written([&](BufferedFileWriter& out) {
                EXPECT_EQ(WriteBase64Attachment(FromNativePath(dir_.File(name)), out, ui_),
                          AttachmentWrite::Unreadable);
              }),
              "")
        << name;
  }
  // "添付ファイルが開けません", once per attempt.
  const std::string text = "\x93\x59\x95\x74\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x8A\x4A\x82\xAF\x82\xDC\x82\xB9\x82\xF1";
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{text, text}));
}

}  // namespace
}  // namespace lp
