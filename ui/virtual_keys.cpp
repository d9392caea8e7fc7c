#include "ui/virtual_keys.h"

namespace lp {
namespace {

struct KeyPair {
  int qt_key;
  std::uint32_t virtual_key;
};

// Keys whose codes do not follow from a range.
constexpr KeyPair kNamedKeys[] = {
    {Qt::Key_At, 192},      {Qt::Key_Insert, 45},  {Qt::Key_Delete, 46},   {Qt::Key_Backspace, 8},
    {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},   {Qt::Key_Space, 32},    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},     {Qt::Key_Home, 36},     {Qt::Key_Up, 38},
    {Qt::Key_Down, 40},     {Qt::Key_Left, 37},    {Qt::Key_Right, 39},    {Qt::Key_Escape, 27},
    {Qt::Key_Tab, 9},       {Qt::Key_Backtab, 9},
};

// The numeric keypad's operators.
constexpr KeyPair kKeypadKeys[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107}, {Qt::Key_Minus, 109}, {Qt::Key_Slash, 111}};

constexpr std::uint32_t kVirtualF1 = 112;
constexpr std::uint32_t kVirtualNumpad0 = 96;

}  // namespace

std::uint32_t VirtualKeyOf(int qt_key, bool keypad) {
  if (keypad) {
    if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return kVirtualNumpad0 + static_cast<std::uint32_t>(qt_key - Qt::Key_0);
    for (const KeyPair& pair : kKeypadKeys) {
      if (pair.qt_key == qt_key) return pair.virtual_key;
    }
  }
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F15) return kVirtualF1 + static_cast<std::uint32_t>(qt_key - Qt::Key_F1);
  // Letters: Qt's key codes are the upper-case ASCII codes, as are the virtual keys.
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return static_cast<std::uint32_t>(qt_key);
  for (const KeyPair& pair : kNamedKeys) {
    if (pair.qt_key == qt_key) return pair.virtual_key;
  }
  return 0;
}

std::optional<KeyCombination> CombinationOf(int qt_key, Qt::KeyboardModifiers modifiers) {
  const std::uint32_t key = VirtualKeyOf(qt_key, modifiers.testFlag(Qt::KeypadModifier));
  if (key == 0) return std::nullopt;
  KeyCombination combination;
  combination.key = key;
  combination.alt = modifiers.testFlag(Qt::AltModifier);
  combination.ctrl = modifiers.testFlag(Qt::ControlModifier);
  // Shift+Tab arrives as Backtab: it is Tab with Shift held.
  combination.shift = modifiers.testFlag(Qt::ShiftModifier) || qt_key == Qt::Key_Backtab;
  return combination;
}

QKeySequence ShortcutOf(const KeyCombination& combination) {
  int qt_key = 0;
  const std::uint32_t key = combination.key;
  Qt::KeyboardModifiers modifiers;
  if (key >= kVirtualF1 && key < kVirtualF1 + 15) {
    qt_key = Qt::Key_F1 + static_cast<int>(key - kVirtualF1);
  } else if (key >= 'A' && key <= 'Z') {
    qt_key = static_cast<int>(key);
  } else if (key >= kVirtualNumpad0 && key <= kVirtualNumpad0 + 9) {
    qt_key = Qt::Key_0 + static_cast<int>(key - kVirtualNumpad0);
    modifiers |= Qt::KeypadModifier;
  } else {
    for (const KeyPair& pair : kKeypadKeys) {
      if (pair.virtual_key == key) {
        qt_key = pair.qt_key;
        modifiers |= Qt::KeypadModifier;
      }
    }
    for (const KeyPair& pair : kNamedKeys) {
      if (qt_key == 0 && pair.virtual_key == key) qt_key = pair.qt_key;
    }
  }
  if (qt_key == 0) return {};
  if (combination.alt) modifiers |= Qt::AltModifier;
  if (combination.ctrl) modifiers |= Qt::ControlModifier;
  if (combination.shift) modifiers |= Qt::ShiftModifier;
  return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(qt_key)));
}

}  // namespace lp
