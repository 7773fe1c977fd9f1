// Dialog templates in memory and the modal dialogs made from them: templates read back, hostile
// templates refused, and what the modal loop does for its owner and with the dialog keys, under input
// that timers inject while it runs. The playback dialogs themselves are tested in tests/devtools.
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/ui/dialogs/DialogTemplate.h"
#include "platform/ui/dialogs/DialogTemplateWriter.h"
#include "tests/windows/HostWindow.h"

namespace windowstest {
namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

plat::DialogTemplateWriter MarkerList() {
  plat::DialogTemplateWriter writer(kDialogStyle, 0, 10, 10, 200, 200, "Marker List", 8, "Tahoma");
  writer.AddItem(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY, WS_EX_CLIENTEDGE, 5, 5, 190, 195, 100,
                 "LISTBOX", "");
  return writer;
}

plat::DialogTemplateWriter JumpToTime() {
  plat::DialogTemplateWriter writer(kDialogStyle, 0, 10, 10, 200, 50, "Jump To Time", 8, "Tahoma");
  writer.AddItem(WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE, 5, 5, 190, 15, 100, "EDIT", "");
  writer.AddItem(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 0, 30, 25, 60, 15, IDOK, "BUTTON", "Ok");
  writer.AddItem(WS_CHILD | WS_VISIBLE, 0, 100, 25, 60, 15, IDCANCEL, "BUTTON", "Cancel");
  return writer;
}

// The template copied into a zero-filled 1024-byte global block, as the playback dialogs make them.
class GlobalTemplate {
 public:
  explicit GlobalTemplate(const std::vector<BYTE>& bytes) : mBlock(GlobalAlloc(GHND, 1024)) {
    mBytes = static_cast<BYTE*>(GlobalLock(mBlock));
    std::memcpy(mBytes, bytes.data(), std::min<std::size_t>(bytes.size(), 1024));
  }
  ~GlobalTemplate() {
    GlobalUnlock(mBlock);
    GlobalFree(mBlock);
  }
  LPCDLGTEMPLATE Template() const { return reinterpret_cast<LPCDLGTEMPLATE>(mBytes); }
  BYTE* Bytes() { return mBytes; }

 private:
  HGLOBAL mBlock;
  BYTE* mBytes;
};

// The playback dialogs' own templates are read whenever those dialogs open (tests/devtools).
TEST(DialogTemplateTest, AHandWrittenTemplateReadsBack) {
  // A named class, an ordinal text and creation data to skip.
  const std::vector<BYTE> hand{
      0xC0, 0x00, 0xC8, 0x80, 0,   0, 0,    0,    1, 0, 1,   0, 2,    0,
      30,   0,    40,   0,  // pop-up, caption; one item
      0,    0,    0,    0,    'T', 0, 0,    0,    9, 0, 'A', 0, 'r',  0,
      0,    0,    0,    0,  // no menu, class; "T", 9 pt "Ar"
      0,    0,    0,    0x50, 0,   0, 0,    0,    1, 0, 2,   0, 3,    0,
      4,    0,    7,    0,                                                    // item: child, visible; id 7
      'M',  0,    'y',  0,    0,   0, 0xFF, 0xFF, 5, 0, 4,   0, 0xAB, 0xCD};  // class "My", text #5, data
  auto parsed = plat::ParseDialogTemplate(hand.data(), hand.size());
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->title, "T");
  EXPECT_EQ(parsed->faceName, "Ar");
  ASSERT_EQ(parsed->items.size(), 1u);
  EXPECT_EQ(parsed->items[0].className, "My");
  EXPECT_EQ(parsed->items[0].id, 7);
  EXPECT_EQ(parsed->items[0].cy, 4);
}

TEST(DialogTemplateTest, HostileTemplatesAreRefused) {
  const std::vector<BYTE> good = MarkerList().Bytes();
  for (std::size_t size = 0; size < good.size(); ++size)
    EXPECT_FALSE(plat::ParseDialogTemplate(good.data(), size)) << "cut to " << size << " bytes";

  std::vector<BYTE> padded = good;
  padded.resize(1024, 0);
  std::vector<BYTE> lying = padded;
  lying[8] = 2;  // two items, one written: the zeros after it are no item
  EXPECT_FALSE(plat::ParseDialogTemplate(lying.data(), lying.size()));

  std::vector<BYTE> unterminated(64, 'A');
  std::memset(unterminated.data(), 0, 22);  // a header and no menu or class; the title never ends
  EXPECT_FALSE(plat::ParseDialogTemplate(unterminated.data(), unterminated.size()));

  std::vector<BYTE> extended = padded;
  extended[0] = 1, extended[1] = 0, extended[2] = 0xFF, extended[3] = 0xFF;
  EXPECT_FALSE(plat::ParseDialogTemplate(extended.data(), extended.size()));

  std::vector<BYTE> data = good;
  data[data.size() - 2] = 0xF0;  // creation data larger than the template
  EXPECT_FALSE(plat::ParseDialogTemplate(data.data(), data.size()));

  GlobalTemplate truncated(std::vector<BYTE>(good.begin(), good.begin() + 40));
  std::memset(truncated.Bytes() + 40, 'A', 1024 - 40);
  EXPECT_EQ(DialogBoxIndirectParam(nullptr, truncated.Template(), nullptr, nullptr, 0), -1);
}

// A dialog run by a script: setup at WM_INITDIALOG, then the input the timer injects once shown.
struct Script {
  std::function<void(HWND)> init;
  std::function<void(HWND)> input;
  std::function<void(HWND, int id, int code)> command;
  HWND owner = nullptr;
  bool ownerDisabledMeanwhile = false;
  std::string text;
};
Script* gScript = nullptr;

INT_PTR ScriptedProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      if (gScript->init) gScript->init(dialog);
      SetTimer(dialog, 1, 10, nullptr);
      return TRUE;
    case WM_TIMER:
      KillTimer(dialog, 1);
      gScript->ownerDisabledMeanwhile = gScript->owner && !IsWindowEnabled(gScript->owner);
      plat::inject::SetTargetWindow(dialog);
      gScript->input(dialog);
      return TRUE;
    case WM_COMMAND:
      gScript->command(dialog, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 99);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR RunDialog(const plat::DialogTemplateWriter& writer, Script& script, HWND owner = nullptr) {
  GlobalTemplate block(writer.Bytes());
  script.owner = owner;
  gScript = &script;
  const INT_PTR result = DialogBoxIndirectParam(nullptr, block.Template(), owner, ScriptedProc, 0);
  plat::inject::SetTargetWindow(nullptr);
  gScript = nullptr;
  return result;
}

// Clicks the middle of a control of the dialog.
void ClickItem(HWND dialog, int id, int clicks = 1) {
  RECT rect;
  GetClientRect(GetDlgItem(dialog, id), &rect);
  POINT point{rect.right / 2, rect.bottom / 2};
  ClientToScreen(GetDlgItem(dialog, id), &point);
  ScreenToClient(dialog, &point);
  plat::inject::MouseButton(1, true, point.x, point.y, clicks);
  plat::inject::MouseButton(1, false, point.x, point.y, clicks);
}

void EndOnButtons(HWND dialog, int id, int code) {
  if (code != BN_CLICKED) return;
  char text[64];
  GetDlgItemText(dialog, 100, text, sizeof(text));
  gScript->text = text;
  if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
}

class DialogTest : public HostWindowTest {};

TEST_F(DialogTest, JumpToTimeEndsWithTheTypedTextOnAScriptedClickWhileItsOwnerWaits) {
  Script script;
  script.init = [](HWND dialog) {
    SetDlgItemText(dialog, 100, "1:30");
    SendDlgItemMessage(dialog, 100, EM_SETSEL, 0, -1);
  };
  HWND owner = mHost;
  script.input = [owner](HWND dialog) {
    // The system's focus moves from the owner to the dialog: no deactivation of the program.
    plat::inject::SetTargetWindow(owner);
    plat::inject::Window(plat::inject::WindowChange::FocusLost);
    plat::inject::SetTargetWindow(dialog);
    plat::inject::Window(plat::inject::WindowChange::FocusGained);
    for (char c : std::string("2:05")) plat::inject::Text(std::string(1, c));
    ClickItem(dialog, IDOK);
  };
  script.command = EndOnButtons;
  const int deactivations = AppDeactivations();
  EXPECT_EQ(RunDialog(JumpToTime(), script, mHost), IDOK);
  EXPECT_EQ(AppDeactivations(), deactivations);
  EXPECT_EQ(script.text, "2:05");
  EXPECT_TRUE(script.ownerDisabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(mHost)) << "the owner is enabled again";
}

TEST_F(DialogTest, DialogManagerKeysEndTheDialog) {
  struct Case {
    const char* keys;
    INT_PTR result;
  };
  for (const Case& c : {Case{"Return", IDOK}, Case{"Escape", IDCANCEL}, Case{"Tab Tab Return", IDCANCEL},
                        Case{"Tab Return", IDOK}, Case{"close", 99}}) {
    Script script;
    script.input = [keys = std::string(c.keys)](HWND) {
      if (keys == "close") {
        plat::inject::Window(plat::inject::WindowChange::Close);
        return;
      }
      std::size_t at = 0;
      while (at < keys.size()) {
        const std::size_t end = std::min(keys.find(' ', at), keys.size());
        plat::inject::Tap(keys.substr(at, end - at));
        at = end + 1;
      }
    };
    script.command = EndOnButtons;
    EXPECT_EQ(RunDialog(JumpToTime(), script), c.result) << c.keys;
  }
}

// A template without items whose class field (bytes 20 and 21 of the writer's template) is replaced by
// the given words: an ordinal (0xFFFF, atom) or a zero-ended name.
std::vector<BYTE> WithDialogClass(const std::vector<WORD>& classWords) {
  const std::vector<BYTE> plain =
      plat::DialogTemplateWriter(kDialogStyle, 0, 10, 10, 100, 50, "Classy", 8, "Tahoma").Bytes();
  std::vector<BYTE> bytes(plain.begin(), plain.begin() + 20);
  for (WORD word : classWords)
    bytes.insert(bytes.end(), {static_cast<BYTE>(word & 0xFF), static_cast<BYTE>(word >> 8)});
  bytes.insert(bytes.end(), plain.begin() + 22, plain.end());
  return bytes;
}

std::vector<WORD> NameWords(std::string_view name) {
  std::vector<WORD> words(name.begin(), name.end());
  words.push_back(0);
  return words;
}

int gInitDialogs = 0;

INT_PTR EndAtInit(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  ++gInitDialogs;
  EndDialog(dialog, 5);
  return TRUE;
}

TEST_F(DialogTest, ATemplateMakesADialogOnlyOfTheDialogClass) {
  struct Case {
    const char* what;
    std::vector<WORD> classWords;
    INT_PTR result;
  };
  const Case cases[] = {
      {"the dialog class by name", NameWords("#32770"), 5},
      {"the dialog class by atom", {0xFFFF, 0x8002}, 5},
      {"the button atom", {0xFFFF, 0x0080}, -1},
      {"the static atom", {0xFFFF, 0x0082}, -1},
      {"STATIC", NameWords("STATIC"), -1},
      {"Button", NameWords("Button"), -1},
      {"a class never registered", NameWords("NoSuchClass"), -1},
  };
  for (const Case& c : cases) {
    GlobalTemplate block(WithDialogClass(c.classWords));
    ASSERT_TRUE(plat::ParseDialogTemplate(block.Bytes(), 1024)) << c.what;
    // A dialog that never hears WM_INITDIALOG leaves its modal loop on this quit rather than never.
    PostQuitMessage(0);
    gInitDialogs = 0;
    EXPECT_EQ(DialogBoxIndirectParam(nullptr, block.Template(), nullptr, EndAtInit, 0), c.result) << c.what;
    EXPECT_EQ(gInitDialogs, c.result == -1 ? 0 : 1) << c.what;
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
}

}  // namespace
}  // namespace windowstest
