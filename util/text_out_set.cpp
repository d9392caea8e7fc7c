#include "util/text_out_set.h"

#include <utility>

#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "store/object_archive.h"
#include "util/util_messages.h"

namespace lp {
namespace {

constexpr ArchiveClass kTextOutSetClass{"CTextOutSet", 3};
constexpr std::uint16_t kEntryVersion = 100;
// Smallest entry with its tag: the word 100, two empty strings, nine words.
constexpr std::size_t kMinEntrySize = 2 + 2 + 1 + 6 * 2 + 1 + 3 * 2;

CTextOutSet FirstEntry() {
  CTextOutSet entry;
  entry.name = util_messages::kLastSettingName;
  return entry;
}

bool ReadFlag(ObjectArchiveReader& reader) { return reader.ReadWord() != 0; }

}  // namespace

bool CTextOutSet::Passes(const CMail& mail) const {
  bool state = false;
  switch (mail.status) {
    case kStatusRead: state = read; break;
    case kStatusUnread: state = unread; break;
    case kStatusReplied: state = replied; break;
    case kStatusUnsent: state = unsent; break;
    case kStatusSent: state = sent; break;
    default: break;
  }
  return state && (label == 0 || mail.label == label);
}

std::optional<std::string> CTextOutSetArray::Load(std::string_view path) {
  entries_.clear();
  keep_unreadable_file_ = false;
  std::optional<std::string> problem;
  if (PathExists(path)) {
    std::string error;
    const std::optional<std::string> data = ReadWholeFile(path, &error);
    if (!data) {
      problem = error;
    } else if (!data->empty()) {
      ObjectArchiveReader reader(*data, kTextOutSetClass);
      const std::uint32_t count = reader.ReadCount(kMinEntrySize);
      for (std::uint32_t i = 0; i < count && reader.ok(); ++i) {
        CTextOutSet entry;
        reader.BeginItem();
        (void)reader.ReadWord();  // the entry's version word
        reader.ReadString(entry.name);
        entry.read = ReadFlag(reader);
        entry.unread = ReadFlag(reader);
        entry.replied = ReadFlag(reader);
        entry.sent = ReadFlag(reader);
        entry.unsent = ReadFlag(reader);
        entry.label = reader.ReadWord();
        reader.ReadString(entry.output_file);
        entry.all_headers = ReadFlag(reader);
        entry.all_boxes = ReadFlag(reader);
        entry.append = ReadFlag(reader);
        if (reader.ok()) entries_.push_back(std::move(entry));
      }
      reader.ExpectEnd();
      if (!reader.ok()) {
        problem = ArchiveErrorText(reader.error());
        entries_.clear();
      }
    }
  }
  if (problem) {
    keep_unreadable_file_ = true;
    problem = std::string(util_messages::kSettingsListUnreadable) + *problem + ":" + std::string(path);
  }
  if (entries_.empty()) entries_.push_back(FirstEntry());
  return problem;
}

std::string CTextOutSetArray::Serialize() const {
  std::string out;
  ObjectArchiveWriter writer(out, kTextOutSetClass);
  writer.WriteCount(static_cast<std::uint32_t>(entries_.size()));
  for (const CTextOutSet& entry : entries_) {
    writer.BeginItem();
    writer.WriteWord(kEntryVersion);
    writer.WriteString(entry.name);
    writer.WriteWord(entry.read);
    writer.WriteWord(entry.unread);
    writer.WriteWord(entry.replied);
    writer.WriteWord(entry.sent);
    writer.WriteWord(entry.unsent);
    writer.WriteWord(static_cast<std::uint16_t>(entry.label));
    writer.WriteString(entry.output_file);
    writer.WriteWord(entry.all_headers);
    writer.WriteWord(entry.all_boxes);
    writer.WriteWord(entry.append);
  }
  return out;
}

bool CTextOutSetArray::Save(std::string_view path, std::string* error) {
  if (keep_unreadable_file_ && PathExists(path)) {
    const std::string aside = std::string(path) + ".bad";
    if (!RenameReplace(path, aside)) {
      if (error != nullptr) *error = LastSystemErrorText() + ":" + aside;
      return false;
    }
  }
  keep_unreadable_file_ = false;
  AtomicFileWriter file;
  if (!file.Begin(path) || !file.Write(Serialize()) || !file.Commit()) {
    if (error != nullptr) *error = file.ErrorText();
    return false;
  }
  return true;
}

const CTextOutSet* CTextOutSetArray::Find(std::string_view name) const {
  for (const CTextOutSet& entry : entries_) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

CTextOutSet* CTextOutSetArray::Find(std::string_view name) {
  return const_cast<CTextOutSet*>(std::as_const(*this).Find(name));
}

}  // namespace lp
