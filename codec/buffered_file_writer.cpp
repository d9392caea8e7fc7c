#include "codec/buffered_file_writer.h"

namespace lp {

bool BufferedFileWriter::OpenAppend(std::string_view sjis_path) {
  Close();
  failed_ = false;
  error_text_.clear();
  tail_.clear();
  if (!file_.Open(sjis_path, File::Mode::Append)) return false;
  const std::optional<std::uint64_t> size = file_.Size();
  if (!size) {
    file_.Close();
    return false;
  }
  position_ = written_ = *size;
  pending_.reserve(kBlockBytes);
  return true;
}

void BufferedFileWriter::Adopt(File file, std::uint64_t position) {
  Close();
  failed_ = false;
  error_text_.clear();
  tail_.clear();
  file_ = std::move(file);
  position_ = written_ = position;
}

void BufferedFileWriter::Account(std::size_t before) {
  const std::size_t added = pending_.size() - before;
  if (failed_ || !file_.IsOpen()) {
    pending_.resize(before);
    return;
  }
  position_ += added;
  if (pending_.size() >= 2) {
    tail_.assign(pending_, pending_.size() - 2, 2);
  } else if (added > 0) {
    tail_ += pending_.back();
    if (tail_.size() > 2) tail_.erase(0, tail_.size() - 2);
  }
  if (pending_.size() >= kBlockBytes) Flush();
}

void BufferedFileWriter::Write(std::string_view bytes) {
  if (bytes.empty()) return;
  const std::size_t before = pending_.size();
  pending_.append(bytes);
  Account(before);
}

void BufferedFileWriter::Fail() {
  if (failed_) return;
  failed_ = true;
  error_text_ = LastSystemErrorText();
}

bool BufferedFileWriter::Flush() {
  if (pending_.empty()) return !failed_;
  if (!failed_ && !file_.Write(pending_)) Fail();
  if (!failed_) written_ = position_;
  pending_.clear();
  return !failed_;
}

bool BufferedFileWriter::Close() {
  if (!file_.IsOpen()) return !failed_;
  (void)Flush();
  // A full disk or quota may show only when the file is closed (network and
  // some local file systems write back then).
  if (!file_.Close()) Fail();
  return !failed_;
}

}  // namespace lp
