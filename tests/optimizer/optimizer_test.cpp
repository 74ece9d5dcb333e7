// The search's own rules, read from what it records rather than from its
// console: the random source, the penalties, the selection, the final phase
// and the ranking, and that it really improves f. Whole calibrations are
// pinned byte for byte by tests/cases.

#include "optimizer/optimizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <memory>
#include <random>

#include <sstream>

#include "driver/program.h"
#include "input/run_inputs.h"
#include "optimizer/operators.h"
#include "optimizer/shell_sort.h"
#include "results/calibration_reports.h"
#include "run/calibration.h"
#include "support/case_dir.h"

namespace velm {
namespace {

const double kNaN = std::nan("");

Clock FixedClock(std::time_t seconds) {
  return [seconds] { return seconds; };
}

// A state whose next Next15 is `draw`: the generator's step run backwards
// (214013 is odd, so it has an inverse modulo 2^32).
std::uint32_t StateBeforeDraw(int draw) {
  std::uint32_t inverse = 214013;
  for (int i = 0; i < 5; ++i) inverse *= 2 - 214013 * inverse;
  return ((static_cast<std::uint32_t>(draw) << 16) - 2531011u) * inverse;
}

TEST(RandomSource, SeedDrawsAndTheInfinitiesOfAFirstDrawOfZero) {
  RandomSource random(FixedClock(1767225600 + (std::time_t{1} << 32)));
  random.SeedFromClock();  // the clock taken as 32 bits
  EXPECT_EQ(random.State, 1767225600u);
  random.State = 0;
  for (const int draw : {38, 7719, 21238, 2437, 8855}) {
    EXPECT_EQ(random.Next15(), draw);
  }
  random.State = StateBeforeDraw(0);  // u1 = 0: an infinite radius
  EXPECT_TRUE(std::isinf(random.NormalPair().z2));
}

TEST(RandomSource, ASeedClockCountsItsReadingsFromTheSeedTimes65536) {
  Clock clock = SeedClock(65535);
  EXPECT_EQ(clock(), 65535 * 65536L);
  EXPECT_EQ(clock(), 65535 * 65536L + 1);
  const std::pair<const char*, int> rows[] = {
      {"0", 0},  {"65535", 65535}, {"007", 7},  {"9", 9},  {"", -1},
      {"+1", -1}, {"-1", -1},      {" 1", -1}, {"1 ", -1},
      {"65536", -1}, {"1x", -1},   {"99999999999", -1}};
  for (const auto& [text, value] : rows) {
    const auto seed = ParseSeed(text);
    EXPECT_EQ(seed ? *seed : -1, value) << "'" << text << "'";
  }
}

// Scores gene vectors with a function; counts the evaluations.
class FakeObjective final : public Objective {
 public:
  explicit FakeObjective(std::function<double(const Genes&)> score)
      : score_(std::move(score)) {}
  void Evaluate(std::span<const Genes* const> genes,
                std::span<double> f) override {
    for (std::size_t i = 0; i < genes.size(); ++i) f[i] = score_(*genes[i]);
    Evaluations += static_cast<int>(genes.size());
  }
  bool ScoresNumbers() const override { return Numbers; }
  int Evaluations = 0;
  bool Numbers = true;  // false: NaN whatever the genes, as without a fit day

 private:
  std::function<double(const Genes&)> score_;
};

Generation WithGenes(int variableCount) {
  RandomSource random(FixedClock(0));
  return Generation(variableCount, random);
}

TEST(Operators, TheLastOutOfRangeGeneSetsThePenaltyAndSkipsTheObjective) {
  // A third gene in range: with more genes than one vector lane holds, a
  // vectorised loop once kept the wrong gene's penalty. A NaN gene counts
  // as above 1.
  const double kInf = INFINITY;
  const double rows[][3] = {{-0.1, 1.1, 10000}, {1.1, -0.1, 1000},
                            {1.5, 0.5, 10000},  {0.0, 1.0, 0.25},
                            {kNaN, 0.5, 10000}, {kNaN, -0.1, 1000},
                            {-0.1, kNaN, 10000}, {-kInf, 0.5, 1000}};
  for (const auto& [gene1, gene2, f] : rows) {
    Generation generation = WithGenes(3);
    generation.Children[0].X = {0, gene1, gene2, 0.5};
    generation.Parents[9].f = 0.125;
    FakeObjective objective([](const Genes&) { return 0.25; });
    EvaluateChildren(generation, objective);
    EXPECT_EQ(generation.Children[0].f, f) << gene1 << " " << gene2;
    EXPECT_EQ(objective.Evaluations, f == 0.25 ? 70 : 69);
    EXPECT_EQ(generation.Parents[9].f, 0.125);  // parents are not evaluated
  }
  Generation generation = WithGenes(1);
  generation.Parents[3].X[1] = 1.5;
  generation.Parents[5].X[1] = kNaN;
  FakeObjective objective([](const Genes&) { return 0.25; });
  EvaluateParents(generation, objective);
  EXPECT_EQ(generation.Parents[3].f, 100000.0);
  EXPECT_EQ(generation.Parents[4].f, 0.25);
  EXPECT_EQ(generation.Parents[5].f, 100000.0);
  EXPECT_EQ(objective.Evaluations, 8);
}

std::vector<double> SelectedMarks(const std::function<double(int)>& f,
                                  NaNKeys nanKeys = NaNKeys::kLast) {
  Generation generation = WithGenes(1);
  for (int m = 0; m < Generation::kRankCount; ++m) {
    generation.Member(m).X[1] = m;
    generation.Member(m).f = f(m);
  }
  SelectBest(generation, nanKeys);
  std::vector<double> marks;
  for (const Individual& parent : generation.Parents) {
    marks.push_back(parent.X[1]);
  }
  return marks;
}

TEST(Operators, SelectionSortsWithGapsFortyToOneAndPutsANaNLast) {
  using Marks = std::vector<double>;
  EXPECT_EQ(SelectedMarks([](int m) { return 79.0 - m; }),
            (Marks{79, 78, 77, 76, 75, 74, 73, 72, 71, 70}));
  EXPECT_EQ(SelectedMarks([](int) { return 0.3; }),
            (Marks{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  // The gap-40 pass swaps entries 40 and 0; the former parent 0 then stays
  // at entry 40 (an insertion sort would keep it as parent 1).
  EXPECT_EQ(SelectedMarks([](int m) { return m == 40 ? 0.0 : 1.0; }),
            (Marks{40, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  // A NaN f ranks after every number; where every f is NaN by the data,
  // a NaN is never moved, so that parent 0 stays the best.
  const auto nanParents = [](int m) { return m == 0 || m == 3 ? kNaN : m; };
  EXPECT_EQ(SelectedMarks(nanParents),
            (Marks{1, 2, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(SelectedMarks(nanParents, NaNKeys::kUnmoved),
            (Marks{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  // The first gap, at each count where it changes: it stays while it is
  // not below a third of the count.
  const std::pair<int, int> gaps[] = {{1, 1}, {5, 1},   {6, 4},   {14, 4},
                                      {15, 13}, {41, 13}, {42, 40}, {80, 40}};
  for (const auto& [count, gap] : gaps) EXPECT_EQ(FirstShellGap(count), gap) << count;
  for (const NaNKeys nanKeys : {NaNKeys::kLast, NaNKeys::kUnmoved}) {
    std::vector<double> keys{3, kNaN, 2, 1, 5, 0, -1};
    ShellSort(
        6, [&](int i) { return keys[i]; },
        [&](int a, int b) { std::swap(keys[a], keys[b]); }, nanKeys);
    const bool last = nanKeys == NaNKeys::kLast;
    EXPECT_EQ(keys[last ? 4 : 0], last ? 5 : 3);
    EXPECT_TRUE(std::isnan(keys[last ? 5 : 1]));
    EXPECT_EQ(keys[6], -1);  // beyond the count
  }
}

CalibrationRecord Search(int fcountLimit, Objective& objective, Clock clock) {
  ProgressSink quiet;
  return Optimizer(1, fcountLimit, std::move(clock)).Run(objective, quiet);
}

constexpr int kSteps = Optimizer::kEvaluationsPerStep;

TEST(CalibrationRun, FinalPhaseRunsWhileBelowTheBudgetAndNotBelowPoint2) {
  // Every f NaN by the data: the best is NaN, which ends the search too.
  const struct {
    double f;
    int fcountLimit, steps;
  } rows[] = {{0.5, kEpochEvaluations, 0},
              {0.5, kEpochEvaluations + 1, 1},
              {0.5, kEpochEvaluations + kSteps + 1, 2},
              {0.2, kEpochEvaluations + 4 * kSteps, 4},
              {0.19999, kEpochEvaluations + 4 * kSteps, 1},
              {kNaN, kEpochEvaluations + 4 * kSteps, 1}};
  for (const auto& row : rows) {
    FakeObjective objective([&](const Genes&) { return row.f; });
    objective.Numbers = !std::isnan(row.f);
    const CalibrationRecord record =
        Search(row.fcountLimit, objective, FixedClock(0));
    EXPECT_EQ(record.FinalSteps, row.steps) << row.f << " " << row.fcountLimit;
    EXPECT_EQ(record.Fcount, kEpochEvaluations + kSteps * row.steps);
    EXPECT_EQ(record.Generation, Optimizer::kSubPopulationCount *
                                         Optimizer::kGenerationsPerEpoch +
                                     row.steps);
  }
}

TEST(CalibrationRun, AnIndividualWhoseFIsNaNNeverRanksFirst) {
  // Half the gene box scores NaN, as a Horton decay of 0 does: a NaN parent
  // would otherwise stay first in its sub-population, and a sub-population
  // whose best is NaN first in the ranking.
  auto now = std::make_shared<std::time_t>(1767225600);
  FakeObjective objective(
      [](const Genes& x) { return x[1] < 0.5 ? kNaN : x[1]; });
  const CalibrationRecord record =
      Search(kEpochEvaluations + kSteps, objective, [now] { return (*now)++; });
  for (const CalibrationRecord::Epoch& epoch : record.Epochs) {
    const std::vector<double>& ranked = epoch.RankedF;
    EXPECT_TRUE(std::none_of(ranked.begin(), ranked.end(),
                             [](double f) { return std::isnan(f); }) &&
                std::is_sorted(ranked.begin(), ranked.end()))
        << epoch.Generation;
  }
  EXPECT_NEAR(record.Best.f, 0.5, 0.01);
}

TEST(CalibrationRun, EpochsRankAndDropTheWorstThenTheBestGoesOnAlone) {
  // A clock one second later at every reading makes the sub-populations
  // differ; every evaluation scores better than the ones before it, but
  // never good enough to stop.
  auto now = std::make_shared<std::time_t>(1767225600);
  int calls = 0;
  FakeObjective objective([&](const Genes&) { return 0.2 + 1.0 / ++calls; });
  const CalibrationRecord record =
      Search(kEpochEvaluations + 20 * kSteps, objective,
             [now] { return (*now)++; });
  ASSERT_EQ(record.Epochs.size(), 6u);
  // The sub-populations' first evaluations, then an epoch's steps of 6, 5,
  // ... 1 of them.
  constexpr int kPopulations = Optimizer::kSubPopulationCount;
  int fcount = kPopulations * Optimizer::kEvaluationsPerInitialisation;
  for (std::size_t e = 0; e < 6; ++e) {
    const std::vector<double>& ranked = record.Epochs[e].RankedF;
    fcount += (kPopulations - static_cast<int>(e)) *
              Optimizer::kGenerationsPerEpoch * kSteps;
    EXPECT_EQ(record.Epochs[e].Fcount, fcount);
    EXPECT_EQ(Optimizer::EvaluationsAfterEpochs(static_cast<int>(e) + 1),
              fcount);
    ASSERT_EQ(ranked.size(), 6 - e);
    EXPECT_TRUE(std::is_sorted(ranked.begin(), ranked.end())) << e;
    if (e > 0) {
      EXPECT_LE(ranked[0], record.Epochs[e - 1].RankedF[0]);
    }
  }
  EXPECT_LT(record.Epochs[0].RankedF.front(), record.Epochs[0].RankedF.back());
  EXPECT_EQ(record.Fcount, kEpochEvaluations + 20 * kSteps);
  EXPECT_EQ(record.FinalSteps, 20);
  EXPECT_LT(record.Best.f, record.Epochs.back().RankedF[0]);
}

// The observed runoff of this case was made by the model with multipliers
// 0.5 (Impervious, gene 1) and 0.6 (every CoeffTank, gene 2): a calibration
// from the parameter file's values must get far closer to it than they are.
TEST(CalibrationSearch, RecoversMultipliersTheObservedRunoffWasMadeWith) {
  const testing::CaseDir dir("twenty-days");
  const CatchmentData data =
      CatchmentData::Read(std::make_shared<RunInputs>(dir.Path()));
  const std::vector<double> ones{1, 1};
  const double startF = ScoreGenes(data, ones);
  // A frozen clock restarts the same draws at every seeding, which slows
  // the search down; it still gets from 1.86 to about 0.005.
  ProgressSink quiet;
  const CalibrationOutcome outcome =
      Calibrate(data, {FixedClock(1767225600)}, quiet);
  const Individual& best = outcome.Record.Best;
  EXPECT_GT(startF, 1.0);
  EXPECT_LT(best.f, startF / 100) << "start f " << startF;
  EXPECT_NEAR(best.X[1], 0.5, 0.01);
  EXPECT_NEAR(best.X[2], 0.6, 0.1);
  EXPECT_TRUE(outcome.Problems.empty());
  EXPECT_EQ(outcome.Best.Parameters.Impervious,
            best.X[1] * data.Parameters.Impervious);
}

// Batches of every size up to 11, with repeats and absurd gene vectors, on
// one and two threads: f bit for bit and the reports in request order as
// evaluating the genes one after another gives them.
TEST(ModelObjective, BatchesGiveWhatOneEvaluationAfterAnotherGives) {
  const testing::CaseDir dir("twenty-days");
  RunInputs inputs(dir.Path());
  const RunSettings& settings = inputs.Settings();
  const GeneMap map(settings.VariableCount, settings.OptIndex);
  const ObjectiveSettings flags{1, settings.ObjectiveType,
                                settings.BalanceErrorLimit};
  const auto weather = inputs.SharedWeather();
  const EvaluationContext context{inputs.FileParameters(),
                                  map,
                                  {weather->Rain, weather->PotentialE, false},
                                  weather->DailyRain,
                                  inputs.Observed().Daily,
                                  flags};
  std::mt19937_64 random(7);
  std::vector<Genes> pool(40);
  for (Genes& x : pool) {
    x[1] = std::uniform_real_distribution<double>(0, 1.2)(random);
    x[2] = std::uniform_real_distribution<double>(0, 1.2)(random);
  }
  pool[3][2] = 0.0;  // no tank outflow
  pool[5][1] = std::nan("");
  for (const int threads : {1, 2}) {
    std::ostringstream console, expected;
    ConsoleProgress reports(console, flags.ObjectiveType);
    // Given temporaries: the objective keeps its own copies.
    ModelObjective objective(
        ParameterSet(inputs.FileParameters()),
        GeneMap(settings.VariableCount, settings.OptIndex), weather, false,
        [&] { return inputs.SharedObserved(); }, flags, &reports, threads);
    for (std::size_t size = 1; size <= 11; ++size) {
      std::vector<const Genes*> batch;
      for (std::size_t i = 0; i < size; ++i) {
        batch.push_back(&pool[random() % pool.size()]);
      }
      std::vector<double> f(size);
      objective.Evaluate(batch, f);
      for (std::size_t i = 0; i < size; ++i) {
        DailyOutputs scratch;
        std::optional<FitMeasures> fit;
        const double alone =
            EvaluateObjective(context, *batch[i], scratch, &fit);
        TextWriter report(expected, LineEnd::kLf);
        WriteFitReport(report, fit.value(), flags.ObjectiveType);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(f[i]),
                  std::bit_cast<std::uint64_t>(alone))
            << "threads " << threads << " batch " << size << " entry " << i;
      }
    }
    EXPECT_EQ(console.str(), expected.str()) << "threads " << threads;
  }
}

// Without an observed day above 0 every f is NaN, so a NaN f tells nothing
// against the genes; with flag 2 f is the penalty alone, always a number.
TEST(CalibrationSearch, ANaNFCountsAgainstTheGenesWhereADayWasObserved) {
  const testing::CaseDir dir("twenty-days");
  RunInputs inputs(dir.Path());
  const GeneMap map(inputs.Settings().VariableCount,
                    inputs.Settings().OptIndex);
  const auto dry = std::make_shared<const ObservedRunoff>(ObservedRunoff{
      {}, std::vector<double>(inputs.Observed().Daily.size(), 0.0), {}});
  const struct {
    bool dry;
    int outputFlag;
    bool scoresNumbers;
  } rows[] = {{false, 0, true}, {true, 0, false}, {true, 2, true}};
  for (const auto& row : rows) {
    const ObjectiveSettings settings{row.outputFlag, 1, 0.0};
    ModelObjective objective(
        inputs.FileParameters(), map, inputs.SharedWeather(), false,
        [&] { return row.dry ? dry : inputs.SharedObserved(); }, settings);
    const Genes half{0, 0.5, 0.5};
    const Genes* batch[] = {&half};
    double f = 0;
    objective.Evaluate(batch, std::span(&f, 1));
    EXPECT_EQ(std::isnan(f), row.dry && row.outputFlag == 0);
    EXPECT_EQ(objective.ScoresNumbers(), row.scoresNumbers);
  }
}

}  // namespace
}  // namespace velm
