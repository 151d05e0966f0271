#include "workbench/gui/path_items.h"

#include <QListWidget>

#include "platform/gbk_qt.h"
#include "platform/message_box.h"

namespace {

constexpr int kGbkRole = Qt::UserRole;

}  // namespace

void AddPathItem(QListWidget* list, const std::string& gbkPath) {
  auto* item = new QListWidgetItem(GbkToQString(gbkPath));
  item->setData(kGbkRole, QByteArray::fromStdString(gbkPath));
  list->addItem(item);
}

void FillPathList(QListWidget* list, const std::vector<std::string>& gbkPaths) {
  list->clear();
  for (const std::string& path : gbkPaths) AddPathItem(list, path);
}

std::string PathAt(const QListWidget* list, int row) {
  return list->item(row)->data(kGbkRole).toByteArray().toStdString();
}

std::vector<std::string> PathsOf(const QListWidget* list) {
  std::vector<std::string> paths;
  for (int row = 0; row < list->count(); ++row) paths.push_back(PathAt(list, row));
  return paths;
}

bool ToGbkPath(QWidget* parent, const QString& path, std::string& gbk) {
  const std::optional<std::string> bytes = QStringToGbk(path);
  if (!bytes) {
    ShowMessage(parent, QStringLiteral("文件名中含有不能用GBK编码表示的字符：") + path, kBoxError);
    return false;
  }
  gbk = *bytes;
  return true;
}
