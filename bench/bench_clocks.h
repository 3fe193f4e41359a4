#pragma once
// The clocks the benchmarks time their parts with, in seconds: this thread's
// CPU time, the whole process's (a peer's own threads included), and the wall.
#include <time.h>

#include <chrono>

namespace benchclock {

inline double CpuSeconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}
inline double ThreadSeconds() { return CpuSeconds(CLOCK_THREAD_CPUTIME_ID); }
inline double ProcessCpuSeconds() { return CpuSeconds(CLOCK_PROCESS_CPUTIME_ID); }
inline double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace benchclock
