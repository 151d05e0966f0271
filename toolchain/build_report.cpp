#include "toolchain/build_report.h"

#include "toolchain/gbk_texts.h"

std::vector<std::string> PaneLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    lines.push_back(text.substr(start, end - start));
    if (end < text.size()) end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    start = end;
  }
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
