#include "store/fixed_boxes.h"

#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

constexpr char kSectionSystem[] = "System";
// "送信済み.lp", "ごみ箱.lp", "下書き.lp"
constexpr char kDefaultSentBox[] = "\x91\x97\x90\x4D\x8D\xCF\x82\xDD.lp";
constexpr char kDefaultTrashBox[] = "\x82\xB2\x82\xDD\x94\xA0.lp";
constexpr char kDefaultDraftBox[] = "\x89\xBA\x8F\x91\x82\xAB.lp";

struct FixedBox {
  const char* flag_key;
  int flag_default;
  const char* file_key;
  const char* file_default;
};

constexpr FixedBox kFixedBoxes[] = {
    {"SmailDone", 0, "SendDoneFile", kDefaultSentBox},
    {"Trash", 1, "TrashFile", kDefaultTrashBox},
    {"Draft", 1, "DraftFile", kDefaultDraftBox},
};

}  // namespace

void EnsureFixedBoxes(const Profile& profile) {
  for (const FixedBox& box : kFixedBoxes) {
    if (profile.GetInt(kSectionSystem, box.flag_key, box.flag_default) == 0) continue;
    const std::string path = profile.GetString(kSectionSystem, box.file_key, box.file_default);
    if (!path.empty()) CreateEmptyFileIfMissing(path);
  }
}

std::string TrashBoxPath(const Profile& profile) {
  return AbsolutePath(profile.GetString(kSectionSystem, "TrashFile", kDefaultTrashBox));
}

bool IsTrashBox(const CLPOSTDoc& box, const Profile& profile) {
  return !box.PathName().empty() && box.PathName() == TrashBoxPath(profile);
}

bool TrashEnabled(const Profile& profile) { return profile.GetInt(kSectionSystem, "Trash", 1) != 0; }

std::string BoxDisplayName(std::string_view index_path) {
  std::string name = FileNameOf(index_path);
  // Shift_JIS trail bytes are never ".", so the last "." is the extension's.
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

}  // namespace lp
