#include "ui/key_customization_dialog.h"

#include <QHBoxLayout>
#include <functional>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/command_table.h"
#include "config/key_names.h"
#include "ui/key_binding_dialog.h"
#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"

namespace lp {
namespace {

std::string Sjis(const char* utf8) { return ToSjis(QString::fromUtf8(utf8)); }

}  // namespace

KeyCustomizationDialog::KeyCustomizationDialog(CKeycustArray& keys, std::string& key_file_path, UserInterface& ui,
                                               QWidget* parent)
    : QDialog(parent), keys_(keys), key_file_path_(key_file_path), ui_(ui), list_(new QTreeWidget(this)) {
  setWindowTitle(QString::fromUtf8(ui_text::kKeyDialogTitle));
  setObjectName(QStringLiteral("keyCustomizationDialog"));
  list_->setObjectName(QStringLiteral("keyList"));
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QString::fromUtf8(ui_text::kKeyColumnKey), QString::fromUtf8(ui_text::kKeyColumnCommand)});
  list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

  auto* buttons = new QVBoxLayout;
  const auto button = [&](const char* text, const std::function<void()>& run) {
    auto* push = new QPushButton(QString::fromUtf8(text), this);
    connect(push, &QPushButton::clicked, this, run);
    buttons->addWidget(push);
  };
  button(ui_text::kKeyAdd, [this] { AddWithDialog(); });
  button(ui_text::kKeyChange, [this] { ChangeWithDialog(); });
  button(ui_text::kKeyDelete, [this] { (void)RemoveSelected(); });
  button(ui_text::kKeyLoad, [this] { LoadWithChoice(); });
  button(ui_text::kKeySaveAs, [this] { SaveAsWithChoice(); });
  buttons->addStretch();
  button(ui_text::kKeySaveAndClose, [this] { SaveAndClose(); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &KeyCustomizationDialog::ChangeWithDialog);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  resize(560, 420);
  Refill();
}

void KeyCustomizationDialog::Refill() {
  list_->clear();
  listed_.clear();
  for (std::size_t i = 0; i < keys_.Count(); ++i) {
    const CKeycust& entry = keys_.At(i);
    // An entry for a command without a name works from the keyboard but is not listed.
    const std::string& name = CommandName(static_cast<int>(entry.command));
    if (name.empty()) continue;
    list_->addTopLevelItem(new QTreeWidgetItem({FromSjis(BindingText(entry.combination)), FromSjis(name)}));
    listed_.push_back(i);
  }
}

int KeyCustomizationDialog::SelectedEntry() const {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  return row < 0 || row >= static_cast<int>(listed_.size()) ? -1 : static_cast<int>(listed_[static_cast<std::size_t>(row)]);
}

void KeyCustomizationDialog::AddEntry(const CKeycust& entry) {
  keys_.Add(entry);
  Refill();
  list_->setCurrentItem(list_->topLevelItem(list_->topLevelItemCount() - 1));
}

void KeyCustomizationDialog::ReplaceSelected(const CKeycust& entry) {
  const int index = SelectedEntry();
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  if (index < 0 || !keys_.Replace(static_cast<std::size_t>(index), entry)) return;
  Refill();
  list_->setCurrentItem(list_->topLevelItem(row));
}

bool KeyCustomizationDialog::RemoveSelected() {
  const int index = SelectedEntry();
  if (index < 0) return false;
  if (ui_.Ask(Sjis(ui_text::kKeyAskDelete), MessageButtons::OkCancel) != Answer::Ok) return false;
  (void)keys_.RemoveAt(static_cast<std::size_t>(index));
  Refill();
  return true;
}

bool KeyCustomizationDialog::LoadFrom(const std::string& sjis_path) {
  CKeycustArray loaded;
  if (!loaded.Load(sjis_path)) {
    // A failed load leaves the table as it was.
    ui_.ShowMessage(Sjis(ui_text::kKeyCannotLoad));
    return false;
  }
  keys_ = std::move(loaded);
  key_file_path_ = sjis_path;
  Refill();
  return true;
}

bool KeyCustomizationDialog::SaveTo(const std::string& sjis_path) {
  if (!keys_.Save(sjis_path)) {
    ui_.ShowMessage(Sjis(ui_text::kKeyCannotSave));
    return false;
  }
  key_file_path_ = sjis_path;
  return true;
}

void KeyCustomizationDialog::SaveAndClose() {
  if (SaveTo(key_file_path_)) accept();
}

void KeyCustomizationDialog::AddWithDialog() {
  KeyBindingDialog dialog(keys_, ui_, std::nullopt, this);
  if (dialog.exec() == QDialog::Accepted) AddEntry(dialog.Binding());
}

void KeyCustomizationDialog::ChangeWithDialog() {
  const int index = SelectedEntry();
  if (index < 0) return;
  KeyBindingDialog dialog(keys_, ui_, keys_.At(static_cast<std::size_t>(index)), this);
  if (dialog.exec() == QDialog::Accepted) ReplaceSelected(dialog.Binding());
}

void KeyCustomizationDialog::LoadWithChoice() {
  const std::optional<std::string> path = ui_.ChooseFile(FileChoice{Sjis(ui_text::kKeyFileTitle), "", false});
  if (path) (void)LoadFrom(*path);
}

void KeyCustomizationDialog::SaveAsWithChoice() {
  const std::optional<std::string> path = ui_.ChooseFile(FileChoice{Sjis(ui_text::kKeyFileTitle), "", true});
  if (path) (void)SaveTo(*path);
}

}  // namespace lp
