#include "framework/graphics/surface/SurfaceTarget.h"

namespace Kit {
namespace {

SurfaceChannel MakeChannel(std::uint32_t mask, int shift, int bits, const std::vector<std::int32_t>& add) {
  SurfaceChannel channel;
  channel.mMask = mask;
  channel.mShift = shift >= 0 && shift < 32 ? shift : 0;
  channel.mBits = bits;
  channel.mAdd = add.empty() ? nullptr : add.data();
  return channel;
}

bool FieldMatches(const SurfaceChannel& channel, std::size_t tableSize) {
  if (channel.mBits < 1 || channel.mBits > 8 || channel.mShift + channel.mBits > 32 || channel.mAdd == nullptr)
    return false;
  const std::uint32_t max = (1u << channel.mBits) - 1;
  return channel.mMask == (max << channel.mShift) && tableSize == 2 * max + 1;
}

}  // namespace

SurfaceTarget MakeSurfaceTarget(const SurfacePixels& pixels, const NativeDisplay& display,
                                const ChannelAddTables& addTables) {
  SurfaceTarget target;
  target.mPixels = pixels;
  target.mRed = MakeChannel(pixels.mRedMask, display.mRedShift, display.mRedBits, addTables.Red());
  target.mGreen = MakeChannel(pixels.mGreenMask, display.mGreenShift, display.mGreenBits, addTables.Green());
  target.mBlue = MakeChannel(pixels.mBlueMask, display.mBlueShift, display.mBlueBits, addTables.Blue());
  target.mAdditiveUsable = FieldMatches(target.mRed, addTables.Red().size()) &&
                           FieldMatches(target.mGreen, addTables.Green().size()) &&
                           FieldMatches(target.mBlue, addTables.Blue().size());
  return target;
}

}  // namespace Kit
