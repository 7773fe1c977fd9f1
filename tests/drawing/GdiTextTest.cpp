#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "tests/drawing/SurfaceFixture.h"
#include "tests/support/GoldenImage.h"

namespace {

using drawingtest::SurfaceTest;

// A font handle deleted when the test ends.
struct FontHandle {
  explicit FontHandle(HFONT handle) : font(handle) {}
  ~FontHandle() {
    if (font) DeleteObject(font);
  }
  FontHandle(const FontHandle&) = delete;
  FontHandle& operator=(const FontHandle&) = delete;
  HFONT font;
};

HFONT MakeFont(const char* face, int points, bool bold = false, bool italic = false, bool underline = false) {
  return CreateFontA(-MulDiv(points, 96, 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, 0,
                     DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
}

TEXTMETRICA MetricsOf(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA metrics{};
  EXPECT_TRUE(GetTextMetricsA(dc, &metrics));
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metrics;
}

int WidthOf(HFONT font, const std::string& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  EXPECT_TRUE(GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size));
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

TEST(GdiFont, FacesMapOntoTheirStandIns) {
  FontHandle courier(MakeFont("Courier New", 12));
  EXPECT_EQ(WidthOf(courier.font, "i"), WidthOf(courier.font, "W"));
  FontHandle arial(MakeFont("arial", 12));
  EXPECT_LT(WidthOf(arial.font, "i"), WidthOf(arial.font, "W"));
  FontHandle tahoma(MakeFont("Tahoma", 12));
  FontHandle sans(MakeFont("SansSerif", 12));
  FontHandle unknown(MakeFont("No Such Face", 12));
  FontHandle unnamed(MakeFont("", 12));
  // Arial, SansSerif, unknown and empty names share the sans face; Tahoma is DejaVu Sans, wider.
  EXPECT_EQ(WidthOf(sans.font, "Quarvel 1.0"), WidthOf(arial.font, "Quarvel 1.0"));
  EXPECT_EQ(WidthOf(unknown.font, "Quarvel 1.0"), WidthOf(arial.font, "Quarvel 1.0"));
  EXPECT_EQ(WidthOf(unnamed.font, "Quarvel 1.0"), WidthOf(arial.font, "Quarvel 1.0"));
  EXPECT_NE(WidthOf(tahoma.font, "Quarvel 1.0"), WidthOf(arial.font, "Quarvel 1.0"));
}

TEST(GdiText, ExtentsAndDrawTextAgree) {
  FontHandle font(MakeFont("Arial", 12));
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.font);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "File", 4, &size));
  char text[] = "&File";
  RECT rect{0, 0, 0, 0};
  EXPECT_EQ(DrawTextExA(dc, text, -1, &rect, DT_CALCRECT, nullptr), size.cy);
  EXPECT_EQ(rect.right, size.cx);
  rect = RECT{};
  DrawTextExA(dc, text, -1, &rect, DT_CALCRECT | DT_NOPREFIX, nullptr);
  EXPECT_GT(rect.right, size.cx);
  char lines[] = "one\ntwo lines";
  rect = RECT{5, 7, 5, 7};
  EXPECT_EQ(DrawTextExA(dc, lines, -1, &rect, DT_CALCRECT | DT_NOPREFIX, nullptr), 2 * size.cy);
  EXPECT_EQ(rect.bottom, 7 + 2 * size.cy);
  SIZE second{};
  GetTextExtentPoint32A(dc, "two lines", 9, &second);
  EXPECT_EQ(rect.right, 5 + second.cx);
  EXPECT_EQ(DrawTextExA(dc, lines, 3, &rect, DT_CALCRECT | DT_NOPREFIX, nullptr), size.cy);
  char trailing[] = "ab&";
  rect = RECT{};
  DrawTextExA(dc, trailing, -1, &rect, DT_CALCRECT, nullptr);
  GetTextExtentPoint32A(dc, "ab", 2, &size);
  EXPECT_EQ(rect.right, size.cx);
  EXPECT_FALSE(GetTextExtentPoint32A(dc, nullptr, 3, &size));
  EXPECT_FALSE(TextOutA(dc, 0, 0, "window", 6));  // windows do not take GDI text here
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
}

TEST(GdiText, MeasuringFromManyThreadsAgrees) {
  FontHandle font(MakeFont("Arial", 11));
  const int expected = WidthOf(font.font, "The quick brown fox \xE9\x80");
  std::vector<std::thread> threads;
  std::vector<int> widths(8);
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i)
        widths[static_cast<std::size_t>(t)] = WidthOf(font.font, "The quick brown fox \xE9\x80");
    });
  for (auto& thread : threads) thread.join();
  for (int width : widths) EXPECT_EQ(width, expected);
}

class GdiSurfaceText : public SurfaceTest {
 protected:
  // Text drawn through the surface's device context as the system fonts draw it.
  void Draw(IDirectDrawSurface7* surface, HFONT font, int x, int y, const std::string& text, COLORREF color,
            const RECT* clip = nullptr, int bkMode = TRANSPARENT) {
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, bkMode);
    if (clip) IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
    SetTextColor(dc, color);
    EXPECT_TRUE(TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size())));
    SelectObject(dc, old);
    ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
  }
};

TEST_P(GdiSurfaceText, TextLandsInItsCellInTheTextColour) {
  FontHandle font(MakeFont("Arial", 12, true));
  const TEXTMETRICA metrics = MetricsOf(font.font);
  const int width = WidthOf(font.font, "HHH");
  auto surface = Make(60, 30, 0x203040);
  Draw(surface.get(), font.font, 5, 4, "HHH", RGB(250, 240, 10));
  const auto pixels = Read(surface.get());
  const std::uint32_t background = Shown(0x203040), ink = Shown(0xFAF00A);
  int inked = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) {
      const std::uint32_t pixel = pixels[static_cast<std::size_t>(y * 60 + x)];
      if (pixel == background) continue;
      EXPECT_TRUE(x >= 5 && x < 5 + width + 1 && y >= 4 && y < 4 + metrics.tmHeight) << x << "," << y;
      inked += pixel == ink;
    }
  EXPECT_GT(inked, 30);  // the stems of the H are fully covered
}

TEST_P(GdiSurfaceText, ClipsAndSurfaceEdgesHoldAndEndWithTheContext) {
  FontHandle font(MakeFont("Arial", 14));
  auto surface = Make(40, 24, 0x000000);
  const RECT clip{10, 0, 20, 24};
  const RECT narrower{0, 5, 15, 30};
  {
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    SelectObject(dc, font.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    EXPECT_EQ(IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom), SIMPLEREGION);
    EXPECT_EQ(IntersectClipRect(dc, narrower.left, narrower.top, narrower.right, narrower.bottom), SIMPLEREGION);
    EXPECT_TRUE(TextOutA(dc, -3, 0, "WWWWWWWW", 8));
    EXPECT_TRUE(TextOutA(dc, -2000000000, 2000000000, "WW", 2));
    EXPECT_TRUE(TextOutA(dc, 2000000000, -2000000000, "WW", 2));
    ASSERT_EQ(surface->ReleaseDC(dc), DD_OK);
  }
  auto pixels = Read(surface.get());
  int inside = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool visible = x >= 10 && x < 15 && y >= 5;
      const std::uint32_t pixel = pixels[static_cast<std::size_t>(y * 40 + x)];
      if (!visible) {
        ASSERT_EQ(pixel, 0xFF000000u) << x << "," << y;
      }
      inside += pixel != 0xFF000000u;
    }
  EXPECT_GT(inside, 0);

  // A new context of the same surface starts without the old clip.
  Draw(surface.get(), font.font, -3, 0, "WWWWWWWW", RGB(255, 255, 255));
  pixels = Read(surface.get());
  int left = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 10; ++x) left += pixels[static_cast<std::size_t>(y * 40 + x)] != 0xFF000000u;
  EXPECT_GT(left, 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, GdiSurfaceText, testing::ValuesIn(testsupport::kScreenFormats),
                         testsupport::ScreenFormatName);

}  // namespace
