#pragma once
// List items that stand for project paths. Each shows its path and keeps the GBK
// bytes it came from, so a path that is not valid GBK goes back to the project
// file byte for byte instead of as an empty line.

#include <QString>
#include <string>
#include <vector>

class QListWidget;
class QWidget;

void FillPathList(QListWidget* list, const std::vector<std::string>& gbkPaths);
void AddPathItem(QListWidget* list, const std::string& gbkPath);
std::vector<std::string> PathsOf(const QListWidget* list);
// The GBK bytes of the list's row.
std::string PathAt(const QListWidget* list, int row);

// A path the user chose enters the project as GBK; one that GBK cannot hold is
// refused with a box.
bool ToGbkPath(QWidget* parent, const QString& path, std::string& gbk);
