#include "toolchain/build_report.h"

#include "base/gbk_convert.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/source_text.h"

std::vector<std::string> PaneLines(const std::string& text) {
  std::vector<std::string> lines = SplitLines(text);
  if (lines.empty()) lines.emplace_back();
  return lines;
}

TBuildReport CompileReport(int32_t result, const std::string& messages) {
  TBuildReport report;
  if (result < 0) {
    report.Lines.push_back(GbkToUtf8(gbk::kReportErrorInfo));
    for (std::string& line : PaneLines(messages)) report.Lines.push_back(std::move(line));
    report.Lines.push_back(GbkToUtf8(gbk::kReportCompileFailed));
  } else {
    report.Lines.push_back(GbkToUtf8(gbk::kReportCompileOk));
  }
  return report;
}

TBuildReport BuildReport(int32_t result, const std::string& driverMessages, const std::string& warnings) {
  TBuildReport report;
  if (!warnings.empty()) report.Lines = PaneLines(warnings);
  if (result == 0) {
    report.Lines.push_back(GbkToUtf8(gbk::kReportBuildOk));
    report.Status = GbkToUtf8(gbk::kStatusBuildOk);
    return report;
  }
  for (std::string& line : PaneLines(driverMessages)) report.Lines.push_back(std::move(line));
  switch (result) {
    case -1:
      report.Lines.push_back(GbkToUtf8(gbk::kReportAsmError));
      report.Status = GbkToUtf8(gbk::kStatusAsmError);
      break;
    case -2:
      report.Lines.push_back(GbkToUtf8(gbk::kReportLinkError));
      report.Status = GbkToUtf8(gbk::kStatusLinkError);
      break;
    default:
      report.Lines.push_back(GbkToUtf8(gbk::kReportOtherError));
      report.Status = GbkToUtf8(gbk::kStatusOtherError);
      break;
  }
  return report;
}
