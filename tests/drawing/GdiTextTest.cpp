#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace {

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

TEST(GdiText, ExtentsAndMeasuredLinesAgree) {
  FontHandle font(MakeFont("Arial", 12));
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.font);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "&File", 5, &size));
  char text[] = "&File";
  RECT rect{0, 0, 0, 0};
  EXPECT_EQ(DrawTextExA(dc, text, -1, &rect, DT_CALCRECT | DT_NOPREFIX, nullptr), size.cy);
  EXPECT_EQ(rect.right, size.cx);
  EXPECT_EQ(DrawTextExA(dc, text, -1, &rect, DT_CALCRECT, nullptr), 0);  // only plain measuring
  char lines[] = "one\ntwo lines";
  rect = RECT{5, 7, 5, 7};
  EXPECT_EQ(DrawTextExA(dc, lines, -1, &rect, DT_CALCRECT | DT_NOPREFIX, nullptr), 2 * size.cy);
  EXPECT_EQ(rect.bottom, 7 + 2 * size.cy);
  SIZE second{};
  GetTextExtentPoint32A(dc, "two lines", 9, &second);
  EXPECT_EQ(rect.right, 5 + second.cx);
  EXPECT_EQ(DrawTextExA(dc, lines, 3, &rect, DT_CALCRECT | DT_NOPREFIX, nullptr), size.cy);
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

}  // namespace
