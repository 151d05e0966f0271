#pragma once
// The one application object the window tests share (offscreen platform under CTest).

#include <QApplication>

inline QApplication& GuiApp() {
  static int argc = 1;
  static char name[] = "simulator_tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: Qt's own globals may already be gone when statics are torn down.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}
