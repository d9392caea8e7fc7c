#pragma once

#include <QDialog>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "addressbook/address_book.h"
#include "config/profile.h"
#include "ui/category_dialog.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

// "アドレスブック": the cards of the address book, by category, with the
// fields of the selected card, adding, deleting, reordering and sorting,
// the category editor, an address-list file or a LAN folder in place of a
// mail address, and CSV import and export. The dialog works on a copy of
// the book: OK puts the copy in place, Cancel leaves the cards as they
// were except for the renamed and deleted categories, whose names are
// already written with the settings. Either writes the category chosen.

namespace lp {

class WorkerJobs;

class AddressBookDialog final : public QDialog {
  Q_OBJECT

 public:
  enum class ExportFormat { Utf8, AddressBook, VCard };

  AddressBookDialog(AddressBook& book, Profile& profile, QWidget* parent = nullptr);
  ~AddressBookDialog() override;

  [[nodiscard]] QComboBox& filter() { return *filter_; }
  // Narrows the list to the cards whose name, address, telephone or memo
  // holds the text (widths, case and kana folded).
  [[nodiscard]] QLineEdit& search() { return *search_; }
  [[nodiscard]] QListWidget& names() { return *names_; }
  [[nodiscard]] QLineEdit& name() { return *name_; }
  [[nodiscard]] QPlainTextEdit& address() { return *address_; }
  [[nodiscard]] QLineEdit& postal_code() { return *postal_code_; }
  [[nodiscard]] QPlainTextEdit& postal_address() { return *postal_address_; }
  [[nodiscard]] QLineEdit& telephone() { return *telephone_; }
  [[nodiscard]] QPlainTextEdit& memo() { return *memo_; }
  [[nodiscard]] QComboBox& category() { return *category_; }
  // The cards as they stand in the dialog.
  [[nodiscard]] const AddressBook& working_book() const { return working_; }
  // The book was changed and wants saving.
  [[nodiscard]] bool changed() const { return changed_; }

  void AddCard();
  void DeleteCard();
  void MoveCard(int step);
  void SortCards();
  void ChooseAddressFile();
  void ChooseLanDirectory();
  void ChooseImportFile();
  void ChooseExportFile();
  // Adds the cards of a CSV or vCard file and reports what was added. The
  // file is read on a worker (an export of thousands of contacts with
  // photos is megabytes); ImportFinished comes once the cards are in and
  // the report was shown. An import asked for while one runs is ignored.
  void ImportFile(const QString& path);
  [[nodiscard]] bool importing() const { return importing_; }
  // Writes the cards shown (the category chosen) to `path`.
  bool ExportFile(const QString& path, ExportFormat format);

  void accept() override;
  void reject() override;

 signals:
  void ImportFinished();

 private:
  struct ReadAddressFile;
  void TakeImported(const QString& path, const ReadAddressFile& read);
  void OpenCategoryEditor();
  void FillCategoryLists();
  void ApplyFilter();
  // Lists the names of the filtered view and shows the card at `row`.
  void FillNames(int row);
  void ShowCard(int row);
  // Stores the fields shown into the card shown. False, after a message,
  // when a field holds a character Shift_JIS cannot.
  bool KeepShownCard();
  [[nodiscard]] std::array<std::string, kMemoColumn + 1> ShownTexts(bool* all_shift_jis);
  void SelectRow(int row);
  void ApplySearch();
  void HideUnmatchedRows();
  [[nodiscard]] int FirstShownRow() const;

  AddressBook& book_;
  AddressBook working_;
  Profile& profile_;
  std::vector<std::string> categories_;
  std::vector<CategoryChange> category_changes_;
  int filter_index_ = 0;
  int shown_ = -1;
  int shown_category_ = 0;
  bool changed_ = false;
  QComboBox* filter_;
  QLineEdit* search_;
  QListWidget* names_;
  QLineEdit* name_;
  QPlainTextEdit* address_;
  QLineEdit* postal_code_;
  QPlainTextEdit* postal_address_;
  QLineEdit* telephone_;
  QPlainTextEdit* memo_;
  QComboBox* category_;
  bool importing_ = false;
  // Last: goes first, waiting for a read still running.
  std::unique_ptr<WorkerJobs> jobs_;
};

}  // namespace lp
