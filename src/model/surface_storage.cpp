#include "model/surface_storage.h"

namespace velm {

double SurfaceStorage::Exchange(double& rain, double& demand) {
  const double incomingDemand = demand;
  double surplus = rain - demand;
  if (surplus > 0) {
    demand = 0.0;
    Fill(surplus);
    rain = surplus;
  } else {
    rain = 0.0;
    demand = -surplus;
    Draw(demand);
  }
  return incomingDemand - demand;
}

void SurfaceStorage::Fill(double& excess) {
  FirstDepth += excess;
  double toSecond = 0.0;
  double passed = 0.0;
  if (FirstDepth > FirstCapacity) {
    const double overflow = FirstDepth - FirstCapacity;
    FirstDepth = FirstCapacity;
    toSecond = overflow * ToSecondShare;
    passed = overflow * PassShare;
  }
  SecondDepth += toSecond;
  if (SecondDepth > SecondCapacity) {
    passed += SecondDepth - SecondCapacity;
    SecondDepth = SecondCapacity;
  }
  excess = passed;
}

void SurfaceStorage::Draw(double& demand) {
  FirstDepth -= demand;
  if (FirstDepth > 0) {
    demand = 0.0;
    return;
  }
  demand = -FirstDepth;
  FirstDepth = 0.0;
  SecondDepth -= demand;
  if (SecondDepth > 0) {
    demand = 0.0;
    return;
  }
  demand = -SecondDepth;
  SecondDepth = 0.0;
}

}  // namespace velm
