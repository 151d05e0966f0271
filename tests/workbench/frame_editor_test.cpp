#include <QMdiSubWindow>
#include <QTextCursor>

#include "frame_fixture.h"
#include "workbench/gui/path_items.h"

TEST_F(TFrameTest, StartsReadyWithEveryMenuAndApplicationWideKeys) {
  EXPECT_EQ(Pane(), QStringLiteral("就绪"));
  EXPECT_EQ(Frame->MemoDebug->toPlainText(), QStringLiteral("就绪"));
  EXPECT_EQ(Status(), QStringLiteral("就绪"));
  EXPECT_EQ(Frame->StatusPanels[1]->text(), QStringLiteral("未找到编辑窗口，请打开文件"));
  for (const char* name : {"MnuBuild", "MnuComplie", "MnuOpen", "MnuSave", "MnuPrint", "MnuContent"}) {
    QAction* action = Frame->Action(name);
    ASSERT_NE(action, nullptr) << name;
    EXPECT_EQ(action->shortcutContext(), Qt::ApplicationShortcut) << name;
  }
  EXPECT_EQ(Frame->Action("MnuBuild")->shortcut(), QKeySequence(Qt::Key_F9));
  EXPECT_EQ(Frame->Action("MnuTALVOSim")->text(), QStringLiteral("TALVO128仿真机(&TALVOSim)"));
}

TEST_F(TFrameTest, CommandsWithoutAnEditorOnlyShowTheirBox) {
  Frame->MnuCopyClick();
  Frame->MnuSaveClick();
  Frame->MnuPrintClick();
  Frame->FindDlgFind();
  Frame->MnuComplieClick();
  EXPECT_EQ(Boxes, (QStringList{QStringLiteral("未找到编辑窗口！"), QStringLiteral("没找到需要保存的文件！"),
                                QStringLiteral("没找到需要打印的文件！"), QStringLiteral("未找到编辑窗口！"),
                                QStringLiteral("没找到需要编译的文件！")}));
  EXPECT_EQ(BoxFlags, (std::vector<int>{0x10, 0x30, 0x30, 0x30, 0x30}));
  EXPECT_EQ(Status(), QStringLiteral("就绪"));
  EXPECT_EQ(Pane(), QStringLiteral("就绪"));
  Frame->WMHotKey(6);  // outside the table: nothing
  EXPECT_EQ(Boxes.size(), 5);
}

TEST_F(TFrameTest, NewEditorsAreNumberedByWindowCount) {
  Frame->MnuNewClick();
  Frame->MnuNewClick();
  Frame->MnuNewClick();
  EXPECT_EQ(Frame->ActiveEditor()->windowTitle(), QStringLiteral("编写代码3"));
  EXPECT_EQ(Status(), QStringLiteral("新建文件"));
}

TEST_F(TFrameTest, OpenAndSaveKeepGbkAndCrLf) {
  // 标号: / 加法 with a CR LF and a trailing line end
  const std::string bytes = "\xb1\xea\xba\xc5:\r\n\xbc\xd3\xb7\xa8 R1\r\n";
  WriteBytes(Dir.File("s.casm"), bytes);
  Dialogs->Answers = {Q(Dir.File("s.casm"))};
  Frame->MnuOpenClick();
  TFrmCode* editor = Frame->ActiveEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Memo->toPlainText(), QStringLiteral("标号:\n加法 R1\n"));
  EXPECT_EQ(editor->windowTitle(), Q(Dir.File("s.casm")));
  EXPECT_EQ(Status(), QStringLiteral("打开完毕！"));
  Dialogs->Answers = {Q(Dir.File("t.casm"))};
  Frame->MnuSaveAsClick();
  EXPECT_EQ(ReadBytes(Dir.File("t.casm")), bytes);
  EXPECT_EQ(Status(), QStringLiteral("另存为完毕！"));
}

TEST_F(TFrameTest, TextGbkCannotHoldIsRefusedAndTheFileKept) {
  WriteBytes(Dir.File("s.casm"), "old\r\n");
  Dialogs->Answers = {Q(Dir.File("s.casm"))};
  Frame->MnuOpenClick();
  Frame->ActiveEditor()->Memo->setPlainText(QStringLiteral("emoji \U0001F600"));
  Frame->MnuSaveClick();
  EXPECT_EQ(ReadBytes(Dir.File("s.casm")), "old\r\n");
  ASSERT_EQ(Boxes.size(), 1);
  EXPECT_NE(Status(), QStringLiteral("保存完毕！"));
}

TEST_F(TFrameTest, AFileThatIsNotGbkLeavesNoEditor) {
  WriteBytes(Dir.File("bad.casm"), "\x81\x20\xff");
  Dialogs->Answers = {Q(Dir.File("bad.casm")), Q(Dir.File("none.casm"))};
  Frame->MnuOpenClick();
  Frame->MnuOpenClick();
  QApplication::processEvents();
  EXPECT_TRUE(Frame->Editors().isEmpty());
  EXPECT_EQ(Boxes.size(), 2);
}

TEST_F(TFrameTest, FindWalksForwardWithTheCaseTheBoxAsksFor) {
  Frame->MnuNewClick();
  QPlainTextEdit* memo = Frame->ActiveEditor()->Memo;
  memo->setPlainText(QStringLiteral("ABC abc\nx abc\nabc"));
  Frame->FindDlg->FindText->setText(QStringLiteral("abc"));
  QTextCursor caret = memo->textCursor();
  caret.setPosition(10);
  memo->setTextCursor(caret);
  Frame->FindDlgFind();  // a caret alone: from the start
  EXPECT_EQ(memo->textCursor().selectionStart(), 4);
  Frame->FindDlgFind();
  Frame->FindDlgFind();
  EXPECT_EQ(memo->textCursor().selectionStart(), 14);
  EXPECT_EQ(Status(), QStringLiteral("匹配成功"));
  Frame->FindDlgFind();
  EXPECT_EQ(Boxes, QStringList{QStringLiteral("未找到合适的匹配！")});
  EXPECT_EQ(memo->textCursor().selectionStart(), 14);

  Frame->FindDlg->MatchCase->setChecked(false);
  memo->moveCursor(QTextCursor::Start);
  Frame->FindDlgFind();
  EXPECT_EQ(memo->textCursor().selectionStart(), 0);
  EXPECT_EQ(memo->textCursor().selectedText(), QStringLiteral("ABC"));
}

TEST_F(TFrameTest, ReplaceChangesTheSelectedOccurrenceAndMovesToTheNext) {
  Frame->MnuNewClick();
  QPlainTextEdit* memo = Frame->ActiveEditor()->Memo;
  memo->setPlainText(QStringLiteral("abc ABC\nabc x abc"));
  Frame->ReplaceDlg->FindText->setText(QStringLiteral("abc"));
  Frame->ReplaceDlg->ReplaceText->setText(QStringLiteral("Q"));
  // The selection further down is the one replaced, and the next one is shown.
  QTextCursor selection = memo->textCursor();
  selection.setPosition(8);
  selection.setPosition(11, QTextCursor::KeepAnchor);
  memo->setTextCursor(selection);
  Frame->ReplaceDlgReplace();
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("abc ABC\nQ x abc"));
  EXPECT_EQ(Status(), QStringLiteral("替换成功"));
  EXPECT_EQ(memo->textCursor().selectionStart(), 12);
  EXPECT_EQ(memo->textCursor().selectedText(), QStringLiteral("abc"));
  Frame->ReplaceDlgReplace();
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("abc ABC\nQ x Q"));
  // Nothing selected: the click only shows the next occurrence, from the start.
  Frame->ShowStatus(0, QStringLiteral("x"));
  Frame->ReplaceDlgReplace();
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("abc ABC\nQ x Q"));
  EXPECT_EQ(memo->textCursor().selectionStart(), 0);
  EXPECT_NE(Status(), QStringLiteral("替换成功"));
  Frame->ReplaceDlgReplace();
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("Q ABC\nQ x Q"));
  EXPECT_TRUE(Boxes.isEmpty());
  // ABC is no occurrence while case counts.
  Frame->ReplaceDlgReplace();
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("Q ABC\nQ x Q"));
  EXPECT_EQ(Boxes, QStringList{QStringLiteral("替换完成！")});
  EXPECT_EQ(BoxFlags, std::vector<int>{0});
}

TEST_F(TFrameTest, ReplaceAllReplacesEveryOccurrenceInOneClickAndSaysHowMany) {
  Frame->MnuNewClick();
  QPlainTextEdit* memo = Frame->ActiveEditor()->Memo;
  memo->setPlainText(QStringLiteral("aa ABC abc\nabcabc 加法abc"));
  Frame->ReplaceDlg->FindText->setText(QStringLiteral("abc"));
  Frame->ReplaceDlg->ReplaceText->setText(QStringLiteral("abcd"));  // holds the find text
  Frame->ReplaceDlgReplaceAll();
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("aa ABC abcd\nabcdabcd 加法abcd"));
  EXPECT_EQ(Status(), QStringLiteral("替换成功"));
  EXPECT_EQ(Boxes, QStringList{QStringLiteral("全部替换完成，共替换4处。")});
  memo->undo();  // one step takes them all back
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("aa ABC abc\nabcabc 加法abc"));

  Frame->ReplaceDlg->MatchCase->setChecked(false);
  Frame->ReplaceDlg->ReplaceText->setText(QStringLiteral("-"));
  Frame->ReplaceDlgReplaceAll();
  EXPECT_EQ(memo->toPlainText(), QStringLiteral("aa - -\n-- 加法-"));
  EXPECT_EQ(Boxes.last(), QStringLiteral("全部替换完成，共替换5处。"));
  Frame->ReplaceDlgReplaceAll();
  EXPECT_EQ(Boxes.last(), QStringLiteral("替换完成！"));
}

TEST_F(TFrameTest, JumpToLineAndTheCaretIndicator) {
  Frame->MnuNewClick();
  QPlainTextEdit* memo = Frame->ActiveEditor()->Memo;
  memo->setPlainText(QStringLiteral("one\ntwo\nthree\nfour\nfive"));
  const QString text = memo->toPlainText();
  InputAnswer = QStringLiteral("3");
  Frame->MnuLineNoClick();
  EXPECT_EQ(memo->textCursor().position(), 8);
  EXPECT_EQ(memo->toPlainText(), text);
  EXPECT_EQ(Status(), QStringLiteral("转向行号"));
  Frame->AppIdle();
  EXPECT_EQ(Frame->StatusPanels[1]->text(), QStringLiteral("第3行,第1列"));

  Frame->ShowStatus(0, QStringLiteral("x"));
  InputAnswer.reset();  // cancelled: nothing happens
  Frame->MnuLineNoClick();
  EXPECT_EQ(memo->textCursor().position(), 8);
  EXPECT_EQ(Status(), QStringLiteral("x"));
}

TEST_F(TFrameTest, ClosingAModifiedEditorAsksAndCancelKeepsIt) {
  Frame->MnuNewClick();
  Frame->ActiveEditor()->Memo->insertPlainText(QStringLiteral("work"));
  BoxAnswer = kIdCancel;
  Frame->Editors().first()->parentWidget()->close();
  QApplication::processEvents();
  EXPECT_EQ(Frame->Editors().size(), 1);
  BoxAnswer = kIdYes;
  Dialogs->Answers = {Q(Dir.File("kept.casm"))};
  Frame->Editors().first()->parentWidget()->close();
  QApplication::processEvents();
  EXPECT_TRUE(Frame->Editors().isEmpty());
  EXPECT_EQ(ReadBytes(Dir.File("kept.casm")), "work");
  EXPECT_EQ(Boxes.size(), 2);
}

TEST_F(TFrameTest, CompileReadsTheSavedFileOnly) {
  WriteBytes(Dir.File("c.casm"), "LD R1 1\r\n");
  Dialogs->Answers = {Q(Dir.File("c.casm"))};
  Frame->MnuOpenClick();
  Frame->ActiveEditor()->Memo->setPlainText(QStringLiteral("NOSUCHOP R1\n"));  // not saved
  Frame->MnuComplieClick();
  EXPECT_EQ(Pane(), QStringLiteral("正在编译...\n编译成功！"));
  EXPECT_TRUE(Exists(Dir.File("c.qobj")));
  EXPECT_FALSE(Exists(Dir.File("c.hex")));
  Frame->MnuNewClick();  // never saved: no file to read
  Frame->MnuComplieClick();
  EXPECT_TRUE(Pane().startsWith(QStringLiteral("正在编译...\n错误信息：\n")));
  EXPECT_TRUE(Pane().endsWith(QStringLiteral("编译失败！")));
}

TEST_F(TFrameTest, FileListDialogRefusesExactDuplicatesOnly) {
  AddPathItem(Frame->FrmProject->LstFileName, "C:\\X.casm");
  Dialogs->Answers = {QStringLiteral("C:\\x.casm"), QStringLiteral("C:\\X.casm")};
  Frame->FrmProject->BtnAddClick();
  Frame->FrmProject->BtnAddClick();
  EXPECT_EQ(Frame->FrmProject->LstFileName->count(), 2);
  EXPECT_EQ(Boxes, QStringList{QStringLiteral("项目文件列表中已经有该文件！\n不再增加该文件名！")});
  EXPECT_EQ(BoxFlags, std::vector<int>{0x10});
  Frame->FrmProject->LstFileName->clearSelection();
  Frame->FrmProject->BtnDelClick();  // nothing selected: nothing happens
  EXPECT_EQ(Frame->FrmProject->LstFileName->count(), 2);
}
