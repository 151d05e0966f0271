// GUI run benchmark: the simulator's main window, in the window system it finds,
// runs an image as its BIOS from start to the step that fails, the way a user's
// "从头运行" does, on the default 64 MB machine. Prints the seconds from the command
// to the stopped state on the screen, and that state. bench/simulator/gui_vs_talvorun.sh
// runs it beside talvorun on the same image.
//
//   bench_gui_run IMAGE

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <mutex>

#include "simulator/gui/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_gui_run IMAGE\n");
    return 2;
  }
  TFrmMain window;
  window.show();
  {
    std::lock_guard<TCoreLock> guard(window.CPU.CoreLock);
    // No settings file: every reset reads again the image loaded here and keeps the 64 MB the
    // window applied at its first showing.
    window.CPU.SettingPath = "/dev/null/bench.setting";
    if (window.CPU.LoadBiosImage(argv[1]) != 0) {
      std::fprintf(stderr, "bench_gui_run: cannot load %s\n", argv[1]);
      return 2;
    }
  }
  QElapsedTimer clock;
  QTimer::singleShot(0, [&] {
    clock.start();
    window.OpRunClick();
  });
  // The run buttons come back with the stopped state.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (clock.isValid() && window.RunFirstButton()->isEnabled()) QApplication::quit();
  });
  poll.start(1);
  app.exec();
  std::printf("seconds %.3f\n", static_cast<double>(clock.nsecsElapsed()) / 1e9);
  std::printf("status %s | %s\n", window.StatusText(1).toUtf8().constData(), window.StatusText(2).toUtf8().constData());
  return 0;
}
