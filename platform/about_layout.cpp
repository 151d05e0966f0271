#include "platform/about_layout.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

QPushButton* LayOutAboutBox(QDialog* dialog, const QString& text, const QString& buttonText) {
  dialog->setObjectName(QStringLiteral("AboutBox"));
  dialog->setWindowTitle(QStringLiteral("关于本软件"));
  auto* icon = new QLabel(dialog);
  icon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
  auto* label = new QLabel(text, dialog);
  auto* ok = new QPushButton(buttonText, dialog);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addWidget(label, 1);
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(top);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  return ok;
}
