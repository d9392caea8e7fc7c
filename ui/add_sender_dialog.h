#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "addressbook/address_book.h"
#include "config/profile.h"
#include "ui/address_names.h"

class QComboBox;
class QLineEdit;

// "ｱﾄﾞﾚｽﾌﾞｯｸに追加": the name and address of a mail's sender, to be added
// to the address book with a category. The category list ends with the
// entry that opens the category editor.

namespace lp {

class AddSenderDialog final : public QDialog {
  Q_OBJECT

 public:
  // `categories` is the list shown; the category editor changes it and the
  // book's cards.
  AddSenderDialog(const MailSender& sender, AddressBook& book, Profile& profile,
                  std::vector<std::string>& categories, QWidget* parent = nullptr);

  [[nodiscard]] QLineEdit& name() { return *name_; }
  [[nodiscard]] QLineEdit& address() { return *address_; }
  [[nodiscard]] QComboBox& category() { return *category_; }

  // The category editor renamed or cleared categories on cards.
  [[nodiscard]] bool categories_changed() const { return categories_changed_; }

  // Adds the card; refuses (with a message) a text Shift_JIS cannot hold.
  void accept() override;

 private:
  void FillCategories(int current);

  AddressBook& book_;
  Profile& profile_;
  std::vector<std::string>& categories_;
  int category_index_ = 0;
  bool categories_changed_ = false;
  QLineEdit* name_;
  QLineEdit* address_;
  QComboBox* category_;
};

// One dialog per sender in turn; returns whether the book changed (a card
// added, or categories renamed or deleted on cards).
bool AddSendersToBook(const std::vector<MailSender>& senders, AddressBook& book, Profile& profile, QWidget* parent);

}  // namespace lp
