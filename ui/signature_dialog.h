#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "config/profile.h"
#include "config/signatures.h"

class QLineEdit;
class QListWidget;
class QPlainTextEdit;

// "署名の設定": the signature table ([Signe]: the folder, each signature's
// name and file) and the text of each signature's file. OK checks every
// field, writes the changed signature files (each replaced atomically) and
// then the table in one write; Cancel changes nothing.

namespace lp {

class SignatureDialog final : public QDialog {
  Q_OBJECT

 public:
  SignatureDialog(Profile& profile, QWidget* parent = nullptr);

  [[nodiscard]] QListWidget& list() { return *list_; }
  [[nodiscard]] QLineEdit& directory() { return *directory_; }
  [[nodiscard]] QLineEdit& name() { return *name_; }
  [[nodiscard]] QLineEdit& file() { return *file_; }
  [[nodiscard]] QPlainTextEdit& text() { return *text_; }
  void AddSignature();
  void RemoveSignature();

  void accept() override;

 private:
  struct Entry {
    QString name;
    QString file;
    QString text;
    QString loaded_file;  // the file the text was read from; empty for a new signature
    bool text_changed = false;
  };
  void ShowEntry(int row);
  void KeepShownEntry();
  [[nodiscard]] QString FilePathOf(const QString& directory, const QString& file) const;

  Profile& profile_;
  QString loaded_directory_;
  std::vector<Entry> entries_;
  int shown_ = -1;
  QLineEdit* directory_;
  QListWidget* list_;
  QLineEdit* name_;
  QLineEdit* file_;
  QPlainTextEdit* text_;
};

}  // namespace lp
