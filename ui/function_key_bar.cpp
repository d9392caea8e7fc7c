#include "ui/function_key_bar.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "app/command_table.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

constexpr std::uint32_t kVirtualF1 = 112;

KeyCombination FunctionKey(int number, int modifier_state) {
  KeyCombination combination;
  combination.key = kVirtualF1 + static_cast<std::uint32_t>(number - 1);
  combination.shift = (modifier_state & 1) != 0;
  combination.ctrl = (modifier_state & 2) != 0;
  return combination;
}

}  // namespace

int ModifierStateOf(Qt::KeyboardModifiers modifiers) {
  return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0);
}

FunctionKeyBar::FunctionKeyBar(const CKeycustArray& keys, RunKey run, QWidget* parent)
    : QWidget(parent), keys_(keys), run_(std::move(run)) {
  setObjectName(QStringLiteral("functionKeyBar"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
}

void FunctionKeyBar::Rebuild(int key_count, int group_size) {
  auto* row = static_cast<QHBoxLayout*>(layout());
  for (QPushButton* button : buttons_) delete button;
  buttons_.clear();
  while (QLayoutItem* item = row->takeAt(0)) delete item;
  if (group_size <= 0) group_size = key_count;
  // Buttons are 5/3 of the font's height and share the width.
  const int height = fontMetrics().height() * 5 / 3;
  for (int k = 1; k <= key_count; ++k) {
    if (k > 1 && (k - 1) % group_size == 0) row->addSpacing(kGroupGap);
    auto* button = new QPushButton(this);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedHeight(height);
    button->setMinimumWidth(1);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    connect(button, &QPushButton::clicked, this, [this, k] { run_(FunctionKey(k, modifier_state_)); });
    row->addWidget(button, 1);
    buttons_.push_back(button);
  }
  const int state = modifier_state_ < 0 ? 0 : modifier_state_;
  modifier_state_ = -1;
  Refresh(state);
}

void FunctionKeyBar::Refresh(int modifier_state) {
  if (modifier_state == modifier_state_) return;
  modifier_state_ = modifier_state;
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    const std::vector<std::uint32_t> commands = keys_.CommandsFor(FunctionKey(number, modifier_state));
    buttons_[i]->setText(FromSjis(FunctionKeyLabel(number, modifier_state, commands.empty() ? 0 : commands.front())));
  }
}

QStringList FunctionKeyBar::Labels() const {
  QStringList labels;
  for (const QPushButton* button : buttons_) labels << button->text();
  return labels;
}

}  // namespace lp
