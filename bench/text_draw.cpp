// Text drawing: an image font's string through the drawing context beside SDL_BlitSurface blitting
// the same glyph rectangles, and GDI text into a surface's device context beside FreeType rendering
// and blending the same glyphs itself (no glyph cache), plus word wrapping a paragraph.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "framework/font/FontHost.h"
#include "framework/font/ImageFont.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SharedImageSet.h"
#include "platform/ddraw/DDraw.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/modules/Modules.h"

namespace {

constexpr int WIDTH = 800, HEIGHT = 600;
const std::string kText = "The quick brown fox jumps over the lazy dog 0123456789";

// 95 printable glyphs of 10 x 24 with soft edges.
std::unique_ptr<Kit::MemoryImage> GlyphSheet() {
  auto sheet = std::make_unique<Kit::MemoryImage>();
  sheet->Create(95 * 10, 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 95 * 10; ++x) {
      const int column = x % 10;
      const std::uint32_t alpha = column == 0 || column == 9 ? 0 : (column == 1 || column == 8 ? 0x80 : 0xFF);
      sheet->GetBits()[y * 95 * 10 + x] = (y % 5 == 0 ? 0 : alpha) << 24 | 0xFFFFFF;
    }
  sheet->BitsChanged();
  return sheet;
}

class SheetHost : public Kit::FontHost {
 public:
  Kit::SharedImageRef GetSharedImage(const std::string&, const std::string&, bool* created) override {
    return mSheets.GetSharedImage("sheet", "", created);
  }

 private:
  Kit::SharedImageSet mSheets{[](const std::string&) { return GlyphSheet(); }, nullptr};
};

std::string Descriptor() {
  std::string chars, widths;
  for (char c = ' '; c <= '~'; ++c) {
    chars += c == '\'' ? std::string(" \"'\"") : std::string(" '") + (c == '\\' ? "\\\\" : std::string(1, c)) + "'";
    widths += " 10";
  }
  return "SetDefaultPointSize 16; Define Chars (" + chars + "); Define Widths (" + widths +
         "); CreateHorzSpanRectList Rects (0 0 0 24) Widths; CreateLayer Face; LayerSetImage Face sheet.png;"
         "LayerSetImageMap Face Chars Rects; LayerSetCharWidths Face Chars Widths; LayerSetAscent Face 18;";
}

std::string DescriptorFile() {
  const auto path = std::filesystem::temp_directory_path() / "bench_text_draw_font.txt";
  std::ofstream(path) << Descriptor();
  return path.string();
}

struct ImageFontFixture {
  // An opaque canvas that says so, as a screen is: without the mode set, every blit onto an
  // 800 x 600 software image first rescans it for transparency.
  ImageFontFixture() : font(&host, DescriptorFile()) {
    canvas.Create(WIDTH, HEIGHT);
    std::fill(canvas.GetBits(), canvas.GetBits() + WIDTH * HEIGHT, 0xFF203040u);
    canvas.BitsChanged();
    canvas.SetImageMode(false, false);
  }
  SheetHost host;
  Kit::ImageFont font;
  Kit::MemoryImage canvas;
};

void BM_ImageFontDrawString(benchmark::State& state) {
  ImageFontFixture fixture;
  Kit::Graphics g(&fixture.canvas);
  g.SetFont(&fixture.font);
  g.SetColor(Kit::Color(255, 220, 120));
  for (auto _ : state) {
    for (int line = 0; line < 20; ++line) g.DrawString(kText, 10, 30 + line * 26);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 20 * static_cast<int64_t>(kText.size()));
}
BENCHMARK(BM_ImageFontDrawString);

// The same glyph rectangles, white, blended by SDL's blitter.
void BM_SdlBlitGlyphs(benchmark::State& state) {
  ImageFontFixture fixture;
  std::vector<Kit::RenderCommand> glyphs =
      fixture.font.LayoutString(10, 30, kText, Kit::Color::White, nullptr, nullptr);
  auto sheet = GlyphSheet();
  SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(sheet->GetBits(), sheet->GetWidth(), sheet->GetHeight(), 32,
                                                           sheet->GetWidth() * 4, SDL_PIXELFORMAT_ARGB8888);
  SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_BLEND);
  SDL_SetSurfaceColorMod(source, 255, 220, 120);
  SDL_Surface* dest = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 32, SDL_PIXELFORMAT_ARGB8888);
  for (auto _ : state) {
    for (int line = 0; line < 20; ++line)
      for (const Kit::RenderCommand& glyph : glyphs) {
        SDL_Rect from{glyph.mSrcRect.mX, glyph.mSrcRect.mY, glyph.mSrcRect.mWidth, glyph.mSrcRect.mHeight};
        SDL_Rect to{glyph.mDestX, glyph.mDestY + line * 26, 0, 0};
        SDL_BlitSurface(source, &from, dest, &to);
      }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 20 * static_cast<int64_t>(kText.size()));
  SDL_FreeSurface(dest);
  SDL_FreeSurface(source);
}
BENCHMARK(BM_SdlBlitGlyphs);

struct SurfaceFixture {
  SurfaceFixture() {
    HMODULE module = LoadLibrary("ddraw.dll");
    auto create = reinterpret_cast<LPDIRECTDRAWCREATEEX>(GetProcAddress(module, "DirectDrawCreateEx"));
    void* object = nullptr;
    create(nullptr, &object, IID_IDirectDraw7, nullptr);
    dd = static_cast<IDirectDraw7*>(object);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = WIDTH;
    desc.dwHeight = HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    dd->CreateSurface(&desc, &surface, nullptr);
    font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                       ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");
  }
  ~SurfaceFixture() {
    DeleteObject(font);
    surface->Release();
    dd->Release();
  }
  IDirectDraw7* dd = nullptr;
  IDirectDrawSurface7* surface = nullptr;
  HFONT font = nullptr;
};

// What a system font does per string: take the surface's context, set it up, write, give it back.
void BM_GdiTextOut(benchmark::State& state) {
  SurfaceFixture fixture;
  for (auto _ : state) {
    for (int line = 0; line < 20; ++line) {
      HDC dc = nullptr;
      fixture.surface->GetDC(&dc);
      HGDIOBJ old = SelectObject(dc, fixture.font);
      SetBkMode(dc, TRANSPARENT);
      IntersectClipRect(dc, 0, 0, WIDTH, HEIGHT);
      SetTextColor(dc, RGB(255, 220, 120));
      TextOutA(dc, 10, 10 + line * 26, kText.data(), static_cast<int>(kText.size()));
      SelectObject(dc, old);
      fixture.surface->ReleaseDC(dc);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 20 * static_cast<int64_t>(kText.size()));
}
BENCHMARK(BM_GdiTextOut);

// FreeType rendering every glyph each time and blending it into 32-bit memory.
void BM_FreeTypeRenderAndBlend(benchmark::State& state) {
  FT_Library library;
  FT_Init_FreeType(&library);
  FT_Face face;
  if (FT_New_Face(library, "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf", 0, &face) != 0 &&
      FT_New_Face(library, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0, &face) != 0) {
    state.SkipWithError("no font file");
    FT_Done_FreeType(library);
    return;
  }
  FT_Set_Pixel_Sizes(face, 0, 16);
  std::vector<std::uint32_t> pixels(WIDTH * HEIGHT);
  for (auto _ : state) {
    for (int line = 0; line < 20; ++line) {
      int pen = 10;
      const int baseline = 10 + line * 26 + 15;
      for (char c : kText) {
        if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER) != 0) continue;
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        for (unsigned y = 0; y < bitmap.rows; ++y)
          for (unsigned x = 0; x < bitmap.width; ++x) {
            const int coverage = bitmap.buffer[y * bitmap.pitch + x];
            const int px = pen + face->glyph->bitmap_left + static_cast<int>(x);
            const int py = baseline - face->glyph->bitmap_top + static_cast<int>(y);
            if (coverage == 0 || px < 0 || py < 0 || px >= WIDTH || py >= HEIGHT) continue;
            std::uint32_t& p = pixels[static_cast<std::size_t>(py) * WIDTH + px];
            auto mix = [coverage](std::uint32_t under, std::uint32_t over) {
              return (under * (255 - coverage) + over * coverage + 127) / 255;
            };
            p = mix((p >> 16) & 0xFF, 255) << 16 | mix((p >> 8) & 0xFF, 220) << 8 | mix(p & 0xFF, 120);
          }
        pen += static_cast<int>((face->glyph->advance.x + 32) >> 6);
      }
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 20 * static_cast<int64_t>(kText.size()));
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}
BENCHMARK(BM_FreeTypeRenderAndBlend);

// Measures where a paragraph breaks into lines, as a dialog sizing its body does.
void BM_WordWrapHeight(benchmark::State& state) {
  ImageFontFixture fixture;
  Kit::Graphics g(&fixture.canvas);
  g.SetFont(&fixture.font);
  std::string paragraph;
  for (int i = 0; i < 8; ++i) paragraph += kText + " ^FFC040.again ";
  for (auto _ : state) benchmark::DoNotOptimize(g.GetWordWrappedHeight(300, paragraph));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(paragraph.size()));
}
BENCHMARK(BM_WordWrapHeight);

}  // namespace
