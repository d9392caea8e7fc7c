#include "ui/key_binding_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>

#include "app/command_table.h"
#include "config/key_names.h"
#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"

namespace lp {
namespace {

// The named command a combination runs already, or nullptr.
const CommandInfo* NamedCommandOf(const CKeycustArray& keys, const KeyCombination& combination) {
  for (const std::uint32_t command : keys.CommandsFor(combination)) {
    const CommandInfo* info = FindCommand(static_cast<int>(command));
    if (info != nullptr && !CommandName(info->id).empty()) return info;
  }
  return nullptr;
}

}  // namespace

KeyBindingDialog::KeyBindingDialog(const CKeycustArray& keys, UserInterface& ui, std::optional<CKeycust> old,
                                   QWidget* parent)
    : QDialog(parent),
      keys_(keys),
      ui_(ui),
      old_(std::move(old)),
      key_(new QComboBox(this)),
      ctrl_(new QCheckBox(QString::fromUtf8(ui_text::kBindingCtrl), this)),
      shift_(new QCheckBox(QString::fromUtf8(ui_text::kBindingShift), this)),
      alt_(new QCheckBox(QString::fromUtf8(ui_text::kBindingAlt), this)),
      command_(new QComboBox(this)) {
  setWindowTitle(QString::fromUtf8(ui_text::kKeyDialogTitle));
  setObjectName(QStringLiteral("keyBindingDialog"));
  for (const KeyName& key : BindableKeys()) key_->addItem(FromSjis(key.name), key.key);
  command_->addItem(QString::fromUtf8(ui_text::kBindingNoCommand), 0);
  for (const int id : NamedCommandIds()) command_->addItem(FromSjis(CommandName(id)), id);

  auto* modifiers = new QHBoxLayout;
  modifiers->addWidget(ctrl_);
  modifiers->addWidget(shift_);
  modifiers->addWidget(alt_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &KeyBindingDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &KeyBindingDialog::reject);
  auto* form = new QFormLayout(this);
  form->addRow(QString::fromUtf8(ui_text::kBindingKey), key_);
  form->addRow(QString(), modifiers);
  form->addRow(QString::fromUtf8(ui_text::kBindingCommand), command_);
  form->addRow(buttons);
  if (old_) SetBinding(*old_);
}

CKeycust KeyBindingDialog::Binding() const {
  CKeycust binding;
  binding.combination.key = key_->currentData().toUInt();
  binding.combination.ctrl = ctrl_->isChecked();
  binding.combination.shift = shift_->isChecked();
  binding.combination.alt = alt_->isChecked();
  binding.command = command_->currentData().toUInt();
  return binding;
}

void KeyBindingDialog::SetBinding(const CKeycust& binding) {
  key_->setCurrentIndex(qMax(0, key_->findData(binding.combination.key)));
  ctrl_->setChecked(binding.combination.ctrl);
  shift_->setChecked(binding.combination.shift);
  alt_->setChecked(binding.combination.alt);
  command_->setCurrentIndex(qMax(0, command_->findData(binding.command)));
}

void KeyBindingDialog::accept() {
  const KeyCombination combination = Binding().combination;
  const bool unchanged = old_ && old_->combination == combination;
  if (!unchanged) {
    if (const CommandInfo* taken = NamedCommandOf(keys_, combination)) {
      const std::string question = ToSjis(QString::fromUtf8(ui_text::kBindingTakenBefore)) + CommandName(taken->id) +
                                   ToSjis(QString::fromUtf8(ui_text::kBindingTakenAfter));
      if (ui_.Ask(question, MessageButtons::OkCancel) != Answer::Ok) return;
    }
  }
  QDialog::accept();
}

}  // namespace lp
