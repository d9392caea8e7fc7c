#include "ui/address_book_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTextDocument>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <functional>

#include "addressbook/card_import.h"
#include "addressbook/vcard_import.h"
#include "ui/address_book_texts.h"
#include "ui/address_sort_dialog.h"
#include "ui/settings_input.h"
#include "ui/sjis_qt.h"
#include "ui/worker_jobs.h"
#include "platform/file_system.h"

namespace lp {
namespace {

using namespace address_book_text;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QString ShownText(const std::string& sjis) {
  QString text = FromSjis(sjis);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return text;
}

QString StoredText(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return text;
}

QPlainTextEdit* LinesField(int lines, QWidget* parent) {
  auto* field = new QPlainTextEdit(parent);
  field->setTabChangesFocus(true);
  field->setLineWrapMode(QPlainTextEdit::NoWrap);
  const int margins = 2 * (field->frameWidth() + static_cast<int>(field->document()->documentMargin()));
  // Japanese lines come from a fallback font, a little taller than the
  // primary font's line.
  field->setFixedHeight((field->fontMetrics().lineSpacing() + 4) * lines + margins);
  return field;
}

QPushButton* Button(const char* text, QWidget* parent, const std::function<void()>& action) {
  auto* button = new QPushButton(U(text), parent);
  button->setAutoDefault(false);
  QObject::connect(button, &QPushButton::clicked, parent, action);
  return button;
}

// Large enough for any address book; a file beyond it is not one.
constexpr qint64 kMaxImportBytes = 64ll << 20;

}  // namespace

AddressBookDialog::AddressBookDialog(AddressBook& book, Profile& profile, QWidget* parent)
    : QDialog(parent),
      book_(book),
      working_(book),
      profile_(profile),
      filter_(new QComboBox(this)),
      search_(new QLineEdit(this)),
      names_(new QListWidget(this)),
      name_(new QLineEdit(this)),
      address_(LinesField(3, this)),
      postal_code_(new QLineEdit(this)),
      postal_address_(LinesField(3, this)),
      telephone_(new QLineEdit(this)),
      memo_(LinesField(3, this)),
      category_(new QComboBox(this)),
      jobs_(std::make_unique<WorkerJobs>()) {
  setWindowTitle(U(kTitle));
  filter_->setObjectName(QStringLiteral("filter"));
  names_->setObjectName(QStringLiteral("names"));
  category_->setObjectName(QStringLiteral("category"));

  auto* filter_row = new QHBoxLayout;
  auto* filter_label = new QLabel(U(kCategoryLabel), this);
  filter_label->setBuddy(filter_);
  filter_row->addWidget(filter_label);
  filter_row->addWidget(filter_, 1);

  auto* order_row = new QHBoxLayout;
  order_row->addWidget(Button(kUpButton, this, [this] { MoveCard(-1); }));
  order_row->addWidget(Button(kDownButton, this, [this] { MoveCard(1); }));
  order_row->addWidget(Button(kSortButton, this, [this] { SortCards(); }));
  auto* edit_row = new QHBoxLayout;
  edit_row->addWidget(Button(kAddButton, this, [this] { AddCard(); }));
  edit_row->addWidget(Button(kDeleteButton, this, [this] { DeleteCard(); }));
  auto* left = new QVBoxLayout;
  left->addLayout(filter_row);
  search_->setObjectName(QStringLiteral("search"));
  search_->setPlaceholderText(U(kSearchPlaceholder));
  search_->setClearButtonEnabled(true);
  left->addWidget(search_);
  left->addWidget(names_, 1);
  left->addLayout(order_row);
  left->addLayout(edit_row);

  auto* address_buttons = new QHBoxLayout;
  address_buttons->addWidget(Button(kFileButton, this, [this] { ChooseAddressFile(); }));
  address_buttons->addWidget(Button(kLanButton, this, [this] { ChooseLanDirectory(); }));
  address_buttons->addStretch(1);
  auto* form = new QFormLayout;
  form->addRow(U(kNameField), name_);
  form->addRow(U(kAddressField), address_);
  form->addRow(QString(), address_buttons);
  form->addRow(U(kPostalCodeField), postal_code_);
  form->addRow(U(kPostalAddressField), postal_address_);
  form->addRow(U(kTelephoneField), telephone_);
  form->addRow(U(kMemoField), memo_);
  form->addRow(U(kCardCategoryField), category_);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 2);
  columns->addLayout(form, 3);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Button(kImportButton, this, [this] { ChooseImportFile(); }));
  bottom->addWidget(Button(kExportButton, this, [this] { ChooseExportFile(); }));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  bottom->addStretch(1);
  bottom->addWidget(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(bottom);

  connect(names_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row == shown_) return;
    if (!KeepShownCard()) {
      SelectRow(shown_);
      return;
    }
    ShowCard(row);
  });
  connect(search_, &QLineEdit::textChanged, this, [this] { ApplySearch(); });
  connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (QListWidgetItem* item = names_->item(shown_)) item->setText(text);
  });
  connect(filter_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index == filter_->count() - 1) {
      OpenCategoryEditor();
      return;
    }
    if (!KeepShownCard()) {
      const QSignalBlocker blocker(filter_);
      filter_->setCurrentIndex(filter_index_);
      return;
    }
    filter_index_ = index;
    ApplyFilter();
  });

  categories_ = working_.LoadCategories(profile_);
  const int stored = AddressBook::CategoryIndex(profile_);
  filter_index_ = stored >= 0 && static_cast<std::size_t>(stored) <= categories_.size() ? stored : 0;
  FillCategoryLists();
  ApplyFilter();
  resize(680, 460);
}

void AddressBookDialog::FillCategoryLists() {
  FillCategoryChoice(*filter_, kAllCategories, categories_, true);
  FillCategoryChoice(*category_, kNoCategory, categories_, false);
  const QSignalBlocker blocker(filter_);
  filter_->setCurrentIndex(filter_index_);
}

void AddressBookDialog::ApplyFilter() {
  working_.ApplyCategoryFilter(filter_index_, categories_);
  FillNames(0);
}

void AddressBookDialog::OpenCategoryEditor() {
  // The fields shown go into their card first: a rename must reach it.
  if (!KeepShownCard()) {
    const QSignalBlocker blocker(filter_);
    filter_->setCurrentIndex(filter_index_);
    return;
  }
  std::string followed = CategoryOfChoice(filter_index_, categories_);
  const std::vector<CategoryChange> changes = EditCategories(categories_, working_, profile_, this);
  category_changes_.insert(category_changes_.end(), changes.begin(), changes.end());
  changed_ = changed_ || !changes.empty();
  // The filter follows its category through a rename; a deleted one shows all.
  for (const CategoryChange& change : changes) {
    if (change.old_name == followed) followed = change.new_name;
  }
  const auto found = std::find(categories_.begin(), categories_.end(), followed);
  filter_index_ = followed.empty() || found == categories_.end() ? 0 : static_cast<int>(found - categories_.begin()) + 1;
  FillCategoryLists();
  const int row = shown_;
  working_.ApplyCategoryFilter(filter_index_, categories_);
  shown_ = -1;
  FillNames(row);
}

void AddressBookDialog::FillNames(int row) {
  const TCard& cards = working_.Cards();
  {
    const QSignalBlocker blocker(names_);
    names_->clear();
    for (std::size_t i = 0; i < cards.ViewSize(); ++i) {
      names_->addItem(FromSjis(cards.Field(cards.CardOfView(i), kNameColumn)));
    }
    HideUnmatchedRows();
  }
  const int count = static_cast<int>(cards.ViewSize());
  int chosen = count == 0 ? -1 : std::clamp(row, 0, count - 1);
  if (chosen >= 0 && names_->item(chosen)->isHidden()) chosen = FirstShownRow();
  SelectRow(chosen);
  ShowCard(chosen);
}

void AddressBookDialog::HideUnmatchedRows() {
  const std::string wanted = ToSjis(search_->text().trimmed());
  const TCard& cards = working_.Cards();
  for (int row = 0; row < names_->count(); ++row) {
    const std::size_t card = cards.CardOfView(static_cast<std::size_t>(row));
    names_->item(row)->setHidden(
        !CardHoldsText(cards, card, wanted, {kNameColumn, kAddressColumn, kTelephoneColumn, kMemoColumn}));
  }
}

int AddressBookDialog::FirstShownRow() const {
  for (int row = 0; row < names_->count(); ++row) {
    if (!names_->item(row)->isHidden()) return row;
  }
  return -1;
}

void AddressBookDialog::ApplySearch() {
  // What was typed into the card shown counts for the search too.
  if (!KeepShownCard()) return;
  HideUnmatchedRows();
  if (shown_ >= 0 && !names_->item(shown_)->isHidden()) return;
  const int first = FirstShownRow();
  if (first >= 0) names_->setCurrentRow(first);
}

void AddressBookDialog::SelectRow(int row) {
  const QSignalBlocker blocker(names_);
  names_->setCurrentRow(row);
}

void AddressBookDialog::ShowCard(int row) {
  shown_ = row;
  const TCard& cards = working_.Cards();
  const bool valid = row >= 0 && static_cast<std::size_t>(row) < cards.ViewSize();
  const std::size_t card = valid ? cards.CardOfView(static_cast<std::size_t>(row)) : cards.Cards().size();
  name_->setText(FromSjis(cards.Field(card, kNameColumn)));
  address_->setPlainText(ShownText(cards.Field(card, kAddressColumn)));
  postal_code_->setText(FromSjis(cards.Field(card, kPostalCodeColumn)));
  postal_address_->setPlainText(ShownText(cards.Field(card, kPostalAddressColumn)));
  telephone_->setText(FromSjis(cards.Field(card, kTelephoneColumn)));
  memo_->setPlainText(ShownText(cards.Field(card, kMemoColumn)));
  const std::string& category = cards.Field(card, kCategoryColumn);
  const auto found = std::find(categories_.begin(), categories_.end(), category);
  shown_category_ = category.empty() || found == categories_.end() ? 0 : static_cast<int>(found - categories_.begin()) + 1;
  category_->setCurrentIndex(shown_category_);
}

std::array<std::string, kMemoColumn + 1> AddressBookDialog::ShownTexts(bool* all_shift_jis) {
  const std::pair<QString, const char*> shown[] = {
      {name_->text(), kNameField},
      {StoredText(address_->toPlainText()), kAddressField},
      {postal_code_->text(), kPostalCodeField},
      {StoredText(postal_address_->toPlainText()), kPostalAddressField},
      {telephone_->text(), kTelephoneField},
      {StoredText(memo_->toPlainText()), kMemoField},
  };
  std::array<std::string, kMemoColumn + 1> texts;
  *all_shift_jis = true;
  for (std::size_t column = 0; column < texts.size() && *all_shift_jis; ++column) {
    std::optional<std::string> sjis = CheckedShiftJis(shown[column].first, U(shown[column].second), this);
    *all_shift_jis = sjis.has_value();
    if (sjis) texts[column] = std::move(*sjis);
  }
  return texts;
}

bool AddressBookDialog::KeepShownCard() {
  if (shown_ < 0 || static_cast<std::size_t>(shown_) >= working_.Cards().ViewSize()) return true;
  bool all_shift_jis = true;
  const auto texts = ShownTexts(&all_shift_jis);
  if (!all_shift_jis) return false;
  TCard& cards = working_.Cards();
  const std::size_t card = cards.CardOfView(static_cast<std::size_t>(shown_));
  for (std::size_t column = 0; column < texts.size(); ++column) {
    if (cards.Field(card, column) == texts[column]) continue;
    (void)cards.SetField(card, column, texts[column]);
    changed_ = true;
  }
  // A category the list does not know shows as none: it stays unless
  // another one was chosen.
  if (category_->currentIndex() != shown_category_) {
    (void)cards.SetField(card, kCategoryColumn, CategoryOfChoice(category_->currentIndex(), categories_));
    shown_category_ = category_->currentIndex();
    changed_ = true;
  }
  if (QListWidgetItem* item = names_->item(shown_)) item->setText(FromSjis(texts[kNameColumn]));
  return true;
}

void AddressBookDialog::AddCard() {
  // A new card matches no search: the whole list shows it.
  search_->clear();
  TCard& cards = working_.Cards();
  if (shown_ >= 0) {
    if (!KeepShownCard()) return;
    // A new card in the category shown, so that the list shows it.
    std::vector<std::string> texts(kCategoryColumn + 1);
    texts[kCategoryColumn] = CategoryOfChoice(filter_index_, categories_);
    (void)cards.AddCard(std::move(texts));
  } else {
    bool all_shift_jis = true;
    const auto shown = ShownTexts(&all_shift_jis);
    if (!all_shift_jis) return;
    std::vector<std::string> texts(shown.begin(), shown.end());
    texts.push_back(CategoryOfChoice(category_->currentIndex(), categories_));
    (void)cards.AddCard(std::move(texts));
  }
  changed_ = true;
  shown_ = -1;
  // The new card is the filtered view's last one, unless a card made from
  // the fields shown carries another category than the one shown.
  FillNames(static_cast<int>(cards.ViewSize()) - 1);
  name_->setFocus();
}

void AddressBookDialog::DeleteCard() {
  if (shown_ < 0) return;
  const std::string& name = working_.Cards().Field(working_.Cards().CardOfView(static_cast<std::size_t>(shown_)),
                                                   kNameColumn);
  if (QMessageBox::question(this, U(kTitle), FromSjis(name) + U(kAskDelete), QMessageBox::Ok | QMessageBox::Cancel,
                            QMessageBox::Cancel) != QMessageBox::Ok) {
    return;
  }
  const int row = shown_;
  (void)working_.Cards().RemoveViewCard(static_cast<std::size_t>(row));
  changed_ = true;
  shown_ = -1;
  FillNames(row);
}

void AddressBookDialog::MoveCard(int step) {
  // Neighbours are those of the whole list, not of a search's matches.
  if (!search_->text().trimmed().isEmpty()) return;
  const int other = shown_ + step;
  if (shown_ < 0 || other < 0 || static_cast<std::size_t>(other) >= working_.Cards().ViewSize()) return;
  if (!KeepShownCard()) return;
  (void)working_.Cards().SwapViewCards(static_cast<std::size_t>(shown_), static_cast<std::size_t>(other));
  changed_ = true;
  shown_ = -1;
  FillNames(other);
}

void AddressBookDialog::SortCards() {
  if (!KeepShownCard()) return;
  QStringList columns;
  for (const CardField& field : working_.Cards().Header()) columns << FromSjis(field.text);
  AddressSortDialog dialog(columns, this);
  if (dialog.exec() != QDialog::Accepted) return;
  working_.Cards().SortCards(dialog.ChosenColumn(), dialog.Ascending());
  changed_ = true;
  shown_ = -1;
  FillNames(0);
}

void AddressBookDialog::ChooseAddressFile() {
  const QString file = QFileDialog::getOpenFileName(this, U(kAddressFileTitle), U(kAddressFileDefault),
                                                    U(kAddressFileFilter));
  if (!file.isEmpty()) address_->setPlainText(file);
}

void AddressBookDialog::ChooseLanDirectory() {
  QString folder = QFileDialog::getExistingDirectory(this, U(kLanDirectoryPrompt));
  if (folder.isEmpty()) return;
  // The closing separator marks the address as a LAN folder.
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  address_->setPlainText(folder);
}

void AddressBookDialog::ChooseImportFile() {
  const QString file = QFileDialog::getOpenFileName(this, U(kImportTitle), QString(), U(kImportFilter));
  if (!file.isEmpty()) ImportFile(file);
}

AddressBookDialog::~AddressBookDialog() = default;

struct AddressBookDialog::ReadAddressFile {
  bool read = false;
  ImportedCards imported;
};

void AddressBookDialog::ImportFile(const QString& path) {
  if (importing_ || !KeepShownCard()) return;
  importing_ = true;
  // The window goes on painting; nothing in it changes the cards meanwhile.
  setEnabled(false);
  auto read = std::make_shared<ReadAddressFile>();
  const std::string native = path.toStdString();
  jobs_->Run(
      [read, native] {
        // Only a regular file: a named pipe would keep the worker waiting.
        File file;
        if (!file.OpenNative(native, File::Mode::ReadRegular)) return;
        const std::optional<std::uint64_t> size = file.Size();
        if (!size || *size > static_cast<std::uint64_t>(kMaxImportBytes)) return;
        std::string bytes(*size, '\0');
        const std::int64_t got = file.ReadFull(bytes.data(), bytes.size());
        if (got < 0) return;
        bytes.resize(static_cast<std::size_t>(got));
        read->imported = ParseAddressFile(bytes);
        read->read = true;
      },
      [this, read, path] {
        importing_ = false;
        setEnabled(true);
        TakeImported(path, *read);
        emit ImportFinished();
      });
}

void AddressBookDialog::TakeImported(const QString& path, const ReadAddressFile& read) {
  if (!read.read) {
    QMessageBox::warning(this, U(kImportTitle), U(kCannotOpenFile) + path);
    return;
  }
  const ImportedCards& imported = read.imported;
  if (imported.problem != CardImportProblem::None) {
    const char* reason = imported.problem == CardImportProblem::Empty ? kImportEmpty : kImportNoColumns;
    QMessageBox::warning(this, U(kImportTitle), U(reason) + path);
    return;
  }
  const CardMerge merge = AddImportedCards(working_, imported.cards);
  if (merge.added > 0) changed_ = true;
  // Categories the new cards bring join the lists.
  for (const std::string& name : working_.LoadCategories(profile_)) {
    if (std::find(categories_.begin(), categories_.end(), name) == categories_.end()) categories_.push_back(name);
  }
  FillCategoryLists();
  working_.ApplyCategoryFilter(filter_index_, categories_);
  shown_ = -1;
  FillNames(0);
  QString report = U(kImportDone).arg(merge.added);
  if (merge.duplicates > 0) report += QLatin1Char('\n') + U(kImportDuplicates).arg(merge.duplicates);
  if (imported.lossy_cards > 0) report += QLatin1Char('\n') + U(kImportLossy).arg(imported.lossy_cards);
  QMessageBox::information(this, U(kImportTitle), report);
}

void AddressBookDialog::ChooseExportFile() {
  QString selected;
  const QStringList filters = {U(kExportUtf8Filter), U(kExportOwnFilter), U(kExportVCardFilter)};
  const QString file = QFileDialog::getSaveFileName(this, U(kExportTitle), QStringLiteral("addresses.csv"),
                                                    filters.join(QStringLiteral(";;")), &selected);
  if (file.isEmpty()) return;
  const ExportFormat format = selected == filters[1]   ? ExportFormat::AddressBook
                              : selected == filters[2] ? ExportFormat::VCard
                                                       : ExportFormat::Utf8;
  (void)ExportFile(file, format);
}

bool AddressBookDialog::ExportFile(const QString& path, ExportFormat format) {
  if (!KeepShownCard()) return false;
  const TCard& cards = working_.Cards();
  const std::string content = format == ExportFormat::Utf8    ? FormatCardsAsUtf8Csv(cards, CardScope::FilteredView)
                              : format == ExportFormat::VCard ? FormatCardsAsVCards(cards, CardScope::FilteredView)
                                                              : cards.Format(CardScope::FilteredView);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(content.data(), static_cast<qint64>(content.size())) < 0 ||
      !file.commit()) {
    QMessageBox::warning(this, U(kExportTitle), U(kCannotOpenFile) + path);
    return false;
  }
  QMessageBox::information(this, U(kExportTitle), U(kExportDone).arg(cards.ViewSize()));
  return true;
}

void AddressBookDialog::accept() {
  if (shown_ < 0) {
    if (!name_->text().isEmpty()) {
      if (QMessageBox::question(this, U(kTitle), U(kAskAdd), QMessageBox::Ok | QMessageBox::Cancel) ==
          QMessageBox::Ok) {
        AddCard();
      }
    }
  } else if (!KeepShownCard()) {
    return;
  }
  (void)AddressBook::SaveCategoryIndex(profile_, filter_index_);
  if (changed_) {
    book_ = working_;
    book_.Cards().ClearFilter();
  }
  QDialog::accept();
}

void AddressBookDialog::reject() {
  (void)AddressBook::SaveCategoryIndex(profile_, filter_index_);
  // The category names are written already: the cards follow them.
  changed_ = ApplyCategoryChanges(book_, category_changes_) > 0;
  QDialog::reject();
}

}  // namespace lp
