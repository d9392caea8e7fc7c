#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/application_core.h"
#include "platform/qt_transport.h"
#include "ui/desktop_session.h"
#include "ui/main_window.h"

// The desktop application as main.cpp puts it together, on a test's data
// directory and user interface: the core, the session and the main window
// with its first windows open.

namespace lp::testing {

struct DesktopProgram {
  // Fails the test (ASSERT) when the core does not start.
  void Start(const std::string& data_directory, UserInterface& ui) {
    std::string error;
    ASSERT_TRUE(core.Start(data_directory, &error)) << error;
    session = std::make_unique<DesktopSession>(core, ui, [] {
      return std::make_unique<QtTransport>(QtTransportOptions{});
    });
    (void)session->Start();
    window = std::make_unique<MainWindow>(*session);
    window->show();
    OpenFirstWindows(*window, *session);
  }
  ~DesktopProgram() {
    if (window) window->close();
    window.reset();
    session.reset();
  }

  ApplicationCore core;
  std::unique_ptr<DesktopSession> session;
  std::unique_ptr<MainWindow> window;
};

}  // namespace lp::testing
