#include "codec/content_ids.h"

#include <string>
#include <string_view>

namespace lp {
namespace {

// A character that can go on an id: "cid:img1" must not match "cid:img10".
bool ContinuesId(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
         std::string_view("-_.@$%+=~!#&*/^`{|}").find(c) != std::string_view::npos;
}

}  // namespace

bool ResolveContentIds(CLPOSTDoc& box, int index) {
  if (box.content_ids().empty() || box.RecordAt(index) == nullptr) return false;
  std::string text = box.DisplayText(index, HeaderMode::All, 0);
  if (text.find("cid:") == std::string::npos) return false;
  bool replaced = false;
  for (const CContentID& entry : box.content_ids()) {
    if (entry.content_id.empty() || entry.path.empty()) continue;
    const std::string reference = "cid:" + entry.content_id;
    std::size_t at = text.find(reference);
    while (at != std::string::npos) {
      const std::size_t after = at + reference.size();
      if (after < text.size() && ContinuesId(text[after])) {
        at = text.find(reference, after);
        continue;
      }
      text.replace(at, reference.size(), entry.path);
      replaced = true;
      at = text.find(reference, at + entry.path.size());
    }
  }
  return replaced && box.StoreText(index, text);
}

}  // namespace lp
