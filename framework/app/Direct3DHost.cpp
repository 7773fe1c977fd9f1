// The application's side of the Direct3D path: the verdict of the display's self-test, the settings
// the test runs with, and the textures and failures of the path.
#include "framework/app/KitAppBase.h"
#include "framework/graphics/display/DDInterface.h"
#include "platform/ui/dialogs/MessageBox.h"

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

void KitAppBase::TakeStored3DChoice() {
  bool stored = false;
  if (!RegistryReadBoolean("Is3D", &stored)) return;
  mDDInterface->mIs3D = stored;
  if (mAutoEnable3D && stored) mTest3D = true;
}

void KitAppBase::Confirm3DChoice() {
  if (!mDDInterface) return;
  const std::string caption = mFullCompanyName + " Hardware Acceleration Confirmation";
  if (mChanged3DSetting) {
    bool stored = false;
    if (RegistryReadBoolean("Is3D", &stored) || Is3DAccelerationRecommended()) {
      RegistryWriteBoolean("Is3D", mDDInterface->mIs3D);
    } else if (mDDInterface->mIs3D) {
      const bool keep = MessageBox(nullptr,
                                   "Hardware Acceleration was switched on during this session.\r\nIf this resulted in "
                                   "slower performance, it should be switched off.\r\nWould you like to keep Hardware "
                                   "Acceleration switched on?",
                                   caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
      mDDInterface->mIs3D = keep;
      if (keep) RegistryWriteBoolean("Is3D", true);
      return;
    }
  }
  if (mDDInterface->Had3DProblems() && !mIsScreenSaver &&
      MessageBox(nullptr,
                 "Hardware Acceleration may not have been working correctly during this session.\r\nIf you noticed "
                 "graphics problems, you may want to turn off Hardware Acceleration.\r\nWould you like to keep "
                 "Hardware Acceleration switched on?",
                 caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDNO)
    RegistryWriteBoolean("Is3D", false);
}

void KitAppBase::Record3DRuntimeError(const std::string& text) { RegistryWriteString("Test3D\\RuntimeError", text); }

}  // namespace Kit
