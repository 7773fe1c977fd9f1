// The program's icon resources: LoadIcon reads the first PNG of those the program named that reads, once; a damaged,
// missing or unnamed picture is no icon; the main window shows its class's icon to the window manager.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "framework/resource/Image.h"
#include "framework/resource/PNGWriter.h"
#include "platform/win/Windows.h"
#include "platform/win/window/IconResources.h"
#include "platform/win/window/SdlWindow.h"
#include "tests/support/TempDir.h"
#include "tests/support/XWindowPixels.h"
#include "tests/support/XvfbServer.h"

namespace {

HINSTANCE Program() { return reinterpret_cast<HINSTANCE>(GetModuleHandle(nullptr)); }

// A picture 16 pixels high (24 wide unless given): opaque red on the left half, half-transparent blue
// on the right.
std::string WriteIcon(const testsupport::TempDir& folder, const std::string& name, int width = 24) {
  ImageLib::Image image;
  EXPECT_TRUE(image.Allocate(width, 16));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < width; ++x) image.GetBits()[y * width + x] = x < width / 2 ? 0xFFFF0000u : 0x800000FFu;
  const std::string path = folder / name;
  EXPECT_TRUE(ImageLib::WritePNGImage(path, image));
  return path;
}

TEST(WindowIcon, ANamedPictureIsLoadedOnceWithItsPixels) {
  testsupport::TempDir folder;
  plat::AddIconResource("IDI_TEST_LOADED", {folder / "missing.png", WriteIcon(folder, "icon.png")});
  HICON icon = LoadIcon(Program(), "IDI_TEST_LOADED");
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(LoadIcon(Program(), "IDI_TEST_LOADED"), icon);
  const plat::IconPicture* picture = plat::IconPictureOf(icon);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->width, 24);
  EXPECT_EQ(picture->height, 16);
  ASSERT_EQ(picture->argb.size(), 24u * 16u);
  EXPECT_EQ(picture->argb[0], 0xFFFF0000u);
  EXPECT_EQ(picture->argb[16 * 24 - 1], 0x800000FFu);
  EXPECT_EQ(plat::IconPictureOf(LoadIcon(nullptr, IDI_HAND)), nullptr);
}

// Icons are kept for the life of the process: a handle given out stays valid when its name is given
// another picture, which the loads after that give.
TEST(WindowIcon, AnIconLoadedBeforeItsNameIsGivenAnotherPictureStaysAsItWas) {
  testsupport::TempDir folder;
  plat::AddIconResource("IDI_TEST_RENAMED", {WriteIcon(folder, "first.png")});
  HICON first = LoadIcon(Program(), "IDI_TEST_RENAMED");
  ASSERT_NE(first, nullptr);
  plat::AddIconResource("IDI_TEST_RENAMED", {WriteIcon(folder, "second.png", 8)});
  const plat::IconPicture* kept = plat::IconPictureOf(first);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->width, 24);
  EXPECT_EQ(kept->argb.at(0), 0xFFFF0000u);
  const plat::IconPicture* second = plat::IconPictureOf(LoadIcon(Program(), "IDI_TEST_RENAMED"));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->width, 8);
}

struct UnreadableIcon {
  const char* what;
  const char* contents;  // null: the path is a folder
};

void PrintTo(const UnreadableIcon& c, std::ostream* out) { *out << c.what; }

class UnreadableIcons : public testing::TestWithParam<UnreadableIcon> {};

TEST_P(UnreadableIcons, AreNoIcon) {
  testsupport::TempDir folder;
  const UnreadableIcon& bad = GetParam();
  std::string path = folder / "icon.png";
  if (bad.contents == nullptr) {
    std::filesystem::create_directories(path);
  } else if (*bad.contents != '\0') {
    path = folder.Write("icon.png", bad.contents);
  }
  const std::string name = std::string("IDI_TEST_") + bad.what;
  plat::AddIconResource(name, {path});
  EXPECT_EQ(LoadIcon(Program(), name.c_str()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Icon, UnreadableIcons,
                         testing::Values(UnreadableIcon{"Missing", ""}, UnreadableIcon{"Folder", nullptr},
                                         UnreadableIcon{"NotPng", "GIF89a not a picture"},
                                         // A PNG signature with nothing after it.
                                         UnreadableIcon{"Truncated", "\x89PNG\r\n\x1a\n"}),
                         testing::PrintToStringParamName());

TEST(WindowIcon, ANameNoPictureWasGivenForIsNoIcon) { EXPECT_EQ(LoadIcon(Program(), "IDI_NEVER_NAMED"), nullptr); }

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(window, message, wParam, lParam);
}

TEST(WindowIcon, TheMainWindowShowsItsClassIconToTheWindowManager) {
  if (!testsupport::InRealWindowRun("KIT_WINDOW_ICON_XVFB_CHILD")) return;
  testsupport::TempDir folder;
  plat::AddIconResource("IDI_TEST_SHOWN", {WriteIcon(folder, "icon.png")});
  WNDCLASS windowClass{};
  windowClass.lpfnWndProc = PlainProc;
  windowClass.hIcon = LoadIcon(Program(), "IDI_TEST_SHOWN");
  windowClass.lpszClassName = "IconTestWindow";
  ASSERT_NE(RegisterClass(&windowClass), 0);
  HWND window = CreateWindowEx(0, "IconTestWindow", "Icon", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                               nullptr, nullptr);
  const testsupport::XWindowIcon icon = testsupport::ReadXWindowIcon(plat::SdlWindowOf(window));
  EXPECT_EQ(icon.width, 24);
  EXPECT_EQ(icon.height, 16);
  ASSERT_EQ(icon.argb.size(), 24u * 16u);
  EXPECT_EQ(icon.argb[0], 0xFFFF0000u);
  EXPECT_EQ(icon.argb[16 * 24 - 1], 0x800000FFu);
  DestroyWindow(window);
}

}  // namespace
