#pragma once

#include <QApplication>

namespace sonavera::app::testing {

/// The one QApplication of a test program (offscreen platform), made on first use.
inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "app_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = QApplication::instance() ? static_cast<QApplication*>(QApplication::instance())
                                                      : new QApplication(argc, argv);
  return *app;
}

}  // namespace sonavera::app::testing
