#include "store/text_block_reader.h"

#include <algorithm>

#include "store/store_messages.h"

namespace lp {
namespace {

constexpr std::uint32_t kTerminatorLength = 5;  // "\r\n.\r\n"

MailText Failed(std::string message) { return MailText{{}, std::move(message)}; }

}  // namespace

bool TextBlockReader::Open(std::string_view text_path) {
  window_.clear();
  window_start_ = 0;
  if (!file_.Open(text_path, File::Mode::Read)) return false;
  const std::optional<std::uint64_t> size = file_.Size();
  if (!size) {
    file_.Close();
    return false;
  }
  size_ = *size;
  return true;
}

MailText TextBlockReader::Read(std::uint32_t start, std::uint32_t end, std::string_view* text) {
  *text = {};
  if (!file_.IsOpen()) return Failed(store_messages::kTextFileOpenFailed);
  if (start > size_) return Failed(store_messages::kTextFileSeekFailed);
  const std::int64_t wanted = static_cast<std::int64_t>(end) - start - kTerminatorLength;
  if (wanted <= 0) return {};
  const std::uint64_t length = std::min<std::uint64_t>(static_cast<std::uint64_t>(wanted), size_ - start);
  const bool inside = start >= window_start_ && start + length <= window_start_ + window_.size();
  if (!inside) {
    const std::uint64_t read = std::min<std::uint64_t>(std::max<std::uint64_t>(length, kWindowBytes), size_ - start);
    window_.resize(static_cast<std::size_t>(read));
    window_start_ = start;
    ++window_number_;
    if (!file_.Seek(start)) {
      window_.clear();
      return Failed(store_messages::kTextFileSeekFailed);
    }
    const std::int64_t got = file_.ReadFull(window_.data(), window_.size());
    if (got < 0 || static_cast<std::uint64_t>(got) < length) {
      window_.clear();
      return Failed(std::string(store_messages::kFileReadFailed) + ":" + file_.Path());
    }
    window_.resize(static_cast<std::size_t>(got));
  }
  *text = std::string_view(window_).substr(static_cast<std::size_t>(start - window_start_),
                                           static_cast<std::size_t>(length));
  return {};
}

}  // namespace lp
