#include "simulator/gui/calculator_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* AddButton(QLayout* layout, const char* caption) {
  auto* button = new QPushButton(QString::fromUtf8(caption));
  layout->addWidget(button);
  return button;
}

}  // namespace

TFrmAdd::TFrmAdd(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("大整数计算"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(QFont(QString::fromUtf8("宋体"), 9));

  auto* group = new QGroupBox(QString::fromUtf8("计算区"));
  auto* grid = new QGridLayout;
  QLineEdit** edits[] = {&Edit1, &Edit2, &EditResult, &EditBin1, &EditBin2, &EditBinResult};
  const char* labels[] = {"加数1：", "加数2：", "结果：", "加数1二进制：", "加数2二进制：", "结果二进制："};
  for (int row = 0; row < 6; ++row) {
    *edits[row] = new QLineEdit;
    grid->addWidget(new QLabel(QString::fromUtf8(labels[row])), row, 0);
    grid->addWidget(*edits[row], row, 1);
  }
  LblOv = new QLabel(QString::fromUtf8("溢出"));
  LblOv->setStyleSheet("QLabel:enabled { color: red; font-weight: bold; }");
  grid->addWidget(LblOv, 2, 2);

  auto* buttons = new QHBoxLayout;
  connect(AddButton(buttons, "加法(&Add)"), &QPushButton::clicked, this, &TFrmAdd::BtnAddClick);
  connect(AddButton(buttons, "加数1绝对值"), &QPushButton::clicked, this, &TFrmAdd::BtnAbsClick);
  connect(AddButton(buttons, "结果求非"), &QPushButton::clicked, this, &TFrmAdd::BtnNotClick);
  connect(AddButton(buttons, "得到反码"), &QPushButton::clicked, this, &TFrmAdd::BtnNotCodeClick);
  connect(AddButton(buttons, "得到补码"), &QPushButton::clicked, this, &TFrmAdd::BtnMendCodeClick);
  grid->addLayout(buttons, 6, 0, 1, 3);
  group->setLayout(grid);

  auto* close = new QPushButton(QString::fromUtf8("关闭(&C)"));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(close, 0, Qt::AlignRight);

  // Show the model's starting texts.
  Run(nullptr);
  resize(369, 269);
}

void TFrmAdd::Run(void (TBigCalc::*button)()) {
  QLineEdit* edits[] = {Edit1, Edit2, EditResult, EditBin1, EditBin2, EditBinResult};
  std::string* texts[] = {&calc_.Edit1,    &calc_.Edit2,    &calc_.EditResult,
                          &calc_.EditBin1, &calc_.EditBin2, &calc_.EditBinResult};
  if (button != nullptr) {
    for (int i = 0; i < 6; ++i) *texts[i] = edits[i]->text().toStdString();
    (calc_.*button)();
  }
  for (int i = 0; i < 6; ++i) edits[i]->setText(QString::fromStdString(*texts[i]));
  LblOv->setEnabled(calc_.Overflow);
}

void TFrmAdd::BtnAddClick() { Run(&TBigCalc::BtnAddClick); }
void TFrmAdd::BtnAbsClick() { Run(&TBigCalc::BtnAbsClick); }
void TFrmAdd::BtnNotClick() { Run(&TBigCalc::BtnNotClick); }
void TFrmAdd::BtnNotCodeClick() { Run(&TBigCalc::BtnNotCodeClick); }
void TFrmAdd::BtnMendCodeClick() { Run(&TBigCalc::BtnMendCodeClick); }
