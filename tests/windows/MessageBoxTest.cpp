// The layer's own painted message box, shown where SDL's cannot be (no zenity, no X core fonts): it
// shows the text under its caption with the type's buttons, keeps its owner waiting, and answers the
// button pressed, Enter, Escape and the close box.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/windows/HostWindow.h"

namespace windowstest {
namespace {

// What the box showed, read while it waited for its answer.
struct SeenBox {
  bool shown = false;
  std::string caption;
  std::string text;
  std::vector<std::string> labels;
  bool textInked = false;
  bool ownerDisabled = false;
  RECT textRect{};
  RECT client{};
};

SeenBox gSeen;
std::function<void(HWND)> gAnswer;
HWND gOwner = nullptr;

std::string TextOf(HWND window) {
  char text[4096];
  GetWindowText(window, text, sizeof(text));
  return text;
}

// Runs inside the box's modal loop: looks at the box, then answers it as a player would.
void OnBoxWaiting(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND box = GetActiveWindow();
  if (box == nullptr || box == gOwner) return;
  gSeen.shown = IsWindowVisible(box) != FALSE;
  gSeen.caption = TextOf(box);
  gSeen.ownerDisabled = gOwner != nullptr && !IsWindowEnabled(gOwner);
  GetClientRect(box, &gSeen.client);
  for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
    if (HWND button = GetDlgItem(box, id); button) gSeen.labels.push_back(TextOf(button));
  }
  if (HWND text = GetDlgItem(box, 0xFFFF); text) {
    gSeen.text = TextOf(text);
    RECT area;
    GetClientRect(text, &area);
    POINT corner{0, 0};
    ClientToScreen(text, &corner);
    ScreenToClient(box, &corner);
    gSeen.textRect = RECT{corner.x, corner.y, corner.x + area.right, corner.y + area.bottom};
    plat::WindowPixels pixels;
    const bool read = plat::ReadWindowPixels(box, &pixels);
    const bool inside = gSeen.textRect.left >= 0 && gSeen.textRect.top >= 0 && gSeen.textRect.right <= pixels.width &&
                        gSeen.textRect.bottom <= pixels.height;
    EXPECT_TRUE(inside) << "the text lies in the box";
    gSeen.textInked = read && inside && HasInk(pixels, gSeen.textRect, GetSysColor(COLOR_BTNFACE));
  }
  plat::inject::SetTargetWindow(box);
  gAnswer(box);
}

void ClickButton(HWND box, int id) {
  RECT rect;
  GetClientRect(GetDlgItem(box, id), &rect);
  POINT point{rect.right / 2, rect.bottom / 2};
  ClientToScreen(GetDlgItem(box, id), &point);
  ScreenToClient(box, &point);
  plat::inject::MouseButton(1, true, point.x, point.y);
  plat::inject::MouseButton(1, false, point.x, point.y);
}

class PaintedMessageBoxTest : public HostWindowTest {
 protected:
  int Show(const char* text, const char* caption, UINT type, std::function<void(HWND)> answer) {
    gSeen = SeenBox{};
    gAnswer = std::move(answer);
    gOwner = mHost;
    SetTimer(nullptr, 0, 1, OnBoxWaiting);
    const int result = MessageBox(mHost, text, caption, type);
    plat::inject::SetTargetWindow(mHost);
    return result;
  }
  plat::ScopedPaintedMessageBoxes mPainted;
};

struct Answering {
  const char* name;
  UINT type;
  std::function<void(HWND)> answer;
  int result;
  std::vector<std::string> labels;  // in the order of their ids
};

void PrintTo(const Answering& c, std::ostream* out) { *out << c.name; }

class PaintedMessageBoxAnswers : public PaintedMessageBoxTest, public testing::WithParamInterface<Answering> {};

TEST_P(PaintedMessageBoxAnswers, AreThoseOfTheButtonsAndKeys) {
  const Answering& c = GetParam();
  EXPECT_EQ(Show("Failed to load image: images/back.png", "FATAL ERROR", c.type, c.answer), c.result);
  EXPECT_TRUE(gSeen.shown);
  EXPECT_EQ(gSeen.caption, "FATAL ERROR");
  EXPECT_EQ(gSeen.text, "Failed to load image: images/back.png");
  EXPECT_TRUE(gSeen.textInked) << "the text is drawn";
  EXPECT_EQ(gSeen.labels, c.labels);
  EXPECT_TRUE(gSeen.ownerDisabled) << "the owner waits for the answer";
  EXPECT_TRUE(IsWindowEnabled(mHost));
}

auto ClickOn(int id) {
  return [id](HWND box) { ClickButton(box, id); };
}
auto Press(const char* key) {
  return [key](HWND) { plat::inject::Tap(key); };
}
void CloseBox(HWND) { plat::inject::Window(plat::inject::WindowChange::Close); }

INSTANTIATE_TEST_SUITE_P(
    MessageBox, PaintedMessageBoxAnswers,
    testing::Values(
        Answering{"OkClicked", MB_OK | MB_ICONERROR, ClickOn(IDOK), IDOK, {"OK"}},
        Answering{"OkByEnter", MB_OK, Press("Return"), IDOK, {"OK"}},
        Answering{"OkByEscape", MB_OK, Press("Escape"), IDOK, {"OK"}},
        Answering{"NoClicked", MB_YESNO, ClickOn(IDNO), IDNO, {"Yes", "No"}},
        Answering{"YesNoClosed", MB_YESNO, CloseBox, IDNO, {"Yes", "No"}},
        Answering{"CancelByEscape", MB_OKCANCEL, Press("Escape"), IDCANCEL, {"OK", "Cancel"}},
        Answering{"RetryByEnter", MB_RETRYCANCEL, Press("Return"), IDRETRY, {"Cancel", "Retry"}},
        Answering{"IgnoreClicked", MB_ABORTRETRYIGNORE, ClickOn(IDIGNORE), IDIGNORE, {"Abort", "Retry", "Ignore"}}),
    testing::PrintToStringParamName());

TEST_F(PaintedMessageBoxTest, ALongTextIsWrappedWithinTheBoxAndShownWhole) {
  std::string text;
  for (int i = 0; i < 12; ++i) text += "Every line of a long fatal message must be seen. ";
  text += "\r\nThe last line.";
  EXPECT_EQ(Show(text.c_str(), "Error", MB_OK, ClickOn(IDOK)), IDOK);
  EXPECT_EQ(gSeen.text, text);
  EXPECT_LE(gSeen.client.right, 560) << "wrapped, not one wide line";
  EXPECT_GE(gSeen.textRect.bottom - gSeen.textRect.top, 8 * 10) << "room for every line";
  EXPECT_LE(gSeen.textRect.right, gSeen.client.right);
  EXPECT_LE(gSeen.textRect.bottom, gSeen.client.bottom);
}

}  // namespace
}  // namespace windowstest
