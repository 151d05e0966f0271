#pragma once
// Line queries on a plain-text editor in its own coordinates: QPlainTextEdit counts
// one position per line break, and wrapped lines count as several display lines,
// as the rich edit's line-from-character query did.

class QPlainTextEdit;

// Display line (from 0) holding the character position.
int LineFromChar(QPlainTextEdit* edit, int position);
// Character position of the first character of a display line (from 0), or -1.
int LineIndex(QPlainTextEdit* edit, int line);
