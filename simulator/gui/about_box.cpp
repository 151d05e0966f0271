#include "simulator/gui/about_box.h"

#include <QPushButton>

#include "platform/about_layout.h"

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  QPushButton* ok = LayOutAboutBox(
      this, QStringLiteral("TALVO128计算机仿真机\n\n128位寄存器计算机的仿真与调试环境"),
      QStringLiteral("确定"));
  ok->setObjectName(QStringLiteral("OKButton"));
  setFixedSize(sizeHint());
}
