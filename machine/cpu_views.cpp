// The core's texts for the inspection windows and the operations that open them. The
// formatting lives in text_views.cpp; these pass the core's memory block and
// registers (special registers by number) and never read past the block.

#include "machine/talvo_cpu.h"
#include "machine/text_views.h"

namespace {

TMemoryBlock BlockOf(const TTALVOCPU& core) { return TMemoryBlock{core.Memory, core.MemAllocated}; }

}  // namespace

std::string TTALVOCPU::MemToHexText(int64_t a) const { return ::MemToHexText(BlockOf(*this), a); }

std::string TTALVOCPU::MemLineText(int64_t a) const { return ::MemLineText(BlockOf(*this), a); }

std::string TTALVOCPU::MemDumpText(int64_t s, int64_t n) const { return ::MemDumpText(BlockOf(*this), s, n); }

std::string TTALVOCPU::MemToDecText(int64_t a) const { return ::MemToDecText(BlockOf(*this), a); }

std::string TTALVOCPU::RegToHexText(int32_t n) const {
  const Value128* reg = GetRegBits(n);
  return reg != nullptr ? Hex128Text(*reg) : "0";
}

std::string TTALVOCPU::RegistersDumpText() const { return ::RegistersDumpText(Regs); }

std::string TTALVOCPU::SpecialRegToHexText(int32_t n) const {
  const Value128* reg = GetSpecialRegBits(n);
  return reg != nullptr ? Hex128Text(*reg) : "0";
}

const char* TTALVOCPU::SpecialRegName(int32_t n) { return ::SpecialRegName(n); }

std::string TTALVOCPU::SpecialRegistersDumpText() const {
  Value128 byNumber[isa::kSpecialRegisterCount];
  for (int32_t n = 0; n < isa::kSpecialRegisterCount; ++n) byNumber[n] = Special(n);
  return ::SpecialRegistersDumpText(byNumber);
}

int32_t TTALVOCPU::ShowMemoryView() { return Host != nullptr ? Host->OpenMemoryView(*this) : -1; }

int32_t TTALVOCPU::ShowCommonRegisters() { return Host != nullptr ? Host->OpenCommonRegisters(*this) : -1; }

int32_t TTALVOCPU::ShowSpecialRegisters() { return Host != nullptr ? Host->OpenSpecialRegisters(*this) : -1; }

int32_t TTALVOCPU::ShowRegOpDialog() { return Host != nullptr ? Host->OpenTestDialog(*this) : -1; }
