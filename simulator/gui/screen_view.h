#pragma once
// The simulated screen: paints a copy of the machine's pixel surface and passes key
// and mouse events on.

#include <QImage>
#include <QWidget>
#include <functional>

class PixelSurface;

class TScreenView : public QWidget {
  Q_OBJECT

 public:
  explicit TScreenView(QWidget* parent = nullptr);

  // Copies the surface; call with the core lock held.
  void CopyFrom(const PixelSurface& surface);

  std::function<void(char key)> OnKey;
  // Button codes 1 left, 2 middle, 4 right (0 none); positions in screen pixels.
  std::function<void(int button, int x, int y)> OnMouseDown;
  std::function<void(int button, int x, int y)> OnMouseMove;
  std::function<void(int width, int height)> OnResize;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage image_;
};
