#pragma once

#include <QRect>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

// Windows that open inside what the user can see: a stored or computed
// placement larger than the area, or partly outside it, is brought in.

namespace lp {

// `wanted` no larger than `area` and moved (not shrunk further) to lie
// inside it.
[[nodiscard]] QRect FitInside(const QRect& wanted, const QRect& area);
// `wanted` moved right of `taken` when the two overlap, narrowed to what is
// left of `area` (never below `least_width`), then fitted inside it.
[[nodiscard]] QRect BesideOrInside(const QRect& wanted, const QRect& taken, const QRect& area, int least_width);

// The child window fitted inside the MDI area's visible part.
void FitInsideArea(QMdiSubWindow& window, const QMdiArea& area);
// A top-level window fitted inside the available part of its screen.
void FitOnScreen(QWidget& window);

}  // namespace lp
