#include "workbench/gui/path_items.h"

#include <QListWidget>

#include "base/gbk_convert.h"
#include "platform/file_names.h"
#include "platform/message_box.h"

namespace {

constexpr int kEntryRole = Qt::UserRole;

}  // namespace

void AddPathItem(QListWidget* list, const std::string& entry) {
  auto* item = new QListWidgetItem(ShownPath(StoredNameToPath(entry)));
  item->setData(kEntryRole, QByteArray::fromStdString(entry));
  list->addItem(item);
}

void FillPathList(QListWidget* list, const std::vector<std::string>& entries) {
  list->clear();
  for (const std::string& entry : entries) AddPathItem(list, entry);
}

std::string PathAt(const QListWidget* list, int row) {
  return list->item(row)->data(kEntryRole).toByteArray().toStdString();
}

std::vector<std::string> PathsOf(const QListWidget* list) {
  std::vector<std::string> paths;
  for (int row = 0; row < list->count(); ++row) paths.push_back(PathAt(list, row));
  return paths;
}

void TellNameNotStorable(QWidget* parent, const std::string& path) {
  ShowMessage(parent, QStringLiteral("文件名中含有不能用GBK编码表示的字符：") + ShownPath(path), kBoxError);
}

bool ToStoredName(QWidget* parent, const QString& path, std::string& entry) {
  const std::string name = FileSystemName(path);
  const std::optional<std::string> stored = PathToStoredName(name);
  if (!stored) {
    TellNameNotStorable(parent, name);
    return false;
  }
  entry = *stored;
  return true;
}
