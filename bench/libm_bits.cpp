// The results of exp, log, sin and cos on fixed pseudo-random arguments in
// the ranges velm uses, bit for bit, so that two C libraries can be compared:
//
//   libm_bits write FILE [COUNT]   results of this build's library
//   libm_bits compare FILE FILE    per function: results that differ, most
//                                  units in the last place apart
//
// bench/windows-differences builds it for Linux and for Windows.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Function {
  const char* Name;
  double (*Apply)(double);
  double Low;
  double High;
};

// exp: exp(-k), the soil-evaporation ratio, Horton's decay and the step
// sizes of the search; log: the Horton term and Box–Muller; sin and cos:
// the angle of Box–Muller.
const Function kFunctions[] = {
    {"exp", [](double x) { return std::exp(x); }, -40, 40},
    {"log", [](double x) { return std::log(x); }, 0, 2},
    {"sin", [](double x) { return std::sin(x); }, 0, 6.28318},
    {"cos", [](double x) { return std::cos(x); }, 0, 6.28318},
};

// The search's normal draws take log, sin and cos of 15-bit draws only, so
// these are all the arguments they can ever see (as random_source.cpp
// computes them).
constexpr double kOpenScale = 1.0 / 32767.1;
constexpr double kTurn = 6.28318;
const Function kSearchDraws[] = {
    {"log(u) of every draw u", [](double u) { return std::log(u); }, 1, 1},
    {"sin(2 pi u) of every draw u",
     [](double u) { return std::sin(kTurn * u); }, 0, 1},
    {"cos(2 pi u) of every draw u",
     [](double u) { return std::cos(kTurn * u); }, 0, 1},
};

std::uint64_t NextBits(std::uint64_t& state) {  // splitmix64
  std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

void Put(std::ofstream& out, double y) {
  out.write(reinterpret_cast<const char*>(&y), sizeof y);
}

int Write(const char* path, long count) {
  std::ofstream out(path, std::ios::binary);
  std::uint64_t state = 20261207;
  for (const Function& f : kFunctions) {
    for (long i = 0; i < count; ++i) {
      const double unit = static_cast<double>(NextBits(state) >> 11) * 0x1p-53;
      Put(out, f.Apply(f.Low + (f.High - f.Low) * unit));
    }
  }
  // Low is the first draw: log(0) is never taken.
  for (const Function& f : kSearchDraws) {
    for (int draw = static_cast<int>(f.Low); draw <= 32767; ++draw) {
      Put(out, f.Apply(draw * kOpenScale));
    }
  }
  return out ? 0 : 1;
}

std::vector<std::int64_t> ReadBits(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::int64_t> bits;
  std::int64_t word;
  while (in.read(reinterpret_cast<char*>(&word), sizeof word)) {
    bits.push_back(word);
  }
  return bits;
}

// Prints how many of `count` results from `at` on differ; returns the end.
std::size_t CompareGroup(const char* name, const std::vector<std::int64_t>& a,
                         const std::vector<std::int64_t>& b, std::size_t at,
                         std::size_t count) {
  std::size_t differing = 0;
  long long mostUlps = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (a[i] == b[i]) continue;
    ++differing;  // same sign here: bits apart are ulps apart
    mostUlps =
        std::max(mostUlps, std::llabs(static_cast<long long>(a[i] - b[i])));
  }
  std::printf("%s: %zu of %zu differ (%.4f %%), at most %lld ulp\n", name,
              differing, count, 100.0 * static_cast<double>(differing) / count,
              mostUlps);
  return at + count;
}

int Compare(const char* first, const char* second) {
  const std::vector<std::int64_t> a = ReadBits(first), b = ReadBits(second);
  const std::size_t draws = 32767 + 32768 + 32768;
  if (a.size() != b.size() || a.size() < draws ||
      (a.size() - draws) % std::size(kFunctions) != 0) {
    return 2;
  }
  const std::size_t count = (a.size() - draws) / std::size(kFunctions);
  std::size_t at = 0;
  for (const Function& f : kFunctions)
    at = CompareGroup(f.Name, a, b, at, count);
  for (const Function& f : kSearchDraws) {
    at =
        CompareGroup(f.Name, a, b, at, 32768 - static_cast<std::size_t>(f.Low));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "write") == 0) {
    return Write(argv[2], argc > 3 ? std::atol(argv[3]) : 1000000);
  }
  if (argc == 4 && std::strcmp(argv[1], "compare") == 0) {
    return Compare(argv[2], argv[3]);
  }
  std::fputs("usage: libm_bits write FILE [COUNT] | compare FILE FILE\n",
             stderr);
  return 2;
}
