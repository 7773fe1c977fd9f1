// The crash windows, driven by their own message loop on the crashing thread, and the upload of the
// report as a multipart POST.
#include <cstdio>
#include <map>
#include <string>

#include "framework/app/KitAppBase.h"
#include "framework/app/crash/CrashHandler.h"
#include "framework/app/crash/HTTPTransfer.h"
#include "framework/util/Buffer.h"
#include "platform/Windows.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/crash/CrashWatchdog.h"
#include "platform/win/input/Cursor.h"
#include "platform/win/process/Process.h"
#include "platform/win/system/SystemInfo.h"
#include "platform/win/threads/Threads.h"

namespace Kit {

bool CrashHandler::mExitLoop = false;
int CrashHandler::mProgressTicks = 0;
HTTPTransfer CrashHandler::mUploadTransfer;

namespace {

constexpr DWORD kWindowStyle = 0x82CA0000;  // pop-up, clip children, caption, system menu, minimise box
constexpr DWORD kReadOnlyText = 0x50000804;
constexpr DWORD kReportText = 0x50A00804;
constexpr DWORD kUserText = 0x50A00004;
constexpr DWORD kStatusText = 0x50000800;
constexpr DWORD kButton = 0x50000001;
constexpr DWORD kDisabledButton = 0x58000001;
constexpr int kFirstButton = 1, kSecondButton = 2;
constexpr UINT_PTR kWatchdogBeat = 7;
constexpr UINT kWatchdogBeatMs = 1000;
const char* const kBoundary = "---------------------------7d3e1f30eec";

struct CrashWindowState {
  HWND firstButton = nullptr;
  HWND secondButton = nullptr;
  HWND userText = nullptr;
  HWND progressText = nullptr;
  HFONT tahoma8 = nullptr;
  HFONT tahoma10Bold = nullptr;
  HFONT arial9Bold = nullptr;
};
CrashWindowState gWindows;

HFONT Font(int points, int weight, const char* face) {
  return CreateFontA(-MulDiv(points, 96, 72), 0, 0, 0, weight, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

HWND MakeWindow(const char* className, WNDPROC proc, const char* title, int x, int y, int width, int height) {
  WNDCLASS windowClass{};
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = gHInstance;
  windowClass.hIcon = LoadIcon(nullptr, IDI_HAND);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = className;
  RegisterClass(&windowClass);
  RECT outer{0, 0, width, height};
  AdjustWindowRect(&outer, kWindowStyle, FALSE);
  return CreateWindowEx(0, className, title, kWindowStyle, x, y, outer.right - outer.left, outer.bottom - outer.top,
                        nullptr, nullptr, gHInstance, nullptr);
}

HWND MakeControl(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                 int id, HFONT font) {
  HWND control = CreateWindowEx(0, className, text, style, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(static_cast<LONG_PTR>(id)), gHInstance, nullptr);
  if (font != nullptr && !CrashHandler::mUseDefaultFonts)
    SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void StartUpload() {
  plat::StartThread([] { CrashHandler::SubmitReport(); }).detach();
}

// The error and the details windows answer alike: a close or their second button ends the crash
// windows' loop; their first button hides the window and `goOn` follows.
LRESULT AnswerTwoButtons(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void (*goOn)()) {
  plat::FeedCrashWatchdog();  // the windows answer: the crash path is alive
  if (message == WM_CLOSE) {
    CrashHandler::mExitLoop = true;
    return 0;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == kFirstButton) {
    ShowWindow(window, SW_HIDE);
    goOn();
  } else if (message == WM_COMMAND && LOWORD(wParam) == kSecondButton) {
    CrashHandler::mExitLoop = true;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

void AddPart(std::string& body, const std::string& header, const std::string& value) {
  body.append("--").append(kBoundary).append(header).append("\r\n").append(value).append("\r\n");
}

}  // namespace

void CrashHandler::ShowErrorWindow(const std::string& title, const std::string& report) {
  OSVERSIONINFO version{};
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionEx(&version);
  mUseDefaultFonts = version.dwPlatformId != VER_PLATFORM_WIN32_NT;
  gWindows.tahoma8 = Font(8, FW_NORMAL, "Tahoma");
  gWindows.tahoma10Bold = Font(10, FW_BOLD, "Tahoma");
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  mErrorTitle = title;
  mErrorText = report;

  HWND window = MakeWindow("SEHWindow", &ErrorWindowProc, "Fatal Error!", 64, 64, 400, 300);
  gWindows.arial9Bold = Font(9, FW_BOLD, "Arial");
  HFONT courier = Font(8, FW_NORMAL, "Courier New");
  const std::string heading =
      "An unexpected error has occured!" + (mCrashFileNote.empty() ? "" : "\r\n\r\n" + mCrashFileNote);
  MakeControl(window, "EDIT", heading.c_str(), kReadOnlyText, 8, 8, 384, 84, 0, gWindows.arial9Bold);
  MakeControl(window, "EDIT", report.c_str(), kReportText, 8, 92, 384, 168, 0, courier);
  const bool submit = mAllowSubmit && !mSubmitHost.empty();
  const int buttons = submit ? 2 : 1;
  const int width = ((49 - buttons) * 8) / buttons;
  gWindows.firstButton = submit
                             ? MakeControl(window, "BUTTON", "Send Report", mApp != nullptr ? kButton : kDisabledButton,
                                           8, 268, width, 24, kFirstButton, gWindows.arial9Bold)
                             : nullptr;
  gWindows.secondButton = MakeControl(window, "BUTTON", "Close Now", kButton, submit ? width + 16 : 8, 268, width, 24,
                                      kSecondButton, gWindows.arial9Bold);
  ShowWindow(window, SW_SHOWNORMAL);
  // While the user reads, a beat keeps the crash watchdog fed.
  SetTimer(window, kWatchdogBeat, kWatchdogBeatMs, nullptr);

  {
    // While it waits for the user, a termination request ends the process (SDL would only queue it).
    const plat::ScopedTerminationEndsProcess terminationEnds;
    MSG msg;
    while (!mExitLoop && GetMessage(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  DestroyWindow(window);
  for (HFONT font : {gWindows.tahoma8, gWindows.tahoma10Bold, gWindows.arial9Bold, courier}) DeleteObject(font);
}

LRESULT CrashHandler::ErrorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return AnswerTwoButtons(window, message, wParam, lParam, &ShowSubmitInfoWindow);
}

void CrashHandler::ShowSubmitInfoWindow() {
  HWND window = MakeWindow("SubmitInfoWindow", &SubmitInfoWindowProc, "Error Details", 80, 80, 400, 300);
  MakeControl(window, "EDIT", "Please help out by providing as much information as you can about this crash.",
              kReadOnlyText, 8, 8, 384, 84, 0, gWindows.arial9Bold);
  gWindows.userText = MakeControl(window, "EDIT", "", kUserText, 8, 92, 384, 168, 0, gWindows.tahoma8);
  gWindows.firstButton = MakeControl(window, "BUTTON", "Continue", mApp != nullptr ? kButton : kDisabledButton, 8, 268,
                                     188, 24, kFirstButton, gWindows.arial9Bold);
  gWindows.secondButton =
      MakeControl(window, "BUTTON", "Abort", kButton, 204, 268, 188, 24, kSecondButton, gWindows.arial9Bold);
  SetFocus(gWindows.userText);
  ShowWindow(window, SW_SHOWNORMAL);
}

LRESULT CrashHandler::SubmitInfoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return AnswerTwoButtons(window, message, wParam, lParam, [] {
    char text[8192] = {};
    GetWindowText(gWindows.userText, text, sizeof(text));
    mUserText = text;
    ShowProgressWindow();
    StartUpload();
  });
}

void CrashHandler::ShowProgressWindow() {
  HWND window = MakeWindow("SEHProgressWindow", &ProgressWindowProc, "Submitting Report", 64, 64, 240, 64);
  SetTimer(window, 0, 20, nullptr);
  SetTimer(window, 1, 1000, nullptr);
  gWindows.progressText =
      MakeControl(window, "EDIT", "Please Wait", kStatusText, 24, 10, 224, 24, 0, gWindows.tahoma10Bold);
  gWindows.secondButton =
      MakeControl(window, "BUTTON", "Abort", kButton, 72, 36, 96, 22, kSecondButton, gWindows.tahoma8);
  ShowWindow(window, SW_SHOWNORMAL);
}

LRESULT CrashHandler::ProgressWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  plat::FeedCrashWatchdog();  // the windows answer: the crash path is alive
  if (message == WM_CLOSE) {
    mUploadTransfer.Abort();
    return 0;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == kSecondButton) mUploadTransfer.Abort();
  if (message == WM_TIMER && wParam == 0) {
    const int result = mUploadTransfer.GetResultCode();
    if (result == HTTPTransfer::RESULT_DONE || result == HTTPTransfer::RESULT_ABORTED) {
      mExitLoop = true;
    } else if (result != HTTPTransfer::RESULT_IDLE && result != HTTPTransfer::RESULT_PENDING) {
      mUploadTransfer.Reset();
      plat::HoldCrashWatchdog();  // the box waits for the user in a loop of its own
      const int answer = MessageBox(window, "Failed to connect to server.", "Connection Failed", MB_RETRYCANCEL);
      plat::FeedCrashWatchdog();
      if (answer == IDRETRY) {
        StartUpload();
        return 0;
      }
      mExitLoop = true;
    }
  }
  if (message == WM_TIMER && wParam == 1) {
    ++mProgressTicks;
    std::string text = "Please Wait";
    for (int dot = 0; dot < mProgressTicks % 10; ++dot) text += " .";
    SetWindowText(gWindows.progressText, text.c_str());
  }
  return DefWindowProc(window, message, wParam, lParam);
}

std::string CrashHandler::MakeUploadRequest() {
  std::string body;
  std::map<std::string, std::string> fields;
  if (mApp != nullptr) mApp->AddCrashReportFields(fields);
  for (const auto& [name, value] : fields)
    AddPart(body, "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n", value);
  AddPart(body, "\r\nContent-Disposition: form-data; name=\"prod\"\r\n", mApp != nullptr ? mApp->mProdName : "");
  AddPart(body, "\r\nContent-Disposition: form-data; name=\"version\"\r\n",
          mApp != nullptr ? mApp->mProductVersion : "");
  AddPart(body, "\r\nContent-Disposition: form-data; name=\"usertext\"\r\n", mUserText);
  AddPart(body, "\r\nContent-Disposition: form-data; name=\"errortitle\"\r\n", mErrorTitle);
  AddPart(body, "\r\nContent-Disposition: form-data; name=\"errortext\"\r\n", mErrorText);
  if (mHasDemoFile) {
    Buffer demo;
    if (mApp != nullptr) mApp->ReadBufferFromFile(mCrashDemoFile, &demo, true);
    AddPart(body,
            "\r\nContent-Disposition: form-data; name=\"demofile\"; filename=\"tessil.dmo\"\r\n"
            "Content-Type: application/octet-stream\r\n",
            std::string(reinterpret_cast<const char*>(demo.GetDataPtr()), static_cast<std::size_t>(demo.GetDataLen())));
  }
  body.append("--").append(kBoundary).append("--\r\n");

  // The Host header names the server (and its port when not 80), never the whole URL.
  std::string protocol, host, path;
  int port = 80;
  HTTPTransfer::SplitURL(mSubmitHost, &protocol, &host, &port, &path);
  if (port != 80) host += ":" + std::to_string(port);
  std::string request = "POST /plenar_error.php HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=";
  request.append(kBoundary).append("\r\nUser-Agent: Mozilla/4.0 (compatible; tessil)\r\nHost: ").append(host);
  request.append("\r\nContent-Length: ").append(std::to_string(body.size()));
  request.append("\r\nConnection: close\r\n\r\n").append(body);
  return request;
}

void CrashHandler::SubmitReport() { mUploadTransfer.SendRequest(mSubmitHost, MakeUploadRequest()); }

}  // namespace Kit
