// TALVOSim: the TALVO128 simulator.

#include <QApplication>

#include "base/file_size_limit.h"
#include "base/interrupt_cleanup.h"
#include "platform/gbk_qt.h"
#include "platform/translations.h"
#include "simulator/gui/main_window.h"
#include "simulator/model/sim_texts.h"

int main(int argc, char* argv[]) {
  // Ended by SIGINT, SIGTERM or SIGHUP during a save or a build, it leaves no
  // temporary file behind where the file system has no unnamed ones.
  InstallInterruptCleanup();
  IgnoreFileSizeLimitSignal();
  QApplication app(argc, argv);
  InstallChineseTranslations(app);
  QApplication::setApplicationName(GbkToQString(kTextAppTitle));
  TFrmMain window;
  window.show();
  return app.exec();
}
