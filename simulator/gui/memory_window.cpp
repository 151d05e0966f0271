#include "simulator/gui/memory_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "simulator/gui/inspect_message_box.h"
#include "simulator/gui/inspect_window_parts.h"
#include "simulator/gui/line_view.h"

TFrmViewMemory::TFrmViewMemory(TTALVOCPU* core, TInOrder inOrder, QWidget* parent)
    : QWidget(parent), model_(core), inOrder_(std::move(inOrder)) {
  SetUpInspectWindow(this, "内存编辑器");

  auto* view = new QGroupBox(QString::fromUtf8("内存区域"));
  auto* viewGrid = new QGridLayout(view);
  EditMemAddress = AddLabelledEdit(viewGrid, 0, "起始内存地址：", "0");
  EditMemLen = AddLabelledEdit(viewGrid, 1, "显示内存长度：", "16");
  auto* apply = new QPushButton(QString::fromUtf8("应用设置"));
  viewGrid->addWidget(apply, 2, 1);
  Memo = new TLineView;
  Memo->SetSource(&model_);
  viewGrid->addWidget(Memo, 3, 0, 1, 2);

  auto* change = new QGroupBox(QString::fromUtf8("编辑内存内容"));
  auto* changeGrid = new QGridLayout(change);
  EditMemChgAddr = AddLabelledEdit(changeGrid, 0, "内存地址：", "0");
  EditMemContent = AddLabelledEdit(changeGrid, 1, "内存内容（10进制）：", "0");
  auto* applyEdit = new QPushButton(QString::fromUtf8("应用更改"));
  auto* flash = new QPushButton(QString::fromUtf8("刷新内存显示"));
  changeGrid->addWidget(applyEdit, 2, 0);
  changeGrid->addWidget(flash, 2, 1);
  ChkAuto = new QCheckBox(QString::fromUtf8("自动刷新内存列表"));
  ChkAuto->setChecked(true);
  changeGrid->addWidget(ChkAuto, 3, 0, 1, 2);
  EditSec = AddLabelledEdit(changeGrid, 4, "刷新时间间隔（秒）：", "1");
  auto* timerButton = new QToolButton;
  timerButton->setText(QStringLiteral("..."));
  timerButton->setToolTip(QString::fromUtf8("应用新的刷新时间"));
  changeGrid->addWidget(timerButton, 4, 2);

  auto* close = new QPushButton(QString::fromUtf8("关闭(&C)"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view, 1);
  layout->addWidget(change);
  layout->addWidget(close, 0, Qt::AlignRight);

  TimerFlash = new QTimer(this);
  connect(TimerFlash, &QTimer::timeout, this, &TFrmViewMemory::FormShow);
  connect(apply, &QPushButton::clicked, this, &TFrmViewMemory::FormShow);
  connect(applyEdit, &QPushButton::clicked, this, &TFrmViewMemory::BtnApplyEditClick);
  connect(flash, &QPushButton::clicked, this, &TFrmViewMemory::BtnApplyEditClick);
  connect(ChkAuto, &QCheckBox::clicked, this, &TFrmViewMemory::ChkAutoClick);
  connect(timerButton, &QToolButton::clicked, this, &TFrmViewMemory::SBtnTimerClick);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
}

void TFrmViewMemory::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormShow();
}

void TFrmViewMemory::Run(TViewMessage (TMemoryViewModel::*action)(), const std::function<void()>& asked) {
  model_.EditMemAddress = EditText(EditMemAddress);
  model_.EditMemLen = EditText(EditMemLen);
  model_.EditMemChgAddr = EditText(EditMemChgAddr);
  model_.EditMemContent = EditText(EditMemContent);
  ReadRefreshTimer(model_.Timer, EditSec, ChkAuto);
  if (asked) asked();
  const TViewMessage message = (model_.*action)();
  Memo->Refresh();
  ApplyRefreshTimer(model_.Timer, TimerFlash, ChkAuto);
  ShowViewMessage(this, message);
}

void TFrmViewMemory::FormShow() { Run(&TMemoryViewModel::FormShow); }
void TFrmViewMemory::BtnApplyEditClick() {
  // The change may wait behind a reset still reading: it writes what the edits hold now.
  const std::string address = EditText(EditMemChgAddr);
  const std::string content = EditText(EditMemContent);
  ChangeInOrder(inOrder_, this, [this, address, content] {
    Run(&TMemoryViewModel::BtnApplyEditClick, [&] {
      model_.EditMemChgAddr = address;
      model_.EditMemContent = content;
    });
  });
}
void TFrmViewMemory::SBtnTimerClick() { Run(&TMemoryViewModel::SBtnTimerClick); }
