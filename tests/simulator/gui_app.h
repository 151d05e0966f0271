#pragma once
// The one application object the window tests share.

#include <QApplication>

#include "common/test_application.h"

inline QApplication& GuiApp() {
  static char name[] = "simulator_tests";
  static QApplication* app = NewTestApplication(name);
  return *app;
}
