#pragma once
// What the main window says about a run that cannot begin as the setup asks, or that
// the machine ended by itself. Without widgets, so the texts are tested headless.

#include <cstdint>
#include <string>

class TTALVOCPU;

// The machine as a run's reset left it; taken with the core lock held.
struct TResetOutcome {
  bool HasMemory = false;
  uint64_t Allocated = 0;  // bytes
  double Wanted = 0;       // bytes the reset asked for
  int32_t BiosLen = 0;
};
TResetOutcome ResetOutcomeOf(const TTALVOCPU& cpu);

// Why the run cannot go on (GBK), or an empty text: the memory of the wanted size
// could not be had, or there is no image to run. `biosName` is the image's name as the
// setup holds it (GBK), `biosPath` the file that name stands for; an image that is
// missing, unreadable or empty is named with the reason.
std::string RunStartProblem(const TResetOutcome& outcome, const std::string& biosName,
                            const std::string& biosPath);

// Status panels 1 and 2 once a run ended by itself: the stopped text with IP, and the
// instruction word at IP, the step that failed (or that IP left memory). Call with
// the core lock held.
struct TRunEndTexts {
  std::string Status;
  std::string Word;
};
TRunEndTexts RunEndTexts(const TTALVOCPU& cpu);
