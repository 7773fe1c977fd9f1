#include "framework/graphics/Graphics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "framework/font/Font.h"
#include "framework/graphics/Image.h"
#include "platform/util/ClampToInt.h"

namespace Kit {

namespace {

Image& EmptyImage() {
  static Image empty;
  return empty;
}

// Which of count tiles, the first at start and each step further, can reach into [low, high): the
// tiling of a huge box stays as cheap as the part of it that shows.
std::pair<long long, long long> VisibleTiles(long long start, long long step, long long count, double low,
                                             double high) {
  long long first = static_cast<long long>(std::floor((low - static_cast<double>(start)) / step)) - 1;
  long long last = static_cast<long long>(std::ceil((high - static_cast<double>(start)) / step)) + 1;
  return {std::max(0LL, first), std::min(count, last)};
}

// How many whole or partial pieces of size piece cover length.
long long TileCount(long long length, long long piece) { return length <= 0 ? 0 : (length + piece - 1) / piece; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

int HexByte(const std::string& text, std::size_t at) { return HexDigit(text[at]) * 16 + HexDigit(text[at + 1]); }

// A colour code is '^' and eight characters in all: six hexadecimal digits and one more.
constexpr std::size_t kColorCodeLength = 8;

// Cuts the line (a1, b1) - (a2, b2) to low <= a <= high along its a axis, moving each end that lies
// beyond a bound onto it along the line; false when the line misses the band of pixels low .. high.
bool ClipLineAxis(double& a1, double& b1, double& a2, double& b2, double low, double high) {
  if (a1 > a2) {
    std::swap(a1, a2);
    std::swap(b1, b2);
  }
  if (a2 < low || a1 >= high + 1) return false;
  if (a1 < low) {
    b1 += (low - a1) * (b2 - b1) / (a2 - a1);
    a1 = low;
  }
  if (a2 > high) {
    if (a1 > high) {
      // The near end already lies in the last pixel, past high: what shows ends where the line leaves
      // that pixel, and both ends go onto high (the same pixel) without running back past each other.
      if (a2 > high + 1) b2 = b1 + (high + 1 - a1) * (b2 - b1) / (a2 - a1);
      a1 = high;
    } else {
      b2 += (high - a2) * (b2 - b1) / (a2 - a1);
    }
    a2 = high;
  }
  return true;
}

}  // namespace

Graphics::Graphics(Image* destImage) {
  mDestImage = destImage ? destImage : &EmptyImage();
  mClipRect = Rect(0, 0, mDestImage->GetWidth(), mDestImage->GetHeight());
}

Graphics::Graphics(const Graphics& other) : GraphicsState(other) {}

Graphics::~Graphics() = default;

Graphics* Graphics::Create() { return new Graphics(*this); }

void Graphics::PushState() { mStateStack.push_back(*this); }

void Graphics::PopState() {
  if (mStateStack.empty()) return;
  static_cast<GraphicsState&>(*this) = mStateStack.back();
  mStateStack.pop_back();
}

void Graphics::Translate(float dx, float dy) {
  mTransX += dx;
  mTransY += dy;
}

int Graphics::ToDestX(int x) const { return plat::ClampToInt(static_cast<double>(x) + mTransX); }

int Graphics::ToDestY(int y) const { return plat::ClampToInt(static_cast<double>(y) + mTransY); }

const Color& Graphics::ImageColor() const { return mColorizeImages ? mColor : Color::White; }

void Graphics::SetClipRect(int x, int y, int width, int height) {
  mClipRect = Rect(ToDestX(x), ToDestY(y), width, height)
                  .Intersection(Rect(0, 0, mDestImage->GetWidth(), mDestImage->GetHeight()));
}

void Graphics::ClipRect(int x, int y, int width, int height) {
  mClipRect = mClipRect.Intersection(Rect(ToDestX(x), ToDestY(y), width, height));
}

void Graphics::ClearClipRect() { mClipRect = Rect(0, 0, mDestImage->GetWidth(), mDestImage->GetHeight()); }

void Graphics::FillRect(int x, int y, int width, int height) {
  if (mColor.mAlpha == 0) return;
  Rect rect = Rect(ToDestX(x), ToDestY(y), width, height).Intersection(mClipRect);
  if (rect.IsEmpty()) rect = Rect();
  mDestImage->FillRect(rect, mColor, mDrawMode);
}

void Graphics::DrawRect(int x, int y, int width, int height) {
  if (mColor.mAlpha == 0) return;
  const long long left = ToDestX(x), top = ToDestY(y);
  const long long right = left + width + 1, bottom = top + height + 1;
  const Rect& clip = mClipRect;
  if (width >= 0 && height >= 0 && left >= clip.mX && top >= clip.mY &&
      right <= static_cast<long long>(clip.mX) + clip.mWidth &&
      bottom <= static_cast<long long>(clip.mY) + clip.mHeight) {
    mDestImage->DrawRect(Rect(static_cast<int>(left), static_cast<int>(top), width, height), mColor, mDrawMode);
    return;
  }
  // The sides one by one, each clipped; a side that would lie past the int range cannot show.
  const long long wide = static_cast<long long>(width) + 1;
  const long long x2 = static_cast<long long>(x) + width, y2 = static_cast<long long>(y) + height;
  FillRect(x, y, plat::ClampToInt(wide), 1);
  if (y2 <= std::numeric_limits<int>::max()) FillRect(x, static_cast<int>(y2), plat::ClampToInt(wide), 1);
  if (height > 1 && y < std::numeric_limits<int>::max()) {
    FillRect(x, y + 1, 1, height - 1);
    if (x2 <= std::numeric_limits<int>::max()) FillRect(static_cast<int>(x2), y + 1, 1, height - 1);
  }
}

void Graphics::DrawLine(int startX, int startY, int endX, int endY) {
  double x1 = startX + static_cast<double>(mTransX), y1 = startY + static_cast<double>(mTransY);
  double x2 = endX + static_cast<double>(mTransX), y2 = endY + static_cast<double>(mTransY);
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;

  const double left = mClipRect.mX, right = static_cast<double>(mClipRect.mX) + mClipRect.mWidth - 1;
  const double top = mClipRect.mY, bottom = static_cast<double>(mClipRect.mY) + mClipRect.mHeight - 1;

  if (!ClipLineAxis(x1, y1, x2, y2, left, right)) return;
  if (!ClipLineAxis(y1, x1, y2, x2, top, bottom)) return;
  mDestImage->DrawLine(x1, y1, x2, y2, mColor, mDrawMode);
}

void Graphics::DrawString(const std::string& text, int x, int y) {
  if (mFont) mFont->DrawString(this, x, y, text, mColor, mClipRect);
}

void Graphics::BltClipped(Image* image, int destX, int destY, const Rect& srcRect, bool mirror) {
  const Rect dest = Rect(destX, destY, srcRect.mWidth, srcRect.mHeight).Intersection(mClipRect);
  if (dest.mWidth < 1 || dest.mHeight < 1) return;
  const int cutLeft = dest.mX - destX;
  const int cutRight = static_cast<int>(static_cast<long long>(destX) + srcRect.mWidth - dest.mX - dest.mWidth);
  // Mirrored, the columns cut off on the left are the source's rightmost ones.
  const int srcX = srcRect.mX + (mirror ? cutRight : cutLeft);
  const Rect src(srcX, srcRect.mY + (dest.mY - destY), dest.mWidth, dest.mHeight);
  if (mirror)
    mDestImage->BltMirror(image, dest.mX, dest.mY, src, ImageColor(), mDrawMode);
  else
    mDestImage->Blt(image, dest.mX, dest.mY, src, ImageColor(), mDrawMode);
}

namespace {

// A source rectangle that lies wholly within the image; anything else would read outside its pixels.
bool InsideImage(const Image& image, const Rect& srcRect) {
  return srcRect.mX >= 0 && srcRect.mY >= 0 && srcRect.mWidth >= 0 && srcRect.mHeight >= 0 &&
         static_cast<long long>(srcRect.mX) + srcRect.mWidth <= image.GetWidth() &&
         static_cast<long long>(srcRect.mY) + srcRect.mHeight <= image.GetHeight();
}

}  // namespace

void Graphics::DrawImage(Image* image, int x, int y) {
  if (!image) return;
  BltClipped(image, ToDestX(x), ToDestY(y), Rect(0, 0, image->GetWidth(), image->GetHeight()), false);
}

void Graphics::DrawImage(Image* image, int x, int y, const Rect& srcRect) {
  if (!image || !InsideImage(*image, srcRect)) return;
  BltClipped(image, ToDestX(x), ToDestY(y), srcRect, false);
}

void Graphics::DrawImageMirror(Image* image, int x, int y, const Rect& srcRect, bool mirror) {
  if (!image || !InsideImage(*image, srcRect)) return;
  BltClipped(image, ToDestX(x), ToDestY(y), srcRect, mirror);
}

void Graphics::DrawImageMirror(Image* image, int x, int y, bool mirror) {
  if (!image) return;
  DrawImageMirror(image, x, y, Rect(0, 0, image->GetWidth(), image->GetHeight()), mirror);
}

void Graphics::DrawImage(Image* image, const Rect& destRect, const Rect& srcRect) {
  if (!image || !InsideImage(*image, srcRect)) return;
  const Rect dest(ToDestX(destRect.mX), ToDestY(destRect.mY), destRect.mWidth, destRect.mHeight);
  mDestImage->StretchBlt(image, dest, srcRect, mClipRect, ImageColor(), mDrawMode, mFastStretch);
}

void Graphics::DrawImageRotatedAt(Image* image, float x, float y, double angle, float centerX, float centerY,
                                  const Rect* srcRect) {
  if (!image) return;
  const Rect src = srcRect ? *srcRect : Rect(0, 0, image->GetWidth(), image->GetHeight());
  if (!InsideImage(*image, src)) return;
  mDestImage->BltRotated(image, x + mTransX, y + mTransY, src, mClipRect, ImageColor(), mDrawMode, angle, centerX,
                         centerY);
}

void Graphics::DrawImageRotated(Image* image, int x, int y, double angle, const Rect* srcRect) {
  DrawImageRotatedF(image, static_cast<float>(x), static_cast<float>(y), angle, srcRect);
}

void Graphics::DrawImageRotatedF(Image* image, float x, float y, double angle, const Rect* srcRect) {
  if (!image) return;
  const int width = srcRect ? srcRect->mWidth : image->GetWidth();
  const int height = srcRect ? srcRect->mHeight : image->GetHeight();
  DrawImageRotatedAt(image, x, y, angle, static_cast<float>(width / 2), static_cast<float>(height / 2), srcRect);
}

void Graphics::DrawImageRotated(Image* image, int x, int y, double angle, int centerX, int centerY,
                                const Rect* srcRect) {
  DrawImageRotatedAt(image, static_cast<float>(x), static_cast<float>(y), angle, static_cast<float>(centerX),
                     static_cast<float>(centerY), srcRect);
}

void Graphics::DrawImageRotatedF(Image* image, float x, float y, double angle, float centerX, float centerY,
                                 const Rect* srcRect) {
  DrawImageRotatedAt(image, x, y, angle, centerX, centerY, srcRect);
}

bool Graphics::CelRect(Image* image, int cel, Rect& rect) {
  // A grid without columns or rows has no cels (and must not be divided by).
  if (!image || image->mNumCols <= 0 || image->mNumRows <= 0) return false;
  const int column = cel % image->mNumCols;
  const int row = cel / image->mNumCols;
  if (column < 0 || row < 0 || row >= image->mNumRows) return false;
  const int width = image->GetCelWidth(), height = image->GetCelHeight();
  rect = Rect(column * width, row * height, width, height);
  return true;
}

void Graphics::DrawImageCel(Image* image, int x, int y, int cel) {
  Rect src;
  if (CelRect(image, cel, src)) DrawImage(image, x, y, src);
}

void Graphics::DrawImageRotatedCel(Image* image, int x, int y, int cel, double angle) {
  Rect src;
  if (CelRect(image, cel, src)) DrawImageRotated(image, x, y, angle, &src);
}

void Graphics::DrawImageRotatedCelF(Image* image, float x, float y, int cel, double angle) {
  Rect src;
  if (CelRect(image, cel, src)) DrawImageRotatedF(image, x, y, angle, &src);
}

void Graphics::DrawImageBox(const Rect& destRect, Image* image) {
  if (!image) return;
  DrawImageBox(destRect, Rect(0, 0, image->GetWidth(), image->GetHeight()), image);
}

void Graphics::DrawImageBox(const Rect& destRect, const Rect& srcRect, Image* image) {
  // An empty source has no middle piece to tile by.
  if (!image || srcRect.mWidth <= 0 || srcRect.mHeight <= 0 || !InsideImage(*image, srcRect)) return;
  const long long dx = destRect.mX, dy = destRect.mY, dw = destRect.mWidth, dh = destRect.mHeight;
  const int sx = srcRect.mX, sy = srcRect.mY, sw = srcRect.mWidth, sh = srcRect.mHeight;
  const int cw = sw / 3, ch = sh / 3;
  const int mw = sw - 2 * cw, mh = sh - 2 * ch;
  const int rightX = sx + sw - cw, bottomY = sy + sh - ch;

  // Positions past the int range cannot be on the destination.
  auto draw = [image](Graphics& g, long long x, long long y, const Rect& src) {
    if (x < std::numeric_limits<int>::min() || x > std::numeric_limits<int>::max() ||
        y < std::numeric_limits<int>::min() || y > std::numeric_limits<int>::max())
      return;
    g.DrawImage(image, static_cast<int>(x), static_cast<int>(y), src);
  };

  draw(*this, dx, dy, Rect(sx, sy, cw, ch));
  draw(*this, dx + dw - cw, dy, Rect(rightX, sy, cw, ch));
  draw(*this, dx, dy + dh - ch, Rect(sx, bottomY, cw, ch));
  draw(*this, dx + dw - cw, dy + dh - ch, Rect(rightX, bottomY, cw, ch));

  const long long across = TileCount(dw - 2 * cw, mw), down = TileCount(dh - 2 * ch, mh);

  // The visible tiles of a clipped copy, in untranslated coordinates.
  auto columns = [&](const Graphics& g) {
    return VisibleTiles(dx + cw, mw, across, g.mClipRect.mX - static_cast<double>(g.mTransX),
                        static_cast<double>(g.mClipRect.mX) + g.mClipRect.mWidth - g.mTransX);
  };
  auto rows = [&](const Graphics& g) {
    return VisibleTiles(dy + ch, mh, down, g.mClipRect.mY - static_cast<double>(g.mTransY),
                        static_cast<double>(g.mClipRect.mY) + g.mClipRect.mHeight - g.mTransY);
  };

  {
    Graphics edges(*this);
    edges.ClipRect(plat::ClampToInt(dx + cw), plat::ClampToInt(dy), plat::ClampToInt(dw - 2 * cw),
                   plat::ClampToInt(dh));
    auto [first, last] = columns(edges);
    for (long long i = first; i < last; ++i) {
      draw(edges, dx + cw + i * mw, dy, Rect(sx + cw, sy, mw, ch));
      draw(edges, dx + cw + i * mw, dy + dh - ch, Rect(sx + cw, bottomY, mw, ch));
    }
  }
  {
    Graphics edges(*this);
    edges.ClipRect(plat::ClampToInt(dx), plat::ClampToInt(dy + ch), plat::ClampToInt(dw),
                   plat::ClampToInt(dh - 2 * ch));
    auto [first, last] = rows(edges);
    for (long long j = first; j < last; ++j) {
      draw(edges, dx, dy + ch + j * mh, Rect(sx, sy + ch, cw, mh));
      draw(edges, dx + dw - cw, dy + ch + j * mh, Rect(rightX, sy + ch, cw, mh));
    }
  }
  {
    Graphics centre(*this);
    centre.ClipRect(plat::ClampToInt(dx + cw), plat::ClampToInt(dy + ch), plat::ClampToInt(dw - 2 * cw),
                    plat::ClampToInt(dh - 2 * ch));
    auto [firstRow, lastRow] = rows(centre);
    auto [firstColumn, lastColumn] = columns(centre);
    for (long long j = firstRow; j < lastRow; ++j)
      for (long long i = firstColumn; i < lastColumn; ++i)
        draw(centre, dx + cw + i * mw, dy + ch + j * mh, Rect(sx + cw, sy + ch, mw, mh));
  }
}

int Graphics::WriteString(const std::string& text, int x, int y, int width, int justification, bool draw, int offset,
                          int length) {
  if (draw && (justification == 0 || justification == 1)) {
    const long long measured = WriteString(text, x, y, width, -1, false, offset, length);
    const long long shift = justification == 0 ? (width - measured) / 2 : width - measured;
    x = plat::ClampToInt(x + shift);
  }

  const std::size_t size = text.size();
  const std::size_t begin = offset < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(offset), size);
  const std::size_t end = length < 0 ? size : std::min<std::size_t>(size, begin + static_cast<std::size_t>(length));

  auto widthOf = [this](const std::string& segment) { return mFont ? mFont->StringWidth(segment) : 0; };
  auto drawAt = [&](const std::string& segment, long long left) {
    if (draw && !segment.empty()) DrawString(segment, plat::ClampToInt(left), y);
  };

  std::string segment;
  long long widthSoFar = 0;
  std::size_t i = begin;
  while (i < end) {
    const char c = text[i];
    if (c != '^' || !mWriteColoredString) {
      segment += c;
      ++i;
      continue;
    }
    if (i + kColorCodeLength - 1 >= end) break;
    if (text[i + 1] == '^') {
      segment += '^';
      i += 2;
      continue;
    }
    drawAt(segment, x + widthSoFar);
    if (draw) mColor = Color(HexByte(text, i + 1), HexByte(text, i + 3), HexByte(text, i + 5), mColor.mAlpha);
    widthSoFar += widthOf(segment);
    segment.clear();
    i += kColorCodeLength;
  }
  drawAt(segment, x + widthSoFar);
  return plat::ClampToInt(widthSoFar + widthOf(segment));
}

int Graphics::WriteWordWrapped(const Rect& rect, const std::string& text, int lineSpacing, int justification,
                               int* maxWidth) {
  if (!mFont) {
    if (maxWidth) *maxWidth = 0;
    return 0;
  }
  const Color savedColor = mColor;
  if (lineSpacing == -1) lineSpacing = mFont->GetLineSpacing();

  long long baseline = static_cast<long long>(rect.mY) + mFont->GetAscent() - mFont->GetAscentPadding();
  int widest = 0;
  auto writeLine = [&](std::size_t start, std::size_t count) {
    const int lineWidth = WriteString(text, rect.mX, plat::ClampToInt(baseline), rect.mWidth, justification, true,
                                      plat::ClampToInt(start), plat::ClampToInt(count));
    widest = std::max(widest, lineWidth);
  };

  const std::size_t size = text.size();
  std::size_t lineStart = 0;
  std::size_t breakAt = std::string::npos;
  long long lineWidth = 0;
  char prev = 0;
  std::size_t i = 0;
  while (i < size) {
    const std::size_t charStart = i;
    char c = text[i];
    if (c == '^' && mWriteColoredString && i + 1 < size) {
      if (text[i + 1] != '^') {
        // A code too short to be whole measures and draws as nothing, as WriteString treats it; the
        // scan must not step past the end of the text.
        if (i + kColorCodeLength - 1 >= size) break;
        i += kColorCodeLength;
        continue;
      }
      ++i;  // "^^" is one '^'
    }
    if (c == ' ') {
      breakAt = charStart;
    } else if (c == '\n') {
      breakAt = charStart;
      lineWidth = static_cast<long long>(rect.mWidth) + 1;
    }
    lineWidth += mFont->CharWidthKern(c, prev);
    prev = c;

    if (lineWidth <= rect.mWidth) {
      ++i;
      continue;
    }
    if (breakAt != std::string::npos) {
      writeLine(lineStart, breakAt - lineStart);
      lineStart = breakAt + 1;
      if (text[breakAt] != '\n')
        while (lineStart < size && text[lineStart] == ' ') ++lineStart;
    } else {
      // At least one character per line, and never half of a "^^".
      const std::size_t lineEnd = charStart > lineStart ? charStart : i + 1;
      writeLine(lineStart, lineEnd - lineStart);
      lineStart = lineEnd;
    }
    baseline += lineSpacing;
    i = lineStart;
    breakAt = std::string::npos;
    lineWidth = 0;
    prev = 0;
  }
  writeLine(lineStart, size - lineStart);

  mColor = savedColor;
  if (maxWidth) *maxWidth = widest;
  return plat::ClampToInt(mFont->GetDescent() + (baseline - rect.mY));
}

int Graphics::GetWordWrappedHeight(int width, const std::string& text, int lineSpacing, int* maxWidth) {
  Graphics measure;
  measure.SetFont(mFont);
  return measure.WriteWordWrapped(Rect(0, 0, width, 0), text, lineSpacing, -1, maxWidth);
}

}  // namespace Kit
