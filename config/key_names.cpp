#include "config/key_names.h"

namespace lp {
namespace {

std::vector<KeyName> MakeBindableKeys() {
  std::vector<KeyName> keys;
  for (int n = 1; n <= 15; ++n) keys.push_back({static_cast<std::uint32_t>(111 + n), "F" + std::to_string(n)});
  keys.push_back({192, "@"});
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    keys.push_back({static_cast<std::uint32_t>(letter), std::string(1, letter)});
  }
  const KeyName named[] = {
      {45, "Insert"}, {46, "Delete"}, {8, "BackSpace"}, {13, "Enter"}, {32, "Space"},
      {33, "PageUp"}, {34, "PageDown"}, {35, "End"},   {36, "Home"},  {106, "*"},
      {107, "+"},     {109, "-"},       {111, "/"},    {38, "Up"},    {40, "Down"},
      {37, "Left"},   {39, "Right"},    {27, "Escape"}, {9, "Tab"},
  };
  keys.insert(keys.end(), std::begin(named), std::end(named));
  for (char digit = '0'; digit <= '9'; ++digit) {
    keys.push_back({static_cast<std::uint32_t>(96 + (digit - '0')), std::string(1, digit)});
  }
  return keys;
}

}  // namespace

const std::vector<KeyName>& BindableKeys() {
  static const std::vector<KeyName> keys = MakeBindableKeys();
  return keys;
}

std::string KeyNameOf(std::uint32_t key) {
  for (const KeyName& entry : BindableKeys()) {
    if (entry.key == key) return entry.name;
  }
  return {};
}

std::string BindingText(const KeyCombination& combination) {
  std::string text;
  if (combination.alt) text += "Alt+";
  if (combination.shift) text += "Shift+";
  if (combination.ctrl) text += "Ctrl+";
  return text + KeyNameOf(combination.key);
}

}  // namespace lp
