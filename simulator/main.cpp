// TALVOSim: the TALVO128 simulator.

#include <QApplication>

#include "platform/translations.h"
#include "simulator/gui/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  InstallChineseTranslations(app);
  QApplication::setApplicationName(QStringLiteral("TALVO128计算机仿真机"));
  TFrmMain window;
  window.show();
  return app.exec();
}
