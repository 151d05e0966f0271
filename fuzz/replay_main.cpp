// Runs a fuzz target over every file of the folders given, without libFuzzer: CTest
// replays the seed corpus and every input that once made a target fail. An input
// that runs past a bound (one that hangs, such as a FIFO read that waits) fails the
// replay with its name instead of holding it.

#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

constexpr unsigned kSecondsPerInput = 60;
char currentInput[4096];

void InputRanTooLong(int) {
  const char text[] = "input ran past its time bound: ";
  (void)!::write(STDERR_FILENO, text, sizeof text - 1);
  (void)!::write(STDERR_FILENO, currentInput, std::strlen(currentInput));
  (void)!::write(STDERR_FILENO, "\n", 1);
  ::_exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  ::signal(SIGALRM, InputRanTooLong);
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i])) {
      if (!entry.is_regular_file()) continue;
      std::snprintf(currentInput, sizeof currentInput, "%s", entry.path().c_str());
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), {});
      ::alarm(kSecondsPerInput);
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ::alarm(0);
      ++inputs;
    }
  }
  std::printf("%d inputs replayed\n", inputs);
  return inputs > 0 ? 0 : 1;
}
