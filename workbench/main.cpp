// kelmo: the TALVO128 assembler workbench.

#include <QApplication>

#include "base/file_size_limit.h"
#include "base/interrupt_cleanup.h"
#include "platform/exception_guard.h"
#include "platform/translations.h"
#include "workbench/gui/frm_main.h"

int main(int argc, char* argv[]) {
  // Ended by SIGINT, SIGTERM or SIGHUP during a save or a build, it leaves no
  // temporary file behind where the file system has no unnamed ones.
  InstallInterruptCleanup();
  IgnoreFileSizeLimitSignal();
  QApplication app(argc, argv);
  InstallChineseTranslations(app);
  QApplication::setApplicationName(QStringLiteral("TALVO编译器Complier"));
  TFrmMain frame;
  frame.showMaximized();
  return QApplication::exec();
}
