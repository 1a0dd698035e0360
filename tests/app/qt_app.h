#pragma once

#include <gtest/gtest.h>

#include <QApplication>

namespace sonavera::app::testing {

/// The QApplication of a test program (offscreen platform): made before the first test, deleted
/// after the last, so nothing of Qt outlives the program's tests.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!QApplication::instance()) app = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete app;
    app = nullptr;
  }

 private:
  int argc = 1;
  char name[10] = "app_tests";
  char* argv[2] = {name, nullptr};
  QApplication* app = nullptr;
};

/// Registers the environment once per program; call from each test that needs Qt.
inline void TestApplication() {
  static const auto* const environment = [] {
    auto* qt = new QtEnvironment;
    qt->SetUp();
    ::testing::AddGlobalTestEnvironment(qt);
    return qt;
  }();
  (void)environment;
}

}  // namespace sonavera::app::testing
