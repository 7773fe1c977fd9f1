// Stand-ins for the drawing tests: an image that records the calls a Graphics hands it, and a font
// of fixed character widths that records what it is asked to draw.
#pragma once

#include <string>
#include <vector>

#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"

namespace drawingtest {

struct Call {
  std::string op;
  Kit::Rect rect;  // FillRect / DrawRect rect; blit source rect
  Kit::Rect dest;  // StretchBlt dest rect; Blt position in x, y
  Kit::Rect clip;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // DrawLine ends; BltRotated position and centre
  Kit::Color color;
  int drawMode = 0;
  double angle = 0;
  bool fastStretch = false;
};

class RecordingImage : public Kit::Image {
 public:
  RecordingImage(int width, int height) {
    mWidth = width;
    mHeight = height;
  }

  void FillRect(const Kit::Rect& rect, const Kit::Color& color, int drawMode) override {
    Call& c = Add("FillRect", color, drawMode);
    c.rect = rect;
  }
  void DrawRect(const Kit::Rect& rect, const Kit::Color& color, int drawMode) override {
    Call& c = Add("DrawRect", color, drawMode);
    c.rect = rect;
  }
  void DrawLine(double x1, double y1, double x2, double y2, const Kit::Color& color, int drawMode) override {
    Call& c = Add("DrawLine", color, drawMode);
    c.x1 = x1;
    c.y1 = y1;
    c.x2 = x2;
    c.y2 = y2;
  }
  void Blt(Kit::Image*, int x, int y, const Kit::Rect& srcRect, const Kit::Color& color, int drawMode) override {
    Call& c = Add("Blt", color, drawMode);
    c.rect = srcRect;
    c.dest = Kit::Rect(x, y, 0, 0);
  }
  void BltMirror(Kit::Image*, int x, int y, const Kit::Rect& srcRect, const Kit::Color& color, int drawMode) override {
    Call& c = Add("BltMirror", color, drawMode);
    c.rect = srcRect;
    c.dest = Kit::Rect(x, y, 0, 0);
  }
  void StretchBlt(Kit::Image*, const Kit::Rect& destRect, const Kit::Rect& srcRect, const Kit::Rect& clipRect,
                  const Kit::Color& color, int drawMode, bool fastStretch) override {
    Call& c = Add("StretchBlt", color, drawMode);
    c.rect = srcRect;
    c.dest = destRect;
    c.clip = clipRect;
    c.fastStretch = fastStretch;
  }
  void BltRotated(Kit::Image*, float x, float y, const Kit::Rect& srcRect, const Kit::Rect& clipRect,
                  const Kit::Color& color, int drawMode, double angle, float centerX, float centerY) override {
    Call& c = Add("BltRotated", color, drawMode);
    c.rect = srcRect;
    c.clip = clipRect;
    c.x1 = x;
    c.y1 = y;
    c.x2 = centerX;
    c.y2 = centerY;
    c.angle = angle;
  }

  std::vector<Call> calls;

 private:
  Call& Add(const char* op, const Kit::Color& color, int drawMode) {
    Call& c = calls.emplace_back();
    c.op = op;
    c.color = color;
    c.drawMode = drawMode;
    return c;
  }
};

// Every character is 'width' pixels wide except '^' and 'W' (wider); ascent 8, height 11. Counts letters.
class FixedFont : public Kit::Font {
 public:
  struct Drawn {
    std::string text;
    int x, y;
    Kit::Color color;
  };

  explicit FixedFont(int width = 5) : mCharWidth(width) {
    mAscent = 8;
    mHeight = 11;
  }

  int StringWidth(const std::string& text) override {
    lettersMeasured += text.size();
    int width = 0;
    for (char c : text) width += CharWidth(c);
    return width;
  }
  int CharWidth(char c) override { return c == 'W' ? 2 * mCharWidth : c == '^' ? mCharWidth + 1 : mCharWidth; }
  void DrawString(Kit::Graphics* g, int x, int y, const std::string& text, const Kit::Color& color,
                  const Kit::Rect&) override {
    drawn.push_back({text, x, y, color});
  }
  Kit::Font* Duplicate() override { return new FixedFont(*this); }

  std::vector<Drawn> drawn;
  std::size_t lettersMeasured = 0;

 private:
  int mCharWidth;
};

}  // namespace drawingtest
