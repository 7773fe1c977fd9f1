// The screens' generated pictures against the places where the screens draw them: every picture fits the
// 800 x 600 window at its place and a button's pictures have the button's size; a panel's shape ends
// inside its picture, so that neither the picture nor the window cuts it off; what a screen draws on a
// panel (buttons, text, highlights) lies on the panel's opaque inside, clear of its rim; and the dialog
// frames, stretched over any size, are opaque and show no seam where their pieces join.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/resource/Image.h"
#include "framework/resource/ImageLoader.h"
#include "framework/resource/ResourceManager.h"
#include "tests/resource/TestResourceHost.h"
#include "tests/support/ScopedCurrentFolder.h"

namespace {

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;

struct Box {
  int x, y, width, height;
};

// The pictures of the manifest, read from their files once.
class ScreenArtTest : public testing::Test {
 protected:
  static const ImageLib::Image& Picture(const std::string& id) {
    static std::map<std::string, std::unique_ptr<ImageLib::Image>> pictures;
    std::unique_ptr<ImageLib::Image>& picture = pictures[id];
    if (picture == nullptr) {
      testsupport::ScopedCurrentFolder inData(QUARVEL_DATA_DIR);
      testresources::TestResourceHost host;
      Kit::ResourceManager manager(&host);
      EXPECT_TRUE(manager.ParseResourcesFile("properties/resources.xml")) << manager.GetErrorText();
      const auto record = manager.GetImageMap().find(id);
      if (record != manager.GetImageMap().end()) picture = ImageLib::GetImage(record->second->mPath, true);
      if (picture == nullptr) {
        ADD_FAILURE() << id << " is not in the manifest or cannot be read";
        picture = std::make_unique<ImageLib::Image>();
      }
    }
    return *picture;
  }
  static std::uint32_t Pixel(const ImageLib::Image& picture, int x, int y) {
    return picture.GetBits()[y * picture.GetWidth() + x];
  }
  static std::uint32_t Alpha(const ImageLib::Image& picture, int x, int y) { return Pixel(picture, x, y) >> 24; }
};

// ---- places ------------------------------------------------------------------------------------------

struct Place {
  const char* id;
  int x, y;  // where a screen draws it
};

// The pictures drawn whole at fixed places (the sliding ones where they come to rest, the scene select's
// highlight bar in its rightmost and its lowest slot, the game-over halves where they meet).
const Place kPlaces[] = {
    {"IMAGE_LOADER_LOGO", 0, 0},
    {"IMAGE_LOADER_BAR", 199, 279},
    {"IMAGE_BACK", 0, 0},
    {"IMAGE_TITLE_CN", 0, 0},
    {"IMAGE_PIPE", 0, 0},
    {"IMAGE_MENU", 598, 0},
    {"IMAGE_HELP", 0, 0},
    {"IMAGE_SELECTSCENE", 0, 0},
    {"IMAGE_PREV", 690, 538},
    {"IMAGE_HINTBAR", 0, 0},
    {"IMAGE_SCENETEXT", 218, 0},
    {"IMAGE_HIBAR", 609, 173},
    {"IMAGE_HIBAR", 409, 573},
    {"IMAGE_NEXTLEVEL", 690, 538},
    {"IMAGE_GAMEOVER_BASE", 0, 249},
    {"IMAGE_GAMEOVER_BASE", 758, 249},
    {"IMAGE_GAMEOVER_TEXT", 314, 263},
    {"IMAGE_GAMEOVER_RIGHT", 400, 205},
};

TEST_F(ScreenArtTest, EveryPictureFitsTheWindowWhereItIsDrawn) {
  for (const Place& place : kPlaces) {
    const ImageLib::Image& picture = Picture(place.id);
    EXPECT_GT(picture.GetWidth(), 0) << place.id;
    EXPECT_LE(place.x + picture.GetWidth(), kWindowWidth) << place.id << " at " << place.x << "," << place.y;
    EXPECT_LE(place.y + picture.GetHeight(), kWindowHeight) << place.id << " at " << place.x << "," << place.y;
  }
  // The left half ends where the right one begins, at x 400, in the same band as the right one.
  EXPECT_GE(400 - Picture("IMAGE_GAMEOVER_LEFT").GetWidth(), 0);
  EXPECT_EQ(Picture("IMAGE_GAMEOVER_LEFT").GetHeight(), Picture("IMAGE_GAMEOVER_RIGHT").GetHeight());
}

struct ButtonSize {
  std::string id;
  int width, height;  // of the button that shows it
};

const ButtonSize kButtonSizes[] = {
    {"IMAGE_BTN_START_UP", 140, 44},
    {"IMAGE_BTN_START_DOWN", 140, 44},
    {"IMAGE_BTN_CUSTOM_UP", 140, 44},
    {"IMAGE_BTN_CUSTOM_DOWN", 140, 44},
    {"IMAGE_BTN_OPTION_UP", 140, 44},
    {"IMAGE_BTN_OPTION_DOWN", 140, 44},
    {"IMAGE_BTN_REGISTER_UP", 140, 44},
    {"IMAGE_BTN_REGISTER_DOWN", 140, 44},
    {"IMAGE_BTN_QUIT_UP", 140, 44},
    {"IMAGE_BTN_QUIT_DOWN", 140, 44},
    {"IMAGE_BTN_RESUME_UP", 140, 44},
    {"IMAGE_BTN_RESUME_DOWN", 140, 44},
    {"IMAGE_BTN_MENU_UP", 140, 44},
    {"IMAGE_BTN_MENU_DOWN", 140, 44},
    {"IMAGE_BTN_CHANGE_PLAYER_UP", 159, 25},
    {"IMAGE_BTN_CHANGE_PLAYER_OVER", 159, 25},
    {"IMAGE_BTN_CHANGE_PLAYER_DOWN", 159, 25},
    {"IMAGE_BTN_BACK_UP", 78, 24},
    {"IMAGE_BTN_BACK_OVER", 78, 24},
    {"IMAGE_BTN_NEXTLEVEL_UP", 78, 24},
    {"IMAGE_BTN_NEXTLEVEL_OVER", 78, 24},
};

// The scene select draws the hint bar and its heading over it from x 218: beside the heading the bar
// shows nothing (no field standing empty), and the two join as one bar of the same colours.
TEST_F(ScreenArtTest, BesideTheSceneSelectHeadingTheHintBarIsBareAndOfTheHeadingsColours) {
  const ImageLib::Image& bar = Picture("IMAGE_HINTBAR");
  const ImageLib::Image& heading = Picture("IMAGE_SCENETEXT");
  constexpr int kHeadingX = 218;
  constexpr int kCornerPx = 8;  // the bar's rounded top-left corner
  ASSERT_GE(bar.GetWidth(), kHeadingX);
  ASSERT_GT(heading.GetWidth(), 0);
  for (int y = 0; y < std::min(bar.GetHeight(), heading.GetHeight()); ++y) {
    if (Alpha(heading, 0, y) != 0xFF) continue;  // the heading leaves the bar's bottom line to the bar
    for (int x = kCornerPx; x < kHeadingX; ++x)
      if (Pixel(bar, x, y) != Pixel(heading, 0, y)) {
        ADD_FAILURE() << "row " << y << " of the hint bar shows something at x " << x << ": " << std::hex
                      << Pixel(bar, x, y) << " beside the heading's " << Pixel(heading, 0, y);
        break;
      }
  }
}

// The level screens write the level, the score and the lives on the hint bar; its labels for them lie
// where the scene select's heading covers the bar, and clear of the score (centred on x 399, up to seven
// digits of about 8 pixels) and the lives (x 618 to 719).
TEST_F(ScreenArtTest, TheHintBarsLabelsLieUnderTheSceneSelectHeadingClearOfTheHudsTexts) {
  const ImageLib::Image& bar = Picture("IMAGE_HINTBAR");
  constexpr int kHeadingX = 218, kBareX = 100, kCornerPx = 8;
  constexpr int kScoreLeft = 399 - 28, kScoreRight = 399 + 28, kLivesLeft = 618, kLivesRight = 719;
  ASSERT_GE(bar.GetWidth(), 800);
  int labelled = 0;
  for (int y = 0; y < bar.GetHeight(); ++y)
    for (int x = kHeadingX; x < bar.GetWidth() - kCornerPx; ++x) {
      if (Pixel(bar, x, y) == Pixel(bar, kBareX, y)) continue;
      ++labelled;
      const bool onScore = x >= kScoreLeft && x < kScoreRight, onLives = x >= kLivesLeft && x < kLivesRight;
      EXPECT_FALSE(onScore || onLives) << "the bar shows something under the HUD's text at " << x << "," << y;
    }
  EXPECT_GT(labelled, 0) << "the level and the score have labels";
}

TEST_F(ScreenArtTest, ButtonPicturesHaveTheirButtonsSize) {
  std::vector<ButtonSize> sizes(std::begin(kButtonSizes), std::end(kButtonSizes));
  for (int n = 1; n <= 10; ++n)
    for (const char* look : {"_UP", "_OVER"}) sizes.push_back({"IMAGE_BTN_SCENE" + std::to_string(n) + look, 180, 106});
  for (const ButtonSize& size : sizes) {
    EXPECT_EQ(Picture(size.id).GetWidth(), size.width) << size.id;
    EXPECT_EQ(Picture(size.id).GetHeight(), size.height) << size.id;
  }
}

// ---- panels --------------------------------------------------------------------------------------------

TEST_F(ScreenArtTest, PanelsEndInsideTheirPictures) {
  // A shape that reaches its picture's edge is cut off there; these sit at the window's edges.
  for (const char* id : {"IMAGE_NEXTLEVEL", "IMAGE_PREV", "IMAGE_SELECTSCENE", "IMAGE_MENU"}) {
    const ImageLib::Image& picture = Picture(id);
    const int width = picture.GetWidth(), height = picture.GetHeight();
    for (int x = 0; x < width; ++x)
      for (int y : {0, height - 1}) ASSERT_EQ(Alpha(picture, x, y), 0u) << id << " at " << x << "," << y;
    for (int y = 0; y < height; ++y)
      for (int x : {0, width - 1}) ASSERT_EQ(Alpha(picture, x, y), 0u) << id << " at " << x << "," << y;
  }
}

// Something a screen draws on a panel: a rectangle (a button, a line of text), or the seen pixels of a
// picture drawn at the rectangle's corner.
struct OnPanel {
  std::string what;
  const char* panel;
  int panelX, panelY;
  Box place;
  const char* picture = nullptr;
};

std::vector<OnPanel> ThingsOnPanels() {
  std::vector<OnPanel> things = {
      {"the next button", "IMAGE_NEXTLEVEL", 690, 538, {705, 570, 78, 24}},
      {"the back button", "IMAGE_PREV", 690, 538, {705, 570, 78, 24}},
      {"the welcome lines", "IMAGE_MENU", 598, 0, {613, 520, 173, 36}},
  };
  for (int i = 0; i < 5; ++i)
    things.push_back({"main menu button " + std::to_string(i), "IMAGE_MENU", 598, 0, {630, 171 + 59 * i, 140, 44}});
  // The scene select's slots: the button, the progress line under it and its highlight bar.
  for (int i = 0; i < 10; ++i) {
    const int column = i % 4, row = i / 4, shift = i >= 8 ? 200 : 0, lower = (i >= 4 && i <= 7) ? 1 : 0;
    const std::string scene = "scene " + std::to_string(i + 1);
    const int buttonY = row == 0 ? 62 : row == 1 ? 263 : 462;
    things.push_back({scene + " button", "IMAGE_SELECTSCENE", 0, 0, {column * 200 + 11 + shift, buttonY, 180, 106}});
    const int textX = column * 200 + 110 + shift, baseline = row * 200 + 190 + lower;
    things.push_back({scene + " progress", "IMAGE_SELECTSCENE", 0, 0, {textX - 24, baseline - 12, 48, 15}});
    things.push_back({scene + " highlight",
                      "IMAGE_SELECTSCENE",
                      0,
                      0,
                      {column * 200 + 9 + shift, row * 200 + 173 + lower, 0, 0},
                      "IMAGE_HIBAR"});
  }
  return things;
}

TEST_F(ScreenArtTest, WhatLiesOnAPanelKeepsToItsOpaqueInsideClearOfTheRim) {
  constexpr int kRimWidth = 3;  // the rim's lines lie within this distance of a panel's outer edge
  for (const OnPanel& thing : ThingsOnPanels()) {
    const ImageLib::Image& panel = Picture(thing.panel);
    // The panel's pixels under a point of the screen, and around it as far as the rim is wide, are opaque.
    const auto onOpaqueInside = [&](int screenX, int screenY) {
      for (int dy = -kRimWidth; dy <= kRimWidth; ++dy)
        for (int dx = -kRimWidth; dx <= kRimWidth; ++dx) {
          if (dx * dx + dy * dy > kRimWidth * kRimWidth) continue;
          const int x = screenX + dx - thing.panelX, y = screenY + dy - thing.panelY;
          if (x < 0 || y < 0 || x >= panel.GetWidth() || y >= panel.GetHeight() || Alpha(panel, x, y) != 0xFF)
            return false;
        }
      return true;
    };
    // Every point it covers, and the first of them off the panel's opaque inside.
    int covered = 0;
    std::string firstOff;
    const auto check = [&](int x, int y) {
      ++covered;
      if (firstOff.empty() && !onOpaqueInside(x, y)) firstOff = std::to_string(x) + "," + std::to_string(y);
    };
    if (thing.picture == nullptr) {
      for (int y = thing.place.y; y < thing.place.y + thing.place.height; ++y)
        for (int x = thing.place.x; x < thing.place.x + thing.place.width; ++x) check(x, y);
    } else {
      const ImageLib::Image& picture = Picture(thing.picture);
      for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
          if (Alpha(picture, x, y) != 0) check(thing.place.x + x, thing.place.y + y);
    }
    EXPECT_EQ(firstOff, "") << thing.what << " leaves " << thing.panel << "'s opaque inside there";
    EXPECT_GT(covered, 0) << thing.what;
  }
}

// ---- dialog frames --------------------------------------------------------------------------------------

// A frame is drawn in nine pieces: the corners (a third of the picture each way) once, the edges and the
// middle repeated to fill the dialog.
TEST_F(ScreenArtTest, DialogFramesAreOpaqueInsideAndJoinWithoutSeams) {
  constexpr int kRimWidth = 4;
  constexpr int kSeamTolerance = 3;  // per channel, of 255
  for (const char* id : {"IMAGE_DIALOG_BOX", "IMAGE_DIALOGM_BOX", "IMAGE_DIALOG_BUTTON"}) {
    const ImageLib::Image& frame = Picture(id);
    const int size = frame.GetWidth(), third = size / 3;
    ASSERT_EQ(frame.GetHeight(), size) << id;
    // What is stretched over the dialog's inside: the middle rows and columns, in from the rim.
    int clear = 0;
    for (int across = kRimWidth; across < size - kRimWidth; ++across)
      for (int along = third; along < size - third; ++along)
        clear += (Alpha(frame, across, along) != 0xFF) + (Alpha(frame, along, across) != 0xFF);
    EXPECT_EQ(clear, 0) << id << ": pixels of the inside that let the screen behind show through";
    // Each pair of rows (and columns) that meet on the screen: a corner's last and the middle's first,
    // the middle's last and its own first where it repeats, the middle's last and the far corner's first.
    const auto near = [](std::uint32_t a, std::uint32_t b) {
      for (int shift = 0; shift < 32; shift += 8) {
        const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(difference) > kSeamTolerance) return false;
      }
      return true;
    };
    const std::pair<int, int> joins[] = {
        {third - 1, third}, {size - third - 1, third}, {size - third - 1, size - third}};
    for (const auto& [before, after] : joins) {
      int rowSeams = 0, columnSeams = 0;
      for (int across = 0; across < size; ++across) {
        rowSeams += !near(Pixel(frame, across, before), Pixel(frame, across, after));
        columnSeams += !near(Pixel(frame, before, across), Pixel(frame, after, across));
      }
      EXPECT_EQ(rowSeams, 0) << id << ": rows " << before << " and " << after << " differ";
      EXPECT_EQ(columnSeams, 0) << id << ": columns " << before << " and " << after << " differ";
    }
  }
}

}  // namespace
