#pragma once
// What the main window says about a run that cannot begin as the setup asks, or that
// the machine ended by itself. Without widgets, so the texts are tested headless.

#include <cstdint>
#include <string>

class TTALVOCPU;

// The machine as a reset left it; taken with the core lock held.
struct TResetOutcome {
  bool MemoryAsWanted = false;
  double Wanted = 0;        // bytes the reset asked for
  int32_t BiosLen = 0;      // 0 without an image
  int32_t ImageError = 0;   // why the image could not be read, or 0
};
TResetOutcome ResetOutcomeOf(const TTALVOCPU& cpu);

// Why the run cannot begin (GBK), or an empty text: the memory of the wanted size
// could not be had, or there is no image to run. `biosName` is the image's name as the
// settings hold it (GBK); an image that is missing, unreadable or empty is named with
// the reason.
std::string RunStartProblem(const TResetOutcome& outcome, const std::string& biosName);

// Status panels 1 and 2 once a run ended by itself: the stopped text with IP, and the
// instruction word at IP, the step that failed (or that IP left memory). Call with
// the core lock held.
struct TRunEndTexts {
  std::string Status;
  std::string Word;
};
TRunEndTexts RunEndTexts(const TTALVOCPU& cpu);
