#include "platform/shell_open.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

bool ShellOpen(const std::string& path) {
  const QFileInfo info(QString::fromStdString(path));
  if (!info.isFile()) return false;
  if (info.isExecutable()) return QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
  return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

QString ProgramFolder() {
  QString folder = QCoreApplication::applicationDirPath();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

bool FileExists(const QString& path) { return QFileInfo(path).isFile(); }
