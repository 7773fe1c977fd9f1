// The drawing context every draw call of the widgets and the game goes through. It names a
// destination image and carries the drawing state (translation, clip rectangle, colour, font, draw
// mode and flags); it translates and clips each request and hands it to the image's own drawing
// operation, and it lays out text: colour codes inside strings, justification and word wrap.
#pragma once

#include <list>
#include <string>

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

namespace Kit {

class Font;
class Image;

class GraphicsState {
 public:
  Image* mDestImage = nullptr;  // never null once a Graphics is made: the empty image stands in
  float mTransX = 0;
  float mTransY = 0;
  Rect mClipRect;  // in destination coordinates, already translated
  Color mColor;
  Font* mFont = nullptr;  // not owned
  int mDrawMode = 0;      // 0 normal (alpha blend), 1 additive
  bool mColorizeImages = false;
  bool mFastStretch = false;
  bool mWriteColoredString = true;
  bool mLinearBlend = false;
};

class Graphics : public GraphicsState {
 public:
  static constexpr int kDrawModeNormal = 0;
  static constexpr int kDrawModeAdditive = 1;

  // Draws into destImage, or into nothing (an empty image) when it is null.
  explicit Graphics(Image* destImage = nullptr);
  // Copies the state but not the saved states: a copy can be clipped further while this one stays.
  Graphics(const Graphics& other);
  Graphics& operator=(const Graphics&) = delete;
  virtual ~Graphics();

  // A new copy on the heap, owned by the caller.
  Graphics* Create();

  // Saved states. PopState on an empty stack changes nothing.
  void PushState();
  void PopState();

  void SetFont(Font* font) { mFont = font; }
  Font* GetFont() { return mFont; }
  void SetColor(const Color& color) { mColor = color; }
  const Color& GetColor() { return mColor; }
  void SetDrawMode(int drawMode) { mDrawMode = drawMode; }
  int GetDrawMode() { return mDrawMode; }
  void SetColorizeImages(bool colorize) { mColorizeImages = colorize; }
  bool GetColorizeImages() { return mColorizeImages; }
  void SetFastStretch(bool fastStretch) { mFastStretch = fastStretch; }
  void SetLinearBlend(bool linear) { mLinearBlend = linear; }
  void Translate(float dx, float dy);

  // The clip becomes the given rectangle (translated) within the destination.
  void SetClipRect(int x, int y, int width, int height);
  // The clip shrinks to its overlap with the given rectangle (translated).
  void ClipRect(int x, int y, int width, int height);
  void ClearClipRect();

  void FillRect(int x, int y, int width, int height);
  // Outlines width + 1 by height + 1 pixels.
  void DrawRect(int x, int y, int width, int height);
  void DrawLine(int startX, int startY, int endX, int endY);
  // y is the baseline.
  void DrawString(const std::string& text, int x, int y);

  void DrawImage(Image* image, int x, int y);
  // Nothing is drawn when srcRect does not lie within the image.
  void DrawImage(Image* image, int x, int y, const Rect& srcRect);
  void DrawImageSrc(Image* image, int x, int y, const Rect& srcRect) { DrawImage(image, x, y, srcRect); }
  // srcRect of the image stretched over destRect.
  void DrawImage(Image* image, const Rect& destRect, const Rect& srcRect);
  // Flipped left to right when mirror is set.
  void DrawImageMirror(Image* image, int x, int y, const Rect& srcRect, bool mirror = true);
  void DrawImageMirror(Image* image, int x, int y, bool mirror = true);
  // Rotated by angle (radians) about the centre of srcRect, or of the whole image without one.
  void DrawImageRotated(Image* image, int x, int y, double angle, const Rect* srcRect = nullptr);
  void DrawImageRotatedF(Image* image, float x, float y, double angle, const Rect* srcRect = nullptr);
  // Rotated about (centerX, centerY), relative to the drawn part's top left corner.
  void DrawImageRotated(Image* image, int x, int y, double angle, int centerX, int centerY,
                        const Rect* srcRect = nullptr);
  void DrawImageRotatedF(Image* image, float x, float y, double angle, float centerX, float centerY,
                         const Rect* srcRect = nullptr);
  // Cel number cel of the image's grid (row after row); nothing for a cel outside the grid.
  void DrawImageCel(Image* image, int x, int y, int cel);
  void DrawImageRotatedCel(Image* image, int x, int y, int cel, double angle);
  void DrawImageRotatedCelF(Image* image, float x, float y, int cel, double angle);
  // Nine-slice box: corners once, edges and centre tiled to fill destRect.
  void DrawImageBox(const Rect& destRect, Image* image);
  void DrawImageBox(const Rect& destRect, const Rect& srcRect, Image* image);
  void DrawImageBoxSrc(const Rect& destRect, const Rect& srcRect, Image* image) {
    DrawImageBox(destRect, srcRect, image);
  }

  // Writes (or with draw off only measures) the characters offset .. offset + length - 1 (to the end
  // when length is negative), honouring colour codes ^RRGGBB and ^^ when mWriteColoredString is set.
  // justification: -1 left, 0 centred in width, 1 right. Returns the width of the text.
  int WriteString(const std::string& text, int x, int y, int width = -1, int justification = -1, bool draw = true,
                  int offset = 0, int length = -1);
  // Writes the text broken into lines at spaces and newlines within rect's width; lineSpacing -1 is
  // the font's. Returns the height used; maxWidth receives the widest line.
  int WriteWordWrapped(const Rect& rect, const std::string& text, int lineSpacing = -1, int justification = -1,
                       int* maxWidth = nullptr);
  int GetWordWrappedHeight(int width, const std::string& text, int lineSpacing = -1, int* maxWidth = nullptr);

  std::list<GraphicsState> mStateStack;

 private:
  // An int position in destination coordinates (truncated toward zero, held to the int range).
  int ToDestX(int x) const;
  int ToDestY(int y) const;
  const Color& ImageColor() const;
  // Blits the part of srcRect of the image that lands inside the clip when drawn at the destination
  // position (destX, destY).
  void BltClipped(Image* image, int destX, int destY, const Rect& srcRect, bool mirror);
  void DrawImageRotatedAt(Image* image, float x, float y, double angle, float centerX, float centerY,
                          const Rect* srcRect);
  // The cel's source rectangle, false when the cel lies outside the grid.
  static bool CelRect(Image* image, int cel, Rect& rect);
};

}  // namespace Kit
