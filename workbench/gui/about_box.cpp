#include "workbench/gui/about_box.h"

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
  icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
  auto* text = new QLabel(QStringLiteral("TALVO编译器Complier\nTALVO128 汇编开发环境\n版本 1.0"), this);
  auto* ok = new QPushButton(QStringLiteral("确认"), this);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(ok, 0, Qt::AlignRight);
}
