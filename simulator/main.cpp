// TALVOSim: the TALVO128 simulator.

#include <QApplication>

#include "platform/gbk_qt.h"
#include "platform/translations.h"
#include "simulator/gui/main_window.h"
#include "simulator/model/sim_texts.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  InstallChineseTranslations(app);
  QApplication::setApplicationName(GbkToQString(kTextAppTitle));
  TFrmMain window;
  window.show();
  return app.exec();
}
