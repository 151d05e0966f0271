#pragma once
// Printing an editor's text on the printer the user chose. Output to a PDF file is
// made in memory and replaces the file only once complete, so a full disk leaves
// the previous file whole.

class QPlainTextEdit;
class QPrinter;
class QString;
class QWidget;

// Readies the printer for the print dialog of a source (empty for an unnamed
// editor): output to a PDF file is offered beside the source. The toolkit's dialog
// would otherwise put the home folder in front of the source's full path.
void PreparePrinter(QPrinter& printer, const QString& sourcePath);
// Prints with the source's path as the document title. False after telling the
// user why nothing was printed.
bool PrintEditorText(QWidget* parent, const QPlainTextEdit* memo, QPrinter& printer, const QString& sourcePath);
