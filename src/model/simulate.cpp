#include "model/runoff_model.h"

namespace velm {

void RunoffModel::Simulate(int useCurrentParameters) {
  if (useCurrentParameters == 0) Parameters.Read(1);
}

}  // namespace velm
