// The one way a full-screen screen of the game comes and goes, and the image buttons the screens put
// on themselves. A screen is opened for the application, stored in its GameApp pointer, sized to the
// application's area, added to the widget manager and given the focus; it leaves by removing itself
// (its buttons go with it, as the screen removes them when it leaves the manager), going to the
// application's safe-delete queue and clearing its pointer. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "framework/graphics/Rect.h"
#include "framework/widget/ButtonWidget.h"
#include "framework/widget/WidgetManager.h"
#include "game/play/GameApp.h"

namespace Kit {
class Image;
}

// Constructs the screen into its pointer, lets prepare run on it before it is sized and added (the level
// start loads its level there), then sizes, adds and focuses it. The application owns it while the
// pointer is set.
template <class Screen, class Prepare>
Screen* OpenScreen(GameApp* app, Screen*& slot, Prepare&& prepare) {
  slot = new Screen(app);
  Screen* screen = slot;
  prepare(screen);
  screen->Resize(0, 0, app->mWidth, app->mHeight);
  app->mWidgetManager->AddWidget(screen);
  app->mWidgetManager->SetFocus(screen);
  return screen;
}
template <class Screen>
Screen* OpenScreen(GameApp* app, Screen*& slot) {
  return OpenScreen(app, slot, [](Screen*) {});
}

// Takes the screen out of the manager (its buttons with it) and queues it for deletion once the tick
// has unwound; its pointer is cleared. A screen no longer held does nothing.
template <class Screen>
void CloseScreen(GameApp* app, Screen*& slot) {
  Screen* screen = slot;
  if (screen == nullptr) return;
  slot = nullptr;
  if (screen->mManager != nullptr) app->mWidgetManager->RemoveWidget(screen);
  app->SafeDeleteWidget(screen);
}

// The screens of the road into and out of a level, each opened as above.
void OpenSceneSelect(GameApp* app);
void OpenLevelStart(GameApp* app);
void OpenHelpScreen(GameApp* app);
// A new game from the main menu or the help screen: not custom, score 0, three lives.
void ResetForNewGame(GameApp* app);

// An image button of a screen: the normal, mouse-over and held-down images, the default font, the hand
// cursor, the screen as listener.
struct ImageButtonLook {
  int id;
  Kit::Rect place;
  Kit::Image* up;
  Kit::Image* over;
  Kit::Image* down;
};
std::unique_ptr<Kit::ButtonWidget> MakeImageButton(const ImageButtonLook& look, Kit::ButtonListener* listener);

// A screen's buttons: made when it joins the manager, removed with it, deleted with the screen.
class ScreenButtons {
 public:
  void Add(Kit::WidgetManager* manager, std::unique_ptr<Kit::ButtonWidget> button);
  void RemoveAll(Kit::WidgetManager* manager);
  // Active: shown and enabled; inactive: hidden and disabled. Nothing for a button not made yet.
  void SetActive(int id, bool active);
  void SetAllActive(bool active, int exceptId = -1);
  Kit::ButtonWidget* Find(int id) const;

 private:
  std::vector<std::unique_ptr<Kit::ButtonWidget>> mButtons;
};
