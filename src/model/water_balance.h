#pragma once

// Where the main pass's water goes, as the model moves it: rain in;
// evaporation from each store; runoff by each path; the water the soil takes
// in, which leaves the model; and what every store holds at the start and
// the end of a period. Every figure is a depth in mm over the whole
// catchment: the values of the pervious area (the surface tank, the soil,
// the cascade) are weighted by 1 − Impervious and those of the impervious
// area by Impervious, as the main pass weights them into CalcQ and ActualE,
// while the surface storage covers the whole catchment. So a period closes:
// Rain − Evaporation() − Runoff() − Infiltrated − StorageChange() is
// rounding only.
//
// The balance is recorded by a simulation of its own, so that a
// calibration's evaluations, which ask only for CalcQ and ActualE, do not pay
// for it. Its runoff and evaporation agree with those outputs to rounding,
// not bit for bit: the balance sums each path by day, the outputs sum each
// hour's paths.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "model/parameter_set.h"
#include "model/simulate.h"

namespace velm {

// What the stores hold at one moment.
struct StoreDepths {
  // The two stores of the surface storage; 0 without it.
  double SurfaceStorageFirst = 0.0;
  double SurfaceStorageSecond = 0.0;
  double ImperviousDepth = 0.0;
  // Numbered as the parameters' TankWaterDepth: the surface tank at entry 0,
  // tank j at entry j.
  std::vector<double> TankWaterDepth;

  // The cascade's tanks 1 .. TankCount, without the surface tank.
  double Cascade() const;
  double Total() const;
};

// The flows of one period and the stores at its start and end.
struct BalancePeriod {
  double Rain = 0.0;
  // Actual evaporation by store; the soil's is drawn from the water that
  // reaches it before it infiltrates.
  double StorageEvaporation = 0.0;
  double ImperviousEvaporation = 0.0;
  double SurfaceTankEvaporation = 0.0;
  double SoilEvaporation = 0.0;
  // Runoff by path: the impervious area's, and every tank's side outflow,
  // numbered as TankWaterDepth (the surface tank at entry 0).
  double ImperviousRunoff = 0.0;
  std::vector<double> TankRunoff;
  // The water the soil took in less its evaporation: it leaves the model
  // (the soil keeps no depth, and the cascade receives nothing from it).
  // Negative for a period in which the soil evaporates more than the rain
  // brings it.
  double Infiltrated = 0.0;
  StoreDepths AtStart;
  StoreDepths AtEnd;

  double Evaporation() const;
  double Runoff() const;
  double StorageChange() const { return AtEnd.Total() - AtStart.Total(); }
  // What the terms leave unaccounted for: rounding only.
  double Unaccounted() const;
};

// Which side of the balance a flow is on.
enum class FlowKind { kRain, kEvaporation, kRunoff, kInfiltration };

struct BalanceFlowField {
  const char* Name;
  // As the Python module's dictionaries key it.
  const char* Key;
  // As a table of the balance lists it, under the kind's heading.
  const char* Label;
  double BalancePeriod::*Member;
  FlowKind Kind;
};

// The single-valued flows of a period in the order a table lists them; the
// tanks' runoff (TankRunoff) follows the impervious area's.
inline constexpr std::array<BalanceFlowField, 7> kBalanceFlowFields{{
    {"Rain", "rain", "Rain", &BalancePeriod::Rain, FlowKind::kRain},
    {"StorageEvaporation", "storage_evaporation", "from the surface storage",
     &BalancePeriod::StorageEvaporation, FlowKind::kEvaporation},
    {"ImperviousEvaporation", "impervious_evaporation",
     "from the impervious area", &BalancePeriod::ImperviousEvaporation,
     FlowKind::kEvaporation},
    {"SurfaceTankEvaporation", "surface_tank_evaporation",
     "from the surface tank", &BalancePeriod::SurfaceTankEvaporation,
     FlowKind::kEvaporation},
    {"SoilEvaporation", "soil_evaporation", "from the soil",
     &BalancePeriod::SoilEvaporation, FlowKind::kEvaporation},
    {"ImperviousRunoff", "impervious_runoff", "from the impervious area",
     &BalancePeriod::ImperviousRunoff, FlowKind::kRunoff},
    {"Infiltrated", "infiltrated", "Infiltrated and left the model",
     &BalancePeriod::Infiltrated, FlowKind::kInfiltration},
}};

// The runoff path of TankRunoff's entry `tank`: "surface tank", "tank 2".
std::string TankPathName(std::size_t tank);

struct WaterBalance {
  // The parameters' starting state, which the warm-up pass begins from.
  StoreDepths AtRunStart;
  // Every hour of the main pass; its AtStart is the state the warm-up pass
  // leaves.
  BalancePeriod MainPass;
  // The whole days of the main pass, as DailyOutputs has them.
  std::vector<BalancePeriod> Days;
};

// The stores of a parameter set's starting state, weighted as the balance
// weights them.
StoreDepths StartingStores(const ParameterSet& parameters);

// The simulation that DailyOutputs gives, recorded as a water balance,
// which is resized to the record; the hours allocate nothing.
void Simulate(const ParameterSet& parameters, const Forcing& forcing,
              WaterBalance& balance);

}  // namespace velm
