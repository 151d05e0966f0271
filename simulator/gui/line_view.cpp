#include "simulator/gui/line_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

#include "platform/message_box.h"
#include "simulator/model/inspect_texts.h"
#include "simulator/model/line_source.h"

namespace {

constexpr int kMargin = 2;
constexpr int kTextFlags = Qt::TextExpandTabs | Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;

QString LineText(const std::string& line) {
  return QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
}

}  // namespace

TLineView::TLineView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(QFont(QStringLiteral("Monospace")));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
}

void TLineView::SetSource(const TLineSource* source) {
  source_ = source;
  Refresh();
}

void TLineView::Refresh() {
  count_ = source_ != nullptr ? std::max<int64_t>(source_->LineCount(), 0) : 0;
  if (anchor_ >= count_ || cursor_ >= count_) anchor_ = cursor_ = -1;
  UpdateScrollBars();
  Fetch();
  viewport()->update();
}

int64_t TLineView::FirstLine() const { return verticalScrollBar()->value(); }

int TLineView::LineHeight() const { return std::max(fontMetrics().lineSpacing(), 1); }

int TLineView::LinesInSight() const { return std::max(viewport()->height() / LineHeight(), 1); }

void TLineView::UpdateScrollBars() {
  const int inSight = LinesInSight();
  // A scroll bar counts in int; no memory holds more words than that.
  const int64_t last = std::min<int64_t>(std::max<int64_t>(count_ - inSight, 0), INT_MAX);
  QScrollBar* vertical = verticalScrollBar();
  vertical->setPageStep(inSight);
  vertical->setSingleStep(1);
  vertical->setRange(0, static_cast<int>(last));
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setPageStep(viewport()->width());
  horizontal->setSingleStep(fontMetrics().averageCharWidth());
  horizontal->setRange(0, std::max(widest_ + 2 * kMargin - viewport()->width(), 0));
}

void TLineView::Fetch() {
  shown_.clear();
  if (source_ == nullptr || count_ == 0) return;
  // One line more than fits whole: the partly visible one at the bottom.
  shown_ = source_->Lines(FirstLine(), LinesInSight() + 1);
  const int widestBefore = widest_;
  for (const std::string& line : shown_) {
    widest_ = std::max(widest_, fontMetrics().boundingRect(QRect(0, 0, INT_MAX / 2, LineHeight()), kTextFlags,
                                                           LineText(line)).width());
  }
  if (widest_ != widestBefore) UpdateScrollBars();
}

void TLineView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const int height = LineHeight();
  const int left = kMargin - horizontalScrollBar()->value();
  const int64_t first = FirstLine();
  for (size_t i = 0; i < shown_.size(); ++i) {
    const QRect row(0, static_cast<int>(i) * height, viewport()->width(), height);
    const bool selected = Selected(first + static_cast<int64_t>(i));
    if (selected) painter.fillRect(row, palette().highlight());
    painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter.drawText(QRect(left, row.top(), INT_MAX / 2, height), kTextFlags, LineText(shown_[i]));
  }
}

void TLineView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
  Fetch();
}

void TLineView::scrollContentsBy(int, int dy) {
  if (dy != 0) Fetch();
  viewport()->update();
}

int64_t TLineView::LineAt(int y) const {
  const int64_t line = FirstLine() + (y < 0 ? -1 : y / LineHeight());
  return std::clamp<int64_t>(line, 0, std::max<int64_t>(count_ - 1, 0));
}

bool TLineView::Selected(int64_t line) const {
  return anchor_ >= 0 && line >= std::min(anchor_, cursor_) && line <= std::max(anchor_, cursor_);
}

void TLineView::SelectLines(int64_t anchor, int64_t cursor) {
  if (count_ == 0) return;
  anchor_ = std::clamp<int64_t>(anchor, 0, count_ - 1);
  cursor_ = std::clamp<int64_t>(cursor, 0, count_ - 1);
  viewport()->update();
}

void TLineView::SelectAll() { SelectLines(0, count_ - 1); }

void TLineView::MoveCursor(int64_t line, bool extend) {
  if (count_ == 0) return;
  line = std::clamp<int64_t>(line, 0, count_ - 1);
  SelectLines(extend && anchor_ >= 0 ? anchor_ : line, line);
  // Keep the cursor line in sight.
  const int64_t first = FirstLine();
  if (line < first) verticalScrollBar()->setValue(static_cast<int>(line));
  if (line >= first + LinesInSight()) verticalScrollBar()->setValue(static_cast<int>(line - LinesInSight() + 1));
}

void TLineView::Copy() {
  if (source_ == nullptr || anchor_ < 0) return;
  const int64_t first = std::min(anchor_, cursor_);
  const int64_t count = std::max(anchor_, cursor_) - first + 1;
  if (count > MaxCopyLines) {
    ShowMessageBox(this, kTextTooManyLinesToCopy, kBoxWarning);
    return;
  }
  QString text;
  for (const std::string& line : source_->Lines(first, count)) text += LineText(line) + QLatin1Char('\n');
  QApplication::clipboard()->setText(text);
}

void TLineView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && count_ > 0) {
    MoveCursor(LineAt(event->position().toPoint().y()), event->modifiers() & Qt::ShiftModifier);
  }
}

void TLineView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) MoveCursor(LineAt(event->position().toPoint().y()), true);
}

// The selection was made while the button was down.
void TLineView::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

void TLineView::keyPressEvent(QKeyEvent* event) {
  if (event == QKeySequence::Copy) {
    Copy();
    return;
  }
  if (event == QKeySequence::SelectAll) {
    SelectAll();
    return;
  }
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  const int64_t at = cursor_ >= 0 ? cursor_ : FirstLine();
  switch (event->key()) {
    case Qt::Key_Up: MoveCursor(at - 1, extend); return;
    case Qt::Key_Down: MoveCursor(cursor_ >= 0 ? at + 1 : at, extend); return;
    case Qt::Key_PageUp: MoveCursor(at - LinesInSight(), extend); return;
    case Qt::Key_PageDown: MoveCursor(at + LinesInSight(), extend); return;
    case Qt::Key_Home: MoveCursor(0, extend); return;
    case Qt::Key_End: MoveCursor(count_ - 1, extend); return;
    default: QAbstractScrollArea::keyPressEvent(event);
  }
}

void TLineView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("复制(&C)"), this, &TLineView::Copy);
  copy->setEnabled(anchor_ >= 0);
  menu.addAction(QStringLiteral("全选(&A)"), this, &TLineView::SelectAll)->setEnabled(count_ > 0);
  menu.exec(event->globalPos());
}
