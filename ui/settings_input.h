#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

class QWidget;

// Checks of what the user typed into a settings dialog, before anything is
// written: the settings file holds one line per key, in Shift_JIS.

namespace lp {

// The text in Shift_JIS, or nullopt after a message (parented to
// `parent`) naming `field` when it holds a line break or a character
// Shift_JIS cannot hold.
[[nodiscard]] std::optional<std::string> CheckedSettingText(const QString& text, const QString& field,
                                                            QWidget* parent);
// The text in Shift_JIS, line breaks allowed, or nullopt after that
// message.
[[nodiscard]] std::optional<std::string> CheckedShiftJis(const QString& text, const QString& field,
                                                         QWidget* parent);
// A whole number from `lowest` to `highest`, or nullopt after a message
// naming `field`.
[[nodiscard]] std::optional<int> CheckedNumber(const QString& text, const QString& field, int lowest, int highest,
                                               QWidget* parent);
// A port number 1 to 65535, or nullopt after a message naming `field`.
[[nodiscard]] std::optional<std::uint16_t> CheckedPort(const QString& text, const QString& field, QWidget* parent);

}  // namespace lp
