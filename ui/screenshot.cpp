#include "ui/screenshot.h"

#include <QApplication>
#include <QPixmap>

#include "ui/main_window.h"

namespace lp {

bool SaveScreenshot(MainWindow& window, const QString& png_path) {
  // Pending layouts and the preview's short pause first.
  QApplication::processEvents();
  window.RefreshCommandStates();
  return window.grab().save(png_path, "PNG");
}

}  // namespace lp
