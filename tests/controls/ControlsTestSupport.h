// A scripted application with its widget manager and the block font as the system face, and
// recording listeners for the controls.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/graphics/MemoryImage.h"
#include "framework/widget/EditListener.h"
#include "framework/widget/FallbackFont.h"
#include "framework/widget/ListWidgetListener.h"
#include "framework/widget/ScrollListener.h"
#include "framework/widget/SliderListener.h"
#include "tests/widget/BlockFont.h"
#include "tests/widget/WidgetTestSupport.h"

namespace ControlsTest {

using Log = std::vector<std::string>;

class ControlsFixture : public KitTest::WidgetFixture {
 protected:
  void Press(int x, int y, int clickCount = 1) { mManager.MouseDown(x, y, clickCount); }
  void Release(int x, int y, int clickCount = 1) { mManager.MouseUp(x, y, clickCount); }
  void MoveTo(int x, int y) { mManager.MouseMoveEntry(x, y); }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) mManager.UpdateFrame();
  }
};

// A plain picture of one colour.
inline std::unique_ptr<Kit::MemoryImage> SolidImage(int width, int height, std::uint32_t argb) {
  auto image = std::make_unique<Kit::MemoryImage>();
  image->Create(width, height);
  for (int i = 0; i < width * height; ++i) image->GetBits()[i] = argb;
  image->BitsChanged();
  return image;
}

struct SliderEvents : SliderListener {
  void SliderVal(int id, double value) override { values.emplace_back(id, value); }
  std::vector<std::pair<int, double>> values;
};

struct ScrollEvents : Kit::ScrollListener {
  void ScrollPosition(int id, double position) override { values.emplace_back(id, position); }
  std::vector<std::pair<int, double>> values;
};

struct ListEvents : ListWidgetListener {
  void ListLineClicked(int id, int index, int clickCount) override {
    log.push_back("clicked " + std::to_string(id) + " " + std::to_string(index) + " " + std::to_string(clickCount));
  }
  void ListRemoved(int id) override { log.push_back("removed " + std::to_string(id)); }
  void ListHiliteChanged(int id, int oldIndex, int newIndex) override {
    log.push_back("hilite " + std::to_string(id) + " " + std::to_string(oldIndex) + ">" + std::to_string(newIndex));
  }
  Log log;
};

struct EditEvents : EditListener {
  void EditTextEntered(int, const std::string& text) override { entered.push_back(text); }
  bool EditAllowKey(int, int keyCode) override { return keyCode != refusedKey; }
  bool EditAllowChar(int, char c) override { return c != refusedChar; }
  bool EditAllowText(int, const std::string& text) override { return text != refusedText; }
  Log entered;
  int refusedKey = -1;
  char refusedChar = 0;
  std::string refusedText = "\x01never";
};

}  // namespace ControlsTest
