#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/key_table.h"

// Names of the keys a binding can use, as the key list shows them. The
// names are ASCII, so they read the same in Shift_JIS and UTF-8.

namespace lp {

struct KeyName {
  std::uint32_t key;  // virtual-key code
  std::string name;
};

// Every bindable key in list order: F1–F15, "@", A–Z, the editing and
// arrow keys, the keypad operators and the keypad digits.
[[nodiscard]] const std::vector<KeyName>& BindableKeys();
// The key's name ("F5", "A", "PageUp", "0" for the keypad digit), or empty
// for a key that cannot be bound.
[[nodiscard]] std::string KeyNameOf(std::uint32_t key);
// "Alt+", "Shift+" and "Ctrl+" (each when held, in that order) and the key's
// name: "Shift+F12".
[[nodiscard]] std::string BindingText(const KeyCombination& combination);

}  // namespace lp
