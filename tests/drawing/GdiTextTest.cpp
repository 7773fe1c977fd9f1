#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/ddraw/SurfaceDC.h"
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

// Surface memory of one pixel format with a device context of its own for the time of a test.
struct TextSurface {
  TextSurface(int bitCount, DWORD red, DWORD green, DWORD blue, int width, int height) {
    record.format.dwSize = sizeof(record.format);
    record.format.dwFlags = DDPF_RGB;
    record.format.dwRGBBitCount = static_cast<DWORD>(bitCount);
    record.format.dwRBitMask = red;
    record.format.dwGBitMask = green;
    record.format.dwBBitMask = blue;
    record.width = width;
    record.height = height;
    record.pitch = width * bitCount / 8 + 5;
    bytes.resize(static_cast<size_t>(record.pitch) * height);
    record.pixels = bytes.data();
    dc = plat::ddraw::RegisterSurfaceDC(&record);
  }
  ~TextSurface() { plat::ddraw::UnregisterSurfaceDC(dc); }
  TextSurface(const TextSurface&) = delete;
  TextSurface& operator=(const TextSurface&) = delete;

  DWORD At(int x, int y) const {
    DWORD pixel = 0;
    std::memcpy(&pixel, bytes.data() + static_cast<size_t>(y) * record.pitch + x * record.format.dwRGBBitCount / 8,
                record.format.dwRGBBitCount / 8);
    return pixel;
  }

  plat::SurfaceDC record;
  std::vector<BYTE> bytes;
  HDC dc = nullptr;
};

// The common layouts (5-6-5, 5-5-5, 8-8-8 in 32 bits) are drawn by code compiled for them; each must
// give exactly what the same masks read from the format give: those masks in a wider pixel (the extra
// bits kept as they were), or 8-8-8 in 24 bits. Antialiased text over a noisy ground, in both
// background modes and clipped.
TEST(GdiText, CommonLayoutsDrawAsTheirMasksReadFromTheFormat) {
  struct Case {
    const char* name;
    int bits;
    int twinBits;
    DWORD red, green, blue;
  };
  const Case cases[] = {{"5-6-5", 16, 32, 0xF800, 0x07E0, 0x001F},
                        {"5-5-5", 16, 32, 0x7C00, 0x03E0, 0x001F},
                        {"8-8-8", 32, 24, 0xFF0000, 0x00FF00, 0x0000FF}};
  FontHandle font(MakeFont("Arial", 13, false, false, true));
  constexpr int kWidth = 90, kHeight = 24;
  for (const Case& c : cases)
    for (int mode : {TRANSPARENT, OPAQUE}) {
      SCOPED_TRACE(std::string(c.name) + (mode == OPAQUE ? " opaque" : " transparent"));
      TextSurface fixed(c.bits, c.red, c.green, c.blue, kWidth, kHeight);
      TextSurface twin(c.twinBits, c.red, c.green, c.blue, kWidth, kHeight);
      std::mt19937 rng(7);
      for (BYTE& b : twin.bytes) b = static_cast<BYTE>(rng());
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
          const DWORD pixel = twin.At(x, y);
          std::memcpy(fixed.bytes.data() + static_cast<size_t>(y) * fixed.record.pitch + x * c.bits / 8, &pixel,
                      c.bits / 8);
        }
      std::vector<DWORD> twinBefore;
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) twinBefore.push_back(twin.At(x, y));
      for (const TextSurface* surface : {&fixed, &twin}) {
        HGDIOBJ old = SelectObject(surface->dc, font.font);
        SetBkMode(surface->dc, mode);
        SetTextColor(surface->dc, RGB(250, 210, 40));
        IntersectClipRect(surface->dc, 3, 2, kWidth - 7, kHeight - 3);
        EXPECT_TRUE(TextOutA(surface->dc, -2, 1, "Quarvel 1.0", 11));
        SelectObject(surface->dc, old);
      }
      int changed = 0, wrong = 0;
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
          const DWORD expected = twin.At(x, y);
          changed += expected != twinBefore[static_cast<size_t>(y) * kWidth + x];
          const DWORD mask = c.bits == 16 ? 0xFFFF : 0xFFFFFF;  // the bits both pixels have
          if ((fixed.At(x, y) & mask) != (expected & mask) && wrong++ < 5)
            ADD_FAILURE() << "at " << x << "," << y << std::hex << ": " << fixed.At(x, y) << " drawn, " << expected
                          << " from the format's masks";
        }
      EXPECT_GT(changed, 100);
    }
}

}  // namespace
