// Display options the game changes while it runs.
#include "framework/app/KitAppBase.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/widget/WidgetManager.h"

namespace Kit {

void KitAppBase::SetVideoOnlyDraw(bool videoOnlyDraw) {
  if (videoOnlyDraw == mVideoOnlyDraw) return;
  mVideoOnlyDraw = videoOnlyDraw;
  if (mDDInterface == nullptr) return;
  // The display makes a new screen image in the other kind of memory: the widgets draw into that
  // one from now on, all of them again.
  mDDInterface->SetVideoOnlyDraw(videoOnlyDraw);
  mWidgetManager->mImage = mDDInterface->GetScreenImage();
  mWidgetManager->MarkAllDirty();
}

}  // namespace Kit
