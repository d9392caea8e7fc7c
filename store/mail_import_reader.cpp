#include "store/mail_import_reader.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "store/mail_import_messages.h"

namespace lp {
namespace {

bool IsEmptyLine(const SpoolLine& line) { return line.starts_line && !line.continues && line.text.empty(); }

// Why a source file did not open: a pipe or device (refused at once), or
// the system's reason.
std::string OpenFailure(int error_number) {
  return error_number == EINVAL ? std::string(mail_import_messages::kNotRegularFile)
                                : SourceFileFailure(mail_import_messages::kCannotOpen, error_number);
}

std::string ReadFailure() { return SourceFileFailure(mail_import_messages::kCannotRead, errno); }

class MboxReader final : public FolderMessageReader {
 public:
  bool Open(const std::string& native_path) {
    path_ = native_path;
    std::error_code error;
    total_ = std::filesystem::file_size(native_path, error);
    if (error) total_ = 0;
    return reader_.OpenNative(native_path);
  }

  bool NextMessage() override {
    if (started_) {
      SpoolLine skipped;
      while (NextLine(skipped)) {
      }
    } else {
      started_ = true;
      // Whatever stands before the first separator belongs to no message.
      SpoolLine line;
      while (reader_.ReadSpoolLine(line)) {
        if (line.starts_line && IsMboxSeparator(line.text)) {
          separator_pending_ = true;
          break;
        }
      }
    }
    if (!separator_pending_) {
      if (reader_.ReadFailed() && failure_.empty()) failure_ = ReadFailure();
      return false;
    }
    separator_pending_ = false;
    ended_ = false;
    blanks_ = 0;
    blanks_to_give_ = 0;
    held_ = false;
    failure_.clear();
    ++number_;
    return true;
  }

  bool NextLine(SpoolLine& line) override {
    for (;;) {
      if (blanks_to_give_ > 0) {
        --blanks_to_give_;
        line.text.clear();
        line.starts_line = true;
        line.continues = false;
        return true;
      }
      if (held_) {
        held_ = false;
        std::swap(line, next_);
        return true;
      }
      if (ended_) return false;
      if (!reader_.ReadSpoolLine(next_)) {
        ended_ = true;
        if (reader_.ReadFailed()) failure_ = ReadFailure();
        // The empty line that closes the last message is the separator's.
        blanks_to_give_ = blanks_ > 0 ? blanks_ - 1 : 0;
        blanks_ = 0;
        continue;
      }
      if (IsEmptyLine(next_)) {
        ++blanks_;
        continue;
      }
      if (next_.starts_line && IsMboxSeparator(next_.text) && (blanks_ > 0 || IsStrictFromLine(next_.text))) {
        ended_ = true;
        separator_pending_ = true;
        blanks_to_give_ = blanks_ > 0 ? blanks_ - 1 : 0;
        blanks_ = 0;
        continue;
      }
      if (next_.starts_line) UnquoteFromLine(next_.text);
      blanks_to_give_ = blanks_;
      blanks_ = 0;
      held_ = true;
    }
  }

  SourceReadState read_state() const override { return SourceReadState::Unknown; }
  std::string MessageName() const override { return path_ + " #" + std::to_string(number_); }
  const std::string& failure() const override { return failure_; }
  std::uint64_t BytesRead() const override { return reader_.BytesConsumed(); }
  std::uint64_t TotalBytes() const override { return total_; }

 private:
  SpoolLineReader reader_;
  std::string path_;
  std::uint64_t total_ = 0;
  bool started_ = false;
  bool separator_pending_ = false;
  bool ended_ = false;
  int blanks_ = 0;          // empty lines read and not yet given out
  int blanks_to_give_ = 0;  // empty lines to give out before anything else
  bool held_ = false;       // next_ is a line to give out after the blanks
  SpoolLine next_;
  int number_ = 0;
  std::string failure_;
};

class MessageFilesReader final : public FolderMessageReader {
 public:
  explicit MessageFilesReader(std::vector<MessageFile> files) : files_(std::move(files)) {
    for (const MessageFile& file : files_) {
      if (!file.problem.empty()) continue;
      std::error_code error;
      const std::uintmax_t size = std::filesystem::file_size(file.native_path, error);
      if (!error) total_ += size;
    }
  }

  bool NextMessage() override {
    if (index_ < files_.size()) done_bytes_ += reader_.BytesConsumed();
    reader_.Close();
    failure_.clear();
    if (++index_ >= files_.size()) {
      index_ = files_.size();
      return false;
    }
    first_line_ = true;
    const MessageFile& file = files_[index_];
    if (!file.problem.empty()) {
      open_ = false;
      failure_ = file.problem;
      return true;
    }
    open_ = reader_.OpenNative(file.native_path);
    if (!open_) failure_ = OpenFailure(errno);
    return true;
  }

  bool NextLine(SpoolLine& line) override {
    if (!open_) return false;
    if (!reader_.ReadSpoolLine(line)) {
      if (reader_.ReadFailed()) failure_ = ReadFailure();
      open_ = false;
      return false;
    }
    // Some programs leave the mbox envelope line at the top of the file.
    if (first_line_) {
      first_line_ = false;
      if (line.starts_line && IsMboxSeparator(line.text)) return NextLine(line);
    }
    return true;
  }

  SourceReadState read_state() const override { return files_[index_].read_state; }
  std::string MessageName() const override { return files_[index_].native_path; }
  const std::string& failure() const override { return failure_; }
  std::uint64_t BytesRead() const override { return done_bytes_ + reader_.BytesConsumed(); }
  std::uint64_t TotalBytes() const override { return total_; }

 private:
  std::vector<MessageFile> files_;
  std::size_t index_ = static_cast<std::size_t>(-1);
  SpoolLineReader reader_;
  bool open_ = false;
  bool first_line_ = true;
  std::uint64_t done_bytes_ = 0;
  std::uint64_t total_ = 0;
  std::string failure_;
};

}  // namespace

bool IsMboxSeparator(std::string_view line) { return line.starts_with("From "); }

bool IsStrictFromLine(std::string_view line) {
  if (!IsMboxSeparator(line)) return false;
  std::string_view rest = line.substr(5);
  const std::size_t address_end = rest.find(' ');
  if (address_end == 0 || address_end == std::string_view::npos) return false;
  rest.remove_prefix(address_end);
  const std::size_t date = rest.find_first_not_of(' ');
  if (date == std::string_view::npos) return false;
  rest.remove_prefix(date);
  if (rest.size() < 8 || rest[3] != ' ') return false;
  constexpr std::string_view kDays = "MonTueWedThuFriSatSun";
  constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const std::size_t day = kDays.find(rest.substr(0, 3));
  const std::size_t month = kMonths.find(rest.substr(4, 3));
  return day != std::string_view::npos && day % 3 == 0 && month != std::string_view::npos && month % 3 == 0;
}

void UnquoteFromLine(std::string& line) {
  std::size_t quotes = 0;
  while (quotes < line.size() && line[quotes] == '>') ++quotes;
  if (quotes > 0 && std::string_view(line).substr(quotes).starts_with("From ")) line.erase(0, 1);
}

std::unique_ptr<FolderMessageReader> OpenFolderMessages(const ImportFolder& folder, std::string& failure) {
  if (folder.format == MailSourceFormat::Mbox) {
    auto reader = std::make_unique<MboxReader>();
    if (!reader->Open(folder.native_path)) {
      failure = OpenFailure(errno);
      return nullptr;
    }
    return reader;
  }
  std::optional<std::vector<MessageFile>> files = ListMessageFiles(folder);
  if (!files) {
    failure = mail_import_messages::kCannotList;
    return nullptr;
  }
  return std::make_unique<MessageFilesReader>(std::move(*files));
}

std::optional<int> MboxSeparatorCounter::Count(const std::string& native_path, Progress* progress) {
  // Lines between two looks for a cancel.
  constexpr int kLinesPerCancelCheck = 4096;
  SpoolLineReader reader;
  if (!reader.OpenNative(native_path)) return std::nullopt;
  int count = 0;
  bool after_empty = true;  // the file's start counts as after an empty line
  SpoolLine line;
  for (int lines = 0; reader.ReadSpoolLine(line); ++lines) {
    if (progress && lines % kLinesPerCancelCheck == 0 && progress->CancelRequested()) return std::nullopt;
    if (line.starts_line && IsMboxSeparator(line.text) && (after_empty || IsStrictFromLine(line.text))) ++count;
    after_empty = IsEmptyLine(line);
  }
  if (reader.ReadFailed()) return std::nullopt;
  return count;
}

}  // namespace lp
