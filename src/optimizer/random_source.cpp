#include "optimizer/random_source.h"

#include <cmath>
#include <utility>

namespace velm {
namespace {

constexpr std::uint32_t kMultiplier = 214013;
constexpr std::uint32_t kIncrement = 2531011;

// The nearest double to 1/32767, so that the largest draw gives exactly 1.
constexpr double kClosedScale = 1.0 / 32767;
// 1/32767.1 as the double division gives it (3.0518416338339375e-05, one
// unit in the last place above the nearest double to the exact quotient);
// every recorded calibration was drawn with this value.
constexpr double kOpenScale = 1.0 / 32767.1;

// The angle of a draw of 1 in the Box–Muller step: 2π as the search has
// always written it, to six digits.
constexpr double kTurn = 6.28318;

}  // namespace

Clock SystemClock() {
  return [] { return std::time(nullptr); };
}

Clock SeedClock(std::uint16_t seed) {
  return [start = std::uint32_t{seed} << 16, k = std::uint32_t{0}]() mutable {
    return static_cast<std::time_t>(start + k++);
  };
}

RandomSource::RandomSource(Clock clock) : clock_(std::move(clock)) {}

void RandomSource::SeedFromClock() {
  State = static_cast<std::uint32_t>(clock_());
}

int RandomSource::Next15() {
  State = State * kMultiplier + kIncrement;  // unsigned: modulo 2^32
  return static_cast<int>((State >> 16) & 0x7FFF);
}

double RandomSource::UniformClosed() { return Next15() * kClosedScale; }

double RandomSource::UniformOpen() { return Next15() * kOpenScale; }

int RandomSource::Pick(int count) {
  return static_cast<int>(UniformOpen() * count);
}

NormalDraws RandomSource::NormalPair() {
  const double u1 = UniformOpen();
  const double u2 = UniformOpen();
  const double r = std::sqrt(-2 * std::log(u1));
  const double theta = kTurn * u2;
  return {r * std::sin(theta), r * std::cos(theta)};
}

}  // namespace velm
