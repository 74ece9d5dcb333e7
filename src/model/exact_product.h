#pragma once

// Products that may be subnormal, without the processor's slow path. The
// tanks of the cascade receive nothing from the soil and drain for years, so
// their depths and outflows sink into the subnormal range; a multiply with a
// subnormal operand or result costs the x86 processors some hundred cycles in
// microcode, while additions, subtractions and comparisons of subnormals cost
// nothing extra. Flushing them to zero would change the results, so such a
// product is formed exactly in integer arithmetic on the representation,
// rounded as the multiply instruction rounds it: to nearest, ties to even.

#include <bit>
#include <cmath>
#include <cstdint>

// Keeping the caller's registers is an x86 calling convention; elsewhere the
// function is an ordinary call, with the same bits.
#if defined(__x86_64__) || defined(__i386__)
#define VELM_KEEPS_CALLER_REGISTERS \
  [[gnu::no_caller_saved_registers, gnu::target("general-regs-only")]]
#else
#define VELM_KEEPS_CALLER_REGISTERS
#endif

namespace velm {

// std::bit_cast where the C++ library has it; the WebAssembly build's library
// predates it, and its compiler's built-in gives the same bits.
#if defined(__cpp_lib_bit_cast)
using std::bit_cast;
#else
template <typename To, typename From>
constexpr To bit_cast(const From& from) {
  return __builtin_bit_cast(To, from);
}
#endif

// The bits of the exact product of two finite non-zero doubles, given by
// their bits, whose magnitude is below 4 (so that it cannot overflow),
// rounded to nearest, ties to even, on the grid of its binade and no finer
// than 2^-1074. Kept out of the loops that call it: it touches no
// floating-point register and saves every register it uses, so those loops
// keep their values in registers across the call.
[[gnu::noinline]] VELM_KEEPS_CALLER_REGISTERS std::uint64_t
IntegerProductBits(std::uint64_t a, std::uint64_t b);

// a·b, bit for bit the multiply instruction's result for every pair of
// doubles (signed zeros, infinities and NaNs included); computed in integer
// arithmetic when an operand is subnormal or the product falls below the
// normal range, where the instruction is slow.
inline double ExactProduct(double a, double b) {
  const auto x = bit_cast<std::uint64_t>(a);
  const auto y = bit_cast<std::uint64_t>(b);
  const int fieldX = static_cast<int>(x >> 52) & 0x7ff;
  const int fieldY = static_cast<int>(y >> 52) & 0x7ff;
  const bool zero = (x << 1) == 0 || (y << 1) == 0;
  const bool special = fieldX == 0x7ff || fieldY == 0x7ff;
  // Two normal numbers whose exponents add up to −1022 or more have a
  // normal product (or an overflowing one).
  const bool normal = fieldX != 0 && fieldY != 0 && fieldX + fieldY >= 1024;
  if (zero || special || normal) return a * b;
  return bit_cast<double>(IntegerProductBits(x, y));
}

// The multiply instruction is quick for a value x with |x| at least this
// and an ordinary factor (IsOrdinaryFactor): both operands and the product
// are normal, or the factor is 0, infinite or NaN.
inline constexpr double kQuickProductAbove = 0x1p-960;

inline bool IsOrdinaryFactor(double c) {
  return c == 0 || !(std::fabs(c) < 0x1p-60);
}

// The smallest |x| for which c·x is left to the instruction: everything goes
// the exact way for a factor that is not ordinary.
inline double QuickProductAbove(double c) {
  return IsOrdinaryFactor(c) ? kQuickProductAbove : INFINITY;
}

// c·x for a factor c and a value x that may be subnormal; `quickAbove` is
// QuickProductAbove(c) or larger. Either way the bits are c·x's.
inline double ProductOfFactor(double c, double x, double quickAbove) {
  if (std::fabs(x) >= quickAbove) [[likely]] {
    return c * x;
  }
  return ExactProduct(c, x);
}

}  // namespace velm
