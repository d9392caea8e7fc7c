#include "codec/content_ids.h"

#include <cstdint>
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

// Texts beyond this size are left as they are: the rewrite holds the whole
// text in memory several times over, and no HTML mail comes near it.
constexpr std::uint32_t kMaxRewrittenTextBytes = 32u * 1024 * 1024;

}  // namespace

bool ResolveContentIds(CLPOSTDoc& box, int index) {
  const CMail* mail = box.RecordAt(index);
  if (box.content_ids().empty() || mail == nullptr) return false;
  if (mail->text_end < mail->text_start || mail->text_end - mail->text_start > kMaxRewrittenTextBytes) return false;
  std::string text = TextShowingError(box.ReadText(mail->text_start, mail->text_end), box.ui());
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
