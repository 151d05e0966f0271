#include "simulator/gui/cpu_setup_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/gbk_qt.h"
#include "platform/message_box.h"
#include "simulator/model/sim_texts.h"

namespace {

const QString kImageFilter = QStringLiteral("二进制映像文件(*.tvxbin);;所有文件(*.*)");
// Qt's own dialog matches "*.bin" in any letter case, so the linker's ".Bin" shows.
const QString kBinFilter = QStringLiteral("二进制文件(*.bin);;所有文件(*.*)");
const QString kSettingFilter = QStringLiteral("CPU设置文件(*.setting);;所有文件(*.*)");

QString RunFileDialog(QWidget* parent, bool save, const QString& start, const QString& filter,
                      const QString& suffix) {
  QFileDialog dialog(parent);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(filter.split(QStringLiteral(";;")));
  dialog.setDefaultSuffix(suffix);
  if (!start.isEmpty()) dialog.selectFile(start);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace

TFrmCPUSetup::TFrmCPUSetup(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmCPUSetup"));
  setWindowTitle(QStringLiteral("CPU设置(CPU Setup Dialog)"));
  auto* group = new QGroupBox(QStringLiteral("CPU设置栏目"), this);
  auto* grid = new QGridLayout(group);
  struct Row {
    int line;
    const char* name;
    QString label;
    const char* browse;
  };
  const Row rows[] = {
      {SettingMemSize, "EditMemSize", QStringLiteral("内存大小(兆字节)"), nullptr},
      {SettingHardDiskSize, "EditHardDisk", QStringLiteral("硬盘大小(兆字节)"), nullptr},
      {SettingFloppySize, "EditFloppyDiskSize", QStringLiteral("软盘大小(兆字节)"), nullptr},
      {SettingMemFile, "EditMemFileName", QStringLiteral("内存文件名"), "BtnBrowseMemFileName"},
      {SettingHardDiskFile, "EditHardDiskFileName", QStringLiteral("硬盘文件名"), "BtnBrowseHardFileName"},
      {SettingFloppyFile, "EditFloppyFileName", QStringLiteral("软盘文件名"), "BtnFloppyBrowse"},
      {SettingBiosFile, "EditBIOSFileName", QStringLiteral("BIOS板载基础引导与服务程序文件名"), "BtnBrowseBIOS"},
  };
  int row = 0;
  for (const Row& r : rows) {
    auto* edit = new QLineEdit(group);
    edit->setObjectName(QString::fromLatin1(r.name));
    edits_[r.line] = edit;
    grid->addWidget(new QLabel(r.label, group), row++, 0, 1, 2);
    grid->addWidget(edit, row, 0);
    if (r.browse) {
      auto* button = new QPushButton(QStringLiteral("浏览"), group);
      button->setObjectName(QString::fromLatin1(r.browse));
      const bool bios = r.line == SettingBiosFile;
      const int line = r.line;
      connect(button, &QPushButton::clicked, this, [this, line, bios] {
        if (bios) {
          Browse(line, kBinFilter, QStringLiteral("bin"));
        } else {
          Browse(line, kImageFilter, QStringLiteral("tvxbin"));
        }
      });
      grid->addWidget(button, row, 1);
    }
    ++row;
  }
  SetEdits(DesignSetupEdits());

  auto* buttons = new QGridLayout;
  auto addButton = [&](const char* name, const QString& text, int r, int c, void (TFrmCPUSetup::*slot)()) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::fromLatin1(name));
    connect(button, &QPushButton::clicked, this, slot);
    buttons->addWidget(button, r, c);
  };
  addButton("BtnSaveDefault", QStringLiteral("保存到默认设置"), 0, 0, &TFrmCPUSetup::BtnSaveDefaultClick);
  addButton("BtnSaveSetting", QStringLiteral("保存设置"), 0, 1, &TFrmCPUSetup::BtnSaveSettingClick);
  addButton("LoadSettingBtn", QStringLiteral("装入设置"), 0, 2, &TFrmCPUSetup::LoadSettingBtnClick);
  addButton("BitBtn1", QStringLiteral("是(&Yes)"), 1, 1, &TFrmCPUSetup::BitBtn1Click);
  addButton("BitBtn2", QStringLiteral("否(&No)"), 1, 2, &TFrmCPUSetup::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(buttons);
  setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
}

bool TFrmCPUSetup::ReadEdits(TSettingItems& out) {
  TSettingItems read;
  for (int line = 0; line < 7; ++line) {
    std::optional<std::string> text = QStringToGbk(edits_[line]->text());
    if (!text) {
      ShowMessageBox(this, kTextNotGbk, kBoxWarning);
      edits_[line]->setFocus();
      return false;
    }
    read.Items[line] = *text;
  }
  out = read;
  return true;
}

void TFrmCPUSetup::SetEdits(const TSettingItems& edits) {
  for (int line = 0; line < 7; ++line) edits_[line]->setText(GbkToQString(edits.Items[line]));
}

int TFrmCPUSetup::SaveCPUSetting(const std::string& path) {
  TSettingItems edits;
  if (!ReadEdits(edits)) return 0;
  // A size that is not a number is the user's mistake, reported as such; the file
  // is not touched.
  std::string error = CheckSetupForSave(edits);
  if (!error.empty()) {
    ShowMessageBox(this, error, kBoxError);
    return 0;
  }
  return ::SaveCPUSetting(path, edits);
}

int TFrmCPUSetup::LoadCPUSetting(const std::string& path) {
  TSettingItems edits;
  if (!ReadEdits(edits)) return 0;
  if (!::LoadCPUSetting(path, edits)) return 0;
  SetEdits(edits);
  return 1;
}

int TFrmCPUSetup::SaveDefaultSetting() { return SaveCPUSetting(DefaultSettingPath()); }

int TFrmCPUSetup::LoadDefaultSetting() {
  TSettingItems edits;
  for (int line = 0; line < 7; ++line) edits.Items[line] = QStringToGbk(edits_[line]->text()).value_or(std::string());
  if (!::LoadCPUSetting(DefaultSettingPath(), edits)) return 0;
  SetEdits(edits);
  return 1;
}

void TFrmCPUSetup::RefreshCPUSetup() { LoadDefaultSetting(); }

void TFrmCPUSetup::showEvent(QShowEvent* event) {
  LoadDefaultSetting();
  QDialog::showEvent(event);
}

void TFrmCPUSetup::BitBtn1Click() {
  TSettingItems edits;
  if (!ReadEdits(edits)) return;
  TAppliedSetup applied;
  std::string error = ComputeAppliedSetup(edits, applied);
  if (!error.empty()) {
    ShowMessageBox(this, error, kBoxError);
    return;
  }
  if (OnYes) OnYes(applied);
  done(QDialog::Accepted);
}

void TFrmCPUSetup::BtnSaveDefaultClick() {
  if (SaveDefaultSetting() == 1) {
    ShowMessageBox(this, kTextSavedDefault, kBoxInformation);
  } else {
    ShowMessageBox(this, kTextSaveFailed, kBoxWarning);
  }
}

void TFrmCPUSetup::BtnSaveSettingClick() {
  QString name = RunFileDialog(this, true, {}, kSettingFilter, QStringLiteral("setting"));
  if (name.isEmpty()) return;
  if (SaveCPUSetting(QFile::encodeName(name).toStdString()) == 1) {
    ShowMessageBox(this, kTextSavedFile, kBoxInformation);
  } else {
    ShowMessageBox(this, kTextSaveFailed, kBoxWarning);
  }
}

void TFrmCPUSetup::LoadSettingBtnClick() {
  QString name = RunFileDialog(this, false, {}, kSettingFilter, QStringLiteral("setting"));
  if (name.isEmpty()) return;
  if (LoadCPUSetting(QFile::encodeName(name).toStdString()) == 1) {
    ShowMessageBox(this, kTextLoadedFile, kBoxInformation);
  } else {
    ShowMessageBox(this, kTextLoadFailed, kBoxWarning);
  }
}

void TFrmCPUSetup::Browse(int line, const QString& filter, const QString& suffix) {
  QString name = RunFileDialog(this, false, edits_[line]->text(), filter, suffix);
  if (!name.isEmpty()) edits_[line]->setText(name);
}
