#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/profile.h"
#include "platform/command_observer.h"
#include "platform/user_interface.h"
#include "store/display_text.h"
#include "store/mail_record.h"

// An open mailbox: the records of its index file "*.lp" in list order, and
// access to the text blocks of its text file "*.mb".

namespace lp {

// Command sent to the main frame after the unread mark of a box changed:
// the mailbox tree refreshes its marks.
inline constexpr int kCommandRefreshUnreadMarks = 32881;

// One part of a received mail that an HTML text refers to as "cid:...".
struct CContentID {
  std::string content_id;
  std::string path;  // the attachment file saved for that part
};

// Outcome of loading or writing an index file; `message` (Shift_JIS) says
// what went wrong and names the file.
struct IndexFileResult {
  bool ok = true;
  std::string message;
};

// A mail's text read from the text file; `error` (Shift_JIS) says why it
// could not be read, and `text` is then empty.
struct MailText {
  std::string text;
  std::string error;
  [[nodiscard]] bool ok() const { return error.empty(); }
};

// Shows the error of `read`, if any, through `ui` and gives its text.
[[nodiscard]] std::string TextShowingError(MailText read, UserInterface& ui);

class CLPOSTDoc;

// Told of every change to the record list of a box, before and after it
// happens, so that a list model can report precise row changes. Rows are
// list indexes at the moment of the notice.
class MailboxObserver {
 public:
  virtual ~MailboxObserver() = default;
  virtual void RecordsAboutToBeInserted(const CLPOSTDoc& /*box*/, int /*first*/, int /*count*/) {}
  virtual void RecordsInserted(const CLPOSTDoc& /*box*/, int /*first*/, int /*count*/) {}
  virtual void RecordsAboutToBeRemoved(const CLPOSTDoc& /*box*/, int /*first*/, int /*count*/) {}
  virtual void RecordsRemoved(const CLPOSTDoc& /*box*/, int /*first*/, int /*count*/) {}
  // Fields of the records [first, last] changed; the list itself did not.
  virtual void RecordsChanged(const CLPOSTDoc& /*box*/, int /*first*/, int /*last*/) {}
  // The same records in another order (a sort): rows move, identities stay.
  virtual void RecordsAboutToBeReordered(const CLPOSTDoc& /*box*/) {}
  virtual void RecordsReordered(const CLPOSTDoc& /*box*/) {}
  // The whole list was replaced from the file.
  virtual void AboutToReload(const CLPOSTDoc& /*box*/) {}
  virtual void Reloaded(const CLPOSTDoc& /*box*/) {}
  // The box's files now live at another path (a rename or a move in the
  // mailbox tree): PathName() is the new one.
  virtual void Relocated(const CLPOSTDoc& /*box*/) {}
  // A job on a worker thread took the box (true) or gave it back (false).
  // While it is busy no other notice comes and the box must not be read;
  // giving it back sends AboutToReload, then Reloaded, then this notice.
  virtual void BusyChanged(const CLPOSTDoc& /*box*/, bool /*busy*/) {}
};

// The text-file path of an index path: up to the last "." of the file name,
// then ".mb" (a name without "." gets ".mb" appended).
[[nodiscard]] std::string TextFilePathOf(std::string_view index_path);

class CLPOSTDoc {
 public:
  using Records = std::vector<std::unique_ptr<CMail>>;

  CLPOSTDoc(Profile& profile, UserInterface& ui, CommandObserver& commands);
  // A snapshot still to be written is no longer written.
  ~CLPOSTDoc();
  CLPOSTDoc(const CLPOSTDoc&) = delete;
  CLPOSTDoc& operator=(const CLPOSTDoc&) = delete;

  // Loads the index file (a zero-length file is an empty box); the text file
  // is not touched. On failure the document stays exactly as it was: a file
  // that does not load is never overwritten by a later save. The message is
  // for the caller to show.
  [[nodiscard]] IndexFileResult Open(std::string_view index_path);
  // After the box's files were renamed or moved to `new_index_path`: later
  // reads and saves use them there; the observers hear of it.
  void Relocate(std::string_view new_index_path);
  // Makes this an empty document that appends to the files of the box at
  // `index_path` without loading its index: a job's staging area, whose
  // records the box takes over on its own thread afterwards.
  void OpenAsStaging(std::string_view index_path);
  // Loads the box's own index again after another operation changed it on
  // disk. A record still at its place with the same fields keeps its
  // serial (a box saved just before keeps every one); the compaction wish
  // and the Content-ID map survive. On failure nothing changes.
  [[nodiscard]] IndexFileResult Reload();
  // Writes the whole index to `index_path`, replacing the file atomically;
  // clears the modified flag on success.
  IndexFileResult Save(std::string_view index_path);
  // Saves to the box's own path.
  IndexFileResult Save();

  // Writes of one document's index from any thread: one at a time, and
  // never an older state over a newer one, nor over a box that moved,
  // was loaded again or closed since.
  struct IndexWriteGuard {
    std::mutex mutex;
    std::uint64_t epoch = 0;   // grows when the box moves, loads or closes
    std::uint64_t landed = 0;  // the change count of the state last written
  };
  // A save in two steps, for writing a large index beside the event loop:
  // the snapshot is taken here, written on any thread (WriteIndexSnapshot),
  // and noted here again. Writes of one document never overlap: a Save
  // waits for a snapshot being written, and a snapshot that a later Save
  // or snapshot overtook is not written.
  struct IndexSnapshot {
    std::string path;
    std::string bytes;
    std::uint64_t changes = 0;  // the document's change count when taken
    std::uint64_t epoch = 0;
    std::shared_ptr<IndexWriteGuard> guard;
  };
  [[nodiscard]] IndexSnapshot SnapshotIndex() const;
  // After a successful write: the box counts as saved when nothing changed
  // since the snapshot.
  void NoteSnapshotWritten(const IndexSnapshot& snapshot);
  // Before the last window of the box closes: compaction when wanted, then
  // a silent save when modified.
  IndexFileResult CloseRequest();

  // The index path given to Open, made absolute: the key of the box's
  // per-box settings. Empty until a successful Open.
  [[nodiscard]] const std::string& PathName() const { return path_; }
  [[nodiscard]] const std::string& TextFilePath() const { return text_path_; }

  // The text of the block [start, end) without its final "\r\n.\r\n"; it also
  // becomes the text buffer. A failure gives an empty text and the reason,
  // for the caller to show.
  [[nodiscard]] MailText ReadText(std::uint32_t start, std::uint32_t end);
  // Appends `text` as a new block and points the record at it (a change
  // the observers hear of). False when the text file cannot be appended
  // to; the record then keeps its offsets.
  bool StoreText(int index, std::string_view text);
  bool StoreTextOfLast(std::string_view text);

  // The mail's text as shown to the user. `line_limit` 0 = no limit.
  [[nodiscard]] MailText DisplayText(int index, HeaderMode mode, int line_limit);
  // DisplayText as a reader is shown it: a received mail with a text and
  // an HTML version shows the text, an HTML-only one text made from the
  // HTML (codec/readable_mail.h); outgoing mail as DisplayText.
  [[nodiscard]] MailText ReadableText(int index, HeaderMode mode, int line_limit);
  // DisplayText of the current mail (outgoing mail with all header lines);
  // a current index of -1 first becomes the last record.
  [[nodiscard]] MailText CurrentText();

  // First unread record, else the last index; -1 for an empty box.
  [[nodiscard]] int FirstUnread() const;
  // Writes the box's "Read" setting and tells the main frame.
  void UpdateUnreadMark();

  [[nodiscard]] int Count() const { return static_cast<int>(records_.size()); }
  // nullptr when `index` is out of range. A caller changing fields of a
  // record calls NoteRecordChanged afterwards.
  [[nodiscard]] CMail* RecordAt(int index);
  [[nodiscard]] const CMail* RecordAt(int index) const;
  // Appends to the end of the list and gives the record its serial; marks
  // the box modified.
  void Add(std::unique_ptr<CMail> record);
  // Appends every record in one insertion (one notice for the lot).
  void AddAll(std::vector<std::unique_ptr<CMail>> records);
  // Takes the record out of the list (the caller decides whether it lives
  // on); nullptr when out of range. Marks the box modified.
  std::unique_ptr<CMail> RemoveAt(int index);
  // Gives up every record at once (a staging document hands its records
  // to the box); the observers hear of nothing.
  [[nodiscard]] Records TakeRecords();
  // Drops the records [first, first + count) in one removal; nothing when
  // the range is not wholly inside the list. Marks the box modified.
  void RemoveRange(int first, int count);
  // Drops the records at these indexes (any order; repeats and indexes out
  // of range ignored), one removal per run of neighbouring rows.
  void RemoveIndexes(std::vector<int> indexes);
  // After a caller changed fields of the records [first, last]: tells the
  // observers and marks the box modified.
  void NoteRecordsChanged(int first, int last);
  void NoteRecordChanged(int index) { NoteRecordsChanged(index, index); }
  // Lets `reorder` put the same records in another order (it must neither
  // add nor drop any); marks the box modified.
  void Reorder(const std::function<void(Records&)>& reorder);
  // List index of the record with this serial, or -1.
  [[nodiscard]] int IndexOfSerial(std::uint64_t serial) const;
  // The list index of each serial (-1 where the box no longer holds it),
  // found in one pass however many serials are asked for.
  [[nodiscard]] std::vector<int> RowsOfSerials(std::span<const std::uint64_t> serials) const;

  // Observers are not owned; one must be removed before it goes away.
  void AddObserver(MailboxObserver& observer);
  void RemoveObserver(MailboxObserver& observer);

  // A box is busy while a job on a worker thread works on it; nothing else
  // may read or change it then (app/background_job.h). Both calls belong
  // to the thread that owns the box; MarkBusy is false when already busy.
  [[nodiscard]] bool MarkBusy();
  void ClearBusy();
  [[nodiscard]] bool IsBusy() const { return busy_.load(std::memory_order_acquire); }

  // A job on a worker thread appends to the text file while the records
  // stay usable here: nothing else may write the text file meanwhile
  // (copies into the box, compaction, stored texts refuse). Owning thread.
  void ReserveTextFile() { text_file_reserved_ = true; }
  void ReleaseTextFile() { text_file_reserved_ = false; }
  [[nodiscard]] bool TextFileReserved() const { return text_file_reserved_; }
  // Busy or reserved: the text file must not be written now.
  [[nodiscard]] bool TextFileInUse() const { return IsBusy() || text_file_reserved_; }

  [[nodiscard]] bool IsModified() const { return modified_; }
  void SetModified(bool modified = true) {
    modified_ = modified;
    if (modified) ++changes_;
  }

  // Compaction of the text file is wanted when the box's "AutoCompact"
  // setting is on; the flag follows the setting each time it is noted.
  void NoteCompactionWanted();
  [[nodiscard]] bool CompactionWanted() const { return compaction_wanted_; }
  void ClearCompactionWanted() { compaction_wanted_ = false; }
  // Runs the compaction on closing; set by the mailbox operations. Without
  // one, closing only saves.
  void SetCompactor(std::function<void(CLPOSTDoc&)> compactor) { compactor_ = std::move(compactor); }

  // Caret row of the mail list (-1 = none).
  [[nodiscard]] int current_index() const { return current_index_; }
  void set_current_index(int index) { current_index_ = index; }
  // The mail on which the list last opened a window, by its serial (0 =
  // none, a new mail): a sort, deletion or move never makes it name
  // another mail.
  [[nodiscard]] std::uint64_t command_mail() const { return command_mail_serial_; }
  void set_command_mail(std::uint64_t serial) { command_mail_serial_ = serial; }
  // Its list index now; -1 for none or when the box no longer holds it.
  [[nodiscard]] int CommandMailIndex() const {
    return command_mail_serial_ != 0 ? IndexOfSerial(command_mail_serial_) : -1;
  }

  // The last text read.
  [[nodiscard]] const std::string& text_buffer() const { return text_buffer_; }
  // Filled by the analysis of received mail, read by the HTML view; never saved.
  [[nodiscard]] std::vector<CContentID>& content_ids() { return content_ids_; }
  [[nodiscard]] const std::vector<CContentID>& content_ids() const { return content_ids_; }

  [[nodiscard]] Profile& profile() { return profile_; }
  [[nodiscard]] UserInterface& ui() { return ui_; }
  [[nodiscard]] CommandObserver& commands() { return commands_; }

 private:
  [[nodiscard]] IndexFileResult LoadRecords(const std::string& full_path, Records& records) const;
  // Replaces the records with loaded ones, between the reload notices.
  void TakeLoadedRecords(Records records, const std::string& full_path);
  void KeepIndexesInRange();
  void AssignSerial(CMail& record) { record.serial = ++last_serial_; }
  void MarkModified() { SetModified(true); }
  template <typename Flush>
  bool SerializeIndex(std::string& buffer, Flush flush) const;
  template <typename Notice>
  void Notify(Notice notice) const {
    // A job's changes are told as one reload when it gives the box back:
    // observers live on the owning thread.
    if (IsBusy()) return;
    NotifyAlways(notice);
  }
  template <typename Notice>
  void NotifyAlways(Notice notice) const {
    for (MailboxObserver* observer : observers_) notice(*observer);
  }

  Profile& profile_;
  UserInterface& ui_;
  CommandObserver& commands_;

  Records records_;
  std::uint64_t last_serial_ = 0;
  std::vector<MailboxObserver*> observers_;
  std::string path_;
  std::string text_path_;
  bool text_file_reserved_ = false;
  bool modified_ = false;
  std::uint64_t changes_ = 0;  // every change counts, for NoteSnapshotWritten
  std::shared_ptr<IndexWriteGuard> index_write_guard_ = std::make_shared<IndexWriteGuard>();
  // Snapshots taken before now are not written any more (the box moved,
  // loaded again or closed).
  void RetireSnapshots();
  bool compaction_wanted_ = false;
  int current_index_ = -1;
  std::uint64_t command_mail_serial_ = 0;
  std::string text_buffer_;
  std::vector<CContentID> content_ids_;
  std::function<void(CLPOSTDoc&)> compactor_;
  std::atomic<bool> busy_{false};
};

// The header mode a mail is shown in when nobody asks for another: all
// header lines for outgoing mail, whose stored text is its body alone (the
// fields live in the record); the "Mail"/"Header" setting for the rest.
[[nodiscard]] HeaderMode ShownHeaderMode(const CMail& record);

// Writes a snapshot taken by CLPOSTDoc::SnapshotIndex, replacing the index
// atomically; any thread, even after the document went.
[[nodiscard]] IndexFileResult WriteIndexSnapshot(const CLPOSTDoc::IndexSnapshot& snapshot);

// Loads the records of the index file at `full_path` without opening the
// box (no document, no observers), as a box being opened would load them.
[[nodiscard]] IndexFileResult LoadIndexFile(const std::string& full_path, CLPOSTDoc::Records& records);

}  // namespace lp
