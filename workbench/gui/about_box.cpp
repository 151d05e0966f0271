#include "workbench/gui/about_box.h"

#include <QPushButton>

#include "platform/about_layout.h"

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  QPushButton* ok = LayOutAboutBox(
      this, QStringLiteral("TALVO编译器Complier\nTALVO128 汇编开发环境\n版本 1.0"),
      QStringLiteral("确认"));
  ok->setObjectName(QStringLiteral("OKButton"));
}
