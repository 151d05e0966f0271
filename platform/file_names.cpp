#include "platform/file_names.h"

#include <QFile>

#include "base/gbk_convert.h"

std::string FileSystemName(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString ShownPath(const std::string& fileSystemPath) { return QString::fromStdString(PathToText(fileSystemPath)); }
