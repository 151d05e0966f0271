#pragma once
// Printing an editor's text on the printer the user chose. Output to a PDF file is
// made in memory and replaces the file only once complete, so a full disk leaves
// the previous file whole.

class QPlainTextEdit;
class QPrinter;
class QWidget;

// False after telling the user why nothing (or not everything) was printed.
bool PrintEditorText(QWidget* parent, const QPlainTextEdit* memo, QPrinter& printer);
