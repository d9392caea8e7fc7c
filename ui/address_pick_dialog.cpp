#include "ui/address_pick_dialog.h"

#include <QComboBox>
#include <algorithm>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/address_book_texts.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr int kCardRole = Qt::UserRole;

}  // namespace

QString AddressFieldEntry(const QString& name, const QString& address) {
  if (address.contains(QLatin1Char('\r')) || address.contains(QLatin1Char('\n'))) return name;
  static const QString kBreaking = QStringLiteral(",\"<>");
  const bool name_breaks = std::any_of(name.begin(), name.end(), [](QChar c) { return kBreaking.contains(c); });
  if (name.trimmed().isEmpty() || name_breaks) return address.trimmed();
  return name.trimmed() + QStringLiteral(" <") + address.trimmed() + QLatin1Char('>');
}

AddressPickDialog::AddressPickDialog(const AddressBook& book, std::vector<std::string> categories, QWidget* parent)
    : QDialog(parent), book_(book), categories_(std::move(categories)) {
  using namespace address_book_text;
  setWindowTitle(U(kTitle));
  auto* layout = new QVBoxLayout(this);
  auto* category_row = new QHBoxLayout;
  category_ = new QComboBox(this);
  category_->setObjectName(QStringLiteral("category"));
  category_->addItem(U(kAllCategories));
  for (const std::string& name : categories_) category_->addItem(FromSjis(name));
  auto* category_label = new QLabel(U(kCategoryLabel), this);
  category_label->setBuddy(category_);
  category_row->addWidget(category_label);
  category_row->addWidget(category_, 1);
  layout->addLayout(category_row);

  search_ = new QLineEdit(this);
  search_->setObjectName(QStringLiteral("search"));
  search_->setPlaceholderText(U(kPickSearchPlaceholder));
  search_->setClearButtonEnabled(true);
  layout->addWidget(search_);

  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("cards"));
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setHeaderLabels({U(address_book_text::kNameHeader), U(address_book_text::kAddressHeader)});
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(list_, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  connect(category_, &QComboBox::currentIndexChanged, this, [this] { FillList(); });
  connect(search_, &QLineEdit::textChanged, this, [this] { HideUnmatched(); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });
  FillList();
  resize(480, 360);
}

void AddressPickDialog::FillList() {
  list_->clear();
  const int index = category_->currentIndex();
  const std::string* wanted =
      index > 0 && static_cast<std::size_t>(index) <= categories_.size() ? &categories_[index - 1] : nullptr;
  const TCard& cards = book_.Cards();
  for (std::size_t card = 0; card < cards.Cards().size(); ++card) {
    if (wanted != nullptr && cards.Field(card, kCategoryColumn) != *wanted) continue;
    QString address = FromSjis(cards.Field(card, kAddressColumn));
    auto* item = new QTreeWidgetItem(list_, {FromSjis(cards.Field(card, kNameColumn)),
                                             address.replace(QStringLiteral("\r\n"), QStringLiteral(" "))});
    item->setData(0, kCardRole, static_cast<qulonglong>(card));
  }
  HideUnmatched();
}

void AddressPickDialog::HideUnmatched() {
  const std::string wanted = ToSjis(search_->text().trimmed());
  QTreeWidgetItem* first = nullptr;
  for (int row = 0; row < list_->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    const auto card = static_cast<std::size_t>(item->data(0, kCardRole).toULongLong());
    const bool shown = CardHoldsText(book_.Cards(), card, wanted, {kNameColumn, kAddressColumn});
    item->setHidden(!shown);
    // A hidden card is not picked.
    if (!shown) item->setSelected(false);
    if (shown && first == nullptr) first = item;
  }
  QTreeWidgetItem* current = list_->currentItem();
  if (first != nullptr && (current == nullptr || current->isHidden())) list_->setCurrentItem(first);
}

QString AddressPickDialog::PickedText() const {
  QStringList entries;
  const TCard& cards = book_.Cards();
  for (int row = 0; row < list_->topLevelItemCount(); ++row) {
    const QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item->isSelected() || item->isHidden()) continue;
    const auto card = static_cast<std::size_t>(item->data(0, kCardRole).toULongLong());
    const QString entry =
        AddressFieldEntry(FromSjis(cards.Field(card, kNameColumn)), FromSjis(cards.Field(card, kAddressColumn)));
    if (!entry.isEmpty()) entries.push_back(entry);
  }
  return entries.join(QStringLiteral(", "));
}

QString PickFromAddressBook(const AddressBook& book, const Profile& profile, QWidget* parent) {
  AddressPickDialog dialog(book, book.LoadCategories(profile), parent);
  return dialog.exec() == QDialog::Accepted ? dialog.PickedText() : QString();
}

}  // namespace lp
