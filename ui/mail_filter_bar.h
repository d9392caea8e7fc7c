#pragma once

#include <QWidget>

#include "ui/mail_filter_proxy.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

// The bar above a mail list that narrows it as the user types: the text,
// "body too", and toggles for unread and labelled mail. Escape asks to
// close it; the owner clears the filter.

namespace lp {

class MailFilterBar final : public QWidget {
  Q_OBJECT

 public:
  explicit MailFilterBar(QWidget* parent = nullptr);

  [[nodiscard]] MailFilter filter() const;
  // Empties the text and the toggles without telling anyone.
  void Reset();
  // Focuses the text, optionally starting it with `typed`.
  void Activate(const QString& typed = {});
  // "shown / total", or that a filter is being worked out.
  void ShowCount(int shown, int total);
  void ShowWorking();

  [[nodiscard]] QLineEdit& text_field() { return *text_; }

 signals:
  void filterEdited(const MailFilter& filter);
  void closeRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* text_;
  QCheckBox* body_;
  QToolButton* unread_;
  QToolButton* labelled_;
  QLabel* count_;
};

}  // namespace lp
