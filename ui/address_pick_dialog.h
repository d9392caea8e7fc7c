#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "addressbook/address_book.h"

class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace lp {

// The address book choice behind the compose window's To, Cc and Bcc
// buttons: the cards of one category (or of all), by name and address;
// the cards selected when OK is pressed, or the one double-clicked, give
// the text for the field. The book is only read.
class AddressPickDialog final : public QDialog {
  Q_OBJECT

 public:
  AddressPickDialog(const AddressBook& book, std::vector<std::string> categories, QWidget* parent = nullptr);

  [[nodiscard]] QComboBox& category() { return *category_; }
  [[nodiscard]] QTreeWidget& list() { return *list_; }
  // Hides the cards whose name and address do not hold the text.
  [[nodiscard]] QLineEdit& search() { return *search_; }
  // The selected cards as entries of an address field, separated by ", ".
  [[nodiscard]] QString PickedText() const;

 private:
  void FillList();
  void HideUnmatched();

  const AddressBook& book_;
  std::vector<std::string> categories_;
  QComboBox* category_ = nullptr;
  QLineEdit* search_ = nullptr;
  QTreeWidget* list_ = nullptr;
};

// The entry of an address field for one card: "name <address>", the bare
// address when the name is empty or would break the field apart, and the
// name alone for a card whose address field is a list of several lines
// (sending expands that name through the book).
[[nodiscard]] QString AddressFieldEntry(const QString& name, const QString& address);

// Opens the dialog on the book and its categories; empty when cancelled.
[[nodiscard]] QString PickFromAddressBook(const AddressBook& book, const Profile& profile, QWidget* parent);

}  // namespace lp
