#include "simulator/gui/key_character.h"

#include <QKeyEvent>

std::optional<char> KeyCharacter(const QKeyEvent& event) {
  const Qt::KeyboardModifiers held = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier);
  if (held == Qt::AltModifier) return std::nullopt;
  switch (event.key()) {
    // Shift+Tab still types a Tab; the toolkit gives it no text of its own.
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return '\t';
    case Qt::Key_Return:
    case Qt::Key_Enter: return '\r';
    case Qt::Key_Escape: return '\x1b';
    case Qt::Key_Backspace: return '\b';
    default: break;
  }
  if (held == Qt::ControlModifier && event.key() >= Qt::Key_At && event.key() <= Qt::Key_Underscore) {
    return static_cast<char>(event.key() - Qt::Key_At);
  }
  const QString text = event.text();
  if (text.isEmpty() || text.at(0).unicode() > 0xFF) return std::nullopt;
  return static_cast<char>(text.at(0).unicode());
}
