#include "workbench/gui/project_dialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/message_box.h"
#include "workbench/gui/file_dialogs.h"
#include "workbench/gui/path_items.h"
#include "workbench/model/project_list.h"

TFrmProject::TFrmProject(TFileDialogs* dialogs, QWidget* parent)
    : QDialog(parent), LstFileName(new QListWidget(this)), FileDialogs(dialogs) {
  setObjectName(QStringLiteral("FrmProject"));
  setWindowTitle(QStringLiteral("项目文件"));
  resize(392, 420);
  LstFileName->setObjectName(QStringLiteral("LstFileName"));
  auto* group = new QGroupBox(QStringLiteral("项目文件列表"), this);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(LstFileName);
  auto* add = new QPushButton(QStringLiteral("增加"), this);
  add->setObjectName(QStringLiteral("BtnAdd"));
  auto* del = new QPushButton(QStringLiteral("删除"), this);
  del->setObjectName(QStringLiteral("BtnDel"));
  auto* ok = new QPushButton(QStringLiteral("确认(&O)"), this);
  auto* cancel = new QPushButton(QStringLiteral("放弃(&C)"), this);
  connect(add, &QPushButton::clicked, this, &TFrmProject::BtnAddClick);
  connect(del, &QPushButton::clicked, this, &TFrmProject::BtnDelClick);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {add, del, ok, cancel}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(buttons);
}

int32_t TFrmProject::IsInList(const std::string& entry) const {
  return ::IsInList(PathsOf(LstFileName), entry);
}

void TFrmProject::BtnAddClick() {
  const QString path = FileDialogs->AddProjectSource(this);
  if (path.isEmpty()) return;
  std::string entry;
  if (!ToStoredName(this, path, entry)) return;
  if (IsInList(entry) == 1) {
    ShowMessage(this, QStringLiteral("项目文件列表中已经有该文件！\n不再增加该文件名！"), kBoxError);
    return;
  }
  AddPathItem(LstFileName, entry);
}

void TFrmProject::BtnDelClick() {
  const int row = LstFileName->currentRow();
  if (row < 0 || LstFileName->currentItem() == nullptr || !LstFileName->currentItem()->isSelected()) return;
  delete LstFileName->takeItem(row);
  ShowMessage(this, QStringLiteral("删除源文件名成功！本操作不会真实删除该文件内容，只是将其移出列表。"),
                 kBoxInformation);
}

TFrmProjectSetup::TFrmProjectSetup(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmProjectSetup"));
  setWindowTitle(QStringLiteral("项目属性Project Setup"));
  resize(566, 382);
  auto* outer = new QGroupBox(QStringLiteral("属性设置"), this);
  auto* compiler = new QGroupBox(QStringLiteral("编译器设置"), outer);
  auto* target = new QGroupBox(QStringLiteral("编译器最终目标指令集设置"), compiler);
  target->setObjectName(QStringLiteral("RGrpTarget"));
  auto* targetLayout = new QVBoxLayout(target);
  auto* isa = new QRadioButton(QStringLiteral("TALVO128指令集"), target);
  isa->setChecked(true);
  targetLayout->addWidget(isa);
  const char* names[6] = {"ChkCommInfo", "ChkWarning", "ChkError", "ChkList", "ChkTvxbin", "ChkHex"};
  const QString captions[6] = {QStringLiteral("显示编译一般信息"), QStringLiteral("显示编译警告信息"),
                               QStringLiteral("显示编译错误信息"), QStringLiteral("产生详细列表文件"),
                               QStringLiteral("产生tvxbin文件"),   QStringLiteral("产生HEX文件")};
  auto* compilerLayout = new QVBoxLayout(compiler);
  compilerLayout->addWidget(target);
  for (int i = 0; i < 6; ++i) {
    if (i == 3) compilerLayout->addSpacing(12);
    Checks[i] = new QCheckBox(captions[i], compiler);
    Checks[i]->setObjectName(QString::fromLatin1(names[i]));
    compilerLayout->addWidget(Checks[i]);
  }
  auto* outerLayout = new QVBoxLayout(outer);
  outerLayout->addWidget(compiler);
  auto* ok = new QPushButton(QStringLiteral("确认(&O)"), this);
  ok->setObjectName(QStringLiteral("BtnOk"));
  auto* no = new QPushButton(QStringLiteral("放弃(&N)"), this);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(no, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(no);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(outer);
  layout->addLayout(buttons);
}

bool TGuiProjectDialogs::EditFileList(const std::string& caption, std::vector<std::string>& files) {
  FileList->setWindowTitle(QString::fromStdString(caption));
  FillPathList(FileList->LstFileName, files);
  if (FileList->exec() != QDialog::Accepted) return false;
  files = PathsOf(FileList->LstFileName);
  return true;
}

bool TGuiProjectDialogs::EditSetup(uint8_t (&flags)[6]) {
  for (int i = 0; i < 6; ++i) Setup->Checks[i]->setChecked(flags[i] != 0);
  if (Setup->exec() != QDialog::Accepted) return false;
  for (int i = 0; i < 6; ++i) flags[i] = Setup->Checks[i]->isChecked() ? 1 : 0;
  return true;
}
