#include "platform/translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallChineseTranslations(QApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QApplication::installTranslator(translator);
}
