#include "framework/graphics/AnimInfo.h"

#include <algorithm>

namespace Kit {

void AnimInfo::SetPerFrameDelay(int frame, int delay) {
  if (frame < 0) return;  // a negative frame number names no frame
  if (static_cast<int>(mPerFrameDelay.size()) < frame + 1) mPerFrameDelay.resize(frame + 1, 0);
  mPerFrameDelay[frame] = delay;
}

void AnimInfo::Compute(int numCels, int beginFrameTime, int endFrameTime) {
  mNumCels = std::max(numCels, 1);
  mFrameDelay = std::max(mFrameDelay, 1);

  if (mAnimType == ANIM_PINGPONG && mNumCels >= 2) {
    mFrameMap.clear();
    for (int i = 0; i < mNumCels; ++i) mFrameMap.push_back(i);
    for (int i = mNumCels - 2; i >= 1; --i) mFrameMap.push_back(i);
  }
  if (!mFrameMap.empty()) mNumCels = static_cast<int>(mFrameMap.size());

  if (beginFrameTime > 0) SetPerFrameDelay(0, beginFrameTime);
  if (endFrameTime > 0) SetPerFrameDelay(mNumCels - 1, endFrameTime);

  if (mPerFrameDelay.empty()) {
    mTotalAnimTime = mNumCels * mFrameDelay;
    return;
  }
  mPerFrameDelay.resize(mNumCels, 0);
  mTotalAnimTime = 0;
  for (int& delay : mPerFrameDelay) {
    if (delay < 1) delay = mFrameDelay;
    mTotalAnimTime += delay;
  }
}

}  // namespace Kit
