#include "platform/ui/dialogs/MessageBox.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/ui/dialogs/PaintedMessageBox.h"
#include "platform/win/process/ForkedChildren.h"
#include "platform/win/process/Process.h"
#include "platform/win/system/CodePage.h"
#include "platform/win/window/SdlWindow.h"
#include "platform/win/window/WindowTable.h"

namespace plat {
namespace {

std::atomic<bool> gPaintedOnly{false};

struct Script {
  std::mutex lock;
  bool active = false;
  std::deque<int> answers;
  std::vector<ShownMessageBox> shown;
};

Script& TheScript() {
  static Script script;
  return script;
}

const char* ButtonText(int id) {
  switch (id) {
    case IDOK:
      return "OK";
    case IDCANCEL:
      return "Cancel";
    case IDABORT:
      return "Abort";
    case IDRETRY:
      return "Retry";
    case IDIGNORE:
      return "Ignore";
    case IDYES:
      return "Yes";
    case IDNO:
      return "No";
    default:
      return "?";
  }
}

bool HasDisplay() {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (driver && std::strcmp(driver, "dummy") == 0) return false;
  return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// Closing the box or Escape: Cancel where there is one, No for a yes-or-no question, else the
// default (the only button of a box that just informs).
int CloseAnswer(UINT type) {
  std::vector<int> ids = MessageBoxButtons(type);
  if (std::find(ids.begin(), ids.end(), IDCANCEL) != ids.end()) return IDCANCEL;
  if (std::find(ids.begin(), ids.end(), IDNO) != ids.end()) return IDNO;
  return DefaultMessageBoxAnswer(type);
}

std::optional<int> ShowPainted(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  std::vector<MessageBoxButton> buttons;
  for (int id : MessageBoxButtons(type)) buttons.push_back({id, ButtonText(id)});
  return ShowPaintedMessageBox(owner, text, caption, buttons, CloseAnswer(type));
}

// The window the box stays above, as an owned box does on Windows: its owner's, or the main window's
// for a box without one. SDL's child that shows the box makes it transient for that window's X
// window, so that a click on the waiting program, which does not repaint, cannot raise it over the
// box. Not a hidden or minimised window, which the box would be hidden with; only on the main thread,
// which the box keeps waiting, so that the window stays while SDL reads it.
SDL_Window* WindowToStayAbove(HWND owner) {
  if (!IsMainThread()) return nullptr;
  SDL_Window* sdl = owner ? SdlWindowOf(WindowTable::Instance().TopLevelOf(owner)) : nullptr;
  if (!sdl) sdl = SdlWindowOf(WindowTable::Instance().SdlBacked());
  if (!sdl) return nullptr;
  const Uint32 flags = SDL_GetWindowFlags(sdl);
  return (flags & SDL_WINDOW_SHOWN) && !(flags & SDL_WINDOW_MINIMIZED) ? sdl : nullptr;
}

std::optional<int> ShowWithSdl(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  std::vector<int> ids = MessageBoxButtons(type);
  int defaultId = DefaultMessageBoxAnswer(type);
  std::vector<SDL_MessageBoxButtonData> buttons;
  for (int id : ids) {
    Uint32 flags = 0;
    if (id == defaultId) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (id == CloseAnswer(type)) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    buttons.push_back({flags, id, ButtonText(id)});
  }
  Uint32 icon = SDL_MESSAGEBOX_INFORMATION;
  switch (type & 0xF0) {
    case MB_ICONERROR:
      icon = SDL_MESSAGEBOX_ERROR;
      break;
    case MB_ICONWARNING:
      icon = SDL_MESSAGEBOX_WARNING;
      break;
    default:
      break;
  }
  std::string utf8Text = Cp1252ToUtf8(text);
  std::string utf8Caption = Cp1252ToUtf8(caption);
  SDL_Window* above = WindowToStayAbove(owner);
  SDL_MessageBoxData data{
      icon, above, utf8Caption.c_str(), utf8Text.c_str(), static_cast<int>(buttons.size()), buttons.data(), nullptr};
  int answer = 0;
  if (SDL_ShowMessageBox(&data, &answer) != 0) return std::nullopt;
  return answer < 0 ? CloseAnswer(type) : answer;
}

}  // namespace

std::vector<int> MessageBoxButtons(UINT type) {
  switch (type & 0xF) {
    case MB_OKCANCEL:
      return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
      return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
      return {IDYES, IDNO};
    case MB_RETRYCANCEL:
      return {IDRETRY, IDCANCEL};
    default:
      return {IDOK};
  }
}

int DefaultMessageBoxAnswer(UINT type) {
  return MessageBoxButtons(type).front();  // the program never moves the default off the first button
}

ScopedMessageBoxScript::ScopedMessageBoxScript(std::vector<int> answers) {
  Script& script = TheScript();
  std::lock_guard guard(script.lock);
  script.active = true;
  script.answers.assign(answers.begin(), answers.end());
  script.shown.clear();
}

ScopedMessageBoxScript::~ScopedMessageBoxScript() {
  Script& script = TheScript();
  std::lock_guard guard(script.lock);
  script.active = false;
  script.answers.clear();
  script.shown.clear();
}

bool SetPaintedMessageBoxesOnly(bool paintedOnly) { return gPaintedOnly.exchange(paintedOnly); }

std::vector<ShownMessageBox> ScopedMessageBoxScript::Shown() const {
  Script& script = TheScript();
  std::lock_guard guard(script.lock);
  return script.shown;
}

}  // namespace plat

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  std::string body = text ? text : "";
  std::string title = caption ? caption : "Error";
  {
    plat::Script& script = plat::TheScript();
    std::lock_guard guard(script.lock);
    if (script.active) {
      int answer = plat::DefaultMessageBoxAnswer(type);
      if (!script.answers.empty()) {
        answer = script.answers.front();
        script.answers.pop_front();
      }
      script.shown.push_back({owner, body, title, type, answer});
      return answer;
    }
  }
  const bool paintedOnly = plat::gPaintedOnly;
  if (plat::HasDisplay() || paintedOnly) {
    // While a box waits on the user, a termination request ends the program (SDL would only queue it,
    // and the box would keep the program alive), and a child that shows the box (SDL's on X11 is a
    // forked one) ends with the program: a box of a program that has gone would be a lie.
    const plat::ScopedTerminationEndsProcess terminationEnds;
    const plat::ScopedForkedChildrenEndWithProcess boxEndsWithProgram;
    if (!paintedOnly) {
      if (auto answer = plat::ShowWithSdl(owner, body, title, type)) return *answer;
    }
    if (auto answer = plat::ShowPainted(owner, body, title, type)) return *answer;
  }
  std::fprintf(stderr, "[%s] %s\n", plat::Cp1252ToUtf8(title).c_str(), plat::Cp1252ToUtf8(body).c_str());
  return plat::DefaultMessageBoxAnswer(type);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) { return MessageBox(owner, text, caption, type); }
