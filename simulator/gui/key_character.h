#pragma once
// The one byte a key press gives the simulated keyboard: printable characters, and
// control characters for Tab (also with Shift), Enter, Esc, Backspace and Ctrl with a
// letter or one of @ [ \ ] ^ _. Alt with a key types nothing: it opens the menus.

#include <optional>

class QKeyEvent;

std::optional<char> KeyCharacter(const QKeyEvent& event);
