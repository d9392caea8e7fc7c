#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The serialised-object layout shared by the mailbox index, the key file and
// the text-export settings (little-endian throughout):
//   count    16-bit N; from 0xFFFF items on the word 0xFFFF and a 32-bit N
//   item 1   class header: 0xFFFF, 16-bit schema, 16-bit name length, name
//   item 2.. the tag 0x8001 (a reference to the class of item 1)
//   then each item's own fields.
// Strings carry a 1-byte length (< 255), 0xFF + 16-bit length (< 0xFFFE) or
// 0xFF 0xFFFF + 32-bit length, and no terminator.

namespace lp {

struct ArchiveClass {
  std::string_view name;
  std::uint16_t schema = 1;
};

class ObjectArchiveWriter {
 public:
  // Appends to `out`. The caller may flush and clear `out` between items;
  // the writer remembers whether the class header has been written.
  ObjectArchiveWriter(std::string& out, ArchiveClass archive_class);

  void WriteCount(std::uint32_t count);
  // The class header before the first item, the class tag before later ones.
  void BeginItem();
  void WriteByte(std::uint8_t value);
  void WriteWord(std::uint16_t value);
  void WriteDword(std::uint32_t value);
  void WriteString(std::string_view bytes);

 private:
  std::string& out_;
  ArchiveClass class_;
  bool class_written_ = false;
};

enum class ArchiveError {
  None,
  Truncated,       // the data ends inside a field
  ForeignClass,    // the class header names another class
  ForeignSchema,   // the right class with another schema
  BadTag,          // neither the class header nor the class tag
  BadString,       // a string longer than the rest of the data, or the 0xFFFE marker
  BadCount,        // more items than the rest of the data could hold
  TrailingBytes,   // data after the last item
};

// The user-facing reason (Shift_JIS) for an archive error.
[[nodiscard]] const char* ArchiveErrorText(ArchiveError error);

// Reads the layout above from memory and never past its end. The first
// failure sticks: every later read returns zero or an empty string, so a
// caller may read a whole item and check ok() once.
class ObjectArchiveReader {
 public:
  ObjectArchiveReader(std::string_view data, ArchiveClass archive_class);

  // The item count. `min_item_size` is the fewest bytes one item (with its
  // tag) can take; a count the remaining data cannot hold fails here, before
  // anyone allocates for it.
  [[nodiscard]] std::uint32_t ReadCount(std::size_t min_item_size);
  // Checks the class header (first item) or the class tag (later items).
  bool BeginItem();
  [[nodiscard]] std::uint8_t ReadByte();
  [[nodiscard]] std::uint16_t ReadWord();
  [[nodiscard]] std::uint32_t ReadDword();
  // Replaces `out` with the next string; false on failure.
  bool ReadString(std::string& out);
  // Fails with TrailingBytes unless all data has been read.
  bool ExpectEnd();

  [[nodiscard]] bool ok() const { return error_ == ArchiveError::None; }
  [[nodiscard]] ArchiveError error() const { return error_; }
  // Offset at which the first failure was found.
  [[nodiscard]] std::size_t error_offset() const { return error_offset_; }
  [[nodiscard]] std::size_t remaining() const { return data_.size() - position_; }
  [[nodiscard]] std::size_t position() const { return position_; }

 private:
  bool Fail(ArchiveError error);
  bool Need(std::size_t bytes);

  std::string_view data_;
  ArchiveClass class_;
  std::size_t position_ = 0;
  bool class_read_ = false;
  ArchiveError error_ = ArchiveError::None;
  std::size_t error_offset_ = 0;
};

}  // namespace lp
