#include "codec/buffered_file_writer.h"

namespace lp {

bool BufferedFileWriter::OpenAppend(std::string_view sjis_path) {
  Close();
  failed_ = false;
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

bool BufferedFileWriter::Flush() {
  if (pending_.empty()) return !failed_;
  if (!failed_ && !file_.Write(pending_)) failed_ = true;
  if (!failed_) written_ = position_;
  pending_.clear();
  return !failed_;
}

bool BufferedFileWriter::Close() {
  if (!file_.IsOpen()) return !failed_;
  const bool flushed = Flush();
  return file_.Close() && flushed;
}

}  // namespace lp
