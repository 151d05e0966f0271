#pragma once
// Takes a fuzz input apart: single bytes for choices, and texts that each end at the
// next NUL byte, so one input carries several files or edits. Reading past the end
// gives zeros and empty texts; every input is a valid sequence of choices.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

class TFuzzInput {
 public:
  TFuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Empty() const { return at_ >= size_; }

  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

  // Four bytes, least significant first.
  uint32_t Word() {
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) word |= static_cast<uint32_t>(Byte()) << (8 * i);
    return word;
  }

  // The bytes up to the next NUL, which is consumed, or up to the end.
  std::string Text() {
    const size_t left = size_ - at_;
    if (left == 0) return {};
    const void* nul = std::memchr(data_ + at_, 0, left);
    const size_t length =
        nul == nullptr ? left : static_cast<size_t>(static_cast<const uint8_t*>(nul) - (data_ + at_));
    std::string text(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length + (nul == nullptr ? 0 : 1);
    return text;
  }

  // One text into each of the strings, in order.
  void Texts(std::initializer_list<std::string*> into) {
    for (std::string* text : into) *text = Text();
  }

  // Everything not read yet.
  std::string Rest() {
    if (Empty()) return {};
    std::string rest(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
    at_ = size_;
    return rest;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};
