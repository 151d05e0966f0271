#ifndef TALVO_BENCH_C_INTERPRETER_H
#define TALVO_BENCH_C_INTERPRETER_H
/* The baseline of the machine benchmark: a plain C switch interpreter of the same
   machine model (128-bit registers, IP, IS, PSW, SS, SP, bounds-checked memory, the
   same instruction words and flags) for the instructions the benchmark loops use. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned __int128 c_value;

struct c_machine {
  c_value regs[256];
  c_value special[10]; /* by special register number: BS BO DS DO IS IP PSW ICW SS SP */
  uint8_t* memory;
  uint64_t size;
};

/* Runs until max_steps instructions completed or one fails (*failed = 1); gives the
   number completed. */
uint64_t c_run(struct c_machine* m, uint64_t max_steps, int* failed);

#ifdef __cplusplus
}
#endif

#endif
