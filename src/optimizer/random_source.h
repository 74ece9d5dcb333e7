#pragma once

// The calibration's own random numbers: a 15-bit linear congruential
// generator seeded from the calendar clock. A run is reproducible when the
// clock is: under a frozen clock every seeding restarts the same sequence.

#include <cstdint>
#include <ctime>
#include <functional>

namespace velm {

// The calendar time in whole seconds; the program reads std::time, tests give
// a clock of their own.
using Clock = std::function<std::time_t()>;
Clock SystemClock();

// A clock for a reproducible run: its k-th reading (k from 0) is
// (seed × 65536 + k) mod 2^32, so runs with different seeds share no reading
// unless one reads the clock more than 65,536 times.
Clock SeedClock(std::uint16_t seed);

struct NormalDraws {
  double z1;
  double z2;
};

class RandomSource {
 public:
  // The largest draw of Next15; every scale of the search assumes 0 to this.
  static constexpr int kMaxDraw = 32767;

  explicit RandomSource(Clock clock = SystemClock());

  // State := the clock's seconds, taken modulo 2^32.
  void SeedFromClock();

  // 0 to 32767: bits 16 to 30 of the next state.
  int Next15();
  // Next15 / 32767: both 0 and 1 can come out (initial genes only).
  double UniformClosed();
  // Next15 / 32767.1: 0 can come out, 1 cannot.
  double UniformOpen();
  // An index 0 to count - 1: UniformOpen stays below 1, so the truncated
  // product never reaches count.
  int Pick(int count);
  // Two standard normal draws by the Box–Muller method. u1 = 0 gives
  // infinities (and a NaN when u2 is 0 too); they are passed on as they are.
  NormalDraws NormalPair();

  std::uint32_t State = 0;

 private:
  Clock clock_;
};

}  // namespace velm
