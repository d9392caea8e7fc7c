#pragma once

#include <QKeySequence>
#include <Qt>
#include <cstdint>
#include <optional>

#include "config/key_table.h"

// Qt keys mapped onto the Windows virtual-key codes that key files hold, so
// that existing key files keep working, and back (to show a binding in a menu).

namespace lp {

// The virtual-key code of a Qt key, or 0 for a key that cannot be bound.
// `keypad` tells the digits and operators of the numeric keypad apart.
[[nodiscard]] std::uint32_t VirtualKeyOf(int qt_key, bool keypad);
// The key combination of a key press, or nullopt for an unbindable key.
[[nodiscard]] std::optional<KeyCombination> CombinationOf(int qt_key, Qt::KeyboardModifiers modifiers);
// The shortcut a menu shows for a binding (empty when Qt has no such key).
[[nodiscard]] QKeySequence ShortcutOf(const KeyCombination& combination);

}  // namespace lp
