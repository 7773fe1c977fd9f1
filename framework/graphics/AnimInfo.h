// How the cels of an image strip animate: type, delays and an optional frame -> cel map.
#pragma once

#include <vector>

namespace Kit {

class AnimInfo {
 public:
  enum AnimType { ANIM_NONE = 0, ANIM_ONCE = 1, ANIM_PINGPONG = 2, ANIM_LOOP = 3 };

  // Grows perFrameDelay (new entries 0) so that frame exists, then stores the delay there.
  void SetPerFrameDelay(int frame, int delay);
  // Settles the frame count, the ping-pong frame map, the per-frame delays and the total time.
  void Compute(int numCels, int beginFrameTime = 0, int endFrameTime = 0);

  int mAnimType = ANIM_NONE;
  int mFrameDelay = 1;
  int mNumCels = 1;
  std::vector<int> mPerFrameDelay;
  std::vector<int> mFrameMap;
  int mTotalAnimTime = 0;
};

}  // namespace Kit
