#include "model/water_balance.h"

#include <algorithm>
#include <numeric>
#include <span>

#include "model/exact_product.h"
#include "model/passes.h"

namespace velm {
namespace {

using passes::Lane;

// Sizes a period's vectors for `tanks` entries (the surface tank and the
// cascade) and sets its flows to 0.
void Clear(BalancePeriod& period, std::size_t tanks) {
  for (const BalanceFlowField& field : kBalanceFlowFields) {
    period.*field.Member = 0.0;
  }
  period.TankRunoff.assign(tanks, 0.0);
  period.AtStart.TankWaterDepth.resize(tanks);
  period.AtEnd.TankWaterDepth.resize(tanks);
}

// The depths over the whole catchment: the impervious store's share of the
// area is Impervious, the tanks' share `pervious`, 1 − Impervious.
void WeighStores(double impervious, double pervious, const StepStores& stores,
                 std::span<const double> tanks, StoreDepths& out) {
  out.SurfaceStorageFirst = stores.Storage.FirstDepth;
  out.SurfaceStorageSecond = stores.Storage.SecondDepth;
  out.ImperviousDepth = impervious * stores.ImperviousDepth;
  const double quickAbove = QuickProductAbove(pervious);
  out.TankWaterDepth.resize(tanks.size());
  for (std::size_t j = 0; j < tanks.size(); ++j) {
    // Drained tanks hold subnormal depths.
    out.TankWaterDepth[j] = ProductOfFactor(pervious, tanks[j], quickAbove);
  }
}

// Records the main pass of one simulation as its water balance. A day's
// flows are summed as the step gives them, the pervious ones as depths on
// the pervious area, and weighted when the day closes.
class BalanceRecord {
 public:
  BalanceRecord(const ParameterSet& p, const Forcing& forcing,
                WaterBalance& balance)
      : rain_(forcing.Rain.data()),
        impervious_(p.Impervious),
        balance_(balance) {
    const auto tanks = static_cast<std::size_t>(p.TankCount) + 1;
    balance.AtRunStart = StartingStores(p);
    balance.Days.resize(forcing.Rain.size() / kHoursPerDay);
    for (BalancePeriod& day : balance.Days) Clear(day, tanks);
    Clear(balance.MainPass, tanks);
    Clear(day_, tanks);
    Clear(trailing_, tanks);
  }

  void MainPassStarts(const Lane& lane) {
    Weigh(lane, balance_.MainPass.AtStart);
    dayStart_ = &balance_.MainPass.AtStart;
  }

  void TankOutflow(int tank, double outflow) {
    day_.TankRunoff[static_cast<std::size_t>(tank)] += outflow;
  }

  void Infiltrated(double water) { day_.Infiltrated += water; }

  void operator()(int i, const Lane& lane, const HourlyResult& r) {
    day_.Rain += rain_[i];
    day_.StorageEvaporation += r.StorageEvaporation;
    day_.ImperviousEvaporation += r.ImperviousEvaporation;
    day_.SurfaceTankEvaporation += r.SurfaceTankEvaporation;
    day_.SoilEvaporation += r.SoilEvaporation;
    day_.ImperviousRunoff += r.ImperviousRunoff;
    if ((i + 1) % kHoursPerDay != 0) return;
    BalancePeriod& day =
        balance_.Days[static_cast<std::size_t>(i) / kHoursPerDay];
    CloseDay(lane, day);
    day.AtStart = *dayStart_;
    Weigh(lane, day.AtEnd);
    dayStart_ = &day.AtEnd;
  }

  // The hours after the last whole day count in the main pass only.
  void MainPassEnds(const Lane& lane) {
    CloseDay(lane, trailing_);
    Weigh(lane, balance_.MainPass.AtEnd);
  }

 private:
  void Weigh(const Lane& lane, StoreDepths& out) const {
    WeighStores(impervious_, lane.Pervious, lane.Stores, lane.Tanks, out);
  }

  // Weights the day's sums into `day` and adds them to the main pass.
  void CloseDay(const Lane& lane, BalancePeriod& day) {
    const auto pervious = [&](double x) {
      return ProductOfFactor(lane.Pervious, x, lane.PerviousQuickAbove);
    };
    day.Rain = day_.Rain;
    day.StorageEvaporation = day_.StorageEvaporation;
    day.ImperviousEvaporation = day_.ImperviousEvaporation;
    day.SurfaceTankEvaporation = pervious(day_.SurfaceTankEvaporation);
    day.SoilEvaporation = pervious(day_.SoilEvaporation);
    day.ImperviousRunoff = day_.ImperviousRunoff;
    day.Infiltrated = pervious(day_.Infiltrated);
    BalancePeriod& main = balance_.MainPass;
    for (const BalanceFlowField& field : kBalanceFlowFields) {
      main.*field.Member += day.*field.Member;
      day_.*field.Member = 0.0;
    }
    for (std::size_t j = 0; j < day.TankRunoff.size(); ++j) {
      day.TankRunoff[j] = pervious(day_.TankRunoff[j]);
      main.TankRunoff[j] += day.TankRunoff[j];
      day_.TankRunoff[j] = 0.0;
    }
  }

  const double* rain_;
  const double impervious_;
  WaterBalance& balance_;
  // The day's flows so far, unweighted.
  BalancePeriod day_;
  // The hours after the last whole day, weighted.
  BalancePeriod trailing_;
  const StoreDepths* dayStart_ = nullptr;
};

}  // namespace

std::string TankPathName(std::size_t tank) {
  return tank == 0 ? "surface tank" : "tank " + std::to_string(tank);
}

double StoreDepths::Cascade() const {
  if (TankWaterDepth.empty()) return 0.0;
  return std::accumulate(TankWaterDepth.begin() + 1, TankWaterDepth.end(), 0.0);
}

double StoreDepths::Total() const {
  const double surfaceTank = TankWaterDepth.empty() ? 0.0 : TankWaterDepth[0];
  return SurfaceStorageFirst + SurfaceStorageSecond + ImperviousDepth +
         surfaceTank + Cascade();
}

double BalancePeriod::Evaporation() const {
  double total = 0.0;
  for (const BalanceFlowField& field : kBalanceFlowFields) {
    if (field.Kind == FlowKind::kEvaporation) total += this->*field.Member;
  }
  return total;
}

double BalancePeriod::Runoff() const {
  return std::accumulate(TankRunoff.begin(), TankRunoff.end(),
                         ImperviousRunoff);
}

double BalancePeriod::Unaccounted() const {
  return Rain - Evaporation() - Runoff() - Infiltrated - StorageChange();
}

StoreDepths StartingStores(const ParameterSet& p) {
  StepStores stores;
  stores.ImperviousDepth = p.ImperviousTankWD;
  StoreDepths out;
  WeighStores(p.Impervious, 1 - p.Impervious, stores, p.TankWaterDepth, out);
  return out;
}

void Simulate(const ParameterSet& parameters, const Forcing& forcing,
              WaterBalance& balance) {
  std::vector<double> depths;
  const ParameterSet* const set[] = {&parameters};
  std::vector<double>* const setDepths[] = {&depths};
  BalanceRecord record(parameters, forcing, balance);
  passes::RunPasses<1>(set, forcing, setDepths, record);
}

}  // namespace velm
