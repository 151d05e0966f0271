#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTranslator>

#include "common/inspect_modal.h"
#include "gui_app.h"
#include "platform/translations.h"
#include "simulator/gui/cpu_setup_dialog.h"
#include "simulator/gui/main_window.h"
#include "simulator/gui/memory_window.h"
#include "simulator/gui/register_window.h"
#include "simulator/gui/test_dialog.h"

namespace {

template <typename Window>
Window* OpenedWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = dynamic_cast<Window*>(widget); window != nullptr && window->isVisible()) return window;
  }
  return nullptr;
}

// Whether the edit shows the text whole, from its frame's inner edge on.
bool ShowsWhole(QLineEdit* edit, const QString& text) {
  QStyleOptionFrame option;
  option.initFrom(edit);
  option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
  const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
  return contents.width() - 4 >= edit->fontMetrics().horizontalAdvance(text);
}

TEST(WindowLooks, InspectionWindowsOpenCentredOnTheDesktop) {
  GuiApp();
  TFrmMain main;
  main.MnuMemoryEditClick();
  main.MnuRegistersofCommonClick();
  main.MnuTestforTALVO128Click();
  const QPoint desktop = QApplication::primaryScreen()->availableGeometry().center();
  const QWidget* windows[] = {OpenedWindow<TFrmViewMemory>(), OpenedWindow<TFrmCommonRegister>(),
                              OpenedWindow<TFrmRegOpDlg>()};
  for (const QWidget* window : windows) {
    ASSERT_NE(window, nullptr);
    SCOPED_TRACE(window->windowTitle().toStdString());
    // The frame is placed before it is known; it may add a few pixels round the window.
    EXPECT_LE((window->frameGeometry().center() - desktop).manhattanLength(), 4);
  }
}

TEST(WindowLooks, DecimalEditsShowThirtyNineDigits) {
  GuiApp();
  TTALVOCPU cpu;
  TFrmRegOpDlg dialog(&cpu);
  TFrmSpecialRegisters registers(&cpu);
  dialog.show();
  registers.show();
  const QString largest = QStringLiteral("340282366920938463463374607431768211455");
  for (QLineEdit* edit : {dialog.EditReg1, dialog.EditReg2, dialog.EditAddr, registers.EditContent}) {
    edit->setText(largest);
    EXPECT_TRUE(ShowsWhole(edit, largest)) << edit->width();
  }
}

// The file dialogs are the toolkit's own, in the language of the menus once the
// program has loaded the toolkit's Chinese texts.
TEST(WindowLooks, FileDialogsSpeakChinese) {
  QApplication& app = GuiApp();
  ASSERT_TRUE(InstallChineseTranslations(app));
  TFrmCPUSetup setup;
  QString title;
  QString lookIn;
  QString fileName;
  QString accept;
  InspectModal([&] { setup.findChild<QPushButton*>(QStringLiteral("BtnBrowseBIOS"))->click(); },
               [&](QWidget* shown) {
                 auto* dialog = qobject_cast<QFileDialog*>(shown);
                 ASSERT_NE(dialog, nullptr);
                 title = dialog->windowTitle();
                 lookIn = dialog->labelText(QFileDialog::LookIn);
                 fileName = dialog->labelText(QFileDialog::FileName);
                 accept = dialog->labelText(QFileDialog::Accept);
               });
  for (QTranslator* translator : app.findChildren<QTranslator*>()) {
    QApplication::removeTranslator(translator);
    delete translator;
  }
  EXPECT_EQ(title, QStringLiteral("打开"));
  EXPECT_EQ(lookIn, QStringLiteral("查找范围："));
  EXPECT_EQ(fileName, QStringLiteral("文件名称(&N)："));
  EXPECT_EQ(accept, QStringLiteral("打开(&O)"));
}

}  // namespace
