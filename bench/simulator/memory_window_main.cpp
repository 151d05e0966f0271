// Memory window benchmark: the time one refresh takes on the UI thread, for line
// counts from the sixteen of a new window to the two thousand million the length edit
// accepts, on a 64 MB machine; beside it, in the same run, the whole text set into a
// plain-text memo, as the window once did (the named baseline). The register
// windows' refreshes follow.
//
//   bench_memory_window [refreshes]     (default 20 per count)

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "machine/talvo_cpu.h"
#include "simulator/gui/line_view.h"
#include "simulator/gui/memory_window.h"
#include "simulator/gui/register_window.h"

namespace {

struct Timing {
  double MeanMs = 0;
  double WorstMs = 0;
};

Timing Time(int runs, const std::function<void()>& action) {
  Timing timing;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    action();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    timing.MeanMs += ms / runs;
    timing.WorstMs = std::max(timing.WorstMs, ms);
  }
  return timing;
}

// The whole dump, its line ends made single and set into a memo that paints at once.
void WholeTextInAMemo(const TTALVOCPU& cpu, int64_t lines, QPlainTextEdit& memo) {
  const std::string dump = cpu.MemDumpText(0, lines);
  QString text = QString::fromLatin1(dump.data(), static_cast<qsizetype>(dump.size()));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  memo.setPlainText(text);
  memo.viewport()->repaint();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  TTALVOCPU cpu;
  cpu.SettingPath = "/dev/null/bench.setting";
  cpu.MemSize = 64.0 * 1024 * 1024;
  cpu.Reset();

  TFrmViewMemory window(&cpu);
  window.show();
  QPlainTextEdit memo;
  memo.resize(window.Memo->size());
  memo.show();
  QApplication::processEvents();

  std::printf("memory window on a 64 MB machine, ms per refresh (mean / worst of %d)\n", runs);
  std::printf("%12s %10s %22s %26s\n", "lines asked", "listed", "refresh now", "whole text in a memo");
  const long long counts[] = {16, 100000, 1000000, 8388608, 2000000000};
  for (const long long count : counts) {
    window.EditMemLen->setText(QString::number(count));
    const Timing now = Time(runs, [&] {
      window.FormShow();
      window.Memo->viewport()->repaint();
    });
    std::printf("%12lld %10lld %11.3f / %8.3f", count, static_cast<long long>(window.Memo->LineCount()),
                now.MeanMs, now.WorstMs);
    // The baseline takes seconds from a hundred thousand lines on and never ends for
    // the largest counts: once each, and only up to a million lines.
    if (count <= 1000000) {
      const Timing before = Time(count <= 16 ? runs : 1, [&] { WholeTextInAMemo(cpu, count, memo); });
      std::printf(" %14.3f (x%.0f)\n", before.MeanMs, before.MeanMs / now.MeanMs);
    } else {
      std::printf(" %14s\n", "-");
    }
  }

  TFrmCommonRegister common(&cpu);
  TFrmSpecialRegisters special(&cpu);
  common.show();
  special.show();
  QApplication::processEvents();
  for (TFrmRegisterWindow* registers : {static_cast<TFrmRegisterWindow*>(&common), static_cast<TFrmRegisterWindow*>(&special)}) {
    const Timing timing = Time(runs, [&] {
      registers->FormShow();
      registers->Memo->viewport()->repaint();
    });
    std::printf("%-26s %11.3f / %8.3f\n", registers->windowTitle().toUtf8().constData(), timing.MeanMs,
                timing.WorstMs);
  }
  return 0;
}
