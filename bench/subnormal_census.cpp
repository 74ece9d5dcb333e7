// How many floating-point instructions of calibration evaluations meet a
// subnormal, as an operand or as a result, counted one by one: this machine
// has no performance counters for the processor's slow path, so the census
// unmasks the x86 denormal-operand and underflow exceptions, counts each trap
// by the kind of instruction that raised it, and single-steps that
// instruction with the exceptions masked again.
//
//   velm_subnormal_census CASE_DIR [YEARS] [RANDOM_SETS]
//
// CASE_DIR's record repeated YEARS times (default 1), evaluated with every
// gene 0.5 and with RANDOM_SETS (default 0) of the random valid parameter
// sets of sample.h. Multiplications and divisions with a subnormal operand or
// result take the slow path; additions, subtractions and comparisons do not.

#include <signal.h>
#include <ucontext.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "optimizer/objective.h"
#include "sample.h"

namespace {

constexpr unsigned kDenormalMask = 1u << 8;
constexpr unsigned kUnderflowMask = 1u << 11;
constexpr unsigned kFlagBits = 0x3f;
constexpr long long kTrapFlag = 0x100;

enum Kind { kMultiply, kDivide, kAddOrSubtract, kCompare, kOther, kKinds };
constexpr std::array<const char*, kKinds> kKindNames = {
    "multiply", "divide", "add or subtract", "compare", "other"};

// The handlers can reach nothing else.
volatile long counts[kKinds];

Kind KindAt(const unsigned char* at) {
  while (*at == 0x66 || *at == 0xf2 || *at == 0xf3) ++at;
  if ((*at & 0xf0) == 0x40) ++at;  // REX
  if (*at != 0x0f) return kOther;
  switch (at[1]) {
    case 0x59: return kMultiply;
    case 0x5e: return kDivide;
    case 0x58: case 0x5c: return kAddOrSubtract;
    case 0x2e: case 0x2f: case 0xc2: return kCompare;
    default: return kOther;
  }
}

void OnTrap(int, siginfo_t*, void* context) {
  auto* uc = static_cast<ucontext_t*>(context);
  const auto* at =
      reinterpret_cast<const unsigned char*>(uc->uc_mcontext.gregs[REG_RIP]);
  counts[KindAt(at)] = counts[KindAt(at)] + 1;
  uc->uc_mcontext.fpregs->mxcsr |= kDenormalMask | kUnderflowMask;
  uc->uc_mcontext.fpregs->mxcsr &= ~kFlagBits;
  uc->uc_mcontext.gregs[REG_EFL] |= kTrapFlag;
}

void AfterStep(int, siginfo_t*, void* context) {
  auto* uc = static_cast<ucontext_t*>(context);
  uc->uc_mcontext.fpregs->mxcsr &= ~(kDenormalMask | kUnderflowMask);
  uc->uc_mcontext.fpregs->mxcsr &= ~kFlagBits;
  uc->uc_mcontext.gregs[REG_EFL] &= ~kTrapFlag;
}

void Install(int signal, void (*handler)(int, siginfo_t*, void*)) {
  struct sigaction action {};
  action.sa_sigaction = handler;
  action.sa_flags = SA_SIGINFO;
  sigaction(signal, &action, nullptr);
}

unsigned ReadMxcsr() {
  unsigned value;
  asm volatile("stmxcsr %0" : "=m"(value));
  return value;
}
void WriteMxcsr(unsigned value) { asm volatile("ldmxcsr %0" : : "m"(value)); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: velm_subnormal_census CASE_DIR [YEARS] [RANDOM_SETS]\n",
               stderr);
    return 2;
  }
  const int years = argc > 2 ? std::atoi(argv[2]) : 1;
  const int randomSets = argc > 3 ? std::atoi(argv[3]) : 0;
  const auto sample = velm::bench::LoadSample(argv[1], years);
  std::vector<velm::bench::Evaluation> sets{
      velm::bench::HalfGenes(sample)};
  for (const velm::ParameterSet& p :
       velm::bench::RandomValidSets(sample.Parameters, randomSets, 29)) {
    sets.push_back(velm::bench::Unscaled(sample, p));
  }

  Install(SIGFPE, OnTrap);
  Install(SIGTRAP, AfterStep);
  velm::DailyOutputs scratch;
  double sum = 0.0;
  const unsigned saved = ReadMxcsr();
  WriteMxcsr((saved & ~kFlagBits) & ~(kDenormalMask | kUnderflowMask));
  for (const velm::bench::Evaluation& set : sets) sum += set.Run(scratch);
  WriteMxcsr(saved);

  long total = 0;
  for (int kind = 0; kind < kKinds; ++kind) total += counts[kind];
  std::printf("%s x%d, %zu parameter sets, %.0f hourly steps each\n", argv[1],
              years, sets.size(), sample.StepsPerSimulation());
  for (int kind = 0; kind < kKinds; ++kind) {
    std::printf("  %-16s %12ld\n", kKindNames[kind], counts[kind]);
  }
  std::printf("  %-16s %12ld   (sum of f: %.17g)\n", "all", total, sum);
  return 0;
}
