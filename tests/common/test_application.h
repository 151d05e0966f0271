#pragma once
// The one QApplication of a GUI test program, made at its first use and never
// destroyed (Qt's own globals may already be gone when statics are torn down).
// Started directly, without CTest and without a display, the program still runs: it
// takes Qt's offscreen platform, as CTest gives it, unless QT_QPA_PLATFORM names one.

#include <sys/stat.h>

#include <QApplication>
#include <QtGlobal>

inline QApplication* NewTestApplication(char* programName) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Without one Qt makes a folder of its own in TMPDIR and leaves it there.
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    static const char runtime[] = TALVO_BINARY_DIR "/test-runtime";
    ::mkdir(runtime, 0700);
    qputenv("XDG_RUNTIME_DIR", runtime);
  }
  static int argc = 1;
  static char* argv[] = {programName, nullptr};
  return new QApplication(argc, argv);
}
