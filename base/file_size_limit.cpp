#include "base/file_size_limit.h"

#include <csignal>

void IgnoreFileSizeLimitSignal() { std::signal(SIGXFSZ, SIG_IGN); }
