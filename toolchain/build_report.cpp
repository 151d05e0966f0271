#include "toolchain/build_report.h"

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
    report.Lines.push_back(gbk::kReportErrorInfo);
    for (std::string& line : PaneLines(messages)) report.Lines.push_back(std::move(line));
    report.Lines.push_back(gbk::kReportCompileFailed);
  } else {
    report.Lines.push_back(gbk::kReportCompileOk);
  }
  return report;
}

TBuildReport BuildReport(int32_t result, const std::string& driverMessages) {
  TBuildReport report;
  if (result == 0) {
    report.Lines.push_back(gbk::kReportBuildOk);
    report.Status = gbk::kStatusBuildOk;
    return report;
  }
  report.Lines = PaneLines(driverMessages);
  switch (result) {
    case -1:
      report.Lines.push_back(gbk::kReportAsmError);
      report.Status = gbk::kStatusAsmError;
      break;
    case -2:
      report.Lines.push_back(gbk::kReportLinkError);
      report.Status = gbk::kStatusLinkError;
      break;
    default:
      report.Lines.push_back(gbk::kReportOtherError);
      report.Status = gbk::kStatusOtherError;
      break;
  }
  return report;
}
