#include "simulator/gui/about_box.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("关于本软件"));
  auto* icon = new QLabel(this);
  icon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
  auto* text = new QLabel(QStringLiteral("TALVO128计算机仿真机\n\n128位寄存器计算机的仿真与调试环境"), this);
  auto* ok = new QPushButton(QStringLiteral("确定"), this);
  ok->setObjectName(QStringLiteral("OKButton"));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  setFixedSize(sizeHint());
}
