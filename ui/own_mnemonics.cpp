#include "ui/own_mnemonics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>

namespace lp {

OwnMnemonics::OwnMnemonics(QWidget& owner) : QObject(&owner), owner_(&owner) { qApp->installEventFilter(this); }

OwnMnemonics::~OwnMnemonics() { qApp->removeEventFilter(this); }

QAbstractButton* OwnMnemonics::ButtonFor(int key) const {
  const QKeySequence pressed(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(key)));
  for (QAbstractButton* button : owner_->findChildren<QAbstractButton*>()) {
    if (button->isVisible() && button->isEnabled() && QKeySequence::mnemonic(button->text()) == pressed) return button;
  }
  return nullptr;
}

bool OwnMnemonics::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || owner_ == nullptr) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || (widget != owner_ && !owner_->isAncestorOf(widget))) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier) return false;
  QAbstractButton* button = ButtonFor(key->key());
  if (button == nullptr) return false;
  // Taking the override keeps the shortcut (the menu bar's) from firing;
  // the key press that follows presses the button.
  event->accept();
  if (type == QEvent::KeyPress) button->click();
  return true;
}

}  // namespace lp
