#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "config/key_table.h"

class QPushButton;

// The function-key bar: one button per function key in groups with a gap
// between them, each labelled with what F(k) does under the modifiers held
// now; a click runs the key's commands as the key would.

namespace lp {

class FunctionKeyBar final : public QWidget {
  Q_OBJECT

 public:
  using RunKey = std::function<void(const KeyCombination&)>;

  FunctionKeyBar(const CKeycustArray& keys, RunKey run, QWidget* parent = nullptr);

  // Rebuilds the buttons for `key_count` keys in groups of `group_size`.
  void Rebuild(int key_count, int group_size);
  // Labels for the modifier state (Shift 1, Ctrl 2).
  void Refresh(int modifier_state);
  [[nodiscard]] int modifier_state() const { return modifier_state_; }
  [[nodiscard]] QStringList Labels() const;

  static constexpr int kGroupGap = 10;

 private:
  const CKeycustArray& keys_;
  RunKey run_;
  std::vector<QPushButton*> buttons_;
  int modifier_state_ = -1;
};

// Shift 1 and Ctrl 2, as the function-key bar's labels are chosen.
[[nodiscard]] int ModifierStateOf(Qt::KeyboardModifiers modifiers);

}  // namespace lp
