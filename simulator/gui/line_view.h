#pragma once
// The read-only list of an inspection window. It asks its source only for the lines
// in sight, when it is refreshed, scrolled or resized, so the memory window lists
// millions of words as quickly as sixteen. Whole lines are selected with the mouse or
// Shift and the arrow keys and copied with Ctrl+C or the context menu.

#include <QAbstractScrollArea>
#include <cstdint>
#include <string>
#include <vector>

class TLineSource;

class TLineView : public QAbstractScrollArea {
 public:
  // At most this many lines are copied at once.
  static constexpr int64_t MaxCopyLines = 100000;

  explicit TLineView(QWidget* parent = nullptr);

  // The source outlives the view.
  void SetSource(const TLineSource* source);
  // Takes the source's line count anew and fetches the lines in sight. The scroll
  // position stays where it was, as far as the new count allows.
  void Refresh();

  int64_t LineCount() const { return count_; }
  int64_t FirstLine() const;
  const std::vector<std::string>& ShownLines() const { return shown_; }
  void SelectLines(int64_t anchor, int64_t cursor);
  void SelectAll();
  // Puts the selected lines on the clipboard; a selection above MaxCopyLines is
  // refused with a message.
  void Copy();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  int LineHeight() const;
  // Whole lines that fit, at least one.
  int LinesInSight() const;
  void UpdateScrollBars();
  void Fetch();
  int64_t LineAt(int y) const;
  void MoveCursor(int64_t line, bool extend);
  bool Selected(int64_t line) const;

  const TLineSource* source_ = nullptr;
  int64_t count_ = 0;
  std::vector<std::string> shown_;
  int widest_ = 0;
  int64_t anchor_ = -1;
  int64_t cursor_ = -1;
};
