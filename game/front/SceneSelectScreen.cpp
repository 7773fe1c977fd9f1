#include "game/front/SceneSelectScreen.h"

#include <algorithm>
#include <string>

#include "framework/font/Font.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/widget/Dialog.h"
#include "game/front/DialogStyle.h"
#include "game/front/MessageDialogs.h"
#include "game/front/ProfileStore.h"
#include "game/play/EmitterSet.h"
#include "game/play/GameApp.h"
#include "game/play/LevelHud.h"
#include "game/play/ResourceIds.h"

namespace {

constexpr int kSceneButtonWidth = 180;
constexpr int kSceneButtonHeight = 106;
// The scene buttons' places: four in a row, the last two centred in the third row.
constexpr int kSceneButtonX[] = {11, 211, 411, 611, 11, 211, 411, 611, 211, 411};
constexpr int kSceneButtonY[] = {62, 62, 62, 62, 263, 263, 263, 263, 462, 462};
constexpr int kSceneTextX = 218;
const Kit::Color kProgressColor(216, 228, 253);
// A saved game at this level is a finished scene: its score is kept, nothing is offered.
constexpr int kSavedSceneFinished = 10;

// Each scene's button images, by scene index (the globals are bound once the game has loaded).
Kit::Image* const* const kSceneUp[] = {
    &IMAGE_BTN_SCENE1_UP, &IMAGE_BTN_SCENE2_UP, &IMAGE_BTN_SCENE3_UP, &IMAGE_BTN_SCENE4_UP, &IMAGE_BTN_SCENE5_UP,
    &IMAGE_BTN_SCENE6_UP, &IMAGE_BTN_SCENE7_UP, &IMAGE_BTN_SCENE8_UP, &IMAGE_BTN_SCENE9_UP, &IMAGE_BTN_SCENE10_UP};
Kit::Image* const* const kSceneOver[] = {&IMAGE_BTN_SCENE1_OVER, &IMAGE_BTN_SCENE2_OVER, &IMAGE_BTN_SCENE3_OVER,
                                         &IMAGE_BTN_SCENE4_OVER, &IMAGE_BTN_SCENE5_OVER, &IMAGE_BTN_SCENE6_OVER,
                                         &IMAGE_BTN_SCENE7_OVER, &IMAGE_BTN_SCENE8_OVER, &IMAGE_BTN_SCENE9_OVER,
                                         &IMAGE_BTN_SCENE10_OVER};

}  // namespace

void SceneSelectScreen::AddedToManager(Kit::WidgetManager* manager) {
  Kit::Widget::AddedToManager(manager);
  for (int id = kFirstSceneButton; id <= kLastSceneButton; ++id) {
    Kit::Image* over = *kSceneOver[id];
    mButtons.Add(manager,
                 MakeImageButton({id,
                                  {kSceneButtonX[id], kSceneButtonY[id], kSceneButtonWidth, kSceneButtonHeight},
                                  *kSceneUp[id],
                                  over,
                                  over},
                                 this));
  }
  mButtons.Add(
      manager,
      MakeImageButton({kBackButton, {705, 570, 78, 24}, IMAGE_BTN_BACK_UP, IMAGE_BTN_BACK_OVER, IMAGE_BTN_BACK_OVER},
                      this));
  SetBackButtonActive(false);
  SetSceneButtonsActive(false);
}

void SceneSelectScreen::RemovedFromManager(Kit::WidgetManager* manager) {
  Kit::Widget::RemovedFromManager(manager);
  mButtons.RemoveAll(manager);
}

void SceneSelectScreen::SetReturnMode(int mode) {
  if (mode != kAfterFinishedScene) return;
  mAfterFinishedScene = true;
  mApp->PlaySample(SOUND_FINISHED);
}

void SceneSelectScreen::StartScene(int scene) {
  mApp->mScene = scene;
  mApp->mLevel = 1;
}

void SceneSelectScreen::SetSceneButtonsActive(bool active) { mButtons.SetAllActive(active, kBackButton); }

void SceneSelectScreen::SetBackButtonActive(bool active) { mButtons.SetActive(kBackButton, active); }

void SceneSelectScreen::Update() {
  Kit::Widget::Update();
  gEmitterSet.Update();
  switch (mState) {
    case kSlidingIn:
      SlideIn();
      break;
    case kSlidingOutBack:
      if (SlideOut()) mState = kLeavingForMenu;
      break;
    case kLeavingForMenu:
      mState = kLeftForMenu;
      RemoveAll();
      return;
    case kSlidingOutToLevel:
      if (SlideOut()) mState = kLeavingForLevel;
      break;
    case kLeavingForLevel:
      mState = kLeftForLevel;
      OpenLevelStart(mApp);
      RemoveAll();
      return;
    default:
      break;
  }
  MarkDirty();
}

// 30 ticks for the panel; the arrow stops at its place after 28 and waits.
void SceneSelectScreen::SlideIn() {
  mBackArrowX = std::max(mBackArrowX - kArrowStepPx, kArrowShownX);
  mPanelY += kPanelStepPx;
  if (mPanelY != 0.0f) return;
  ShowSceneFinished();
  mState = kWaiting;
  SetBackButtonActive(true);
  SetSceneButtonsActive(true);
  OfferContinue();
}

bool SceneSelectScreen::SlideOut() {
  mBackArrowX = std::min(mBackArrowX + kArrowStepPx, kArrowHiddenX);
  mPanelY -= kPanelStepPx;
  return mPanelY == kPanelHiddenY;
}

void SceneSelectScreen::ShowSceneFinished() {
  if (!mAfterFinishedScene) return;
  mState = kCongratulating;
  const std::string text = "You have finished this scene.";
  auto* dialog = new Kit::Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kMessageDialogId, true, "Congratulations", text,
                                 "Ok", Kit::kButtonsFooter);
  DialogStyle::Apply(dialog, Kit::Insets(23, 8, 23, 20), 25, {FONT_ARIAL13, FONT_ARIAL12, FONT_ARIAL13});
  dialog->SetColor(2, DialogStyle::kPaleBlue);
  // The box grows by one line of the header font for every 254 pixels of text.
  const int textHeight = FONT_ARIAL13->StringWidth(text) / 254 * FONT_ARIAL13->GetHeight();
  dialog->Resize(250, 225 - textHeight / 2, 300, textHeight + 150);
  mApp->AddDialog(kMessageDialogId, dialog);  // the application owns it; the wait closes it
  dialog->WaitForResult(true);
}

void SceneSelectScreen::OfferContinue() {
  const PlayerProfile* player = gProfileStore.mCurrentProfile;
  if (mAfterFinishedScene || player == nullptr || !player->HasSavedGame()) return;
  const int savedLevel = player->mSavedLevel;
  if (savedLevel == kSavedSceneFinished) {
    mApp->mScore = player->mSavedScore;
    return;
  }
  if (!ShowConfirmDialog(mApp, 0, "Do you want to continue your last game ?", mApp->mWidth, mApp->mHeight)) return;
  mState = kSlidingOutToLevel;
  SetBackButtonActive(false);
  SetSceneButtonsActive(false);
  mApp->mScene = player->mSavedScene;
  mApp->mLevel = savedLevel + 1;
  mApp->mScore = player->mSavedScore;
  mApp->mLives = player->mSavedLives;
}

void SceneSelectScreen::ButtonDepress(int id) {
  mApp->PlaySample(SOUND_BTNSLIDE);
  SetBackButtonActive(false);
  SetSceneButtonsActive(false);
  if (id == kBackButton) {
    mState = kSlidingOutBack;
    return;
  }
  mState = kSlidingOutToLevel;
  StartScene(id + 1);
}

void SceneSelectScreen::RemoveAll() { CloseScreen(mApp, mApp->mSceneSelectScreen); }

void SceneSelectScreen::Draw(Kit::Graphics* g) {
  g->SetColor(Kit::Color::Black);
  g->FillRect(0, 0, mWidth, mHeight);
  g->DrawImage(IMAGE_BACK, 0, 0);
  gEmitterSet.Draw(g);
  g->DrawImage(IMAGE_SELECTSCENE, static_cast<int>(mPanelX), static_cast<int>(mPanelY));
  g->DrawImage(IMAGE_PREV, static_cast<int>(mBackArrowX), static_cast<int>(mBackArrowY));
  g->DrawImage(IMAGE_HINTBAR, 0, 0);
  g->DrawImage(IMAGE_SCENETEXT, kSceneTextX, 0);
  if (mState == kCongratulating || mState == kWaiting) DrawProgress(g);
}

// Under each scene: the levels done out of ten, and a bar when all ten are.
void SceneSelectScreen::DrawProgress(Kit::Graphics* g) {
  const PlayerProfile* player = gProfileStore.mCurrentProfile;
  if (player == nullptr) return;
  const std::string& progress = player->mProgress;
  g->SetFont(FONT_LEVELTEXT);
  g->SetColor(kProgressColor);
  for (int i = 0; i < kSceneCount; ++i) {
    const int column = i % 4, row = i / 4;
    const int shiftX = i >= 8 ? 200 : 0;
    const int shiftY = i >= 4 && i <= 7 ? 1 : 0;
    // A progress string cut short by a damaged file counts the missing scenes as not begun.
    const std::size_t at = static_cast<std::size_t>(i);
    const int done = (at < progress.size() ? progress[at] : kNoLevelDone) - '0';
    if (done == 10) g->DrawImage(IMAGE_HIBAR, column * 200 + 9 + shiftX, row * 200 + 173 + shiftY);
    const std::string text = FormatIntDecimal(done) + "/10";
    g->DrawString(text, column * 200 + 110 + shiftX - FONT_LEVELTEXT->StringWidth(text) / 2, row * 200 + 190 + shiftY);
  }
}
