#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "addressbook/address_book.h"
#include "config/profile.h"

class QComboBox;
class QListWidget;

// "カテゴリの編集": the address book's category names, added, renamed,
// deleted and reordered. A rename or a deletion is kept as a change for
// the cards that carry the category; the caller applies them.

namespace lp {

// A category renamed, or deleted when `new_name` is empty.
struct CategoryChange {
  std::string old_name;
  std::string new_name;
};

class CategoryDialog final : public QDialog {
  Q_OBJECT

 public:
  CategoryDialog(std::vector<std::string> categories, QWidget* parent = nullptr);

  [[nodiscard]] QListWidget& list() { return *list_; }
  [[nodiscard]] const std::vector<std::string>& categories() const { return categories_; }
  [[nodiscard]] const std::vector<CategoryChange>& changes() const { return changes_; }

  void AddCategory();
  void RenameCategory();
  void DeleteCategory();
  void MoveCategory(int step);

 private:
  // The name typed for `old_name` (empty for a new one) in Shift_JIS, or
  // nothing when cancelled, empty, already taken or not Shift_JIS.
  [[nodiscard]] std::optional<std::string> AskName(const std::string& old_name);
  void Refill(int current_row);

  std::vector<std::string> categories_;
  std::vector<CategoryChange> changes_;
  QListWidget* list_;
};

// The changes on every card that carries a changed category; returns how
// many cards changed.
std::size_t ApplyCategoryChanges(AddressBook& book, const std::vector<CategoryChange>& changes);

// Runs the dialog on `categories`, then writes them to [AdrCategory] and
// applies the changes to `book`. The changes, for a copy of the book.
std::vector<CategoryChange> EditCategories(std::vector<std::string>& categories, AddressBook& book,
                                           Profile& profile, QWidget* parent);

// `first` (all categories, or none), the category names and, when asked,
// the entry that opens the category dialog.
void FillCategoryChoice(QComboBox& combo, const char* first, const std::vector<std::string>& categories,
                        bool with_edit_entry);
// The category of a card choice: index 0 (none) and the edit entry give "".
[[nodiscard]] std::string CategoryOfChoice(int index, const std::vector<std::string>& categories);

}  // namespace lp
