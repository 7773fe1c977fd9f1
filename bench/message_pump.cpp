// The main loop pumps the message queue on every pass: an empty PeekMessage must be cheap, and a
// message posted and retrieved costs about what SDL's own event queue does for the same trip.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include "platform/win/Windows.h"
#include "platform/win/input/InputInjector.h"

namespace {

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(window, message, wParam, lParam);
}

// The program's two windows: the invisible one and the SDL main window.
struct Windows {
  Windows() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    WNDCLASS windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = Proc;
    windowClass.lpszClassName = "BenchWindow";
    RegisterClass(&windowClass);
    invisible = CreateWindowEx(0, "BenchWindow", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    main =
        CreateWindowEx(0, "BenchWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    SetTimer(main, 100, 10, nullptr);
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  }
  HWND invisible;
  HWND main;
};

Windows& TheWindows() {
  static Windows windows;
  return windows;
}

void BM_PeekEmptyQueue(benchmark::State& state) {
  TheWindows();
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);  // validates the paint
  for (auto _ : state) benchmark::DoNotOptimize(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}
BENCHMARK(BM_PeekEmptyQueue);

void BM_PostThenPeek(benchmark::State& state) {
  HWND window = TheWindows().invisible;
  MSG msg;
  for (auto _ : state) {
    PostMessage(window, WM_USER, 1, 2);
    PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
    benchmark::DoNotOptimize(msg.wParam);
  }
}
BENCHMARK(BM_PostThenPeek);

void BM_SdlPushThenPoll(benchmark::State& state) {
  TheWindows();
  SDL_Event event{};
  event.type = SDL_USEREVENT;
  SDL_Event out;
  for (auto _ : state) {
    SDL_PushEvent(&event);
    SDL_PollEvent(&out);
    benchmark::DoNotOptimize(out.type);
  }
}
BENCHMARK(BM_SdlPushThenPoll);

// A typed character end to end: key down, text, key up, through translation to three messages.
void BM_TypedCharacterTranslated(benchmark::State& state) {
  TheWindows();
  MSG msg;
  for (auto _ : state) {
    plat::inject::Key("A", true);
    plat::inject::Text("a");
    plat::inject::Key("A", false);
    int count = 0;
    while (PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_SYSCHAR, PM_REMOVE)) ++count;
    benchmark::DoNotOptimize(count);
  }
  state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(BM_TypedCharacterTranslated);

}  // namespace
