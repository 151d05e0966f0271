#include "simulator/gui/window_placement.h"

#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>

namespace {

// QLineEdit keeps this many pixels between its frame and the text on either side.
constexpr int kLineEditTextMargin = 2;

}  // namespace

void CentreOnDesktop(QWidget* window) {
  // The size it will show with: polished, at least what its layout needs, and what its
  // layout asks for when it was given no size.
  window->ensurePolished();
  if (QLayout* layout = window->layout()) layout->activate();
  if (!window->testAttribute(Qt::WA_Resized)) window->adjustSize();
  if (const QScreen* desktop = QApplication::primaryScreen()) {
    window->move(desktop->availableGeometry().center() - window->rect().center());
  }
}

void FitDigits(QLineEdit* edit, int digits) {
  const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
  const QMargins margins = edit->textMargins();
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('9'))) +
                        2 * (frame + kLineEditTextMargin) + margins.left() + margins.right() + 1);
}
