#include "game/front/LoadingScreen.h"

#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widget/WidgetManager.h"
#include "game/play/GameApp.h"
#include "game/play/ResourceIds.h"

void LoadingScreen::Update() {
  Widget::Update();
  const int completed = mApp->mCompletedLoadingThreadTasks;
  if (completed == mShownTasks) return;
  mShownTasks = completed;
  MarkDirty();
}

void LoadingScreen::Draw(Kit::Graphics* g) {
  g->SetColor(Kit::Color::Black);
  g->FillRect(0, 0, mWidth, mHeight);
  g->DrawImage(IMAGE_LOADER_LOGO, 0, 0);
  const int barWidth = static_cast<int>(mApp->GetLoadingThreadProgress() * IMAGE_LOADER_BAR->GetWidth());
  if (barWidth > 0)
    g->DrawImageSrc(IMAGE_LOADER_BAR, kBarX, kBarY, Kit::Rect(0, 0, barWidth, IMAGE_LOADER_BAR->GetHeight()));
}

void LoadingScreen::OnLoadingDone() {
  mApp->mWidgetManager->RemoveWidget(this);
  mApp->SafeDeleteWidget(this);
  mApp->LoadGameData();
}
