#include "ui/window_fit.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>

namespace lp {

QRect FitInside(const QRect& wanted, const QRect& area) {
  if (area.isEmpty()) return wanted;
  QRect fitted(wanted.topLeft(), wanted.size().boundedTo(area.size()));
  if (fitted.right() > area.right()) fitted.moveRight(area.right());
  if (fitted.bottom() > area.bottom()) fitted.moveBottom(area.bottom());
  if (fitted.left() < area.left()) fitted.moveLeft(area.left());
  if (fitted.top() < area.top()) fitted.moveTop(area.top());
  return fitted;
}

QRect BesideOrInside(const QRect& wanted, const QRect& taken, const QRect& area, int least_width) {
  QRect placed = wanted;
  if (!taken.isEmpty() && placed.intersects(taken)) {
    placed.setLeft(taken.right() + 1);
    placed.setRight(qMax(placed.left() + least_width - 1, qMin(wanted.right(), area.right())));
  }
  return FitInside(placed, area);
}

void FitInsideArea(QMdiSubWindow& window, const QMdiArea& area) {
  if (window.isMaximized() || window.isMinimized()) return;
  const QRect visible(QPoint(0, 0), area.viewport()->size());
  const QRect fitted = FitInside(window.geometry(), visible);
  if (fitted != window.geometry()) window.setGeometry(fitted);
}

void FitOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  // The frame (title bar and borders) must fit as well.
  const QMargins frame(window.geometry().left() - window.frameGeometry().left(),
                       window.geometry().top() - window.frameGeometry().top(),
                       window.frameGeometry().right() - window.geometry().right(),
                       window.frameGeometry().bottom() - window.geometry().bottom());
  const QRect fitted = FitInside(window.geometry(), available.marginsRemoved(frame));
  if (fitted != window.geometry()) window.setGeometry(fitted);
}

}  // namespace lp
