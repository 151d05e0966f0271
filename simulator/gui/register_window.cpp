#include "simulator/gui/register_window.h"

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
#include "simulator/gui/window_placement.h"

TFrmRegisterWindow::TFrmRegisterWindow(TRegisterWindowModel::Kind kind, TTALVOCPU* core, TInOrder inOrder,
                                       QWidget* parent)
    : QWidget(parent), model_(kind, core), inOrder_(std::move(inOrder)) {
  const bool common = kind == TRegisterWindowModel::Kind::Common;
  SetUpInspectWindow(this, common ? "通用寄存器编辑窗口Common Registers Editer"
                                  : "特殊功能寄存器编辑器(&Special Registers)");

  auto* view = new QGroupBox(QString::fromUtf8(common ? "通用寄存器组" : "特殊功能寄存器组"));
  auto* viewLayout = new QVBoxLayout(view);
  Memo = new TLineView;
  Memo->SetSource(&model_);
  viewLayout->addWidget(Memo);

  auto* change = new QGroupBox(QString::fromUtf8("寄存器编辑"));
  auto* grid = new QGridLayout(change);
  EditNum = AddLabelledEdit(grid, 0, "寄存器号：", "0");
  EditContent = AddLabelledEdit(grid, 1, "内容（十进制）：", "0");
  FitDigits(EditContent, kDigits128);
  auto* chg = new QPushButton(QString::fromUtf8("更改"));
  auto* flash = new QPushButton(QString::fromUtf8(common ? "刷新通用寄存器组内容" : "刷新特殊寄存器组内容"));
  grid->addWidget(chg, 2, 0);
  grid->addWidget(flash, 2, 1);
  ChkAuto = new QCheckBox(QString::fromUtf8("自动更新列表"));
  ChkAuto->setChecked(true);
  grid->addWidget(ChkAuto, 3, 0, 1, 2);
  EditTime = AddLabelledEdit(grid, 4, "更新时间间隔（秒）：", "1");
  auto* timerButton = new QToolButton;
  timerButton->setText(QStringLiteral("..."));
  timerButton->setToolTip(QString::fromUtf8("更新时间刷新间隔"));
  grid->addWidget(timerButton, 4, 2);

  auto* close = new QPushButton(QString::fromUtf8("关闭(&C)"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view, 1);
  layout->addWidget(change);
  layout->addWidget(close, 0, Qt::AlignRight);

  Timer = new QTimer(this);
  connect(Timer, &QTimer::timeout, this, &TFrmRegisterWindow::FormShow);
  connect(chg, &QPushButton::clicked, this, &TFrmRegisterWindow::BtnChgClick);
  connect(flash, &QPushButton::clicked, this, &TFrmRegisterWindow::BtnFlashClick);
  connect(ChkAuto, &QCheckBox::clicked, this, &TFrmRegisterWindow::ChkAutoClick);
  connect(timerButton, &QToolButton::clicked, this, &TFrmRegisterWindow::SBtnAutoClick);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  resize(common ? 560 : 520, common ? 640 : 520);
}

void TFrmRegisterWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormShow();
}

void TFrmRegisterWindow::Run(TViewMessage (TRegisterWindowModel::*action)(), const std::function<void()>& asked) {
  model_.EditNum = EditText(EditNum);
  model_.EditContent = EditText(EditContent);
  ReadRefreshTimer(model_.Timer, EditTime, ChkAuto);
  if (asked) asked();
  const TViewMessage message = action != nullptr ? (model_.*action)() : TViewMessage{};
  Memo->Refresh();
  ApplyRefreshTimer(model_.Timer, Timer, ChkAuto);
  ShowViewMessage(this, message);
}

void TFrmRegisterWindow::FormShow() { Run(&TRegisterWindowModel::FormShow); }
void TFrmRegisterWindow::BtnChgClick() {
  // The change may wait behind a reset still reading: it sets what the edits hold now.
  const std::string number = EditText(EditNum);
  const std::string content = EditText(EditContent);
  ChangeInOrder(inOrder_, this, [this, number, content] {
    Run(&TRegisterWindowModel::BtnChgClick, [&] {
      model_.EditNum = number;
      model_.EditContent = content;
    });
  });
}
void TFrmRegisterWindow::BtnFlashClick() { Run(&TRegisterWindowModel::FormShow); }
void TFrmRegisterWindow::SBtnAutoClick() { Run(&TRegisterWindowModel::SBtnAutoClick); }
// The box only switches the ticks on or off; the interval stays.
void TFrmRegisterWindow::ChkAutoClick() { Run(nullptr); }
