#include "c_interpreter.h"

#include <string.h>

/* A plain interpreter as one would write it: the registers in an array, IP, IS, PSW and
   SP in locals, one switch. */

enum { IS = 4, IP = 5, PSW = 6, SS = 8, SP = 9 };
enum { CARRY = 127, LESS = 124, EQUAL = 123, GREATER = 122 };

static c_value load128(const uint8_t* at) {
  c_value v;
  memcpy(&v, at, sizeof v);
  return v;
}

static void store128(uint8_t* at, c_value v) { memcpy(at, &v, sizeof v); }

static int holds(uint64_t size, uint64_t address, uint64_t len) { return address <= size && len <= size - address; }

static c_value sign_magnitude_add(c_value base, c_value offset) {
  const c_value sign = (c_value)1 << 127;
  return (offset & sign) ? base - (offset & ~sign) : base + (offset & ~sign);
}

uint64_t c_run(struct c_machine* m, uint64_t max_steps, int* failed) {
  c_value* r = m->regs;
  uint8_t* const mem = m->memory;
  const uint64_t size = m->size;
  c_value ip = m->special[IP], is = m->special[IS], psw = m->special[PSW], sp = m->special[SP];
  uint64_t steps = 0;
  *failed = 0;
  for (; steps < max_steps; ++steps) {
    const uint32_t pc = (uint32_t)ip;
    if (!holds(size, pc, 4)) break;
    uint32_t word;
    memcpy(&word, mem + pc, 4);
    const uint8_t a = (uint8_t)(word >> 16), b = (uint8_t)(word >> 8), c = (uint8_t)word;
    switch (word >> 24) {
      case 0x03: /* MR */
        if (!holds(size, (uint32_t)r[c], 16)) goto fail;
        r[a] = load128(mem + (uint32_t)r[c]);
        ip += 4;
        break;
      case 0x04: /* RM */
        if (!holds(size, (uint32_t)r[b], 16)) goto fail;
        store128(mem + (uint32_t)r[b], r[c]);
        ip += 4;
        break;
      case 0x06: /* SET, of SP only here */
        if (b != SP) goto fail;
        sp = r[c];
        ip += 4;
        break;
      case 0x08: { /* ADD */
        const c_value sum = r[b] + r[c];
        const c_value carry = (c_value)1 << CARRY;
        psw = sum < r[b] ? psw | carry : psw & ~carry;
        r[a] = sum;
        ip += 4;
        break;
      }
      case 0x10: { /* CMP */
        const c_value flags = (c_value)1 << LESS | (c_value)1 << EQUAL | (c_value)1 << GREATER;
        const int bit = r[b] < r[c] ? LESS : r[b] == r[c] ? EQUAL : GREATER;
        psw = (psw & ~flags) | (c_value)1 << bit;
        ip += 4;
        break;
      }
      case 0x13: /* JNQ */
        if ((psw >> EQUAL & 1) == 0) {
          ip += r[c];
          is += r[b];
        } else {
          ip += 4;
        }
        break;
      case 0x30: { /* CALL */
        const uint64_t top = (uint64_t)sp;
        if (!holds(size, (uint32_t)top, 16) || !holds(size, (uint32_t)(top + 16), 16)) goto fail;
        store128(mem + (uint32_t)top, ip + 4);
        store128(mem + (uint32_t)(top + 16), is);
        sp += 32;
        ip = sign_magnitude_add(ip, r[c]);
        is = sign_magnitude_add(is, r[b]);
        break;
      }
      case 0x31: { /* RET */
        const uint64_t top = (uint64_t)sp;
        if ((int64_t)(top - 32) < 0 || !holds(size, (uint32_t)(top - 16), 16) || !holds(size, (uint32_t)(top - 32), 16))
          goto fail;
        is = load128(mem + (uint32_t)(top - 16));
        ip = load128(mem + (uint32_t)(top - 32));
        sp = top - 32;
        m->special[SS] = 0;
        break;
      }
      case 0x60: /* PUSH */
        if (!holds(size, (uint32_t)sp, 16)) goto fail;
        store128(mem + (uint32_t)sp, r[c]);
        sp += 16;
        ip += 4;
        break;
      case 0x61: { /* POP */
        const uint64_t top = (uint64_t)sp - 16;
        if ((int64_t)top < 0 || !holds(size, (uint32_t)top, 16)) goto fail;
        r[c] = load128(mem + (uint32_t)top);
        sp = top;
        m->special[SS] = 0;
        ip += 4;
        break;
      }
      case 0x80: /* LD */
        if (!holds(size, pc, 20)) goto fail;
        r[a] = load128(mem + pc + 4);
        ip += 20;
        break;
      default:
        goto fail;
    }
  }
  goto done;
fail:
  *failed = 1;
done:
  m->special[IP] = ip;
  m->special[IS] = is;
  m->special[PSW] = psw;
  m->special[SP] = sp;
  return steps;
}
