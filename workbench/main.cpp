// kelmo: the TALVO128 assembler workbench.

#include <QApplication>

#include "platform/exception_guard.h"
#include "platform/translations.h"
#include "workbench/gui/frm_main.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  InstallChineseTranslations(app);
  QApplication::setApplicationName(QStringLiteral("TALVO编译器Complier"));
  TFrmMain frame;
  frame.showMaximized();
  return QApplication::exec();
}
