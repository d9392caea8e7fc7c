#pragma once

#include <QObject>
#include <QStringList>

class QCompleter;
class QLineEdit;

namespace lp {
class AddressBook;
}  // namespace lp

// Completion of an address field (To, Cc, Bcc) from the address book while
// the user types. The entry being typed is the text after the last comma;
// every address-book entry ("name <address>", or a list's name) that holds
// it anywhere, letters without case, is offered, and the chosen one takes
// its place after the entries before it.

namespace lp {

class AddressCompleter final : public QObject {
  Q_OBJECT

 public:
  AddressCompleter(QLineEdit& field, const QStringList& entries);

  [[nodiscard]] QCompleter& completer() { return *completer_; }
  // The field with its last entry replaced by `entry`.
  void Insert(const QString& entry);

 private:
  void Offer(const QString& text);

  QLineEdit& field_;
  QCompleter* completer_;
};

// The entries of every card of the book, in the book's order, for the
// completer: what the pick dialog would put in the field.
[[nodiscard]] QStringList AddressBookEntries(const AddressBook& book);

}  // namespace lp
