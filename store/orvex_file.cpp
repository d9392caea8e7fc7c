#include "store/orvex_file.h"

#include <utility>

#include "store/store_messages.h"

namespace lp {

COrvexFileException::COrvexFileException(std::string message, std::string path)
    : std::runtime_error(message + ":" + path), message_(std::move(message)), path_(std::move(path)) {}

COrvexFile::COrvexFile(std::string_view sjis_path, File::Mode mode) { Open(sjis_path, mode); }

void COrvexFile::Throw(const char* message) const { throw COrvexFileException(message, path_); }

void COrvexFile::Open(std::string_view sjis_path, File::Mode mode) {
  file_.Close();
  path_ = std::string(sjis_path);
  if (!file_.Open(path_, mode)) Throw(store_messages::kFileOpenFailed);
}

std::size_t COrvexFile::Read(void* buffer, std::size_t size) {
  const std::int64_t count = file_.Read(buffer, size);
  if (count < 0) Throw(store_messages::kFileReadFailed);
  return static_cast<std::size_t>(count);
}

void COrvexFile::Write(std::string_view bytes) {
  if (!file_.Write(bytes)) Throw(store_messages::kFileWriteFailed);
}

void COrvexFile::Seek(std::uint64_t offset) {
  if (!file_.Seek(offset)) Throw(store_messages::kFileSeekFailed);
}

std::uint64_t COrvexFile::Position() const {
  const auto position = file_.Tell();
  if (!position) Throw(store_messages::kFileSeekFailed);
  return *position;
}

std::uint64_t COrvexFile::Length() const {
  const auto size = file_.Size();
  if (!size) Throw(store_messages::kFileSeekFailed);
  return *size;
}

void COrvexFile::Close() {
  if (!file_.IsOpen()) return;
  if (!file_.Close()) Throw(store_messages::kFileCloseFailed);
}

}  // namespace lp
