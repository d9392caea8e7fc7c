#include "store/mail_transfer.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "store/orvex_file.h"
#include "store/store_messages.h"
#include "store/text_copy.h"
#include "store/unread_mark.h"

namespace lp {
namespace {

// Folders inside folders are searched no deeper than this.
constexpr int kMaxFolderDepth = 64;

enum class CopyMode {
  Lines,  // line by line with the endings made "\r\n" (moves and copies)
  Bytes,  // the block as it stands (box import)
};

struct CopiedTexts {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;  // new start and end per record
  std::string error;                                           // text of a file error, if any
  bool seek_failed = false;
};

// Appends the text blocks of `records` from `in` to the end of `out`. A
// file error ends the copy: the records whose texts were completely written
// keep their spans, the rest get none.
CopiedTexts CopyTexts(COrvexFile& in, COrvexFile& out, std::span<const CMail* const> records, CopyMode mode,
                      const TransferOptions& options) {
  CopiedTexts result;
  BufferedTextReader reader(in);
  std::unique_ptr<BufferedTextWriter> writer;
  try {
    writer = std::make_unique<BufferedTextWriter>(out, out.Length());
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (options.progress) options.progress->SetPosition(static_cast<int>(i));
      const CMail& record = *records[i];
      const std::uint64_t start = writer->Position();
      if (mode == CopyMode::Lines) {
        reader.CopyLines(record.text_start, record.text_end, *writer);
      } else {
        reader.Seek(record.text_start);
        if (record.text_end > record.text_start) reader.CopyBytes(record.text_end - record.text_start, *writer);
      }
      const std::uint64_t end = writer->Position();
      // Offsets are 32-bit in the index: text beyond 4 GiB could never be found again.
      if (end > std::numeric_limits<std::uint32_t>::max()) {
        throw COrvexFileException(store_messages::kFileWriteFailed, out.Path());
      }
      result.spans.emplace_back(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end));
      if (options.steps) {
        writer->Flush();
        NoteWriteStep(options.steps, "append text");
      }
    }
    writer->Flush();
    out.Close();
  } catch (const COrvexFileException& error) {
    result.error = error.Text();
    result.seek_failed = error.Message() == store_messages::kFileSeekFailed;
    try {
      if (writer) writer->Flush();
      out.Close();
    } catch (const COrvexFileException&) {
      // Nothing written can be trusted.
      result.spans.clear();
    }
  }
  return result;
}

// Opens both files; false (and which one failed) when either cannot be opened.
enum class OpenFailure { None, Destination, Source };
OpenFailure OpenPair(COrvexFile& in, std::string_view in_path, COrvexFile& out, std::string_view out_path) {
  try {
    out.Open(out_path, File::Mode::Append);
  } catch (const COrvexFileException&) {
    return OpenFailure::Destination;
  }
  try {
    in.Open(in_path, File::Mode::Read);
  } catch (const COrvexFileException&) {
    return OpenFailure::Source;
  }
  return OpenFailure::None;
}

std::unique_ptr<CMail> CopyWithSpan(const CMail& record, std::pair<std::uint32_t, std::uint32_t> span) {
  auto copy = std::make_unique<CMail>(record);
  copy->text_start = span.first;
  copy->text_end = span.second;
  return copy;
}

// Valid indexes of the selection, ascending, each once.
std::vector<int> NormalisedSelection(const CLPOSTDoc& box, std::span<const int> selection) {
  std::vector<int> indexes;
  for (int index : selection) {
    if (index >= 0 && index < box.Count()) indexes.push_back(index);
  }
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  return indexes;
}

std::size_t HashOfMail(const CMail& mail) {
  std::size_t hash = std::hash<std::int32_t>{}(mail.date);
  for (const std::string* field :
       {&mail.to, &mail.from, &mail.subject, &mail.cc, &mail.bcc, &mail.message_id, &mail.attachments}) {
    hash = hash * 1000003u ^ std::hash<std::string>{}(*field);
  }
  return hash;
}

bool SameMail(const CMail& a, const CMail& b) {
  return a.date == b.date && a.to == b.to && a.from == b.from && a.subject == b.subject && a.cc == b.cc &&
         a.bcc == b.bcc && a.message_id == b.message_id && a.attachments == b.attachments;
}

// The records of the box, found by their header fields.
class MailIndex {
 public:
  explicit MailIndex(const CLPOSTDoc& box) {
    for (int i = 0; i < box.Count(); ++i) Add(*box.RecordAt(i));
  }
  void Add(const CMail& mail) { mails_.emplace(HashOfMail(mail), &mail); }
  [[nodiscard]] bool Contains(const CMail& mail) const {
    auto [first, last] = mails_.equal_range(HashOfMail(mail));
    return std::any_of(first, last, [&](const auto& entry) { return SameMail(*entry.second, mail); });
  }

 private:
  std::unordered_multimap<std::size_t, const CMail*> mails_;
};

bool EndsWithBoxExtension(std::string_view name) {
  if (name.size() < 3) return false;
  const std::string_view tail = name.substr(name.size() - 3);
  return tail[0] == '.' && (tail[1] == 'l' || tail[1] == 'L') && (tail[2] == 'p' || tail[2] == 'P');
}

int ImportFolder(CLPOSTDoc& box, const std::string& folder, int depth) {
  if (depth > kMaxFolderDepth) return 0;
  std::optional<std::vector<DirectoryEntry>> entries = ListDirectory(folder);
  if (!entries) return 0;
  std::sort(entries->begin(), entries->end(),
            [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
  int imported = 0;
  for (const DirectoryEntry& entry : *entries) {
    if (!EndsWithBoxExtension(entry.name)) continue;
    const std::string path = JoinPath(folder, entry.name);
    if (entry.is_directory) {
      imported += ImportFolder(box, path, depth + 1);
    } else if (ImportBoxFile(box, path)) {
      ++imported;
    }
  }
  return imported;
}

}  // namespace

std::size_t CopyRecordsTo(CLPOSTDoc& source, std::span<const CMail* const> records, std::string_view destination,
                          const TransferOptions& options) {
  UserInterface& ui = source.ui();
  if (records.empty() || destination.empty()) return 0;
  const std::string cannot_open = std::string(store_messages::kCannotOpenFile) + std::string(destination);
  const std::string destination_index = AbsolutePath(destination);
  const std::string destination_text = TextFilePathOf(destination_index);

  CLPOSTDoc* destination_box = options.registry != nullptr ? options.registry->Find(destination_index) : nullptr;
  if (destination_box != nullptr && destination_box->TextFileInUse()) {
    ui.ShowMessage(std::string(store_messages::kBoxBusy) + destination_index);
    return 0;
  }
  // The destination must load before any text goes its way: a missing or
  // broken box gets no stray text file.
  std::optional<CLPOSTDoc> loaded;
  if (destination_box == nullptr) {
    loaded.emplace(source.profile(), ui, source.commands());
    if (!loaded->Open(destination_index).ok) {
      ui.ShowMessage(cannot_open);
      return 0;
    }
    destination_box = &*loaded;
  }
  COrvexFile in;
  COrvexFile out;
  CopiedTexts copied;
  if (OpenPair(in, source.TextFilePath(), out, destination_text) != OpenFailure::None) {
    ui.ShowMessage(std::string(store_messages::kFileOpenFailed) + ":" +
                   (out.IsOpen() ? source.TextFilePath() : destination_text));
    return 0;
  }
  copied = CopyTexts(in, out, records, CopyMode::Lines, options);
  if (!copied.error.empty()) ui.ShowMessage(copied.error);
  if (copied.spans.empty()) return 0;

  // The texts reach the disk before an index that points at them.
  NoteWriteStep(options.steps, "sync text");
  if (!SyncFileToDisk(destination_text)) {
    ui.ShowMessage(std::string(store_messages::kFileWriteFailed) + ":" + destination_text);
    return 0;
  }
  const int count_before = destination_box->Count();
  const bool modified_before = destination_box->IsModified();
  bool any_unread = false;
  // Read before the first Add: the destination may be the source itself.
  for (std::size_t i = 0; i < copied.spans.size(); ++i) any_unread = any_unread || records[i]->IsUnread();
  std::vector<std::unique_ptr<CMail>> copies;
  copies.reserve(copied.spans.size());
  for (std::size_t i = 0; i < copied.spans.size(); ++i) copies.push_back(CopyWithSpan(*records[i], copied.spans[i]));
  destination_box->AddAll(std::move(copies));
  NoteWriteStep(options.steps, "save destination index");
  if (!destination_box->Save().ok) {
    // An open destination must not keep records that are not on the disk:
    // a later save would write them beside the originals.
    destination_box->RemoveRange(count_before, destination_box->Count() - count_before);
    destination_box->SetModified(modified_before);
    ui.ShowMessage(cannot_open);
    return 0;
  }
  if (any_unread) (void)WriteUnreadMark(source.profile(), destination_box->PathName(), true);
  source.UpdateUnreadMark();
  return copied.spans.size();
}

bool CopyRecordTo(CLPOSTDoc& source, const CMail& record, std::string_view destination) {
  const CMail* records[] = {&record};
  return CopyRecordsTo(source, records, destination) == 1;
}

std::size_t MoveTo(CLPOSTDoc& box, std::span<const int> selection, std::string_view destination,
                   OpenBoxRegistry& registry, const TransferOptions& options) {
  if (destination.empty() || AbsolutePath(destination) == box.PathName()) return 0;
  const std::vector<int> indexes = NormalisedSelection(box, selection);
  if (indexes.empty()) return 0;
  const int old_current = box.current_index();

  std::vector<const CMail*> records;
  records.reserve(indexes.size());
  for (int index : indexes) records.push_back(box.RecordAt(index));
  TransferOptions copy_options = options;
  copy_options.registry = &registry;
  const std::size_t moved = CopyRecordsTo(box, records, destination, copy_options);
  records.clear();

  box.RemoveIndexes(std::vector<int>(indexes.begin(), indexes.begin() + static_cast<std::ptrdiff_t>(moved)));
  if (moved > 0 && !box.PathName().empty()) {
    NoteWriteStep(options.steps, "save source index");
    const IndexFileResult saved = box.Save();
    if (!saved.ok) box.ui().ShowMessage(saved.message);
  }
  box.UpdateUnreadMark();
  box.NoteCompactionWanted();
  int current = std::max(0, old_current - static_cast<int>(indexes.size()));
  if (current >= box.Count()) current = box.Count() - 1;
  box.set_current_index(current);
  return moved;
}

bool AppendFrom(CLPOSTDoc& box, std::span<const CMail* const> records, std::string_view source_text_path,
                const WriteStepHook& steps) {
  COrvexFile in;
  COrvexFile out;
  if (OpenPair(in, source_text_path, out, box.TextFilePath()) != OpenFailure::None) return false;
  TransferOptions options;
  options.steps = steps;
  const CopiedTexts copied = CopyTexts(in, out, records, CopyMode::Lines, options);
  if (!copied.error.empty()) {
    box.ui().ShowMessage(copied.seek_failed ? std::string(store_messages::kTextFileSeekFailed) : copied.error);
  }
  if (!copied.spans.empty()) {
    NoteWriteStep(steps, "sync text");
    if (!SyncFileToDisk(box.TextFilePath())) return false;
    for (std::size_t i = 0; i < copied.spans.size(); ++i) box.Add(CopyWithSpan(*records[i], copied.spans[i]));
    // On disk before the giver drops the mails.
    if (!box.PathName().empty()) {
      NoteWriteStep(steps, "save index");
      const IndexFileResult saved = box.Save();
      if (!saved.ok) box.ui().ShowMessage(saved.message);
      box.SetModified();
    }
    box.UpdateUnreadMark();
  }
  return copied.error.empty();
}

bool ImportBoxFile(CLPOSTDoc& box, std::string_view index_path) {
  UserInterface& ui = box.ui();
  CLPOSTDoc other(box.profile(), ui, box.commands());
  const IndexFileResult loaded = other.Open(index_path);
  if (!loaded.ok) {
    ui.ShowMessage(loaded.message);
    return false;
  }
  COrvexFile in;
  COrvexFile out;
  switch (OpenPair(in, other.TextFilePath(), out, box.TextFilePath())) {
    case OpenFailure::Destination: ui.ShowMessage(store_messages::kOwnBoxOpenFailed); return false;
    case OpenFailure::Source: ui.ShowMessage(store_messages::kImportSourceOpenFailed); return false;
    case OpenFailure::None: break;
  }

  // A mail counts as present when this box held it before or it was taken
  // over earlier in this import.
  MailIndex present(box);
  std::vector<const CMail*> wanted;
  for (int i = 0; i < other.Count(); ++i) {
    const CMail* record = other.RecordAt(i);
    if (present.Contains(*record)) continue;
    present.Add(*record);
    wanted.push_back(record);
  }
  const CopiedTexts copied = CopyTexts(in, out, wanted, CopyMode::Bytes, {});
  if (!copied.error.empty()) ui.ShowMessage(copied.error);
  if (!copied.spans.empty() && SyncFileToDisk(box.TextFilePath())) {
    for (std::size_t i = 0; i < copied.spans.size(); ++i) box.Add(CopyWithSpan(*wanted[i], copied.spans[i]));
    box.UpdateUnreadMark();
  }
  box.SetModified();
  return copied.error.empty();
}

bool ImportBoxFileCommand(CLPOSTDoc& box) {
  FileChoice choice;
  choice.title = store_messages::kImportBoxTitle;
  choice.initial_directory = CurrentDirectory();
  const std::optional<std::string> path = box.ui().ChooseFile(choice);
  if (!path) return false;
  return ImportBoxFile(box, *path);
}

int ImportBoxFolder(CLPOSTDoc& box, std::string_view folder) {
  const int imported = ImportFolder(box, std::string(folder), 0);
  box.SetModified();
  return imported;
}

}  // namespace lp
