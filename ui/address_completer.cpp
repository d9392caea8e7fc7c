#include "ui/address_completer.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

#include "addressbook/address_book.h"
#include "ui/address_pick_dialog.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

// The entries before the last comma, with their separator ("a, b, "), and
// the entry being typed after it.
std::pair<QString, QString> SplitLastEntry(const QString& text) {
  const qsizetype comma = text.lastIndexOf(QLatin1Char(','));
  if (comma < 0) return {QString(), text.trimmed()};
  return {text.left(comma).trimmed() + QStringLiteral(", "), text.mid(comma + 1).trimmed()};
}

}  // namespace

AddressCompleter::AddressCompleter(QLineEdit& field, const QStringList& entries)
    : QObject(&field), field_(field), completer_(new QCompleter(this)) {
  completer_->setModel(new QStringListModel(entries, completer_));
  completer_->setCaseSensitivity(Qt::CaseInsensitive);
  completer_->setFilterMode(Qt::MatchContains);
  completer_->setCompletionMode(QCompleter::PopupCompletion);
  completer_->setWidget(&field_);
  connect(&field_, &QLineEdit::textEdited, this, &AddressCompleter::Offer);
  connect(completer_, qOverload<const QString&>(&QCompleter::activated), this, &AddressCompleter::Insert);
}

void AddressCompleter::Offer(const QString& text) {
  // Only while the caret is at the end: an entry edited in the middle is
  // the user's own.
  const QString typed = SplitLastEntry(text).second;
  if (field_.cursorPosition() != text.size() || typed.isEmpty()) {
    completer_->popup()->hide();
    return;
  }
  completer_->setCompletionPrefix(typed);
  if (completer_->completionCount() == 0) {
    completer_->popup()->hide();
    return;
  }
  completer_->complete();
}

void AddressCompleter::Insert(const QString& entry) {
  field_.setText(SplitLastEntry(field_.text()).first + entry);
  field_.setModified(true);
}

QStringList AddressBookEntries(const AddressBook& book) {
  QStringList entries;
  const TCard& cards = book.Cards();
  for (std::size_t card = 0; card < cards.Cards().size(); ++card) {
    const QString entry =
        AddressFieldEntry(FromSjis(cards.Field(card, kNameColumn)), FromSjis(cards.Field(card, kAddressColumn)));
    if (!entry.isEmpty()) entries << entry;
  }
  return entries;
}

}  // namespace lp
