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

namespace velm {

namespace exact_product_detail {

constexpr int kFractionBits = 52;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << kFractionBits) - 1;
constexpr int kExponentMask = 0x7ff;
// The exponent of a double's last place when its biased exponent field is 1
// (and when it is 0: the subnormals share the smallest normals' grid).
constexpr int kLowestPlace = -1074;

// Products of two 53-bit significands.
__extension__ typedef unsigned __int128 Wide;

// A finite non-zero magnitude as Significand · 2^Exponent.
struct Unpacked {
  std::uint64_t Significand;
  int Exponent;
};

inline Unpacked Unpack(std::uint64_t bits) {
  const int field = static_cast<int>(bits >> kFractionBits) & kExponentMask;
  const std::uint64_t fraction = bits & kFractionMask;
  if (field == 0) return {fraction, kLowestPlace};
  return {fraction | (std::uint64_t{1} << kFractionBits),
          field + kLowestPlace - 1};
}

inline int BitLength(Wide x) {
  const auto high = static_cast<std::uint64_t>(x >> 64);
  if (high != 0) return 128 - std::countl_zero(high);
  return 64 - std::countl_zero(static_cast<std::uint64_t>(x));
}

// The exact product of two finite non-zero doubles whose magnitude is below
// 4 (so that it cannot overflow), rounded to the grid of its binade and no
// finer than 2^-1074. Above the subnormals, a double's bits read as an
// integer are (biased exponent − 1)·2^52 plus the 53-bit significand, and
// the subnormals continue that sequence down to 0, so the bits of
// M·2^g are (g + 1074)·2^52 + M for a significand M up to 2^53, a carry out
// of the rounding included.
inline double IntegerProduct(std::uint64_t a, std::uint64_t b) {
  const Unpacked x = Unpack(a), y = Unpack(b);
  const Wide product =
      static_cast<Wide>(x.Significand) * y.Significand;
  const int exponent = x.Exponent + y.Exponent;
  const int length = BitLength(product);
  int place = length - (kFractionBits + 1) + exponent;
  if (place < kLowestPlace) place = kLowestPlace;
  // At least length − 53, and the product of two subnormals, the only one
  // shorter than 53 bits, drops 1074 bits.
  const int dropped = place - exponent;
  std::uint64_t significand = 0;
  if (dropped == 0) {
    significand = static_cast<std::uint64_t>(product);
  } else if (dropped <= length) {
    const Wide kept = product >> dropped;
    const Wide rest = product - (kept << dropped);
    const Wide half = static_cast<Wide>(1)
                                   << (dropped - 1);
    significand = static_cast<std::uint64_t>(kept);
    if (rest > half || (rest == half && (significand & 1) != 0)) {
      ++significand;
    }
  }  // else below half the smallest subnormal: zero
  const std::uint64_t sign = (a ^ b) & ~(~std::uint64_t{0} >> 1);
  const auto magnitude =
      (static_cast<std::uint64_t>(place - kLowestPlace) << kFractionBits) +
      significand;
  return std::bit_cast<double>(sign | magnitude);
}

}  // namespace exact_product_detail

// a·b, bit for bit the multiply instruction's result for every pair of
// doubles (signed zeros, infinities and NaNs included); computed in integer
// arithmetic when an operand is subnormal or the product falls below the
// normal range, where the instruction is slow.
inline double ExactProduct(double a, double b) {
  namespace d = exact_product_detail;
  const auto x = std::bit_cast<std::uint64_t>(a);
  const auto y = std::bit_cast<std::uint64_t>(b);
  const int fieldX = static_cast<int>(x >> d::kFractionBits) & d::kExponentMask;
  const int fieldY = static_cast<int>(y >> d::kFractionBits) & d::kExponentMask;
  const bool zero = (x << 1) == 0 || (y << 1) == 0;
  const bool special = fieldX == d::kExponentMask || fieldY == d::kExponentMask;
  // Two normal numbers whose exponents add up to −1022 or more have a
  // normal product (or an overflowing one).
  const bool normal = fieldX != 0 && fieldY != 0 && fieldX + fieldY >= 1024;
  if (zero || special || normal) return a * b;
  return d::IntegerProduct(x, y);
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
