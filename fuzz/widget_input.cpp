// Drives the widget manager with arbitrary input: mouse moves, presses and releases of every button
// and click count, the wheel, keys, focus changes of the window, and handlers that open, close, hide,
// disable, reorder and remove widgets and dialogs from inside the events, with nested modal waits.
// Whatever the order, nothing may touch a widget after it was deleted.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widget/ButtonWidget.h"
#include "framework/widget/Checkbox.h"
#include "framework/widget/Dialog.h"
#include "framework/widget/WidgetManager.h"

namespace {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  bool AtEnd() const { return mPos >= mSize; }
  int Byte() { return mPos < mSize ? mData[mPos++] : 0; }
  int Coordinate() { return (Byte() * 4) - 100; }

 private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

class FuzzApp : public Kit::KitAppBase {
 public:
  explicit FuzzApp(Input* input) : mInput(input) {
    mWidth = 800;
    mHeight = 600;
    mWidgetManager->Resize(800, 600);
    mScreen.Create(800, 600);
    mWidgetManager->mImage = &mScreen;
    for (int i = 0; i < 6; ++i) {
      auto button = std::make_unique<Kit::ButtonWidget>(i, static_cast<Kit::ButtonListener*>(this));
      button->Resize((i % 3) * 250, (i / 3) * 250, 200, 200);
      button->mWantsFocus = i % 2 == 0;
      mButtons.push_back(std::move(button));
    }
    mPanel.Resize(100, 100, 500, 300);
    mCheckbox.Resize(10, 10, 30, 30);
    mPanel.AddWidget(&mCheckbox);
    mWidgetManager->AddWidget(&mPanel);
    for (auto& button : mButtons) mWidgetManager->AddWidget(button.get());
    mButtons[0]->mTabNext = mButtons[2].get();
    mButtons[2]->mTabPrevious = mButtons[0].get();
  }
  ~FuzzApp() override {
    while (!mDialogList.empty()) KillDialog(mDialogList.front()->mId);
    mWidgetManager->RemoveAllWidgets(false, true);
    mUpdateDepth = 0;
    ProcessSafeDeleteList();
  }

  // Queued input: one event per record.
  bool ProcessDeferredMessages() override {
    if (mInput->AtEnd() || ++mEvents > 4000) {
      mLeaveNestedLoops = true;
      return false;
    }
    RunOneEvent();
    return true;
  }

  void RunOneEvent() {
    Kit::WidgetManager& m = *mWidgetManager;
    static const int kClickCounts[] = {1, 2, -1, -2, 3};
    switch (mInput->Byte() % 12) {
      case 0:
        m.MouseMoveEntry(mInput->Coordinate(), mInput->Coordinate());
        break;
      case 1:
        m.MouseDown(mInput->Coordinate(), mInput->Coordinate(), kClickCounts[mInput->Byte() % 5]);
        break;
      case 2:
        m.MouseUp(mInput->Coordinate(), mInput->Coordinate(), kClickCounts[mInput->Byte() % 5]);
        break;
      case 3:
        m.MouseWheel(mInput->Byte() - 128);
        break;
      case 4:
        m.KeyDown(mInput->Byte() - 10);
        break;
      case 5:
        m.KeyUp(mInput->Byte() - 10);
        break;
      case 6:
        m.KeyChar(static_cast<char>(mInput->Byte()));
        break;
      case 7:
        (mInput->Byte() & 1) ? m.LostFocus() : m.GotFocus();
        break;
      case 8:
        m.MouseExit(0, 0);
        break;
      case 9:
        m.UpdateFrame();
        break;
      case 10:
        m.DrawScreen();
        break;
      default:
        Mutate(mInput->Byte());
        break;
    }
  }

  void Mutate(int what) {
    Kit::ButtonWidget* button = mButtons[what % mButtons.size()].get();
    switch ((what / 8) % 8) {
      case 0:
        button->SetVisible(!button->mVisible);
        break;
      case 1:
        button->SetDisabled(!button->mDisabled);
        break;
      case 2:
        if (button->mParent != nullptr)
          button->mParent->RemoveWidget(button);
        else
          mWidgetManager->AddWidget(button);
        break;
      case 3:
        mWidgetManager->PutInFront(button, nullptr);
        break;
      case 4:
        DoDialog(what % 3, (what & 1) != 0, "Header", "Body", "Footer", what % 4);
        break;
      case 5:
        KillDialog(what % 3);
        break;
      case 6:
        button->Move(mInput->Coordinate(), mInput->Coordinate());
        break;
      default:
        if (mDepth < 3) {
          if (Kit::Dialog* dialog = GetDialog(what % 3)) {
            ++mDepth;
            dialog->WaitForResult((what & 1) != 0);
            --mDepth;
          }
        }
        break;
    }
  }

  // Handlers act on the tree while the manager is inside the event.
  void ButtonDepress(int id) override {
    if (id >= 2000) {
      KillDialog((id - 2000) % 1000);
      return;
    }
    Mutate(mInput->Byte());
  }
  void ButtonPress(int id) override {
    if (id < 2000 && (id & 1)) Mutate(mInput->Byte());
  }

 private:
  Input* mInput;
  Kit::MemoryImage mScreen;
  std::vector<std::unique_ptr<Kit::ButtonWidget>> mButtons;
  Kit::Widget mPanel;
  Kit::Checkbox mCheckbox{nullptr, nullptr, 1, nullptr};
  int mEvents = 0;
  int mDepth = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input(data, size);
  FuzzApp app(&input);
  while (app.UpdateAppStep(nullptr)) {
  }
  return 0;
}
