#include "simulator/gui/test_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "simulator/gui/inspect_message_box.h"
#include "simulator/gui/inspect_window_parts.h"
#include "simulator/gui/window_placement.h"

namespace {

constexpr int kButtonsPerRow = 4;

QPushButton* NewButton(const char* caption) { return new QPushButton(QString::fromUtf8(caption)); }

}  // namespace

TFrmRegOpDlg::TFrmRegOpDlg(TTALVOCPU* core, QWidget* parent) : QWidget(parent), model_(core) {
  SetUpInspectWindow(this, "TALVO128寄存器操作");
  setFont(QFont(QString::fromUtf8("宋体"), 9));

  auto* load = new QGroupBox(QString::fromUtf8("寄存器赋值操作"));
  auto* loadGrid = new QGridLayout(load);
  EditRegNum1 = AddLabelledEdit(loadGrid, 0, "通用寄存器号：", "0");
  EditReg1 = AddLabelledEdit(loadGrid, 1, "寄存器内容：", "0");
  auto* ld1 = NewButton("设置寄存器内容");
  loadGrid->addWidget(ld1, 1, 2);
  EditRegNum2 = AddLabelledEdit(loadGrid, 2, "通用寄存器号：", "1");
  EditReg2 = AddLabelledEdit(loadGrid, 3, "寄存器内容：", "0");
  auto* ld2 = NewButton("设置寄存器内容");
  loadGrid->addWidget(ld2, 3, 2);
  auto* chg = NewButton("将寄存器0值变成128位二进制");
  loadGrid->addWidget(chg, 4, 0, 1, 3);
  EditBin = AddLabelledEdit(loadGrid, 5, "二进制数：", "-");
  loadGrid->addWidget(EditBin, 5, 1, 1, 2);
  loadGrid->setColumnStretch(1, 1);

  auto* basic = new QGroupBox(QString::fromUtf8("寄存器基本操作"));
  auto* basicGrid = new QGridLayout(basic);
  EditRegOp1 = AddLabelledEdit(basicGrid, 0, "寄存器号1：", "0");
  EditRegOp2 = AddLabelledEdit(basicGrid, 1, "寄存器号2：", "1");
  EditRegResult = AddLabelledEdit(basicGrid, 2, "结果寄存器：", "2");
  EditResultContent = AddLabelledEdit(basicGrid, 3, "结果寄存器内容：", "-");
  auto* getResult = NewButton("得到结果内容");
  basicGrid->addWidget(getResult, 4, 1);
  auto* arithmetic = new QGridLayout;
  for (TRegOp op : {TRegOp::Add, TRegOp::Sub, TRegOp::Mul, TRegOp::Div}) {
    auto* button = NewButton(RegOpRow(op).Caption);
    arithmetic->addWidget(button, 0, static_cast<int>(op));
    connect(button, &QPushButton::clicked, this, [this, op] { RunOp(op); });
  }
  basicGrid->addLayout(arithmetic, 5, 0, 1, 2);
  EditDec = AddLabelledEdit(basicGrid, 6, "10进制内容：", "-");
  auto* dec = NewButton("得到10进制");
  basicGrid->addWidget(dec, 7, 1);
  EditMemContent = AddLabelledEdit(basicGrid, 8, "目标内存：", "-");

  auto* pages = new QTabWidget;
  auto* page1 = new QWidget;
  auto* page2 = new QWidget;
  auto* grid1 = new QGridLayout(page1);
  auto* grid2 = new QGridLayout(page2);
  pages->addTab(page1, QString::fromUtf8("CPU指令"));
  pages->addTab(page2, QString::fromUtf8("CPU跳转等高级指令"));
  const int firstPage2 = static_cast<int>(TRegOp::Cmp);
  for (int i = static_cast<int>(TRegOp::Copy); i < static_cast<int>(TRegOp::Count); ++i) {
    const TRegOp op = static_cast<TRegOp>(i);
    auto* button = NewButton(RegOpRow(op).Caption);
    const int slot = i < firstPage2 ? i - static_cast<int>(TRegOp::Copy) : i - firstPage2;
    (i < firstPage2 ? grid1 : grid2)->addWidget(button, slot / kButtonsPerRow, slot % kButtonsPerRow);
    connect(button, &QPushButton::clicked, this, [this, op] { RunOp(op); });
  }
  const int funcSlot = static_cast<int>(TRegOp::Count) - firstPage2;
  auto* func = NewButton("子程序调用");
  grid2->addWidget(func, funcSlot / kButtonsPerRow, funcSlot % kButtonsPerRow);
  auto* addrRow = new QGridLayout;
  EditAddr = AddLabelledEdit(addrRow, 0, "偏移地址：", "0");
  for (QLineEdit* decimal : {EditReg1, EditReg2, EditAddr}) FitDigits(decimal, kDigits128);
  grid2->addLayout(addrRow, funcSlot / kButtonsPerRow + 1, 0, 1, kButtonsPerRow);

  auto* close = NewButton("关闭(&C)");
  auto* top = new QHBoxLayout;
  top->addWidget(load);
  top->addWidget(basic);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(pages);
  layout->addWidget(close, 0, Qt::AlignRight);
  resize(537, 422);

  connect(ld1, &QPushButton::clicked, this, &TFrmRegOpDlg::BtnLD1Click);
  connect(ld2, &QPushButton::clicked, this, &TFrmRegOpDlg::BtnLD2Click);
  connect(chg, &QPushButton::clicked, this, &TFrmRegOpDlg::BtnChgClick);
  connect(getResult, &QPushButton::clicked, this, &TFrmRegOpDlg::BtnGetResultClick);
  connect(dec, &QPushButton::clicked, this, &TFrmRegOpDlg::BtnDecClick);
  connect(func, &QPushButton::clicked, this, &TFrmRegOpDlg::BtnOpFuncClick);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
}

template <typename Action>
void TFrmRegOpDlg::Run(Action action) {
  QLineEdit* edits[] = {EditRegNum1, EditReg1,          EditRegNum2, EditReg2,       EditBin,  EditRegOp1,
                        EditRegOp2,  EditRegResult,     EditResultContent, EditDec,  EditMemContent, EditAddr};
  std::string* texts[] = {&model_.EditRegNum1, &model_.EditReg1,       &model_.EditRegNum2,
                          &model_.EditReg2,    &model_.EditBin,        &model_.EditRegOp1,
                          &model_.EditRegOp2,  &model_.EditRegResult,  &model_.EditResultContent,
                          &model_.EditDec,     &model_.EditMemContent, &model_.EditAddr};
  constexpr int kEdits = sizeof edits / sizeof edits[0];
  for (int i = 0; i < kEdits; ++i) *texts[i] = EditText(edits[i]);
  const TViewMessage message = action();
  for (int i = 0; i < kEdits; ++i) {
    if (EditText(edits[i]) != *texts[i]) SetEditText(edits[i], *texts[i]);
  }
  ShowViewMessage(this, message);
}

void TFrmRegOpDlg::RunOp(TRegOp op) {
  Run([this, op] { return model_.RunOp(op); });
}
void TFrmRegOpDlg::BtnGetResultClick() {
  Run([this] { return model_.BtnGetResultClick(); });
}
void TFrmRegOpDlg::BtnLD1Click() {
  Run([this] { return model_.BtnLD1Click(); });
}
void TFrmRegOpDlg::BtnLD2Click() {
  Run([this] { return model_.BtnLD2Click(); });
}
void TFrmRegOpDlg::BtnOpFuncClick() {
  Run([this] { return model_.BtnOpFuncClick(); });
}
void TFrmRegOpDlg::BtnChgClick() {
  Run([this] { return model_.BtnChgClick(); });
}
void TFrmRegOpDlg::BtnDecClick() {
  Run([this] { return model_.BtnDecClick(); });
}
