#include "store/object_archive.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace lp {
namespace {

constexpr ArchiveClass kNote{"CNote", 1};

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(ObjectArchiveWriter, CountUsesTheEscapeFromFFFFOn) {
  struct Case {
    std::uint32_t count;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {0, Bytes({0x00, 0x00})},
      {0xFFFE, Bytes({0xFE, 0xFF})},
      {0xFFFF, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
      {0x12345678, Bytes({0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12})},
  };
  for (const Case& c : cases) {
    std::string out;
    ObjectArchiveWriter writer(out, kNote);
    writer.WriteCount(c.count);
    EXPECT_EQ(out, c.bytes) << c.count;
  }
}

TEST(ObjectArchiveWriter, StringLengthPrefixes) {
  struct Case {
    std::size_t length;
    std::string prefix;
  };
  const std::vector<Case> cases = {
      {0, Bytes({0x00})},
      {254, Bytes({0xFE})},
      {255, Bytes({0xFF, 0xFF, 0x00})},
      {0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},
      {0xFFFE, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
      {0x10000, Bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00})},
  };
  for (const Case& c : cases) {
    const std::string text(c.length, 'x');
    std::string out;
    ObjectArchiveWriter writer(out, kNote);
    writer.WriteString(text);
    EXPECT_EQ(out, c.prefix + text) << c.length;
    ObjectArchiveReader reader(out, kNote);
    std::string back = "old";
    EXPECT_TRUE(reader.ReadString(back));
    EXPECT_EQ(back, text);
    EXPECT_TRUE(reader.ExpectEnd());
  }
}

TEST(ObjectArchiveWriter, ClassHeaderBeforeFirstItemTagBeforeLater) {
  std::string out;
  ObjectArchiveWriter writer(out, {"CMail", 1});
  writer.WriteCount(2);
  writer.BeginItem();
  writer.WriteWord(0x1234);
  writer.BeginItem();
  writer.WriteDword(0xA1B2C3D4);
  EXPECT_EQ(out, Bytes({0x02, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00}) + "CMail" +
                     Bytes({0x34, 0x12, 0x01, 0x80, 0xD4, 0xC3, 0xB2, 0xA1}));
}

// Reads the layout of a "CNote" archive whose items are one string each.
ArchiveError ParseNotes(const std::string& data, std::vector<std::string>* notes = nullptr) {
  ObjectArchiveReader reader(data, kNote);
  const std::uint32_t count = reader.ReadCount(3);
  for (std::uint32_t i = 0; i < count && reader.ok(); ++i) {
    std::string text;
    if (reader.BeginItem() && reader.ReadString(text) && notes) notes->push_back(text);
  }
  reader.ExpectEnd();
  return reader.error();
}

const std::string kHeader = Bytes({0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00}) + "CNote";

TEST(ObjectArchiveReader, ReadsItemsBack) {
  std::vector<std::string> notes;
  EXPECT_EQ(ParseNotes(Bytes({2, 0}) + kHeader + Bytes({2}) + "ab" + Bytes({0x01, 0x80, 0}), &notes),
            ArchiveError::None);
  EXPECT_EQ(notes, (std::vector<std::string>{"ab", ""}));
}

TEST(ObjectArchiveReader, RejectsDamagedData) {
  struct Case {
    const char* what;
    std::string data;
    ArchiveError error;
  };
  const std::vector<Case> cases = {
      {"count cut", Bytes({0x01}), ArchiveError::Truncated},
      {"32-bit count cut", Bytes({0xFF, 0xFF, 0x01}), ArchiveError::Truncated},
      {"header cut", Bytes({1, 0, 0xFF, 0xFF, 0x01}), ArchiveError::Truncated},
      {"class name cut", Bytes({1, 0, 0xFF, 0xFF, 1, 0, 5, 0}) + "CNo", ArchiveError::Truncated},
      {"foreign class", Bytes({1, 0, 0xFF, 0xFF, 1, 0, 5, 0}) + "CMail" + Bytes({0}),
       ArchiveError::ForeignClass},
      {"schema 2", Bytes({1, 0, 0xFF, 0xFF, 2, 0, 5, 0}) + "CNote" + Bytes({0}),
       ArchiveError::ForeignSchema},
      {"tag before any class", Bytes({1, 0, 0x01, 0x80, 0, 0, 0}), ArchiveError::BadTag},
      {"null item", Bytes({2, 0}) + kHeader + Bytes({0, 0, 0, 0}), ArchiveError::BadTag},
      {"second class header", Bytes({2, 0}) + kHeader + Bytes({0}) + kHeader + Bytes({0}),
       ArchiveError::BadTag},
      {"string beyond the end", Bytes({1, 0}) + kHeader + Bytes({0xFF, 0x10, 0x00}) + "abc",
       ArchiveError::BadString},
      {"huge string length", Bytes({1, 0}) + kHeader + Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
       ArchiveError::BadString},
      {"wide-string marker", Bytes({1, 0}) + kHeader + Bytes({0xFF, 0xFE, 0xFF, 0x00}),
       ArchiveError::BadString},
      {"count beyond the data", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + kHeader + Bytes({0}),
       ArchiveError::BadCount},
      {"second item missing", Bytes({2, 0}) + kHeader + Bytes({0}), ArchiveError::Truncated},
      {"trailing bytes", Bytes({1, 0}) + kHeader + Bytes({0, 0}), ArchiveError::TrailingBytes},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseNotes(c.data), c.error) << c.what;
    EXPECT_NE(std::string(ArchiveErrorText(c.error)), "") << c.what;
  }
}

TEST(ObjectArchiveReader, FirstFailureSticks) {
  const std::string data = Bytes({0x01});
  ObjectArchiveReader reader(data, kNote);
  EXPECT_EQ(reader.ReadWord(), 0);
  EXPECT_EQ(reader.error(), ArchiveError::Truncated);
  std::string text = "x";
  EXPECT_FALSE(reader.ReadString(text));
  EXPECT_EQ(text, "");
  EXPECT_EQ(reader.ReadDword(), 0u);
  EXPECT_EQ(reader.error_offset(), 0u);
}

}  // namespace
}  // namespace lp
