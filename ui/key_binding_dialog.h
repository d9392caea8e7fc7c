#pragma once

#include <QDialog>
#include <optional>

#include "config/key_table.h"
#include "platform/user_interface.h"

class QCheckBox;
class QComboBox;

// The binding dialog of the key customization: a key from the list of
// bindable keys, Ctrl, Shift and Alt, and the command from the command-name
// list ("（なし）" first). Accepting a combination other than the entry's old
// one that already runs a named command asks whether the key should run
// this command too; Cancel keeps the dialog open.

namespace lp {

class KeyBindingDialog final : public QDialog {
  Q_OBJECT

 public:
  // `old`: the entry being changed, or nullopt for a new one.
  KeyBindingDialog(const CKeycustArray& keys, UserInterface& ui, std::optional<CKeycust> old,
                   QWidget* parent = nullptr);

  [[nodiscard]] CKeycust Binding() const;
  void SetBinding(const CKeycust& binding);

  void accept() override;

 private:
  const CKeycustArray& keys_;
  UserInterface& ui_;
  std::optional<CKeycust> old_;
  QComboBox* key_;
  QCheckBox* ctrl_;
  QCheckBox* shift_;
  QCheckBox* alt_;
  QComboBox* command_;
};

}  // namespace lp
