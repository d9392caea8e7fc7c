#include "rules/search_history.h"

#include <algorithm>
#include <cstdio>

namespace lp {
namespace {

constexpr char kSectionSearch[] = "Search";

std::string KeyOf(int entry) {
  char key[8];
  std::snprintf(key, sizeof key, "str%02d", entry);
  return key;
}

}  // namespace

std::vector<std::string> LoadSearchHistory(const Profile& profile) {
  std::vector<std::string> history;
  for (int i = 0; i < kSearchHistorySize; ++i) {
    std::string text = profile.GetString(kSectionSearch, KeyOf(i), "");
    if (!text.empty()) history.push_back(std::move(text));
  }
  return history;
}

bool AddToSearchHistory(Profile& profile, std::string_view text) {
  if (text.empty()) return true;
  std::vector<std::string> history = LoadSearchHistory(profile);
  history.erase(std::remove(history.begin(), history.end(), text), history.end());
  history.insert(history.begin(), std::string(text));
  history.resize(std::min<std::size_t>(history.size(), kSearchHistorySize));
  std::vector<std::string> keys;
  for (int i = 0; i < kSearchHistorySize; ++i) keys.push_back(KeyOf(i));
  std::vector<ProfileEntry> entries;
  for (int i = 0; i < kSearchHistorySize; ++i) {
    const std::string_view value =
        static_cast<std::size_t>(i) < history.size() ? std::string_view(history[static_cast<std::size_t>(i)]) : "";
    entries.push_back(ProfileEntry{kSectionSearch, keys[static_cast<std::size_t>(i)], value});
  }
  return profile.WriteStrings(entries);
}

}  // namespace lp
