#pragma once

#include <QDialog>
#include <string>

#include "config/key_table.h"
#include "platform/user_interface.h"

class QTreeWidget;

// The key customization dialog: works on the key table directly. The list
// shows every entry whose command has a name, as its binding and the
// command's name; add and change go through the binding dialog; delete
// asks first; the table can be read from or saved to another key file,
// which then becomes the current one; "保存して閉じる" saves to the current
// key file and closes.

namespace lp {

class KeyCustomizationDialog final : public QDialog {
  Q_OBJECT

 public:
  // `key_file_path`: the current key file (Shift_JIS), updated by load and
  // save-as.
  KeyCustomizationDialog(CKeycustArray& keys, std::string& key_file_path, UserInterface& ui,
                         QWidget* parent = nullptr);

  // The table index of each listed row.
  [[nodiscard]] const std::vector<std::size_t>& listed() const { return listed_; }
  [[nodiscard]] QTreeWidget& list() { return *list_; }

  // The buttons' work, without the dialogs that gather their input.
  void AddEntry(const CKeycust& entry);
  void ReplaceSelected(const CKeycust& entry);
  // Asks first; true when the entry went.
  bool RemoveSelected();
  // Loads `sjis_path` in place of the table; false with a message.
  bool LoadFrom(const std::string& sjis_path);
  bool SaveTo(const std::string& sjis_path);
  // Saves to the current key file and closes; stays open with a message
  // when the file cannot be written.
  void SaveAndClose();

 private:
  void Refill();
  void AddWithDialog();
  void ChangeWithDialog();
  void LoadWithChoice();
  void SaveAsWithChoice();
  [[nodiscard]] int SelectedEntry() const;

  CKeycustArray& keys_;
  std::string& key_file_path_;
  UserInterface& ui_;
  QTreeWidget* list_;
  std::vector<std::size_t> listed_;
};

}  // namespace lp
