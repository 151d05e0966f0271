#pragma once
// List items that stand for project entries. Each shows the path its entry names and
// keeps the bytes the entry came from, so an entry that is not valid GBK goes back
// to the project file byte for byte instead of as an empty line.

#include <QString>
#include <string>
#include <vector>

class QListWidget;
class QWidget;

void FillPathList(QListWidget* list, const std::vector<std::string>& entries);
void AddPathItem(QListWidget* list, const std::string& entry);
std::vector<std::string> PathsOf(const QListWidget* list);
// The entry of the list's row, as the project file holds it.
std::string PathAt(const QListWidget* list, int row);

// A path the user chose enters the project as the name the project file stores
// (GBK); one that no stored name can give back is refused with a box.
bool ToStoredName(QWidget* parent, const QString& path, std::string& entry);
// The box for a file the project file cannot name (its file-system path).
void TellNameNotStorable(QWidget* parent, const std::string& path);
