#include "base/hidden_name.h"

#include <sys/random.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

#include "base/interrupt_cleanup.h"

namespace {

constexpr int kNameAttempts = 100;

}  // namespace

std::string RandomLetters(size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::string random(count, '\0');
  if (::getrandom(random.data(), count, GRND_NONBLOCK) != static_cast<ssize_t>(count)) {
    // Without the kernel's randomness, the process and a count still tell names apart.
    static std::atomic<uint64_t> made{0};
    uint64_t seed = (static_cast<uint64_t>(::getpid()) << 32) ^ made.fetch_add(1);
    for (char& byte : random) {
      seed = seed * 6364136223846793005u + 1442695040888963407u;
      byte = static_cast<char>(seed >> 56);
    }
  }
  for (char& byte : random) byte = kDigits[static_cast<unsigned char>(byte) % (sizeof kDigits - 1)];
  return random;
}

int CreateUnderFreshName(int folder, const std::function<int(const char* name)>& create, std::string& name,
                         int& slot) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string fresh = ".talvo-" + RandomLetters(12);
    // Registered before it exists, and made whole before a signal ends the program,
    // so that no moment leaves it behind on SIGINT.
    const TUnbrokenStep making;
    if (!making.Allowed()) return EINTR;
    slot = RemoveOnInterrupt(folder, fresh.c_str());
    const int error = create(fresh.c_str());
    if (error == 0) {
      name = std::move(fresh);
      return 0;
    }
    ForgetOnInterrupt(slot);
    slot = -1;
    if (error != EEXIST) return error;
  }
  return EEXIST;
}
