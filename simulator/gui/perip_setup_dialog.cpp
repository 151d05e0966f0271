#include "simulator/gui/perip_setup_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/gbk_qt.h"
#include "platform/message_box.h"

namespace {

struct PortEdit {
  int index;
  const char* name;
  const char* label;
};

// Rows: serial, parallel, video, floppy, hard disk, keyboard, mouse, timer; columns:
// access address, write port, control port.
const PortEdit kRows[8][3] = {
    {{3, "EditComAddr", "串口端口地址："}, {8, "EditComWPort", "串口写入端口："}, {13, "EditComCPort", "串口控制端口："}},
    {{4, "EditPPortAddr", "并口端口地址："}, {9, "EditLPTWPort", "并口写入端口："}, {14, "EditLPTCPort", "并口控制端口："}},
    {{0, "EditVideoAddr", "显示卡地址："}, {5, "EditVideoWPort", "显卡写入端口："}, {10, "EditVideoCPort", "显卡控制端口："}},
    {{2, "EditFloppyAddr", "软驱访问地址："}, {7, "EditFloppyWPort", "软驱写入端口："}, {12, "EditFloppyCPort", "软驱控制端口："}},
    {{1, "EditHardDiskAddr", "硬盘访问地址："}, {6, "EditHardDiskWPort", "硬盘写入端口："}, {11, "EditHardDiskCPort", "硬盘控制端口："}},
    {{15, "EditKeyBoard", "键盘访问地址："}, {16, "EditKeyWrite", "键盘写入地址："}, {17, "EditKeyControl", "键盘控制地址："}},
    {{18, "EditMouse", "鼠标访问地址："}, {19, "EditMouseWrite", "鼠标写入地址："}, {20, "EditMouseControl", "鼠标控制地址："}},
    {{21, "EditTimerAddr", "定时器地址："}, {22, "EditTimerWriteAddr", "定时器写入："}, {23, "EditTimerControlAddr", "定时器控制："}},
};

}  // namespace

TFrmPeripSetup::TFrmPeripSetup(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmPeripSetup"));
  setWindowTitle(QStringLiteral("外设设置对话框"));
  auto* group = new QGroupBox(QStringLiteral("外设设置"), this);
  auto* grid = new QGridLayout(group);
  for (int row = 0; row < 8; ++row) {
    for (int column = 0; column < 3; ++column) {
      const PortEdit& port = kRows[row][column];
      auto* edit = new QLineEdit(group);
      edit->setObjectName(QString::fromLatin1(port.name));
      edits_[port.index] = edit;
      grid->addWidget(new QLabel(QString::fromUtf8(port.label), group), row, column * 2);
      grid->addWidget(edit, row, column * 2 + 1);
    }
  }
  auto* yes = new QPushButton(QStringLiteral("确认(&Y)"), this);
  yes->setObjectName(QStringLiteral("BtnYes"));
  auto* no = new QPushButton(QStringLiteral("放弃(&C)"), this);
  no->setObjectName(QStringLiteral("BtnNo"));
  connect(yes, &QPushButton::clicked, this, &TFrmPeripSetup::BtnYesClick);
  connect(no, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(yes);
  buttons->addWidget(no);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(buttons);
  setFixedSize(sizeHint());
}

void TFrmPeripSetup::SetTable(const TPortTable& table) {
  table_ = table;
  TPortEditTexts texts = PortTableToEditTexts(table);
  for (int i = 0; i < 24; ++i) edits_[i]->setText(QString::fromStdString(texts[i]));
}

void TFrmPeripSetup::BtnYesClick() {
  TPortEditTexts texts;
  for (int i = 0; i < 24; ++i) {
    // A character outside GBK cannot be part of a number; keep it visible in the error.
    texts[i] = QStringToGbk(edits_[i]->text()).value_or("?");
  }
  std::string error = ReadPortEditTexts(texts, table_);
  if (!error.empty()) {
    ShowMessageBox(this, error, kBoxError);
    return;
  }
  accept();
}
