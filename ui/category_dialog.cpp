#include "ui/category_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <optional>

#include "ui/address_book_texts.h"
#include "ui/settings_input.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

CategoryDialog::CategoryDialog(std::vector<std::string> categories, QWidget* parent)
    : QDialog(parent), categories_(std::move(categories)), list_(new QListWidget(this)) {
  using namespace address_book_text;
  setWindowTitle(U(kCategoryTitle));
  list_->setObjectName(QStringLiteral("categories"));
  auto* buttons = new QVBoxLayout;
  const std::pair<const char*, std::function<void()>> actions[] = {
      {kCategoryAdd, [this] { AddCategory(); }},       {kCategoryEdit, [this] { RenameCategory(); }},
      {kCategoryDelete, [this] { DeleteCategory(); }}, {kCategoryUp, [this] { MoveCategory(-1); }},
      {kCategoryDown, [this] { MoveCategory(1); }},
  };
  for (const auto& [text, action] : actions) {
    auto* button = new QPushButton(U(text), this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, action);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(close, &QDialogButtonBox::rejected, this, &QDialog::accept);
  buttons->addWidget(close);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { RenameCategory(); });
  Refill(categories_.empty() ? -1 : 0);
  resize(360, 300);
}

void CategoryDialog::Refill(int current_row) {
  list_->clear();
  for (const std::string& name : categories_) list_->addItem(FromSjis(name));
  list_->setCurrentRow(current_row);
}

std::optional<std::string> CategoryDialog::AskName(const std::string& old_name) {
  using namespace address_book_text;
  bool ok = false;
  const QString typed = QInputDialog::getText(this, U(kCategoryTitle), U(kNewNamePrompt), QLineEdit::Normal,
                                              FromSjis(old_name), &ok)
                            .trimmed();
  if (!ok || typed.isEmpty()) return std::nullopt;
  std::optional<std::string> checked = CheckedSettingText(typed, U(kCategoryTitle), this);
  if (!checked) return std::nullopt;
  std::string name = std::move(*checked);
  if (name == old_name) return std::nullopt;
  if (std::find(categories_.begin(), categories_.end(), name) != categories_.end()) {
    QMessageBox::warning(this, U(kCategoryTitle), U(kCategoryExists) + typed);
    return std::nullopt;
  }
  return name;
}

void CategoryDialog::AddCategory() {
  if (std::optional<std::string> name = AskName({})) {
    categories_.push_back(std::move(*name));
    Refill(static_cast<int>(categories_.size()) - 1);
  }
}

void CategoryDialog::RenameCategory() {
  const int row = list_->currentRow();
  if (row < 0) return;
  std::string& current = categories_[static_cast<std::size_t>(row)];
  if (std::optional<std::string> name = AskName(current)) {
    changes_.push_back({current, *name});
    current = std::move(*name);
    Refill(row);
  }
}

void CategoryDialog::DeleteCategory() {
  const int row = list_->currentRow();
  if (row < 0) return;
  const std::string name = categories_[static_cast<std::size_t>(row)];
  if (QMessageBox::question(this, U(address_book_text::kCategoryTitle),
                            FromSjis(name) + U(address_book_text::kAskDelete), QMessageBox::Ok | QMessageBox::Cancel,
                            QMessageBox::Cancel) != QMessageBox::Ok) {
    return;
  }
  changes_.push_back({name, {}});
  categories_.erase(categories_.begin() + row);
  Refill(std::min(row, static_cast<int>(categories_.size()) - 1));
}

void CategoryDialog::MoveCategory(int step) {
  const int row = list_->currentRow();
  const int other = row + step;
  if (row < 0 || other < 0 || other >= static_cast<int>(categories_.size())) return;
  std::swap(categories_[static_cast<std::size_t>(row)], categories_[static_cast<std::size_t>(other)]);
  Refill(other);
}

std::size_t ApplyCategoryChanges(AddressBook& book, const std::vector<CategoryChange>& changes) {
  std::size_t changed = 0;
  for (const CategoryChange& change : changes) {
    changed += change.new_name.empty() ? book.ClearCategory(change.old_name)
                                       : book.RenameCategory(change.old_name, change.new_name);
  }
  return changed;
}

std::vector<CategoryChange> EditCategories(std::vector<std::string>& categories, AddressBook& book,
                                           Profile& profile, QWidget* parent) {
  CategoryDialog dialog(categories, parent);
  dialog.exec();
  categories = dialog.categories();
  if (!AddressBook::SaveCategories(profile, categories)) {
    QMessageBox::warning(parent, U(address_book_text::kCategoryTitle),
                         U(address_book_text::kCannotOpenFile) + FromSjis(profile.LastError()));
  }
  (void)ApplyCategoryChanges(book, dialog.changes());
  return dialog.changes();
}

void FillCategoryChoice(QComboBox& combo, const char* first, const std::vector<std::string>& categories,
                        bool with_edit_entry) {
  const QSignalBlocker blocker(combo);
  combo.clear();
  combo.addItem(U(first));
  for (const std::string& name : categories) combo.addItem(FromSjis(name));
  if (with_edit_entry) combo.addItem(U(address_book_text::kEditCategoriesEntry));
}

std::string CategoryOfChoice(int index, const std::vector<std::string>& categories) {
  if (index <= 0 || static_cast<std::size_t>(index) > categories.size()) return {};
  return categories[static_cast<std::size_t>(index) - 1];
}

}  // namespace lp
