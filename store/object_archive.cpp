#include "store/object_archive.h"

#include <algorithm>

#include "store/store_messages.h"

namespace lp {
namespace {

constexpr std::uint16_t kCountEscape = 0xFFFF;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
// Reference to the first (and only) class of the archive.
constexpr std::uint16_t kClassTag = 0x8001;
constexpr std::uint8_t kLongStringByte = 0xFF;
constexpr std::uint16_t kWideStringMarker = 0xFFFE;
constexpr std::uint16_t kHugeStringWord = 0xFFFF;

}  // namespace

ObjectArchiveWriter::ObjectArchiveWriter(std::string& out, ArchiveClass archive_class)
    : out_(out), class_(archive_class) {}

void ObjectArchiveWriter::WriteCount(std::uint32_t count) {
  if (count < kCountEscape) {
    WriteWord(static_cast<std::uint16_t>(count));
  } else {
    WriteWord(kCountEscape);
    WriteDword(count);
  }
}

void ObjectArchiveWriter::BeginItem() {
  if (class_written_) {
    WriteWord(kClassTag);
    return;
  }
  WriteWord(kNewClassTag);
  WriteWord(class_.schema);
  WriteWord(static_cast<std::uint16_t>(class_.name.size()));
  out_.append(class_.name);
  class_written_ = true;
}

void ObjectArchiveWriter::WriteByte(std::uint8_t value) { out_.push_back(static_cast<char>(value)); }

void ObjectArchiveWriter::WriteWord(std::uint16_t value) {
  WriteByte(static_cast<std::uint8_t>(value & 0xFF));
  WriteByte(static_cast<std::uint8_t>(value >> 8));
}

void ObjectArchiveWriter::WriteDword(std::uint32_t value) {
  WriteWord(static_cast<std::uint16_t>(value & 0xFFFF));
  WriteWord(static_cast<std::uint16_t>(value >> 16));
}

void ObjectArchiveWriter::WriteString(std::string_view bytes) {
  const std::size_t length = bytes.size();
  if (length < kLongStringByte) {
    WriteByte(static_cast<std::uint8_t>(length));
  } else if (length < kWideStringMarker) {
    WriteByte(kLongStringByte);
    WriteWord(static_cast<std::uint16_t>(length));
  } else {
    WriteByte(kLongStringByte);
    WriteWord(kHugeStringWord);
    WriteDword(static_cast<std::uint32_t>(length));
  }
  out_.append(bytes);
}

const char* ArchiveErrorText(ArchiveError error) {
  switch (error) {
    case ArchiveError::None: return "";
    case ArchiveError::Truncated: return store_messages::kArchiveTruncated;
    case ArchiveError::ForeignClass: return store_messages::kArchiveForeignClass;
    case ArchiveError::ForeignSchema: return store_messages::kArchiveForeignSchema;
    case ArchiveError::BadTag: return store_messages::kArchiveBadTag;
    case ArchiveError::BadString: return store_messages::kArchiveBadString;
    case ArchiveError::BadCount: return store_messages::kArchiveBadCount;
    case ArchiveError::TrailingBytes: return store_messages::kArchiveTrailingBytes;
  }
  return store_messages::kArchiveBadTag;
}

ObjectArchiveReader::ObjectArchiveReader(std::string_view data, ArchiveClass archive_class)
    : data_(data), class_(archive_class) {}

bool ObjectArchiveReader::Fail(ArchiveError error) {
  if (error_ == ArchiveError::None) {
    error_ = error;
    error_offset_ = position_;
  }
  return false;
}

bool ObjectArchiveReader::Need(std::size_t bytes) {
  if (!ok()) return false;
  if (bytes > remaining()) return Fail(ArchiveError::Truncated);
  return true;
}

std::uint8_t ObjectArchiveReader::ReadByte() {
  if (!Need(1)) return 0;
  return static_cast<std::uint8_t>(data_[position_++]);
}

std::uint16_t ObjectArchiveReader::ReadWord() {
  if (!Need(2)) return 0;
  const auto low = static_cast<std::uint8_t>(data_[position_]);
  const auto high = static_cast<std::uint8_t>(data_[position_ + 1]);
  position_ += 2;
  return static_cast<std::uint16_t>(low | (high << 8));
}

std::uint32_t ObjectArchiveReader::ReadDword() {
  if (!Need(4)) return 0;
  const std::uint32_t low = ReadWord();
  const std::uint32_t high = ReadWord();
  return low | (high << 16);
}

std::uint32_t ObjectArchiveReader::ReadCount(std::size_t min_item_size) {
  std::uint32_t count = ReadWord();
  if (count == kCountEscape) count = ReadDword();
  if (!ok()) return 0;
  // Every item takes at least its 2-byte tag.
  min_item_size = std::max<std::size_t>(min_item_size, 2);
  if (count > remaining() / min_item_size) {
    Fail(ArchiveError::BadCount);
    return 0;
  }
  return count;
}

bool ObjectArchiveReader::BeginItem() {
  const std::size_t start = position_;
  const std::uint16_t tag = ReadWord();
  if (!ok()) return false;
  if (class_read_) {
    if (tag == kClassTag) return true;
    position_ = start;
    return Fail(ArchiveError::BadTag);
  }
  if (tag != kNewClassTag) {
    position_ = start;
    return Fail(ArchiveError::BadTag);
  }
  const std::uint16_t schema = ReadWord();
  const std::uint16_t name_length = ReadWord();
  if (!Need(name_length)) return false;
  const std::string_view name = data_.substr(position_, name_length);
  if (name != class_.name) {
    position_ = start;
    return Fail(ArchiveError::ForeignClass);
  }
  if (schema != class_.schema) {
    position_ = start;
    return Fail(ArchiveError::ForeignSchema);
  }
  position_ += name_length;
  class_read_ = true;
  return true;
}

bool ObjectArchiveReader::ReadString(std::string& out) {
  out.clear();
  std::uint32_t length = ReadByte();
  if (length == kLongStringByte) {
    length = ReadWord();
    if (length == kHugeStringWord) {
      length = ReadDword();
    } else if (length == kWideStringMarker && ok()) {
      // Marks a UTF-16 string in other writers of this layout; never ours.
      return Fail(ArchiveError::BadString);
    }
  }
  if (!ok()) return false;
  if (length > remaining()) return Fail(ArchiveError::BadString);
  out.assign(data_.data() + position_, length);
  position_ += length;
  return true;
}

bool ObjectArchiveReader::ExpectEnd() {
  if (!ok()) return false;
  if (remaining() != 0) return Fail(ArchiveError::TrailingBytes);
  return true;
}

}  // namespace lp
