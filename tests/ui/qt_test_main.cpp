#include <gtest/gtest.h>

#include <QApplication>

namespace {

QtMessageHandler default_handler = nullptr;

// The offscreen platform says for every window that it cannot pass size
// hints on; that says nothing about the program.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("propagateSizeHints"))) return;
  default_handler(type, context, message);
}

}  // namespace

// Widget tests run on the offscreen platform: no display needed, and no
// test depends on a window manager.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  default_handler = qInstallMessageHandler(QuietHandler);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
