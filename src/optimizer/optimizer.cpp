#include "optimizer/optimizer.h"

namespace velm {

Optimizer::Optimizer() { Settings.Read(); }

bool Optimizer::Run(int /*outputFlag*/) { return true; }

}  // namespace velm
