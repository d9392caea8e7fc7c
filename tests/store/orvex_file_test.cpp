#include "store/orvex_file.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "store/store_messages.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

// Runs `action` and returns the text of the COrvexFileException it throws.
template <typename Action>
std::string ThrownText(Action action) {
  try {
    action();
  } catch (const COrvexFileException& e) {
    EXPECT_EQ(e.Text(), std::string(e.what()));
    EXPECT_EQ(e.Text(), e.Message() + ":" + e.Path());
    return e.Text();
  }
  return "(nothing thrown)";
}

TEST(COrvexFile, WritesReadsAndSeeks) {
  testing::TempDirectory dir(true);
  COrvexFile out("work.bin", File::Mode::Write);
  out.Write("0123456789");
  EXPECT_EQ(out.Position(), 10u);
  out.Close();

  COrvexFile in("work.bin", File::Mode::Read);
  EXPECT_EQ(in.Length(), 10u);
  in.Seek(4);
  char buffer[16] = {};
  EXPECT_EQ(in.Read(buffer, sizeof buffer), 6u);
  EXPECT_EQ(std::string(buffer, 6), "456789");
  EXPECT_EQ(in.Read(buffer, sizeof buffer), 0u);
  in.Close();
}

TEST(COrvexFile, FailuresThrowTheMessageAndThePath) {
  testing::TempDirectory dir(true);
  testing::WriteFileBytes(dir.File("data.bin"), "abc");
  const std::string missing = "missing/none.bin";
  struct Case {
    const char* what;
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"open", ThrownText([&] { COrvexFile file(missing, File::Mode::Read); }),
       std::string(store_messages::kFileOpenFailed) + ":" + missing},
      {"seek", ThrownText([] {
         COrvexFile file("data.bin", File::Mode::Read);
         file.Seek(UINT64_MAX);
       }),
       std::string(store_messages::kFileSeekFailed) + ":data.bin"},
      {"read", ThrownText([] {
         COrvexFile file("data.bin", File::Mode::Append);
         char byte = 0;
         (void)file.Read(&byte, 1);
       }),
       std::string(store_messages::kFileReadFailed) + ":data.bin"},
      {"write", ThrownText([] {
         COrvexFile file("data.bin", File::Mode::Read);
         file.Write("x");
       }),
       std::string(store_messages::kFileWriteFailed) + ":data.bin"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, c.expected) << c.what;
  EXPECT_EQ(testing::ReadFileBytes(dir.File("data.bin")), "abc");
}

}  // namespace
}  // namespace lp
