// The toolkit's own dialogs as users meet them: in Chinese like the rest of the
// program, and message boxes wide enough for their caption.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPrinter>

#include "../common/inspect_modal.h"
#include "frame_fixture.h"
#include "workbench/gui/file_dialogs.h"

namespace {

QStringList ButtonTexts(QWidget* dialog) {
  QStringList texts;
  for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
    if (button->isVisible() && !button->text().isEmpty()) texts << button->text();
  return texts;
}

QStringList ComboItems(QWidget* dialog) {
  QStringList items;
  for (QComboBox* combo : dialog->findChildren<QComboBox*>())
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

class StandardDialogs : public ::testing::Test {
 protected:
  void SetUp() override { TestApplication(); }
  TQtFileDialogs Dialogs;
};

}  // namespace

TEST_F(StandardDialogs, FileAndPrintDialogsSpeakChinese) {
  InspectModal([&] { Dialogs.OpenSource(nullptr); }, [](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("打开"));
    EXPECT_TRUE(ButtonTexts(dialog).contains(QStringLiteral("打开(&O)"))) << ButtonTexts(dialog).join('|').toStdString();
    EXPECT_TRUE(ButtonTexts(dialog).contains(QStringLiteral("取消")));
  });
  InspectModal([&] { Dialogs.SaveSource(nullptr); }, [](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("另存为"));
    EXPECT_TRUE(ButtonTexts(dialog).contains(QStringLiteral("保存(&S)")));
  });
  QPrinter printer;
  InspectModal([&] { Dialogs.ChoosePrinter(nullptr, printer); }, [](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("打印"));
    EXPECT_TRUE(ButtonTexts(dialog).contains(QStringLiteral("打印(&P)")));
    // The way to print on a machine without a printer.
    EXPECT_TRUE(ComboItems(dialog).contains(QStringLiteral("打印到文件(PDF)"))) << ComboItems(dialog).join('|').toStdString();
  });
  InspectModal([&] { Dialogs.SetUpPage(nullptr, printer); }, [](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("页面设置"));
    EXPECT_TRUE(ButtonTexts(dialog).contains(QStringLiteral("确定")));
    EXPECT_TRUE(ButtonTexts(dialog).contains(QStringLiteral("横向")));
  });
}

TEST_F(StandardDialogs, MessageBoxButtonsSpeakChineseAndTheCaptionHasRoom) {
  InspectModal([] { ShowMessageBox(nullptr, "?", kBoxWarningYesNoCancel); }, [](QWidget* box) {
    EXPECT_EQ(ButtonTexts(box), (QStringList{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"), QStringLiteral("取消")}));
  });
  // The narrowest box of all: two letters, no icon, one button.
  InspectModal([] { ShowMessageBox(nullptr, "ok", 0); }, [](QWidget* box) {
    EXPECT_EQ(ButtonTexts(box), QStringList{QStringLiteral("确定")});
    EXPECT_EQ(box->windowTitle(), QStringLiteral("系统提示"));
    EXPECT_GE(box->width(), CaptionRoomWidth(box->windowTitle()));
  });
  InspectModal([] { ShowExceptionBox(nullptr, "e"); }, [](QWidget* box) {
    EXPECT_EQ(box->windowTitle(), QApplication::applicationName());
    EXPECT_GE(box->width(), CaptionRoomWidth(box->windowTitle()));
  });
  // Room for the caption in a bold title font beside four title-bar buttons.
  QFont title = QApplication::font();
  title.setBold(true);
  EXPECT_GT(CaptionRoomWidth(QStringLiteral("系统提示")),
            QFontMetrics(title).horizontalAdvance(QStringLiteral("系统提示")) + 4 * QFontMetrics(title).height());
}
