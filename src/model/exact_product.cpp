#include "model/exact_product.h"

namespace velm {
namespace {

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

Unpacked Unpack(std::uint64_t bits) {
  const int field = static_cast<int>(bits >> kFractionBits) & kExponentMask;
  const std::uint64_t fraction = bits & kFractionMask;
  if (field == 0) return {fraction, kLowestPlace};
  return {fraction | (std::uint64_t{1} << kFractionBits),
          field + kLowestPlace - 1};
}

int BitLength(Wide x) {
  const auto high = static_cast<std::uint64_t>(x >> 64);
  if (high != 0) return 128 - std::countl_zero(high);
  return 64 - std::countl_zero(static_cast<std::uint64_t>(x));
}

}  // namespace

// Above the subnormals, a double's bits read as an
// integer are (biased exponent − 1)·2^52 plus the 53-bit significand, and
// the subnormals continue that sequence down to 0, so the bits of
// M·2^g are (g + 1074)·2^52 + M for a significand M up to 2^53, a carry out
// of the rounding included.
std::uint64_t IntegerProductBits(std::uint64_t a, std::uint64_t b) {
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
  return sign | magnitude;
}


}  // namespace velm
