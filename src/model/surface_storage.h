#pragma once

// The optional two-store storage that rain passes through before it reaches
// the catchment: a first store that overflows, a share of the overflow held
// back in a second store, and both stores given up again to evaporation.

namespace velm {

class SurfaceStorage {
 public:
  // Rain meets the evaporation demand first: surplus rain fills the stores
  // and leaves rain as what passes them; a shortfall is drawn from the
  // stores, rain becomes 0 and demand what they cannot supply. Returns the
  // evaporation taken, the demand met.
  double Exchange(double& rain, double& demand);
  // `excess` goes in; what the stores cannot hold comes back in it.
  void Fill(double& excess);
  // `demand` is taken from the first store, then the second; what they
  // cannot supply comes back in it.
  void Draw(double& demand);

  // Constants of the model, not calibrated parameters.
  double ToSecondShare = 0.15;
  double PassShare = 0.85;
  double SecondCapacity = 0.53;
  double FirstCapacity = 1.44;
  double FirstDepth = 0.0;
  double SecondDepth = 0.0;
};

}  // namespace velm
