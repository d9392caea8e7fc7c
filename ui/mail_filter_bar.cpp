#include "ui/mail_filter_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "ui/filter_bar_messages.h"

namespace lp {

namespace {

QToolButton* ToggleButton(const char* text, const QString& name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(QString::fromUtf8(text));
  button->setObjectName(name);
  button->setCheckable(true);
  button->setAutoRaise(true);
  return button;
}

}  // namespace

MailFilterBar::MailFilterBar(QWidget* parent)
    : QWidget(parent),
      text_(new QLineEdit(this)),
      body_(new QCheckBox(QString::fromUtf8(ui_text::kFilterBody), this)),
      unread_(ToggleButton(ui_text::kFilterUnread, QStringLiteral("filterUnread"), this)),
      labelled_(ToggleButton(ui_text::kFilterLabelled, QStringLiteral("filterLabelled"), this)),
      count_(new QLabel(this)) {
  setObjectName(QStringLiteral("filterBar"));
  text_->setObjectName(QStringLiteral("filterText"));
  text_->setPlaceholderText(QString::fromUtf8(ui_text::kFilterPlaceholder));
  text_->setClearButtonEnabled(true);
  text_->installEventFilter(this);
  body_->setObjectName(QStringLiteral("filterBody"));
  count_->setObjectName(QStringLiteral("filterCount"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(text_, 1);
  layout->addWidget(body_);
  layout->addWidget(unread_);
  layout->addWidget(labelled_);
  layout->addWidget(count_);
  const auto edited = [this] { emit filterEdited(filter()); };
  connect(text_, &QLineEdit::textChanged, this, edited);
  connect(body_, &QCheckBox::toggled, this, edited);
  connect(unread_, &QToolButton::toggled, this, edited);
  connect(labelled_, &QToolButton::toggled, this, edited);
}

MailFilter MailFilterBar::filter() const {
  return MailFilter{text_->text(), body_->isChecked(), unread_->isChecked(), labelled_->isChecked()};
}

void MailFilterBar::Reset() {
  const QSignalBlocker blocks[] = {QSignalBlocker(text_), QSignalBlocker(body_), QSignalBlocker(unread_),
                                   QSignalBlocker(labelled_)};
  text_->clear();
  body_->setChecked(false);
  unread_->setChecked(false);
  labelled_->setChecked(false);
  count_->clear();
}

void MailFilterBar::Activate(const QString& typed) {
  if (!typed.isEmpty()) text_->setText(text_->text() + typed);
  text_->setFocus(Qt::ShortcutFocusReason);
  if (typed.isEmpty()) text_->selectAll();
}

void MailFilterBar::ShowCount(int shown, int total) {
  count_->setText(QString::fromUtf8(ui_text::kFilterShown).arg(shown).arg(total));
}

void MailFilterBar::ShowWorking() { count_->setText(QString::fromUtf8(ui_text::kFilterWorking)); }

bool MailFilterBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == text_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    emit closeRequested();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace lp
