// Built as a shared object to show that velm_core links into one, as the
// Python module does.

#include "model/simulate.h"

void VelmSumDaily(const double* hours, double* days) {
  velm::SumDaily({hours, 24}, {days, 1});
}
