#include "store/mailbox_document.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <unordered_map>
#include <tuple>
#include <utility>

#include "codec/readable_mail.h"
#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/mapped_file.h"
#include "platform/sjis_path.h"
#include "store/compaction_journal.h"
#include "store/object_archive.h"
#include "store/store_messages.h"
#include "store/unread_mark.h"

namespace lp {
namespace {

constexpr char kBlockTerminator[] = "\r\n.\r\n";
constexpr std::uint32_t kTerminatorLength = 5;
constexpr std::size_t kReadPiece = 32000;
// The index is written in pieces of about this size rather than built whole.
constexpr std::size_t kSaveFlushBytes = 1 << 20;

constexpr char kSectionAutoCompact[] = "AutoCompact";
constexpr char kSectionMail[] = "Mail";
constexpr char kKeyHeader[] = "Header";

IndexFileResult Failure(const char* what, std::string_view reason, std::string_view path) {
  IndexFileResult result;
  result.ok = false;
  result.message = what;
  result.message += '(';
  result.message += reason;
  result.message += "):";
  result.message += path;
  return result;
}

bool SameStoredFields(const CMail& a, const CMail& b) {
  const auto fields = [](const CMail& m) {
    return std::tie(m.to, m.from, m.subject, m.date, m.cc, m.bcc, m.message_id, m.attachments, m.status,
                    m.signature, m.flags, m.label, m.text_start, m.text_end);
  };
  return fields(a) == fields(b);
}

MailText TextError(std::string message) { return MailText{{}, std::move(message)}; }

}  // namespace

std::string TextShowingError(MailText read, UserInterface& ui) {
  if (!read.ok()) ui.ShowMessage(read.error);
  return std::move(read.text);
}

std::string TextFilePathOf(std::string_view index_path) {
  const std::size_t dot = index_path.rfind('.');
  const std::size_t separator = FindLastPathSeparator(index_path);
  // A "." in a directory name is no extension of the file.
  const bool has_extension =
      dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator);
  std::string path(has_extension ? index_path.substr(0, dot) : index_path);
  path += ".mb";
  return path;
}

CLPOSTDoc::CLPOSTDoc(Profile& profile, UserInterface& ui, CommandObserver& commands)
    : profile_(profile), ui_(ui), commands_(commands) {}

CLPOSTDoc::~CLPOSTDoc() { RetireSnapshots(); }

void CLPOSTDoc::RetireSnapshots() {
  const std::lock_guard lock(index_write_guard_->mutex);
  ++index_write_guard_->epoch;
}

IndexFileResult LoadIndexFile(const std::string& full_path, CLPOSTDoc::Records& records) {
  // A compaction that a crash interrupted is finished or undone before the
  // index is read, so that it matches the text file.
  RecoverInterruptedCompaction(full_path);
  std::string error;
  MappedFile file;
  if (!file.Open(full_path, &error)) {
    std::string reason = store_messages::kIndexUnreadable;
    if (!error.empty()) reason += " " + error;
    return Failure(store_messages::kIndexOpenFailed, reason, full_path);
  }
  if (file.bytes().empty()) return {};
  ObjectArchiveReader reader(file.bytes(), CMail::kArchiveClass);
  // The count is checked against the file's size before anything is
  // reserved for it.
  const std::uint32_t count = reader.ReadCount(CMail::kMinArchivedSize);
  records.reserve(count);
  // The bytes already read go back as the records grow: a large box never
  // holds its file and its records in memory at once.
  constexpr std::size_t kReleaseStep = 1 << 20;
  std::size_t released = 0;
  for (std::uint32_t i = 0; i < count && reader.ok(); ++i) {
    auto record = std::make_unique<CMail>();
    if (reader.BeginItem() && record->Deserialize(reader)) records.push_back(std::move(record));
    if (reader.position() - released >= kReleaseStep) {
      released = reader.position();
      file.ReleaseBefore(released);
    }
  }
  // Bytes after the last record mean the file is not what we would write:
  // saving over it could lose whatever they are.
  reader.ExpectEnd();
  if (!reader.ok()) return Failure(store_messages::kIndexOpenFailed, ArchiveErrorText(reader.error()), full_path);
  return {};
}

IndexFileResult CLPOSTDoc::LoadRecords(const std::string& full_path, Records& records) const {
  return LoadIndexFile(full_path, records);
}

void CLPOSTDoc::TakeLoadedRecords(Records records, const std::string& full_path) {
  Notify([this](MailboxObserver& o) { o.AboutToReload(*this); });
  records_ = std::move(records);
  path_ = full_path;
  text_path_ = TextFilePathOf(path_);
  modified_ = false;
  KeepIndexesInRange();
  Notify([this](MailboxObserver& o) { o.Reloaded(*this); });
}

IndexFileResult CLPOSTDoc::Open(std::string_view index_path) {
  const std::string full_path = AbsolutePath(index_path);
  Records records;
  IndexFileResult loaded = LoadRecords(full_path, records);
  if (!loaded.ok) return loaded;
  for (auto& record : records) AssignSerial(*record);
  compaction_wanted_ = false;
  content_ids_.clear();
  RetireSnapshots();
  TakeLoadedRecords(std::move(records), full_path);
  return {};
}

void CLPOSTDoc::Relocate(std::string_view new_index_path) {
  RetireSnapshots();
  path_ = AbsolutePath(new_index_path);
  text_path_ = TextFilePathOf(path_);
  Notify([this](MailboxObserver& o) { o.Relocated(*this); });
}

void CLPOSTDoc::OpenAsStaging(std::string_view index_path) {
  RetireSnapshots();
  path_ = AbsolutePath(index_path);
  text_path_ = TextFilePathOf(path_);
  records_.clear();
  modified_ = false;
}

IndexFileResult CLPOSTDoc::Reload() {
  if (path_.empty()) return {};
  Records records;
  IndexFileResult loaded = LoadRecords(path_, records);
  if (!loaded.ok) return loaded;
  for (std::size_t i = 0; i < records.size(); ++i) {
    CMail& record = *records[i];
    if (i < records_.size() && SameStoredFields(record, *records_[i])) {
      record.serial = records_[i]->serial;
    } else {
      AssignSerial(record);
    }
  }
  TakeLoadedRecords(std::move(records), path_);
  // The compaction wish follows the setting again, as it did when noted.
  if (compaction_wanted_) NoteCompactionWanted();
  return {};
}

template <typename Flush>
bool CLPOSTDoc::SerializeIndex(std::string& buffer, Flush flush) const {
  ObjectArchiveWriter writer(buffer, CMail::kArchiveClass);
  writer.WriteCount(static_cast<std::uint32_t>(records_.size()));
  for (const auto& record : records_) {
    writer.BeginItem();
    record->Serialize(writer);
    if (buffer.size() >= kSaveFlushBytes && !flush(buffer)) return false;
  }
  return true;
}

IndexFileResult CLPOSTDoc::Save(std::string_view index_path) {
  if (index_path.empty()) return Failure(store_messages::kIndexSaveFailed, "", index_path);
  // A snapshot being written on another thread lands first; this later
  // state then replaces it, and snapshots still to come are not written.
  const std::lock_guard lock(index_write_guard_->mutex);
  AtomicFileWriter file;
  std::string buffer;
  buffer.reserve(kSaveFlushBytes + 4096);
  bool ok = file.Begin(index_path);
  if (ok) {
    ok = SerializeIndex(buffer, [&file](std::string& bytes) {
      const bool written = file.Write(bytes);
      bytes.clear();
      return written;
    });
    ok = ok && file.Write(buffer) && file.Commit();
  }
  if (!ok) return Failure(store_messages::kIndexSaveFailed, file.ErrorText(), index_path);
  if (AbsolutePath(index_path) == path_) index_write_guard_->landed = changes_;
  modified_ = false;
  return {};
}

CLPOSTDoc::IndexSnapshot CLPOSTDoc::SnapshotIndex() const {
  IndexSnapshot snapshot;
  snapshot.path = path_;
  snapshot.changes = changes_;
  snapshot.guard = index_write_guard_;
  {
    const std::lock_guard lock(index_write_guard_->mutex);
    snapshot.epoch = index_write_guard_->epoch;
  }
  // About the size of the file last written, so the buffer grows once.
  const std::optional<std::uint64_t> size = FileSize(path_);
  snapshot.bytes.reserve(static_cast<std::size_t>(size.value_or(0)) + 64 * 1024);
  (void)SerializeIndex(snapshot.bytes, [](std::string&) { return true; });
  return snapshot;
}

IndexFileResult WriteIndexSnapshot(const CLPOSTDoc::IndexSnapshot& snapshot) {
  if (snapshot.path.empty() || !snapshot.guard) {
    return Failure(store_messages::kIndexSaveFailed, "", snapshot.path);
  }
  CLPOSTDoc::IndexWriteGuard& guard = *snapshot.guard;
  const std::lock_guard lock(guard.mutex);
  // Overtaken: a later state is on the disk, or the box is elsewhere now.
  if (snapshot.epoch != guard.epoch || snapshot.changes < guard.landed) return {};
  AtomicFileWriter file;
  if (!file.Begin(snapshot.path) || !file.Write(snapshot.bytes) || !file.Commit()) {
    return Failure(store_messages::kIndexSaveFailed, file.ErrorText(), snapshot.path);
  }
  guard.landed = snapshot.changes;
  return {};
}

void CLPOSTDoc::NoteSnapshotWritten(const IndexSnapshot& snapshot) {
  if (snapshot.guard == index_write_guard_ && snapshot.changes == changes_ && snapshot.path == path_) {
    modified_ = false;
  }
}

std::vector<int> CLPOSTDoc::RowsOfSerials(std::span<const std::uint64_t> serials) const {
  std::vector<int> rows(serials.size(), -1);
  if (serials.empty()) return rows;
  // Serial -> positions asked for; a serial may be asked for more than once.
  std::unordered_multimap<std::uint64_t, std::size_t> wanted;
  wanted.reserve(serials.size());
  for (std::size_t i = 0; i < serials.size(); ++i) wanted.emplace(serials[i], i);
  for (std::size_t row = 0; row < records_.size(); ++row) {
    const auto [first, last] = wanted.equal_range(records_[row]->serial);
    for (auto it = first; it != last; ++it) rows[it->second] = static_cast<int>(row);
  }
  return rows;
}

IndexFileResult CLPOSTDoc::Save() { return Save(path_); }

IndexFileResult CLPOSTDoc::CloseRequest() {
  if (compaction_wanted_ && compactor_) compactor_(*this);
  if (modified_ && !path_.empty()) return Save(path_);
  return {};
}

MailText CLPOSTDoc::ReadText(std::uint32_t start, std::uint32_t end) {
  text_buffer_.clear();
  File file;
  if (text_path_.empty() || !file.Open(text_path_, File::Mode::Read)) {
    return TextError(store_messages::kTextFileOpenFailed);
  }
  // A start beyond the end of the file is reported like a failed seek:
  // the offsets cannot belong to this text file.
  const std::optional<std::uint64_t> size = file.Size();
  if (!size || start > *size || !file.Seek(start)) return TextError(store_messages::kTextFileSeekFailed);
  const std::int64_t wanted = static_cast<std::int64_t>(end) - start - kTerminatorLength;
  if (wanted <= 0) return {};
  // Never more than the file holds, whatever the offsets claim.
  std::size_t left = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, *size - start));
  text_buffer_.resize(left);
  std::size_t done = 0;
  while (left > 0) {
    const std::int64_t got = file.Read(text_buffer_.data() + done, std::min(left, kReadPiece));
    if (got <= 0) {
      text_buffer_.clear();
      return TextError(std::string(store_messages::kFileReadFailed) + ":" + text_path_);
    }
    done += static_cast<std::size_t>(got);
    left -= static_cast<std::size_t>(got);
  }
  return MailText{text_buffer_, {}};
}

bool CLPOSTDoc::StoreText(int index, std::string_view text) {
  CMail* record = RecordAt(index);
  if (!record || text_path_.empty() || TextFileInUse()) return false;
  File file;
  if (!file.Open(text_path_, File::Mode::Append)) return false;
  const std::optional<std::uint64_t> size = file.Size();
  if (!size) return false;
  const std::uint64_t start = *size;
  // Offsets are 32-bit in the index: a block beyond 4 GiB could not be found again.
  if (start + text.size() + kTerminatorLength > std::numeric_limits<std::uint32_t>::max()) return false;
  if (!file.Write(text) || !file.Write(kBlockTerminator)) {
    // Leave no half block behind.
    (void)file.Truncate(start);
    return false;
  }
  const std::optional<std::uint64_t> end = file.Tell();
  if (!end || !file.Close()) return false;
  record->text_start = static_cast<std::uint32_t>(start);
  record->text_end = static_cast<std::uint32_t>(*end);
  NoteRecordChanged(index);
  NoteCompactionWanted();
  return true;
}

bool CLPOSTDoc::StoreTextOfLast(std::string_view text) { return StoreText(Count() - 1, text); }

MailText CLPOSTDoc::DisplayText(int index, HeaderMode mode, int line_limit) {
  const CMail* record = RecordAt(index);
  if (!record) return {};
  const int header_setting =
      mode == HeaderMode::FromSetting ? profile_.GetInt(kSectionMail, kKeyHeader, 0) : 0;
  MailText read = ReadText(record->text_start, record->text_end);
  if (!read.ok()) return read;
  return MailText{BuildDisplayText(read.text, mode, header_setting, line_limit), {}};
}

MailText CLPOSTDoc::ReadableText(int index, HeaderMode mode, int line_limit) {
  const CMail* record = RecordAt(index);
  if (!record) return {};
  if (record->IsOutgoing()) return DisplayText(index, mode, line_limit);
  const int header_setting =
      mode == HeaderMode::FromSetting ? profile_.GetInt(kSectionMail, kKeyHeader, 0) : 0;
  MailText read = ReadText(record->text_start, record->text_end);
  if (!read.ok()) return read;
  return MailText{BuildDisplayText(ReadableMailText(read.text), mode, header_setting, line_limit), {}};
}

HeaderMode ShownHeaderMode(const CMail& record) {
  return record.IsOutgoing() ? HeaderMode::All : HeaderMode::FromSetting;
}

MailText CLPOSTDoc::CurrentText() {
  if (records_.empty()) return {};
  if (current_index_ < 0 || current_index_ >= Count()) current_index_ = Count() - 1;
  const CMail& record = *records_[static_cast<std::size_t>(current_index_)];
  return DisplayText(current_index_, ShownHeaderMode(record), 0);
}

int CLPOSTDoc::FirstUnread() const {
  for (int i = 0; i < Count(); ++i) {
    if (records_[static_cast<std::size_t>(i)]->IsUnread()) return i;
  }
  return Count() - 1;
}

void CLPOSTDoc::UpdateUnreadMark() {
  const bool any_unread =
      std::any_of(records_.begin(), records_.end(), [](const auto& record) { return record->IsUnread(); });
  if (!path_.empty()) (void)WriteUnreadMark(profile_, path_, any_unread);
  commands_.OnCommand(kCommandRefreshUnreadMarks);
}

CMail* CLPOSTDoc::RecordAt(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  return records_[static_cast<std::size_t>(index)].get();
}

const CMail* CLPOSTDoc::RecordAt(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return records_[static_cast<std::size_t>(index)].get();
}

void CLPOSTDoc::Add(std::unique_ptr<CMail> record) {
  if (!record) return;
  const int row = Count();
  AssignSerial(*record);
  Notify([&](MailboxObserver& o) { o.RecordsAboutToBeInserted(*this, row, 1); });
  records_.push_back(std::move(record));
  MarkModified();
  Notify([&](MailboxObserver& o) { o.RecordsInserted(*this, row, 1); });
}

void CLPOSTDoc::AddAll(std::vector<std::unique_ptr<CMail>> records) {
  std::erase_if(records, [](const std::unique_ptr<CMail>& record) { return !record; });
  if (records.empty()) return;
  const int first = Count();
  const int count = static_cast<int>(records.size());
  for (auto& record : records) AssignSerial(*record);
  Notify([&](MailboxObserver& o) { o.RecordsAboutToBeInserted(*this, first, count); });
  records_.reserve(records_.size() + records.size());
  for (auto& record : records) records_.push_back(std::move(record));
  MarkModified();
  Notify([&](MailboxObserver& o) { o.RecordsInserted(*this, first, count); });
}

std::unique_ptr<CMail> CLPOSTDoc::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  Notify([&](MailboxObserver& o) { o.RecordsAboutToBeRemoved(*this, index, 1); });
  auto position = records_.begin() + index;
  std::unique_ptr<CMail> record = std::move(*position);
  records_.erase(position);
  MarkModified();
  KeepIndexesInRange();
  Notify([&](MailboxObserver& o) { o.RecordsRemoved(*this, index, 1); });
  return record;
}

void CLPOSTDoc::RemoveIndexes(std::vector<int> indexes) {
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  std::erase_if(indexes, [this](int index) { return index < 0 || index >= Count(); });
  // From the end, a run of neighbouring rows at a time: the rows before a
  // run keep their indexes, and each run is one notice.
  for (std::size_t end = indexes.size(); end > 0;) {
    std::size_t first = end - 1;
    while (first > 0 && indexes[first - 1] == indexes[first] - 1) --first;
    RemoveRange(indexes[first], static_cast<int>(end - first));
    end = first;
  }
}

CLPOSTDoc::Records CLPOSTDoc::TakeRecords() {
  Records taken = std::move(records_);
  records_.clear();
  KeepIndexesInRange();
  return taken;
}

void CLPOSTDoc::RemoveRange(int first, int count) {
  if (first < 0 || count <= 0 || first + count > Count()) return;
  Notify([&](MailboxObserver& o) { o.RecordsAboutToBeRemoved(*this, first, count); });
  records_.erase(records_.begin() + first, records_.begin() + first + count);
  MarkModified();
  KeepIndexesInRange();
  Notify([&](MailboxObserver& o) { o.RecordsRemoved(*this, first, count); });
}

void CLPOSTDoc::NoteRecordsChanged(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, Count() - 1);
  if (first > last) return;
  MarkModified();
  Notify([&](MailboxObserver& o) { o.RecordsChanged(*this, first, last); });
}

void CLPOSTDoc::Reorder(const std::function<void(Records&)>& reorder) {
  Notify([this](MailboxObserver& o) { o.RecordsAboutToBeReordered(*this); });
  reorder(records_);
  MarkModified();
  Notify([this](MailboxObserver& o) { o.RecordsReordered(*this); });
}

int CLPOSTDoc::IndexOfSerial(std::uint64_t serial) const {
  for (std::size_t i = 0; i < records_.size(); ++i) {
    if (records_[i]->serial == serial) return static_cast<int>(i);
  }
  return -1;
}

void CLPOSTDoc::AddObserver(MailboxObserver& observer) {
  if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end()) {
    observers_.push_back(&observer);
  }
}

void CLPOSTDoc::RemoveObserver(MailboxObserver& observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), &observer), observers_.end());
}

bool CLPOSTDoc::MarkBusy() {
  if (busy_.exchange(true, std::memory_order_acq_rel)) return false;
  NotifyAlways([this](MailboxObserver& o) { o.BusyChanged(*this, true); });
  return true;
}

void CLPOSTDoc::ClearBusy() {
  if (!IsBusy()) return;
  NotifyAlways([this](MailboxObserver& o) { o.AboutToReload(*this); });
  busy_.store(false, std::memory_order_release);
  Notify([this](MailboxObserver& o) { o.Reloaded(*this); });
  Notify([this](MailboxObserver& o) { o.BusyChanged(*this, false); });
}

void CLPOSTDoc::NoteCompactionWanted() {
  compaction_wanted_ = profile_.GetInt(kSectionAutoCompact, path_, 1) != 0;
}

void CLPOSTDoc::KeepIndexesInRange() {
  if (current_index_ >= Count()) current_index_ = Count() - 1;
}

}  // namespace lp
