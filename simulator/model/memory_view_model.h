#pragma once
// The memory window's logic ("内存编辑器"): a list of 8-byte words from a start
// address, refreshed on a timer, and an edit that stores one word. The texts are the
// window's edits; the Qt window copies them in before and out after every action.
// Every access to the core takes its lock; nothing outside memory is read or written.
//
// The list is not built as one text: the window asks for the lines it shows, so any
// count the length edit accepts refreshes as fast as sixteen lines do.

#include <string>
#include <vector>

#include "simulator/model/line_source.h"
#include "simulator/model/refresh_timer_model.h"
#include "simulator/model/view_message.h"

class TTALVOCPU;

class TMemoryViewModel : public TLineSource {
 public:
  explicit TMemoryViewModel(TTALVOCPU* core = nullptr) : Core(core) {}

  TTALVOCPU* Core;
  std::string EditMemAddress = "0";
  std::string EditMemLen = "16";
  std::string EditMemChgAddr = "0";
  std::string EditMemContent = "0";
  TRefreshTimer Timer;  // EditSec and ChkAuto

  // On showing, "应用设置" and every tick: applies the interval, then lists the words
  // from the start address on, as many as asked for that lie in memory. A start or
  // length that is no whole number stops the timer as a bad interval does.
  TViewMessage FormShow();
  // "应用更改" and "刷新内存显示": the 8 bytes at the address become the 32-bit value
  // zero-extended, least significant byte first; then FormShow. A word that would
  // leave memory is refused with a message and nothing is written.
  TViewMessage BtnApplyEditClick();
  // The interval button and the automatic-refresh box: both apply the interval.
  TViewMessage SBtnTimerClick() { return Timer.ApplyInterval(); }

  // The listed words as the memory holds them now: address, tab, 16 hex digits.
  int64_t LineCount() const override { return lineCount_; }
  std::vector<std::string> Lines(int64_t first, int64_t count) const override;

 private:
  int64_t start_ = 0;
  int64_t lineCount_ = 0;
};
