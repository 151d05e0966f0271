#include "workbench/gui/find_dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>

TFindDialog::TFindDialog(bool withReplace, QWidget* parent)
    : QDialog(parent), FindText(new QLineEdit(this)) {
  setObjectName(withReplace ? QStringLiteral("ReplaceDlg") : QStringLiteral("FindDlg"));
  setWindowTitle(withReplace ? QStringLiteral("替换") : QStringLiteral("查找"));
  setModal(false);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("查找内容："), FindText);
  if (withReplace) {
    ReplaceText = new QLineEdit(this);
    form->addRow(QStringLiteral("替换为："), ReplaceText);
  }
  // Made after the text boxes, so Tab goes from one text box to the next.
  MatchCase = new QCheckBox(QStringLiteral("区分大小写"), this);
  MatchCase->setObjectName(QStringLiteral("ChkMatchCase"));
  // Sources are searched case-sensitively unless the user says otherwise.
  MatchCase->setChecked(true);
  form->addRow(MatchCase);
  auto* buttons = new QHBoxLayout;
  auto* findNext = new QPushButton(QStringLiteral("查找下一个"), this);
  findNext->setObjectName(QStringLiteral("BtnFindNext"));
  connect(findNext, &QPushButton::clicked, this, &TFindDialog::Find);
  buttons->addWidget(findNext);
  if (withReplace) {
    auto* replace = new QPushButton(QStringLiteral("替换"), this);
    replace->setObjectName(QStringLiteral("BtnReplace"));
    auto* replaceAll = new QPushButton(QStringLiteral("全部替换"), this);
    replaceAll->setObjectName(QStringLiteral("BtnReplaceAll"));
    connect(replace, &QPushButton::clicked, this, &TFindDialog::Replace);
    connect(replaceAll, &QPushButton::clicked, this, &TFindDialog::ReplaceAll);
    buttons->addWidget(replace);
    buttons->addWidget(replaceAll);
  }
  auto* close = new QPushButton(QStringLiteral("取消"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
  buttons->addWidget(close);
  form->addRow(buttons);
  setLayout(form);
}
