#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>

#include "framework/app/KitAppBase.h"
#include "platform/win/Windows.h"
#include "tests/support/PollUntil.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempDir.h"

namespace {

// The application copies both the code-page and the wide form.
TEST(ClipboardTest, TextRoundTripsInBothForms) {
  Kit::KitAppBase().CopyToClipboard("Caf\xE9 \x80 5");
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE narrow = GetClipboardData(CF_TEXT);
  ASSERT_NE(narrow, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(narrow)), "Caf\xE9 \x80 5");
  GlobalUnlock(narrow);
  HANDLE wide = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(wide, nullptr);
  const auto* units = static_cast<const WCHAR*>(GlobalLock(wide));
  EXPECT_EQ(units[3], 0x00E9);
  EXPECT_EQ(units[5], 0x20AC);
  GlobalUnlock(wide);
  EXPECT_TRUE(CloseClipboard());
}

// The screen saver's password check and the crash window's fonts take the NT branch.
TEST(SystemInfoTest, TheVersionIsNt) {
  OSVERSIONINFO version{};
  version.dwOSVersionInfoSize = sizeof(version);
  ASSERT_TRUE(GetVersionEx(&version));
  EXPECT_EQ(version.dwPlatformId, VER_PLATFORM_WIN32_NT);
}

TEST(SystemInfoTest, LastInputInfoIsFoundInUser32AndFollowsTheClock) {
  plat::FakeClock clock(5'000'000);
  plat::ScopedClock scoped(clock);
  HMODULE user32 = LoadLibrary("user32.dll");
  ASSERT_NE(user32, nullptr);
  auto lastInput = reinterpret_cast<BOOL (*)(LASTINPUTINFO*)>(GetProcAddress(user32, "GetLastInputInfo"));
  ASSERT_NE(lastInput, nullptr);
  plat::NoteUserInput();
  clock.AdvanceMillis(1500);
  LASTINPUTINFO info{sizeof(info), 0};
  ASSERT_TRUE(lastInput(&info));
  EXPECT_EQ(GetTickCount() - info.dwTime, 1500u);
  FreeLibrary(user32);
}

UINT gNotify = 0;
std::atomic<int> gNotified{0};

LRESULT CALLBACK NotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == gNotify) ++gNotified;
  return DefWindowProc(window, message, wParam, lParam);
}

TEST(SingleInstanceTest, SecondCopyFindsTheLockAndNotifiesTheFirst) {
  testsupport::TempDir scope;
  const testsupport::ScopedInstanceScope inScope(scope.Path().string());
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t first = fork();
  ASSERT_GE(first, 0);
  if (first == 0) {
    // The first copy: holds the lock, owns a window and waits for the notification.
    gNotify = RegisterWindowMessage("ProductNotify");
    HANDLE lock = CreateMutex(nullptr, TRUE, "ProductMutex");
    if (GetLastError() == ERROR_ALREADY_EXISTS) _exit(3);
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = NotifyProc;
    windowClass.lpszClassName = "NotifyTarget";
    RegisterClass(&windowClass);
    HWND window = CreateWindowEx(0, "NotifyTarget", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!window) _exit(4);
    if (write(ready[1], "r", 1) != 1) _exit(5);
    testsupport::PollUntil([] { return gNotified > 0; },
                           [] {
                             MSG msg;
                             while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
                             testsupport::PauseBriefly();
                           });
    CloseHandle(lock);
    _exit(gNotified == 1 ? 0 : 6);
  }
  char signal;
  ASSERT_EQ(read(ready[0], &signal, 1), 1);
  HANDLE second = CreateMutex(nullptr, TRUE, "ProductMutex");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  PostMessage(HWND_BROADCAST, RegisterWindowMessage("ProductNotify"), 0, 0);
  int status = 0;
  waitpid(first, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the first copy heard the notification once";
  CloseHandle(second);
  close(ready[0]);
  close(ready[1]);
  // Once the first copy is gone, the name is free again.
  HANDLE again = CreateMutex(nullptr, TRUE, "ProductMutex");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseHandle(again);
}

// What the framework's cursor choice (tests/settings) does not reach: destroying cursors.
TEST(CursorTest, OnlyOwnCursorsAreDestroyedAndOnlyOnce) {
  BYTE andMask[128], xorMask[128];
  std::memset(andMask, 0xFF, sizeof(andMask));
  std::memset(xorMask, 0, sizeof(xorMask));
  HCURSOR hand = CreateCursor(nullptr, 11, 4, 32, 32, andMask, xorMask);
  ASSERT_NE(hand, nullptr);
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(1)), nullptr);
  EXPECT_TRUE(DestroyCursor(hand));
  EXPECT_FALSE(DestroyCursor(hand));
  EXPECT_FALSE(DestroyCursor(LoadCursor(nullptr, IDC_ARROW))) << "system cursors are shared";
}

}  // namespace
