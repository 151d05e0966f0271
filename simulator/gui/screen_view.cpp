#include "simulator/gui/screen_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cstring>

#include "machine/core_host.h"
#include "simulator/gui/key_character.h"

namespace {

int ButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::MiddleButton: return 2;
    case Qt::RightButton: return 4;
    default: return 0;
  }
}

// The first held button in the order left, middle, right.
int HeldButtonCode(Qt::MouseButtons buttons) {
  if (buttons & Qt::LeftButton) return 1;
  if (buttons & Qt::MiddleButton) return 2;
  if (buttons & Qt::RightButton) return 4;
  return 0;
}

}  // namespace

TScreenView::TScreenView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Screen"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TScreenView::CopyFrom(const PixelSurface& surface) {
  if (image_.width() != surface.Width() || image_.height() != surface.Height()) {
    image_ = QImage(surface.Width(), surface.Height(), QImage::Format_RGB32);
  }
  if (image_.isNull()) return;
  const std::vector<uint32_t>& pixels = surface.Pixels();
  const size_t rowBytes = static_cast<size_t>(surface.Width()) * sizeof(uint32_t);
  for (int y = 0; y < surface.Height(); ++y) {
    std::memcpy(image_.scanLine(y), pixels.data() + static_cast<size_t>(y) * surface.Width(), rowBytes);
  }
  update();
}

void TScreenView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!image_.isNull()) painter.drawImage(0, 0, image_);
}

bool TScreenView::event(QEvent* event) {
  // Alt pressed and released alone would hand the keyboard to the menu bar, where Tab,
  // Space and Enter walk and open the menus: taken here, it stays a key of the program.
  // Alt with a letter is not taken, so the menus still open with it.
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Alt && (key->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier) {
      event->accept();
      return true;
    }
  }
  return QWidget::event(event);
}

// Tab and Shift+Tab are keys of the program running on the screen, not a way out of it.
bool TScreenView::focusNextPrevChild(bool) { return false; }

void TScreenView::keyPressEvent(QKeyEvent* event) {
  const std::optional<char> key = KeyCharacter(*event);
  if (key && OnKey) {
    OnKey(*key);
    // Taken here, so the main window does not pass the same key on a second time.
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TScreenView::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (OnMouseDown) OnMouseDown(ButtonCode(event->button()), p.x(), p.y());
}

void TScreenView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (OnMouseMove) OnMouseMove(HeldButtonCode(event->buttons()), p.x(), p.y());
}

void TScreenView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (OnResize) OnResize(width(), height());
}
