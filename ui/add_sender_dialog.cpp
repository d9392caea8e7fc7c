#include "ui/add_sender_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/address_book_texts.h"
#include "ui/category_dialog.h"
#include "ui/settings_input.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

using namespace address_book_text;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

AddSenderDialog::AddSenderDialog(const MailSender& sender, AddressBook& book, Profile& profile,
                                 std::vector<std::string>& categories, QWidget* parent)
    : QDialog(parent),
      book_(book),
      profile_(profile),
      categories_(categories),
      name_(new QLineEdit(sender.name, this)),
      address_(new QLineEdit(sender.address, this)),
      category_(new QComboBox(this)) {
  setWindowTitle(U(kAddSenderTitle));
  category_->setObjectName(QStringLiteral("category"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(U(kAddSenderQuestion), this));
  auto* form = new QFormLayout;
  form->addRow(U(kNameField), name_);
  form->addRow(U(kAddressField), address_);
  form->addRow(U(kCardCategoryField), category_);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  FillCategories(0);
  connect(category_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index != category_->count() - 1) {
      category_index_ = index;
      return;
    }
    const std::string chosen = CategoryOfChoice(category_index_, categories_);
    std::string followed = chosen;
    const std::vector<CategoryChange> changes = EditCategories(categories_, book_, profile_, this);
    categories_changed_ = categories_changed_ || !changes.empty();
    for (const CategoryChange& change : changes) {
      if (change.old_name == followed) followed = change.new_name;
    }
    const auto found = std::find(categories_.begin(), categories_.end(), followed);
    FillCategories(followed.empty() || found == categories_.end() ? 0
                                                                  : static_cast<int>(found - categories_.begin()) + 1);
  });
  resize(420, sizeHint().height());
}

void AddSenderDialog::FillCategories(int current) {
  FillCategoryChoice(*category_, kNoCategory, categories_, true);
  category_index_ = current;
  const QSignalBlocker blocker(category_);
  category_->setCurrentIndex(current);
}

void AddSenderDialog::accept() {
  const std::optional<std::string> name = CheckedShiftJis(name_->text().trimmed(), U(kNameField), this);
  if (!name) return;
  const std::optional<std::string> address = CheckedShiftJis(address_->text().trimmed(), U(kAddressField), this);
  if (!address) return;
  (void)book_.AddSender(*name, *address, CategoryOfChoice(category_index_, categories_));
  QDialog::accept();
}

bool AddSendersToBook(const std::vector<MailSender>& senders, AddressBook& book, Profile& profile, QWidget* parent) {
  std::vector<std::string> categories = book.LoadCategories(profile);
  bool changed = false;
  for (const MailSender& sender : senders) {
    AddSenderDialog dialog(sender, book, profile, categories, parent);
    const bool added = dialog.exec() == QDialog::Accepted;
    changed = changed || added || dialog.categories_changed();
  }
  return changed;
}

}  // namespace lp
