// Printing an editor: to a PDF file through the print dialog, on the page chosen
// in page setup, or a clear word why nothing was printed.

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include "../common/run_tool.h"
#include "frame_fixture.h"

namespace {

// Long enough for several pages; Chinese and ASCII, as sources are.
QString LongSource() {
  QString text;
  for (int line = 1; line <= 150; ++line) text += QStringLiteral("加法 R%1 ; 第%1行\n").arg(line);
  return text;
}

std::function<bool(QPrinter&)> PrintToPdf(const std::string& path) {
  return [path](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    return true;
  };
}

}  // namespace

class TFramePrintTest : public TFrameTest {
 protected:
  void SetUp() override {
    TFrameTest::SetUp();
    Frame->MnuNewClick();
    Frame->ActiveEditor()->Memo->setPlainText(LongSource());
  }
};

TEST_F(TFramePrintTest, PrintsEveryPageToPdfOnThePageChosenInPageSetup) {
  Dialogs->PageSetupAnswer = [](QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    return true;
  };
  Frame->MnuPreviewClick();
  const std::string pdf = Dir.File("out.pdf");
  Dialogs->PrintAnswer = PrintToPdf(pdf);
  Frame->MnuPrintClick();
  EXPECT_TRUE(Boxes.isEmpty()) << Boxes.join('|').toStdString();

  const TToolOutput text = RunTool({"pdftotext", "-layout", pdf, "-"});
  ASSERT_EQ(text.Exit, 0) << "pdftotext (poppler-utils) is needed: " << text.Text;
  EXPECT_NE(text.Text.find("加法 R1 ; 第1行"), std::string::npos) << text.Text.substr(0, 400);
  EXPECT_NE(text.Text.find("加法 R150 ; 第150行"), std::string::npos);
  const TToolOutput info = RunTool({"pdfinfo", pdf});
  ASSERT_EQ(info.Exit, 0) << info.Text;
  EXPECT_NE(info.Text.find("Page size:       842 x 595 pts"), std::string::npos) << info.Text;  // A4 across
  EXPECT_EQ(info.Text.find("Pages:           1\n"), std::string::npos) << info.Text;
}

TEST_F(TFramePrintTest, APdfIsOfferedBesideItsSourceAndTitledWithItsPath) {
  Dialogs->PrintAnswer = PrintToPdf(Dir.File("first.pdf"));
  Frame->MnuPrintClick();
  WriteBytes(Dir.File("s.casm"), "LD R1 1\r\n");
  Dialogs->Answers = {Q(Dir.File("s.casm"))};
  Frame->MnuOpenClick();
  QString offered;
  QString jobName;
  Dialogs->PrintAnswer = [&](QPrinter& printer) {
    offered = printer.outputFileName();
    jobName = printer.docName();
    return true;
  };
  Frame->MnuPrintClick();
  EXPECT_EQ(offered, Q(Dir.File("s.pdf")));
  EXPECT_EQ(jobName, QStringLiteral("s.casm"));
  const TToolOutput info = RunTool({"pdfinfo", Dir.File("s.pdf")});
  EXPECT_NE(info.Text.find("Title:           " + Dir.File("s.casm") + "\n"), std::string::npos) << info.Text;
  EXPECT_TRUE(Boxes.isEmpty());
}

TEST_F(TFramePrintTest, APdfThatCannotBeWrittenIsNamedAndTheOldOneKept) {
  const std::string missing = Dir.File("none/out.pdf");
  Dialogs->PrintAnswer = PrintToPdf(missing);
  Frame->MnuPrintClick();
  ASSERT_EQ(Boxes.size(), 1);
  EXPECT_EQ(Boxes[0], QStringLiteral("未能打印到文件：") + Q(missing) +
                          QStringLiteral("\n原因：文件或文件夹不存在 (ENOENT)\n磁盘上的文件未被改动。"));

  // A folder where the file should be: refused, nothing replaced.
  std::filesystem::create_directory(Dir.File("dir.pdf"));
  Dialogs->PrintAnswer = PrintToPdf(Dir.File("dir.pdf"));
  Frame->MnuPrintClick();
  ASSERT_EQ(Boxes.size(), 2);
  EXPECT_TRUE(Boxes[1].contains(QStringLiteral("(EISDIR)"))) << Boxes[1].toStdString();
  EXPECT_TRUE(std::filesystem::is_directory(Dir.File("dir.pdf")));
}

TEST_F(TFramePrintTest, WithoutAPrinterOrAFileItSaysWhyNothingWasPrinted) {
  // What the toolkit leaves when no printer is installed: PDF output without a file.
  Dialogs->PrintAnswer = PrintToPdf("");
  Frame->MnuPrintClick();
  EXPECT_EQ(Boxes, QStringList{QStringLiteral(
                       "没有可用的打印机，未打印！\n可以在打印对话框中选择打印到文件 (PDF) 并指定文件名。")});
  Dialogs->PrintAnswer = nullptr;  // cancelled: nothing at all
  Frame->MnuPrintClick();
  EXPECT_EQ(Boxes.size(), 1);
}
