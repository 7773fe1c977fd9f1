#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win/Windows.h"
#include "platform/win/window/SdlWindow.h"
#include "tests/support/PollUntil.h"

namespace {

struct Seen {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> gSeen;
LRESULT gCreateAnswer = 0;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  gSeen.push_back({window, message, wParam, lParam});
  if (message == WM_CREATE) {
    auto* create = reinterpret_cast<CREATESTRUCT*>(lParam);
    SetWindowLongPtr(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return gCreateAnswer;
  }
  if (message == WM_CLOSE) return 0;  // the application decides when to go
  return DefWindowProc(window, message, wParam, lParam);
}

void RegisterOnce(const char* name, UINT style) {
  WNDCLASS windowClass{};
  windowClass.style = style;
  windowClass.lpfnWndProc = RecordingProc;
  windowClass.lpszClassName = name;
  RegisterClass(&windowClass);  // a second registration fails harmlessly
}

bool SawMessage(UINT message) {
  for (const Seen& seen : gSeen)
    if (seen.message == message) return true;
  return false;
}

class WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    gSeen.clear();
    gCreateAnswer = 0;
    RegisterOnce("TestMain", CS_DBLCLKS);
    RegisterOnce("TestInvis", 0);
  }
  void TearDown() override {
    for (HWND window : mWindows)
      if (IsWindow(window)) DestroyWindow(window);
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND Make(const char* className, DWORD style, int x, int y, int width, int height, void* param = nullptr) {
    HWND window = CreateWindowEx(0, className, "Title", style, x, y, width, height, nullptr, nullptr, nullptr, param);
    mWindows.push_back(window);
    return window;
  }
  std::vector<HWND> mWindows;
};

TEST_F(WindowTest, CreateDeliversCreateSynchronouslyWithItsParameter) {
  int marker = 7;
  HWND window = Make("TestInvis", 0, 0, 0, 0, 0, &marker);
  ASSERT_NE(window, nullptr);
  ASSERT_GE(gSeen.size(), 2u);
  EXPECT_EQ(gSeen[0].message, WM_NCCREATE);
  EXPECT_EQ(gSeen[1].message, WM_CREATE);
  EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongPtr(window, GWLP_USERDATA)), &marker);
  EXPECT_EQ(plat::SdlWindowOf(window), nullptr) << "a window without area is only a record";
}

TEST_F(WindowTest, CreateFailsWhenTheProcedureRefuses) {
  gCreateAnswer = -1;
  HWND window = Make("TestMain", WS_POPUP, 0, 0, 100, 100);
  EXPECT_EQ(window, nullptr);
  EXPECT_TRUE(SawMessage(WM_DESTROY));
  EXPECT_EQ(Make("NoSuchClass", WS_POPUP, 0, 0, 10, 10), nullptr) << "an unknown class";
}

TEST_F(WindowTest, MainWindowIsAnSdlWindowWithTheRequestedClientArea) {
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT outer{0, 0, 800, 600};
  ASSERT_TRUE(AdjustWindowRect(&outer, style, FALSE));
  HWND window = Make("TestMain", style, 100, 50, outer.right - outer.left, outer.bottom - outer.top);
  ASSERT_NE(window, nullptr);
  ASSERT_NE(plat::SdlWindowOf(window), nullptr);
  EXPECT_EQ(plat::WindowOfSdl(plat::SdlWindowOf(window)), window);

  RECT client;
  ASSERT_TRUE(GetClientRect(window, &client));
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, 600);
  RECT onScreen;
  ASSERT_TRUE(plat::GetClientRectOnScreen(window, &onScreen));
  EXPECT_EQ(onScreen.left, 100 - outer.left);
  EXPECT_EQ(onScreen.top, 50 - outer.top);
  POINT point{onScreen.left + 5, onScreen.top + 6};
  ASSERT_TRUE(ScreenToClient(window, &point));
  EXPECT_EQ(point.x, 5);
  EXPECT_EQ(point.y, 6);

  // Only one SDL window: a second captioned window is a record.
  HWND second = Make("TestMain", WS_POPUP, 0, 0, 50, 50);
  EXPECT_EQ(plat::SdlWindowOf(second), nullptr);
}

TEST_F(WindowTest, ShowActivatesAndRestoringAMinimisedWindowReportsItsSize) {
  HWND window = Make("TestMain", WS_POPUP, 0, 0, 320, 200);
  gSeen.clear();
  ShowWindow(window, SW_SHOWNORMAL);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetActiveWindow(), window);
  EXPECT_TRUE(SawMessage(WM_ACTIVATEAPP));
  SendMessage(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);  // from the system menu
  ASSERT_TRUE(IsIconic(window));
  gSeen.clear();
  ShowWindow(window, SW_RESTORE);  // as the application does when a second copy starts
  EXPECT_FALSE(IsIconic(window));
  ASSERT_FALSE(gSeen.empty());
  EXPECT_EQ(gSeen[0].message, WM_SIZE);
  EXPECT_EQ(gSeen[0].wParam, SIZE_RESTORED);
  EXPECT_EQ(gSeen[0].lParam, MAKELPARAM(320, 200));
  WINDOWPLACEMENT placement{};
  ASSERT_TRUE(GetWindowPlacement(window, &placement));
  EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
}

TEST_F(WindowTest, PostedMessagesArriveInOrderThroughDispatch) {
  HWND window = Make("TestInvis", 0, 0, 0, 0, 0);
  PostMessage(window, WM_USER + 1, 1, 2);
  PostMessage(window, WM_USER + 2, 3, 4);
  gSeen.clear();
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER + 1u);
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  ASSERT_EQ(gSeen.size(), 2u);
  EXPECT_EQ(gSeen[0].message, WM_USER + 1u);
  EXPECT_EQ(gSeen[1].message, WM_USER + 2u);
  EXPECT_EQ(gSeen[1].lParam, 4);
}

TEST_F(WindowTest, DestroyDropsMessagesStillQueuedForTheWindow) {
  HWND window = Make("TestInvis", 0, 0, 0, 0, 0);
  PostMessage(window, WM_USER, 0, 0);
  DestroyWindow(window);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(PostMessage(window, WM_USER, 0, 0));
}

TEST_F(WindowTest, WorkPostedFromAnotherThreadRunsInTheMainPump) {
  ASSERT_TRUE(plat::IsMainThread());
  bool ranOnMain = false;
  bool workerIsMain = true;
  std::thread worker([&] {
    workerIsMain = plat::IsMainThread();
    plat::PostToMainThread([&] { ranOnMain = plat::IsMainThread(); });
  });
  worker.join();
  EXPECT_FALSE(workerIsMain);
  EXPECT_FALSE(ranOnMain) << "work waits for the pump";
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_TRUE(ranOnMain);
}

TEST_F(WindowTest, WorkThatQueuesMoreWorkDoesNotHoldThePumpForever) {
  // Each piece of work queues the next, as a thread asking for a present after every move does.
  constexpr int kChain = 1000;
  int ran = 0;
  std::function<void()> next = [&] {
    if (++ran < kChain) plat::PostToMainThread(next);
  };
  plat::PostToMainThread(next);
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_EQ(ran, 1) << "work queued during the pump waits for the next one";
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_EQ(ran, 2);
  while (ran < kChain) PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

TEST_F(WindowTest, SendMessageFromAnotherThreadRunsOnTheOwnerThread) {
  HWND window = Make("TestInvis", 0, 0, 0, 0, 0);
  gSeen.clear();
  LRESULT answer = -5;
  std::thread worker([&] { answer = SendMessage(window, WM_USER + 9, 0, 0); });
  MSG msg;
  // Sent calls are answered inside the pump without being retrieved as messages.
  while (gSeen.empty()) PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  worker.join();
  EXPECT_EQ(gSeen[0].message, WM_USER + 9u);
  EXPECT_EQ(answer, 0);
}

TEST_F(WindowTest, TimerTicksOncePerPeriodOnTheFakeClock) {
  plat::FakeClock clock;
  plat::ScopedClock scoped(clock);
  HWND window = Make("TestInvis", 0, 0, 0, 0, 0);
  ASSERT_NE(SetTimer(window, 100, 10, nullptr), 0u);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
  clock.AdvanceMillis(35);  // late by three periods: still one WM_TIMER
  ASSERT_TRUE(PeekMessage(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 100u);
  EXPECT_FALSE(PeekMessage(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
  // GetMessage waits through the clock: instant on a fake clock.
  ASSERT_TRUE(GetMessage(&msg, window, 0, 0));
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_TRUE(KillTimer(window, 100));
  EXPECT_FALSE(KillTimer(window, 100));
}

TEST_F(WindowTest, QuitEndsGetMessage) {
  PostQuitMessage(3);
  MSG msg;
  EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace

namespace {

class WindowGeometryTest : public WindowTest {};

TEST_F(WindowGeometryTest, TitlesAreCopiedSafely) {
  HWND window = Make("TestInvis", 0, 0, 0, 0, 0);
  ASSERT_TRUE(SetWindowText(window, "Brick Breaker"));
  char small[6];
  EXPECT_EQ(GetWindowText(window, small, sizeof(small)), 5);
  EXPECT_STREQ(small, "Brick");
  EXPECT_EQ(GetWindowText(window, small, 0), 0);
}

TEST_F(WindowGeometryTest, CaptureChangesAreAnnounced) {
  HWND a = Make("TestInvis", 0, 0, 0, 0, 0);
  HWND b = Make("TestInvis", 0, 0, 0, 0, 0);
  EXPECT_EQ(SetCapture(a), nullptr);
  gSeen.clear();
  EXPECT_EQ(SetCapture(b), a);
  ASSERT_FALSE(gSeen.empty());
  EXPECT_EQ(gSeen[0].window, a);
  EXPECT_EQ(gSeen[0].message, WM_CAPTURECHANGED);
  EXPECT_EQ(GetCapture(), b);
  DestroyWindow(b);
  EXPECT_EQ(GetCapture(), nullptr) << "a destroyed window loses the capture";
}

TEST_F(WindowGeometryTest, ChildrenGoWithTheirParentAndFiltersSeeThem) {
  HWND parent = Make("TestInvis", 0, 0, 0, 0, 0);
  HWND child = CreateWindowEx(0, "TestInvis", "", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetParent(child), parent);
  PostMessage(child, WM_USER + 3, 0, 0);
  MSG msg;
  EXPECT_TRUE(PeekMessage(&msg, parent, WM_USER + 3, WM_USER + 3, PM_NOREMOVE)) << "a parent's filter takes its child";
  DestroyWindow(parent);
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(GetMessage(&msg, parent, 0, 0), -1) << "waiting on a window that is gone";
}

TEST_F(WindowGeometryTest, BroadcastReachesEveryTopLevelWindow) {
  HWND a = Make("TestInvis", 0, 0, 0, 0, 0);
  HWND b = Make("TestInvis", 0, 0, 0, 0, 0);
  PostMessage(HWND_BROADCAST, WM_USER + 5, 1, 2);
  gSeen.clear();
  MSG msg;
  while (PeekMessage(&msg, nullptr, WM_USER + 5, WM_USER + 5, PM_REMOVE)) DispatchMessage(&msg);
  int toA = 0, toB = 0;
  for (const Seen& seen : gSeen) {
    toA += seen.window == a;
    toB += seen.window == b;
  }
  EXPECT_EQ(toA, 1);
  EXPECT_EQ(toB, 1);
}

TEST_F(WindowGeometryTest, ACallWaitingOnADestroyedWindowIsAnsweredZero) {
  HWND window = Make("TestInvis", 0, 0, 0, 0, 0);
  LRESULT answer = -1;
  std::thread sender([&] { answer = SendMessage(window, WM_USER + 7, 0, 0); });
  // The window goes while the sender waits, before this thread's pump ever runs the call: the sender
  // must not wait for ever.
  EXPECT_TRUE(testsupport::PollUntil([] { return plat::SentCallsWaiting() > 0; }, std::this_thread::yield));
  DestroyWindow(window);
  sender.join();
  EXPECT_EQ(answer, 0);
}

}  // namespace
