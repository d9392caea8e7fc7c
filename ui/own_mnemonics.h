#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QAbstractButton;

// Alt+letter presses the button of a child window that carries that
// mnemonic before the main window's menu bar hears it: in a compose window
// Alt+D is its 破棄 button, not the 文書 menu. Keys no button of the window
// claims reach the menus as before.

namespace lp {

class OwnMnemonics final : public QObject {
 public:
  // Watches the keys typed anywhere inside `owner`; owned by it.
  explicit OwnMnemonics(QWidget& owner);
  ~OwnMnemonics() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  [[nodiscard]] QAbstractButton* ButtonFor(int key) const;

  QPointer<QWidget> owner_;
};

}  // namespace lp
