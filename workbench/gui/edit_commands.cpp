// The editing commands on the active editor, the caret indicator and the panes.

#include <QApplication>
#include <QTextBlock>
#include <QTextCursor>

#include "platform/gbk_qt.h"
#include "platform/input_box.h"
#include "platform/message_box.h"
#include "platform/text_lines.h"
#include "workbench/gui/frm_main.h"
#include "workbench/model/editor_search.h"
#include "workbench/model/workbench_texts.h"

bool TFrmMain::EditorOrBox(TFrmCode*& editor, int flags) {
  editor = ActiveEditor();
  if (editor != nullptr) return true;
  ShowMessage(this, QStringLiteral("未找到编辑窗口！"), flags);
  return false;
}

void TFrmMain::MnuCopyClick() {
  TFrmCode* editor;
  if (!EditorOrBox(editor, kBoxError)) return;
  editor->Memo->copy();
  ShowStatus(0, QStringLiteral("复制内容"));
}

void TFrmMain::MnuCutClick() {
  TFrmCode* editor;
  if (!EditorOrBox(editor, kBoxError)) return;
  editor->Memo->cut();
  ShowStatus(0, QStringLiteral("剪切内容"));
}

void TFrmMain::MnuPasteClick() {
  TFrmCode* editor;
  if (!EditorOrBox(editor, kBoxError)) return;
  editor->Memo->paste();
  ShowStatus(0, QStringLiteral("粘贴内容"));
}

void TFrmMain::MnuSelectAllClick() {
  TFrmCode* editor;
  if (!EditorOrBox(editor, kBoxError)) return;
  editor->Memo->selectAll();
  ShowStatus(0, QStringLiteral("选择所有文本"));
}

void TFrmMain::MnuLineNoClick() {
  TFrmCode* editor;
  if (!EditorOrBox(editor, kBoxError)) return;
  std::string answer = "0";
  // 转向行号 / 输入需要跳转到的行号：
  if (!ShowInputBox(this, QStringToGbk(QStringLiteral("转向行号")).value(),
                    QStringToGbk(QStringLiteral("输入需要跳转到的行号：")).value(), answer))
    return;
  const int32_t requested = StrToInt(answer);
  QPlainTextEdit* memo = editor->Memo;
  const int32_t lines = static_cast<int32_t>(LineFromChar(memo, memo->document()->characterCount() - 1)) + 1;
  const int position = LineIndex(memo, JumpLine(requested, lines) - 1);
  QTextCursor cursor = memo->textCursor();
  cursor.setPosition(position < 0 ? 0 : position);
  memo->setTextCursor(cursor);
  memo->ensureCursorVisible();
  ShowStatus(0, QStringLiteral("转向行号"));
}

void TFrmMain::FindNext(TFindDialog* dialog, const QString& status) {
  TFrmCode* editor;
  if (!EditorOrBox(editor, kBoxWarning)) return;
  QPlainTextEdit* memo = editor->Memo;
  const QTextCursor selection = memo->textCursor();
  const QString find = dialog->FindText->text();
  const int32_t at = FindNextPosition(memo->toPlainText().toStdU16String(), find.toStdU16String(),
                                      selection.selectionStart(),
                                      selection.selectionEnd() - selection.selectionStart());
  if (at < 0) {
    ShowMessage(this, QStringLiteral("未找到合适的匹配！"), 0);
    return;
  }
  memo->setFocus();
  QTextCursor cursor = memo->textCursor();
  cursor.setPosition(at);
  cursor.setPosition(at + static_cast<int>(find.size()), QTextCursor::KeepAnchor);
  memo->setTextCursor(cursor);
  ShowStatus(0, status);
}

void TFrmMain::FindDlgFind() { FindNext(FindDlg, QStringLiteral("匹配成功")); }

void TFrmMain::ReplaceDlgFind() { FindNext(ReplaceDlg, QStringLiteral("查找完成")); }

void TFrmMain::ReplaceDlgReplace() {
  TFrmCode* editor;
  if (!EditorOrBox(editor, kBoxWarning)) return;
  QPlainTextEdit* memo = editor->Memo;
  const QString find = ReplaceDlg->FindText->text();
  // The search runs on the control's own text, so the replaced range is exactly
  // the found text whatever line breaks come before it.
  const int32_t at = FindFirstPosition(memo->toPlainText().toStdU16String(), find.toStdU16String());
  if (at < 0) {
    QApplication::beep();
    ShowMessage(this, QStringLiteral("替换完成！"), 0);
    return;
  }
  QTextCursor cursor = memo->textCursor();
  cursor.setPosition(at);
  cursor.setPosition(at + static_cast<int>(find.size()), QTextCursor::KeepAnchor);
  cursor.insertText(ReplaceDlg->ReplaceText->text());
  memo->setTextCursor(cursor);
  ShowStatus(0, QStringLiteral("替换成功"));
}

void TFrmMain::AppIdle() {
  TFrmCode* editor = ActiveEditor();
  if (editor == nullptr) {
    StatusPanels[1]->setText(GbkToQString(wbtext::kNoEditorHint));
    return;
  }
  QPlainTextEdit* memo = editor->Memo;
  const int start = memo->textCursor().selectionStart();
  const int caret = memo->textCursor().position();
  const int line = LineFromChar(memo, start);
  const int column = start - LineIndex(memo, LineFromChar(memo, caret)) + 1;
  StatusPanels[1]->setText(GbkToQString(CaretText(line + 1, column)));
}

void TFrmMain::SavePane(QPlainTextEdit* pane) {
  const QString path = FileDialogs->SaveInfo(this);
  if (path.isEmpty()) return;
  const QString text = pane->toPlainText();
  WriteGbkTextFile(this, path, text.isEmpty() ? text : text + QLatin1Char('\n'));
}
