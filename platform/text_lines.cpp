#include "platform/text_lines.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

int LinesOf(const QTextBlock& block) {
  const QTextLayout* layout = block.layout();
  return layout != nullptr && layout->lineCount() > 0 ? layout->lineCount() : 1;
}

}  // namespace

int LineFromChar(QPlainTextEdit* edit, int position) {
  QTextDocument* doc = edit->document();
  const QTextBlock target = doc->findBlock(position);
  int line = 0;
  for (QTextBlock block = doc->begin(); block.isValid() && block != target; block = block.next())
    line += LinesOf(block);
  if (!target.isValid()) return line > 0 ? line - 1 : 0;
  const QTextLayout* layout = target.layout();
  if (layout != nullptr && layout->lineCount() > 0) {
    const QTextLine textLine = layout->lineForTextPosition(position - target.position());
    if (textLine.isValid()) line += textLine.lineNumber();
  }
  return line;
}

int LineIndex(QPlainTextEdit* edit, int line) {
  if (line < 0) return -1;
  int first = 0;
  for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
    const int count = LinesOf(block);
    if (line < first + count) {
      const QTextLayout* layout = block.layout();
      if (layout == nullptr || layout->lineCount() == 0) return block.position();
      return block.position() + layout->lineAt(line - first).textStart();
    }
    first += count;
  }
  return -1;
}
