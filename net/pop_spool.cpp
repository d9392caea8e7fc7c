#include "net/pop_spool.h"

#include <algorithm>

namespace lp {

std::string NulToSpace(std::string_view bytes) {
  std::string out(bytes);
  std::replace(out.begin(), out.end(), '\0', ' ');
  return out;
}

bool PopSpool::Open(std::string_view sjis_path) {
  unsynced_ = false;
  end_ = 0;
  if (!file_.Open(sjis_path, File::Mode::Append)) return false;
  const std::optional<std::uint64_t> size = file_.Size();
  if (!size) {
    file_.Close();
    return false;
  }
  end_ = *size;
  return true;
}

bool PopSpool::Append(std::string_view bytes) {
  if (!file_.IsOpen()) return false;
  unsynced_ = true;
  if (!file_.Write(NulToSpace(bytes))) return false;
  end_ += bytes.size();
  return true;
}

bool PopSpool::SyncIfNeeded() {
  if (!unsynced_) return true;
  if (!file_.IsOpen() || !file_.Sync()) return false;
  unsynced_ = false;
  return true;
}

bool PopSpool::Close() {
  if (!file_.IsOpen()) return true;
  const bool synced = SyncIfNeeded();
  file_.Close();
  return synced;
}

}  // namespace lp
