#include "framework/app/KitAppBase.h"

#include <algorithm>
#include <ctime>

#include "framework/app/crash/CrashHandler.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/app/devtools/DebugOverlays.h"
#include "framework/graphics/SharedImageSet.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/resource/ResourceManager.h"
#include "framework/sound/MusicInterface.h"
#include "framework/sound/SoundManager.h"
#include "framework/util/StringUtil.h"
#include "framework/widget/Dialog.h"
#include "framework/widget/WidgetManager.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/files/FileReplace.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/process/Process.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Window.h"

namespace Kit {

KitAppBase* gKitApp = nullptr;

KitAppBase::KitAppBase() {
  gKitApp = this;
  mStringProperties = {
      {"DIALOG_BUTTON_OK", "OK"},
      {"DIALOG_BUTTON_CANCEL", "CANCEL"},
      {"UPDATE_CHECK_TITLE", "Update Check"},
      {"UPDATE_CHECK_BODY", "Checking if there are any updates available for this product ..."},
      {"UP_TO_DATE_TITLE", "Up to Date"},
      {"UP_TO_DATE_BODY", "There are no updates available for this product at this time."},
      {"NEW_VERSION_TITLE", "New Version"},
      {"NEW_VERSION_BODY",
       "There is an update available for this product.  Would you like to visit the web site to download it?"},
  };
  mVersionDll = LoadLibrary("version.dll");
  char executable[257] = {};
  GetModuleFileName(nullptr, executable, 256);
  mProductVersion = GetProductVersion(executable);
  ConstructServices();
  CrashHandler::mApp = this;
}

KitAppBase::~KitAppBase() {
  EndThreads();
  Confirm3DChoice();
  while (!mDialogList.empty()) {
    Dialog* dialog = mDialogList.front();
    mDialogList.pop_front();
    if (dialog->mParent != nullptr) dialog->mParent->RemoveWidget(dialog);
    delete dialog;
  }
  mDialogMap.clear();
  mWaitingWidgets.clear();
  mUpdateDepth = 0;
  ProcessSafeDeleteList();
  DestroyServices();
  if (mVersionDll != nullptr) FreeLibrary(mVersionDll);
  if (gKitApp == this) gKitApp = nullptr;
  if (CrashHandler::mApp == this) CrashHandler::mApp = nullptr;
}

Dialog* KitAppBase::NewDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                              const std::string& footer, int buttonMode) {
  Dialog* dialog = new Dialog(nullptr, nullptr, id, isModal, header, lines, footer, buttonMode);
  dialog->mDialogListener = this;
  return dialog;
}

void KitAppBase::BeginPopup() {
  if (mWindowedInUse) return;
  // A system window can only be seen over the desktop's own surface.
  if (mDDInterface != nullptr && mDDInterface->mDirectDraw != nullptr) mDDInterface->mDirectDraw->FlipToGDISurface();
  mPopupActive = true;
}

bool KitAppBase::Is3DAccelerated() { return mDDInterface != nullptr && mDDInterface->mIs3D; }

void KitAppBase::EndPopup() {
  if (!mWindowedInUse) mPopupActive = false;
  // The time the box was open is not owed to the game.
  ResetTiming(false);
  ClearKeyStates();
  if (mWidgetManager->mHeldButtons != 0) {
    mWidgetManager->ReleaseMouseButtons();
    ReleaseCapture();
  }
}

void KitAppBase::ClearKeyStates() {
  mWidgetManager->mKeyDownTable.fill(false);
  mCtrlDown = false;
  mAltDown = false;
}

int KitAppBase::MsgBox(const std::string& text, const std::string& caption, unsigned int flags) {
  if (mIsScreenSaver) {
    LogScreenSaverError(text);
    return IDOK;
  }
  BeginPopup();
  const int result = MessageBox(mHWnd, text.c_str(), caption.c_str(), flags);
  EndPopup();
  return result;
}

void KitAppBase::Popup(const std::string& text) { ShowProblem(text, "FATAL ERROR", MB_ICONERROR); }

void KitAppBase::Notice(const std::string& text) { ShowProblem(text, mTitle, MB_ICONWARNING); }

void KitAppBase::ShowProblem(const std::string& text, const std::string& caption, unsigned int icon) {
  if (mIsScreenSaver) {
    LogScreenSaverError(text);
    return;
  }
  BeginPopup();
  if (!mQuit) MessageBox(mHWnd, text.c_str(), caption.c_str(), icon);
  EndPopup();
}

void KitAppBase::LogScreenSaverError(const std::string& text) {
  // The first line of a run replaces the file's contents; later ones follow it.
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char clock[16];
  std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
  std::string log =
      mScreenSaverLog + StrFormat("%s %s %u\n", text.c_str(), clock, static_cast<unsigned>(GetTickCount()));
  // A line that could not be written is dropped, as an append that failed would drop it.
  if (plat::ReplaceFileContents(plat::MapPath("ScrError.txt"), log)) mScreenSaverLog = std::move(log);
}

void KitAppBase::SafeDeleteWidget(Widget* widget) {
  if (widget == nullptr) return;
  // Queuing a widget twice would delete it twice.
  for (const SafeDeleteRecord& record : mSafeDeleteList)
    if (record.mWidget == widget) return;
  mSafeDeleteList.push_back(SafeDeleteRecord{mUpdateDepth, widget});
}

void KitAppBase::ProcessSafeDeleteList() {
  // Taken out first: a destructor may queue further widgets.
  std::vector<Widget*> doomed;
  for (auto it = mSafeDeleteList.begin(); it != mSafeDeleteList.end();) {
    const bool waiting =
        std::find(mWaitingWidgets.begin(), mWaitingWidgets.end(), it->mWidget) != mWaitingWidgets.end();
    if (it->mUpdateDepth >= mUpdateDepth && !waiting) {
      doomed.push_back(it->mWidget);
      it = mSafeDeleteList.erase(it);
    } else {
      ++it;
    }
  }
  for (Widget* widget : doomed) {
    // A widget queued while still in the tree or the dialog registry leaves both first, so that
    // nothing keeps pointing at it.
    for (auto& [id, dialog] : mDialogMap) {
      if (static_cast<Widget*>(dialog) == widget) {
        UnregisterDialog(id);
        break;
      }
    }
    if (widget->mParent != nullptr) widget->mParent->RemoveWidget(widget);
    delete widget;
  }
}

void KitAppBase::BeginWait(Widget* widget) { mWaitingWidgets.push_back(widget); }

void KitAppBase::EndWait(Widget* widget) {
  auto it = std::find(mWaitingWidgets.rbegin(), mWaitingWidgets.rend(), widget);
  if (it == mWaitingWidgets.rend()) return;
  mWaitingWidgets.erase(std::next(it).base());
  // The wait's own queueing depth may be deeper than where the wait returns to.
  for (SafeDeleteRecord& record : mSafeDeleteList)
    if (record.mWidget == widget) record.mUpdateDepth = std::min(record.mUpdateDepth, mUpdateDepth);
}

Dialog* KitAppBase::DoDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                             const std::string& footer, int buttonMode) {
  KillDialog(id);
  Dialog* dialog = NewDialog(id, isModal, header, lines, footer, buttonMode);
  if (dialog == nullptr) return nullptr;
  dialog->mClosesOnButton = buttonMode == kButtonsFooter;
  AddDialog(id, dialog);
  return dialog;
}

Dialog* KitAppBase::GetDialog(int id) {
  auto it = mDialogMap.find(id);
  return it == mDialogMap.end() ? nullptr : it->second;
}

void KitAppBase::AddDialogOwnId(Dialog* dialog) { AddDialog(dialog->mId, dialog); }

void KitAppBase::AddDialog(int id, Dialog* dialog) {
  if (dialog == nullptr) return;
  // Registering the same dialog again must not queue it for deletion while it stays open.
  if (GetDialog(id) == dialog) return;
  KillDialog(id);
  if (dialog->mWidth == 0) {
    const int width = mWidth / 2;
    dialog->Resize((mWidth - width) / 2, mHeight / 5, width, dialog->GetPreferredHeight(width));
  }
  mDialogMap[id] = dialog;
  mDialogList.push_back(dialog);
  mWidgetManager->AddWidget(dialog);
  if (dialog->IsModal()) {
    mWidgetManager->AddBaseModalDefault(dialog);
    ModalOpen();
  }
}

bool KitAppBase::KillDialogOwnId(Dialog* dialog) { return dialog != nullptr && KillDialog(dialog->mId); }

bool KitAppBase::KillDialog(int id) {
  Dialog* dialog = GetDialog(id);
  if (dialog == nullptr) return false;
  if (dialog->mResult == -1) dialog->mResult = 0;
  UnregisterDialog(id);
  SafeDeleteWidget(dialog);
  return true;
}

void KitAppBase::UnregisterDialog(int id) {
  auto it = mDialogMap.find(id);
  if (it == mDialogMap.end()) return;
  Dialog* dialog = it->second;
  mDialogList.remove(dialog);
  mDialogMap.erase(it);
  mWidgetManager->RemoveWidget(dialog);
  if (dialog->IsModal()) {
    ModalClose();
    mWidgetManager->RemoveBaseModal(dialog);
  }
}

int KitAppBase::GetDialogCount() { return static_cast<int>(mDialogMap.size()); }

void KitAppBase::ModalOpen() {}

void KitAppBase::ModalClose() {}

void KitAppBase::DialogButtonPress(int dialogId, int buttonId) {
  if (buttonId == kIdYes)
    ButtonPress(dialogId + 2000);
  else if (buttonId == kIdNo)
    ButtonPress(dialogId + 3000);
}

void KitAppBase::DialogButtonDepress(int dialogId, int buttonId) {
  if (buttonId == kIdYes)
    ButtonDepress(dialogId + 2000);
  else if (buttonId == kIdNo)
    ButtonDepress(dialogId + 3000);
}

void KitAppBase::SetCursor(int cursorNumber) {
  mCursorNum = cursorNumber;
  EnforceCursor();
}

void KitAppBase::SetString(const std::string& name, const std::string& text) { mStringProperties[name] = text; }

std::string KitAppBase::GetString(const std::string& name, const std::string& defaultText) const {
  auto it = mStringProperties.find(name);
  return it == mStringProperties.end() ? defaultText : it->second;
}

}  // namespace Kit
