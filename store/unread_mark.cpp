#include "store/unread_mark.h"

#include "platform/sjis_path.h"

namespace lp {
namespace {

bool IsAbsolute(std::string_view path) { return !path.empty() && path.front() == kPathSeparator; }

std::string AbsoluteKey(std::string_view box_path) {
  return IsAbsolute(box_path) ? std::string(box_path) : AbsolutePath(box_path);
}

}  // namespace

std::string UnreadMarkKey(const Profile& profile, std::string_view box_path) {
  if (!IsAbsolute(box_path)) return std::string(box_path);
  std::string directory = DirectoryOf(AbsolutePath(profile.Path()));
  if (!EndsWithPathSeparator(directory)) directory += kPathSeparator;
  if (box_path.size() <= directory.size() || !box_path.starts_with(directory)) return std::string(box_path);
  return std::string(box_path.substr(directory.size()));
}
int ReadUnreadMark(Profile& profile, std::string_view box_path) {
  const std::string key = UnreadMarkKey(profile, box_path);
  const int mark = profile.GetInt(kUnreadMarkSection, key, -1);
  if (mark != -1) return mark;
  const std::string old_key = AbsoluteKey(box_path);
  if (old_key == key) return -1;
  const int old_mark = profile.GetInt(kUnreadMarkSection, old_key, -1);
  if (old_mark != -1 && profile.WriteInt(kUnreadMarkSection, key, old_mark)) {
    (void)profile.RemoveKey(kUnreadMarkSection, old_key);
  }
  return old_mark;
}

bool WriteUnreadMark(Profile& profile, std::string_view box_path, bool unread) {
  const std::string key = UnreadMarkKey(profile, box_path);
  const std::string old_key = AbsoluteKey(box_path);
  if (old_key != key && profile.GetInt(kUnreadMarkSection, old_key, -1) != -1) {
    (void)profile.RemoveKey(kUnreadMarkSection, old_key);
  }
  return profile.WriteInt(kUnreadMarkSection, key, unread ? 1 : 0);
}

}  // namespace lp
