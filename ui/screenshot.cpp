#include "ui/screenshot.h"

#include <QApplication>
#include <QPalette>
#include <QPixmap>
#include <QStyleFactory>

#include "ui/main_window.h"

namespace lp {

void UseDarkPalette() {
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(45, 45, 48));
  dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
  dark.setColor(QPalette::Base, QColor(30, 30, 32));
  dark.setColor(QPalette::AlternateBase, QColor(40, 40, 44));
  dark.setColor(QPalette::Text, QColor(230, 230, 230));
  dark.setColor(QPalette::Button, QColor(50, 50, 54));
  dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
  dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
  dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
  dark.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
  dark.setColor(QPalette::Link, QColor(110, 170, 255));
  QApplication::setPalette(dark);
}

bool SaveScreenshot(MainWindow& window, const QString& png_path) {
  // Pending layouts and the preview's short pause first.
  QApplication::processEvents();
  window.RefreshCommandStates();
  return window.grab().save(png_path, "PNG");
}

}  // namespace lp
