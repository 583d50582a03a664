#pragma once
// TKeyFramer: the keyframer section's holder. The game plays no animation, so its motion lists are
// created and destroyed with the file object and never filled.

namespace qv {

class TFile3DS;

class TKeyFramer {
 public:
  explicit TKeyFramer(TFile3DS& owner) : owner_(&owner) {}

  int MeshMotionCount() const { return 0; }
  int OmniMotionCount() const { return 0; }
  int SpotMotionCount() const { return 0; }
  int CameraMotionCount() const { return 0; }
  bool HasAmbientMotion() const { return false; }
  TFile3DS& Owner() const { return *owner_; }

 private:
  TFile3DS* owner_;
};

}  // namespace qv
