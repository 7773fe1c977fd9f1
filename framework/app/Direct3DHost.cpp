// The application's side of the Direct3D path: the verdict of the display's self-test, the settings
// the test runs with, and the textures and failures of the path.
#include "framework/app/KitAppBase.h"
#include "framework/graphics/DDInterface.h"

namespace Kit {

bool KitAppBase::Is3DAccelerationSupported() {
  const D3DTester* tester = mDDInterface ? mDDInterface->mD3DTester.get() : nullptr;
  return tester && tester->mFailureReason.empty();
}

bool KitAppBase::Is3DAccelerationRecommended() {
  return Is3DAccelerationSupported() && mDDInterface->mD3DTester->mWarning.empty();
}

ImageHost::Settings3D KitAppBase::Get3DSettings() {
  return {mTest3D, mAutoEnable3D, mMinVidMemory3D, mRecommendedVidMemory3D};
}

void KitAppBase::Remove3DData(MemoryImage* image) {
  if (mDDInterface) mDDInterface->Remove3DData(image);
}

bool KitAppBase::RecoverBitsFrom3D(MemoryImage* image, std::uint32_t* bits) {
  return mDDInterface && mDDInterface->mD3DInterface->RecoverBits(image, bits);
}

void KitAppBase::Record3DRuntimeError(const std::string& text) { RegistryWriteString("Test3D\\RuntimeError", text); }

}  // namespace Kit
