#include "platform/shell_open.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

bool ShellOpen(const std::string& path) {
  const QFileInfo info(QString::fromStdString(path));
  if (!info.isFile()) return false;
  // No working folder of its own: the program starts in the caller's current folder,
  // where the user's relative names (the simulator's settings, its images) lie, not
  // among the kit's programs.
  if (info.isExecutable()) return QProcess::startDetached(info.absoluteFilePath(), {});
  return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

QString ProgramFolder() {
  QString folder = QCoreApplication::applicationDirPath();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

bool FileExists(const QString& path) { return QFileInfo(path).isFile(); }
