#include "codec/buffered_file_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_directory.h"

namespace lp {
namespace {

TEST(BufferedFileWriter, WritesEverythingAndKeepsThePosition) {
  testing::TempDirectory dir;
  testing::WriteFileBytes(dir.File("text.mb"), "old");
  BufferedFileWriter writer;
  ASSERT_TRUE(writer.OpenAppend(dir.File("text.mb")));
  EXPECT_EQ(writer.Position(), 3U);
  writer.Write("new\r\n");
  writer.AppendWith([](std::string& out) { out += std::string(BufferedFileWriter::kBlockBytes, 'x'); });
  EXPECT_EQ(writer.Position(), 8U + BufferedFileWriter::kBlockBytes);
  EXPECT_TRUE(writer.Close());
  EXPECT_FALSE(writer.Failed());
  EXPECT_EQ(testing::ReadFileBytes(dir.File("text.mb")), "oldnew\r\n" + std::string(BufferedFileWriter::kBlockBytes, 'x'));
}

// /dev/full takes the opening and fails every write with ENOSPC, as a full
// disk does; a small write shows the failure only when it is flushed.
TEST(BufferedFileWriter, AFullDiskIsReportedByFlushAndClose) {
  struct Case {
    const char* what;
    std::size_t bytes;
  };
  for (const Case& c : {Case{"a write smaller than a block fails at the close", 10},
                        Case{"a block fails when it is written", BufferedFileWriter::kBlockBytes}}) {
    File file;
    ASSERT_TRUE(file.Open("/dev/full", File::Mode::Write));
    BufferedFileWriter writer;
    writer.Adopt(std::move(file), 0);
    writer.Write(std::string(c.bytes, 'a'));
    if (c.bytes >= BufferedFileWriter::kBlockBytes) {
      EXPECT_TRUE(writer.Failed()) << c.what;
    }
    EXPECT_FALSE(writer.Close()) << c.what;
    EXPECT_TRUE(writer.Failed()) << c.what;
    EXPECT_EQ(writer.ErrorText(), "No space left on device") << c.what;
    EXPECT_EQ(writer.WrittenPosition(), 0U) << c.what;
  }
}

}  // namespace
}  // namespace lp
