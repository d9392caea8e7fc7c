#include "store/mail_import_spool.h"

#include <cstring>

namespace lp {

bool ImportSpool::Open(std::string_view sjis_path) {
  path_ = std::string(sjis_path);
  pending_.clear();
  pending_.reserve(kBlockBytes + 64 * 1024);
  flushed_ = 0;
  failed_ = false;
  error_text_.clear();
  if (!file_.Open(path_, File::Mode::Write)) {
    Fail();
    return false;
  }
  return true;
}

void ImportSpool::Fail() {
  if (!failed_) error_text_ = LastSystemErrorText();
  failed_ = true;
}

bool ImportSpool::FlushPending() {
  if (failed_) return false;
  if (!pending_.empty() && !file_.Write(pending_)) {
    Fail();
    return false;
  }
  flushed_ += pending_.size();
  pending_.clear();
  return true;
}

void ImportSpool::Write(std::string_view bytes) {
  if (failed_) return;
  pending_ += bytes;
  if (pending_.size() >= kBlockBytes) (void)FlushPending();
}

void ImportSpool::Patch(std::uint64_t offset, std::string_view bytes) {
  if (failed_) return;
  if (offset >= flushed_) {
    std::memcpy(pending_.data() + (offset - flushed_), bytes.data(), bytes.size());
    return;
  }
  if (!FlushPending() || !file_.Seek(offset) || !file_.Write(bytes) || !file_.Seek(flushed_)) Fail();
}

void ImportSpool::CutBackTo(std::uint64_t offset) {
  if (failed_) return;
  if (offset >= flushed_) {
    pending_.resize(static_cast<std::size_t>(offset - flushed_));
    return;
  }
  pending_.clear();
  if (!file_.Truncate(offset) || !file_.Seek(offset)) Fail();
  flushed_ = offset;
}

bool ImportSpool::Close() {
  const bool flushed = FlushPending();
  const bool closed = file_.Close();
  if (!closed) Fail();
  return flushed && closed && !failed_;
}

}  // namespace lp
