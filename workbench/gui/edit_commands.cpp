// The editing commands on the active editor, the caret indicator and the panes.

#include <QApplication>
#include <QTextBlock>
#include <QTextCursor>

#include "platform/file_names.h"
#include "platform/gbk_qt.h"
#include "platform/input_box.h"
#include "platform/message_box.h"
#include "platform/text_lines.h"
#include "workbench/gui/frm_main.h"
#include "workbench/gui/text_file.h"
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

namespace {

char16_t FoldUnit(char16_t unit) {
  const char32_t folded = QChar::toCaseFolded(static_cast<char32_t>(unit));
  return folded > 0xFFFF ? unit : static_cast<char16_t>(folded);
}

TFoldCase FoldOf(const TFindDialog* dialog) { return dialog->MatchCase->isChecked() ? nullptr : FoldUnit; }

std::u16string TextOf(const QPlainTextEdit* memo) { return memo->toPlainText().toStdU16String(); }

void Select(QPlainTextEdit* memo, int at, int length) {
  QTextCursor cursor = memo->textCursor();
  cursor.setPosition(at);
  cursor.setPosition(at + length, QTextCursor::KeepAnchor);
  memo->setTextCursor(cursor);
}

}  // namespace

bool TFrmMain::FindNext(TFrmCode* editor, TFindDialog* dialog, const QString& status) {
  QPlainTextEdit* memo = editor->Memo;
  const QTextCursor selection = memo->textCursor();
  const std::u16string find = dialog->FindText->text().toStdU16String();
  const int32_t at = FindNextPosition(TextOf(memo), find, selection.selectionStart(),
                                      selection.selectionEnd() - selection.selectionStart(), FoldOf(dialog));
  if (at < 0) return false;
  memo->setFocus();
  Select(memo, at, static_cast<int>(find.size()));
  ShowStatus(0, status);
  return true;
}

void TFrmMain::FindCommand(TFindDialog* dialog, const QString& status) {
  TFrmCode* editor;
  if (!EditorOrBox(editor, kBoxWarning)) return;
  if (!FindNext(editor, dialog, status)) ShowMessage(this, QStringLiteral("未找到合适的匹配！"), 0);
}

void TFrmMain::FindDlgFind() { FindCommand(FindDlg, QStringLiteral("匹配成功")); }

void TFrmMain::ReplaceDlgFind() { FindCommand(ReplaceDlg, QStringLiteral("查找完成")); }

void TFrmMain::ReplaceDone() {
  QApplication::beep();
  ShowMessage(this, QStringLiteral("替换完成！"), 0);
}

void TFrmMain::ReplaceDlgReplace() {
  TFrmCode* editor;
  if (!EditorOrBox(editor, kBoxWarning)) return;
  QPlainTextEdit* memo = editor->Memo;
  const std::u16string find = ReplaceDlg->FindText->text().toStdU16String();
  const TFoldCase fold = FoldOf(ReplaceDlg);
  QTextCursor cursor = memo->textCursor();
  const int start = cursor.selectionStart();
  // Only what the user sees selected is replaced; otherwise the click shows the
  // next occurrence first.
  if (!SelectionMatches(TextOf(memo), start, cursor.selectionEnd() - start, find, fold)) {
    if (!FindNext(editor, ReplaceDlg, QStringLiteral("查找完成"))) ReplaceDone();
    return;
  }
  cursor.insertText(ReplaceDlg->ReplaceText->text());
  memo->setTextCursor(cursor);
  const int32_t next = FindFrom(TextOf(memo), find, cursor.position(), fold);
  if (next >= 0) Select(memo, next, static_cast<int>(find.size()));
  ShowStatus(0, QStringLiteral("替换成功"));
}

void TFrmMain::ReplaceDlgReplaceAll() {
  TFrmCode* editor;
  if (!EditorOrBox(editor, kBoxWarning)) return;
  QPlainTextEdit* memo = editor->Memo;
  const std::u16string find = ReplaceDlg->FindText->text().toStdU16String();
  const std::vector<int32_t> positions = FindAllPositions(TextOf(memo), find, FoldOf(ReplaceDlg));
  if (positions.empty()) {
    ReplaceDone();
    return;
  }
  // From the end, so the positions before each replacement stay valid; one edit
  // block, so one undo takes all of them back.
  QTextCursor cursor(memo->document());
  cursor.beginEditBlock();
  for (auto at = positions.rbegin(); at != positions.rend(); ++at) {
    cursor.setPosition(*at);
    cursor.setPosition(*at + static_cast<int>(find.size()), QTextCursor::KeepAnchor);
    cursor.insertText(ReplaceDlg->ReplaceText->text());
  }
  cursor.endEditBlock();
  ShowStatus(0, QStringLiteral("替换成功"));
  ShowMessage(this, QStringLiteral("全部替换完成，共替换") + QString::number(positions.size()) + QStringLiteral("处。"),
              kBoxInformation);
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
  WriteGbkTextFile(this, FileSystemName(path), text.isEmpty() ? text : text + QLatin1Char('\n'));
}
