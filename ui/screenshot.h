#pragma once

#include <QString>

// A picture of the main window for the documentation, made headless.

namespace lp {

class MainWindow;

// A dark palette on the Fusion style, as a dark desktop theme gives: the
// screenshot can show that every colour of the windows stays readable.
void UseDarkPalette();

// Lays the window out, grabs it and writes a PNG; false when it could not
// be written.
[[nodiscard]] bool SaveScreenshot(MainWindow& window, const QString& png_path);

}  // namespace lp
