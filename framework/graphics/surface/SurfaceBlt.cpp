#include "framework/graphics/surface/SurfaceBlt.h"

#include "framework/graphics/kernels/CopyRows.h"
#include "framework/graphics/kernels/OverRows.h"
#include "framework/graphics/kernels/SurfaceRows.h"
#include "framework/graphics/kernels/TintRows.h"
#include "framework/graphics/software/SourcePixels.h"
#include "framework/graphics/surface/SurfaceBlitArea.h"
#include "framework/graphics/surface/SurfacePixelMath.h"

#include <algorithm>

namespace Kit::SurfaceDraw {
namespace {

using namespace SurfaceMath;

Rect SourceBounds(const MemoryImage& source) { return Rect(0, 0, source.mWidth, source.mHeight); }

// The native word of source pixel i, through the colour table's native words when palettized. The
// two kinds are separate types so that each pixel loop is compiled without the test.
template <bool kPalettized_>
struct NativeWords {
  static constexpr bool kPalettized = kPalettized_;
  const std::uint32_t* mWords;
  const std::uint8_t* mIndices;
  std::uint32_t operator[](std::size_t i) const {
    if constexpr (kPalettized_)
      return mWords[mIndices[i]];
    else
      return mWords[i];
  }
};

// Calls draw(words) with the source's native words of the right kind.
template <typename Draw>
void WithNativeWords(MemoryImage& source, NativeDisplay* display, Draw draw) {
  const std::uint32_t* words = source.GetNativeAlphaData(display);
  if (source.mColorTable && source.mColorIndices)
    draw(NativeWords<true>{words, source.mColorIndices.get()});
  else
    draw(NativeWords<false>{words, nullptr});
}

// Calls run(pixel index in the source, destination pointer, direction, count) for each run of each
// row, the runs taken from the run-length table and cut to the row.
template <typename Pixel, typename Run>
void ForEachRun(const SurfaceTarget& t, const MemoryImage& source, const BlitArea& area, bool mirror,
                const std::uint8_t* runs, Run run) {
  const int dir = mirror ? -1 : 1;
  for (int j = 0; j < area.mSrc.mHeight; ++j) {
    std::size_t i = static_cast<std::size_t>(area.mSrc.mY + j) * source.mWidth + area.mSrc.mX;
    Pixel* d = t.mPixels.Row<Pixel>(area.mY + j) + (mirror ? area.mX + area.mSrc.mWidth - 1 : area.mX);
    int left = area.mSrc.mWidth;
    while (left > 0) {
      const int count = std::clamp<int>(runs[i], 1, left);
      run(i, d, dir, count);
      i += static_cast<std::size_t>(count);
      d += static_cast<std::ptrdiff_t>(count) * dir;
      left -= count;
    }
  }
}

// Calls draw(row index, first column, words, count) over each row of the blit in pieces of contiguous
// native words in drawing order: a palettized source looked up, a mirrored row reversed (its last source
// pixel is drawn first). The pieces live on the stack, so a small blit allocates nothing.
template <typename Words, typename Draw>
void ForEachGatheredPiece(const MemoryImage& source, const Words& s, const BlitArea& area, bool mirror, Draw draw) {
  constexpr int kPiece = 256;
  std::uint32_t piece[kPiece];
  const int width = area.mSrc.mWidth;
  for (int j = 0; j < area.mSrc.mHeight; ++j) {
    const std::size_t i = static_cast<std::size_t>(area.mSrc.mY + j) * source.mWidth + area.mSrc.mX;
    for (int first = 0; first < width; first += kPiece) {
      const int count = std::min(kPiece, width - first);
      if constexpr (Words::kPalettized) {
        if (mirror) {
          const std::size_t last = i + static_cast<std::size_t>(width - 1 - first);
          for (int k = 0; k < count; ++k) piece[k] = s[last - static_cast<std::size_t>(k)];
        } else {
          for (int k = 0; k < count; ++k) piece[k] = s[i + static_cast<std::size_t>(first + k)];
        }
      } else {
        CopyRows::Reverse(piece, s.mWords + i + static_cast<std::size_t>(width - first - count), count);
      }
      draw(j, first, piece, count);
    }
  }
}

// The alpha blit onto 0x00RRGGBB, 5-6-5 and 5-5-5 fields (white or tinted) through the row kernels, whose per-pixel
// rule (alpha 0 left, alpha 255 stored, other alphas blended) is what the runs give: each row after its leading
// transparent run, or each gathered row (palettized or mirrored). False when the kernels do not cover the case.
template <typename Pixel, typename Words>
bool AlphaKernelRows(const SurfaceTarget& t, MemoryImage& source, const Words& s, const std::uint8_t* runs,
                     const BlitArea& area, const Rgba& c, bool white, bool mirror) {
  const Fields fields = FieldsOf<Pixel>(t);
  if (fields == Fields::kOther) return false;
  const Rgba cp = Premultiplied(c);
  const TintRows::Tint tint{cp.r, cp.g, cp.b, c.a};
  auto drawRow = [&](Pixel* d, const std::uint32_t* words, int count) {
    if constexpr (sizeof(Pixel) == 2) {
      if (!white && fields == Fields::k555)
        TintRows::OntoSurface555(d, words, count, tint, TintRows::Mode::kBlit);
      else if (!white)
        TintRows::OntoSurface565(d, words, count, tint, TintRows::Mode::kBlit);
      else if (fields == Fields::k555)
        OverRows::OntoSurface555(d, words, count);
      else
        OverRows::OntoSurface565(d, words, count);
    } else if (white) {
      OverRows::OntoSurface888(d, words, count);
    } else {
      TintRows::OntoSurface888(d, words, count, tint, TintRows::Mode::kBlit);
    }
  };
  if (Words::kPalettized || mirror) {
    ForEachGatheredPiece(source, s, area, mirror, [&](int j, int first, const std::uint32_t* words, int count) {
      drawRow(t.mPixels.Row<Pixel>(area.mY + j) + area.mX + first, words, count);
    });
    return true;
  }
  if constexpr (!Words::kPalettized) {
    const std::size_t first = static_cast<std::size_t>(area.mSrc.mY) * source.mWidth + area.mSrc.mX;
    const OverRows::Rows<Pixel> rows{t.mPixels.Row<Pixel>(area.mY) + area.mX,
                                     t.mPixels.mPitch / static_cast<int>(sizeof(Pixel)),
                                     s.mWords + first,
                                     runs + first,
                                     source.mWidth,
                                     area.mSrc.mWidth,
                                     area.mSrc.mHeight};
    if (!white) {
      for (int j = 0; j < rows.height; ++j) {
        const int x = rows.FirstDrawn(j);
        drawRow(rows.Dest(j) + x, rows.Source(j) + x, rows.width - x);
      }
    } else if constexpr (sizeof(Pixel) == 2) {
      if (fields == Fields::k555)
        OverRows::OntoSurface555(rows);
      else
        OverRows::OntoSurface565(rows);
    } else {
      OverRows::OntoSurface888(rows);
    }
  }
  return true;
}

template <typename Pixel, typename Words>
void AlphaBltAt(const SurfaceTarget& t, MemoryImage& source, const Words& s, const std::uint8_t* runs,
                const BlitArea& area, const Rgba& c, bool white, bool mirror) {
  if (AlphaKernelRows<Pixel>(t, source, s, runs, area, c, white, mirror)) return;
  if (white) {
    ForEachRun<Pixel>(t, source, area, mirror, runs, [&](std::size_t i, Pixel* d, int dir, int count) {
      const std::uint32_t a = s[i] >> 24;
      if (a == 0) return;
      if (a == 255) {
        for (int k = 0; k < count; ++k) d[k * dir] = static_cast<Pixel>(s[i + k]);
        return;
      }
      for (int k = 0; k < count; ++k) {
        const std::uint32_t word = s[i + k];
        Pixel& p = d[k * dir];
        p = static_cast<Pixel>(ScaleChannels(t, p, 256 - (word >> 24)) + word);
      }
    });
    return;
  }
  const Rgba cp = Premultiplied(c);
  auto channel = [](std::uint32_t word, std::uint32_t dst, std::uint32_t mask, std::uint32_t cc, std::uint32_t ia) {
    return (((dst & mask) * ia + (word & mask) * cc) >> 8) & mask;
  };
  ForEachRun<Pixel>(t, source, area, mirror, runs, [&](std::size_t i, Pixel* d, int dir, int count) {
    const std::uint32_t a = s[i] >> 24;
    if (a == 0) return;
    if (a == 255 && c.a == 255) {
      for (int k = 0; k < count; ++k) {
        const std::uint32_t word = s[i + k];
        d[k * dir] =
            static_cast<Pixel>(channel(word, 0, t.mRed.mMask, cp.r, 0) + channel(word, 0, t.mGreen.mMask, cp.g, 0) +
                               channel(word, 0, t.mBlue.mMask, cp.b, 0));
      }
      return;
    }
    for (int k = 0; k < count; ++k) {
      const std::uint32_t word = s[i + k];
      const std::uint32_t ia = 256 - (word >> 24) * c.a / 255;
      Pixel& p = d[k * dir];
      const std::uint32_t dst = p;
      p = static_cast<Pixel>(channel(word, dst, t.mRed.mMask, cp.r, ia) + channel(word, dst, t.mGreen.mMask, cp.g, ia) +
                             channel(word, dst, t.mBlue.mMask, cp.b, ia));
    }
  });
}

// The additive blit onto 5-6-5 fields as blocks of rows: contiguous words (plain, not mirrored) in one
// call, a small gathered blit (palettized or mirrored) gathered whole on the stack first. False when
// the blit is too large to gather at once.
template <typename Words>
bool AdditiveBlock565(const SurfaceTarget& t, const MemoryImage& source, const Words& s, const BlitArea& area,
                      const Rgba& cp, bool white, bool mirror) {
  constexpr int kGathered = 1024;
  const int width = area.mSrc.mWidth, height = area.mSrc.mHeight;
  std::uint16_t* d = t.mPixels.Row<std::uint16_t>(area.mY) + area.mX;
  const std::ptrdiff_t dStride = t.mPixels.mPitch / 2;
  const std::size_t first = static_cast<std::size_t>(area.mSrc.mY) * source.mWidth + area.mSrc.mX;
  auto add = [&](const std::uint32_t* words, std::ptrdiff_t sStride) {
    if (white)
      SurfaceRows::AddSaturated565Block(d, dStride, words, sStride, width, height);
    else
      SurfaceRows::AddScaled565Block(d, dStride, words, sStride, width, height, cp.r, cp.g, cp.b);
  };
  if (!Words::kPalettized && !mirror) {
    add(s.mWords + first, source.mWidth);
    return true;
  }
  if (static_cast<long long>(width) * height > kGathered) return false;
  std::uint32_t gathered[kGathered];
  std::uint32_t* out = gathered;
  const Words words = s;  // held locally: the stores below cannot be taken to change it
  for (int j = 0; j < height; ++j, out += width) {
    const std::size_t i = first + static_cast<std::size_t>(j) * source.mWidth;
    if (mirror) {
      for (int k = 0; k < width; ++k) out[k] = words[i + static_cast<std::size_t>(width - 1 - k)];
    } else {
      for (int k = 0; k < width; ++k) out[k] = words[i + static_cast<std::size_t>(k)];
    }
  }
  add(gathered, width);
  return true;
}

template <typename Pixel, typename Words>
void AdditiveBltAt(const SurfaceTarget& t, MemoryImage& source, const Words& s, const std::uint8_t* runs,
                   const BlitArea& area, const Rgba& c, bool white, bool mirror) {
  const Rgba cp = Premultiplied(c);
  auto whiteChannel = [](const SurfaceChannel& ch, std::uint32_t word, std::uint32_t dst) {
    return static_cast<std::uint32_t>(ch.mAdd[((dst & ch.mMask) + (word & ch.mMask)) >> ch.mShift]) << ch.mShift;
  };
  auto colouredChannel = [](const SurfaceChannel& ch, std::uint32_t word, std::uint32_t dst, std::uint32_t cc) {
    return static_cast<std::uint32_t>(
               ch.mAdd[((((word & ch.mMask) >> ch.mShift) * cc) >> 8) + ((dst & ch.mMask) >> ch.mShift)])
           << ch.mShift;
  };
  // Rows onto byte, 5-6-5 or 5-5-5 fields go through the row kernels: contiguous words run by run
  // (skip 0: a run that is drawn holds no black word) or, onto 5-5-5, whole, and gathered rows
  // (palettized or mirrored) whole, where a black word is left alone as its run would be. (Adding black
  // changes no 5-6-5 pixel; a 5-5-5 one would lose its top bit.)
  const Fields fields = FieldsOf<Pixel>(t);
  auto addRow = [&](Pixel* d, const std::uint32_t* words, int count, std::uint32_t skip) {
    if constexpr (sizeof(Pixel) == 4) {
      if (white)
        SurfaceRows::AddSaturated888(d, words, count, skip);
      else
        SurfaceRows::AddScaled888(d, words, count, cp.r, cp.g, cp.b, skip);
    } else if (fields == Fields::k555) {
      if (white)
        SurfaceRows::AddSaturated555(d, words, count, skip);
      else
        SurfaceRows::AddScaled555(d, words, count, cp.r, cp.g, cp.b, skip);
    } else {
      if (white)
        SurfaceRows::AddSaturated565(d, words, count);
      else
        SurfaceRows::AddScaled565(d, words, count, cp.r, cp.g, cp.b);
    }
  };
  if constexpr (sizeof(Pixel) == 2) {
    // A black word adds nothing to a 5-6-5 pixel: the rows go through the kernel whole, without the runs,
    // in one call where the words are contiguous or a small blit's rows are gathered together first.
    if (fields == Fields::k565 && AdditiveBlock565(t, source, s, area, cp, white, mirror)) return;
  }
  const bool rowKernels = fields != Fields::kOther;
  if constexpr (!Words::kPalettized) {
    // Onto 5-5-5 the kernel leaves the black words as their runs would: contiguous rows go whole.
    if (fields == Fields::k555 && !mirror) {
      const std::size_t first = static_cast<std::size_t>(area.mSrc.mY) * source.mWidth + area.mSrc.mX;
      for (int j = 0; j < area.mSrc.mHeight; ++j)
        addRow(t.mPixels.Row<Pixel>(area.mY + j) + area.mX,
               s.mWords + first + static_cast<std::size_t>(j) * source.mWidth, area.mSrc.mWidth, 0xFFFFFF);
      return;
    }
  }
  if (rowKernels && (Words::kPalettized || mirror)) {
    ForEachGatheredPiece(source, s, area, mirror, [&](int j, int first, const std::uint32_t* words, int count) {
      addRow(t.mPixels.Row<Pixel>(area.mY + j) + area.mX + first, words, count, 0xFFFFFF);
    });
    return;
  }
  ForEachRun<Pixel>(t, source, area, mirror, runs, [&](std::size_t i, Pixel* d, int dir, int count) {
    if ((s[i] & 0xFFFFFF) == 0) return;
    if constexpr (!Words::kPalettized) {
      if (rowKernels) {
        addRow(d, s.mWords + i, count, 0);
        return;
      }
    }
    for (int k = 0; k < count; ++k) {
      const std::uint32_t word = s[i + k];
      Pixel& p = d[k * dir];
      const std::uint32_t dst = p;
      if (white)
        p = static_cast<Pixel>(whiteChannel(t.mRed, word, dst) | whiteChannel(t.mGreen, word, dst) |
                               whiteChannel(t.mBlue, word, dst));
      else
        p = static_cast<Pixel>(colouredChannel(t.mRed, word, dst, cp.r) | colouredChannel(t.mGreen, word, dst, cp.g) |
                               colouredChannel(t.mBlue, word, dst, cp.b));
    }
  });
}

template <typename Pixel>
void VolatileBltAt(const SurfaceTarget& t, const SourcePixels& src, const BlitArea& area) {
  constexpr bool k16 = sizeof(Pixel) == 2;
  auto channel = [](std::uint32_t dst, std::uint32_t mask, std::uint32_t sc, std::uint32_t a) {
    const std::uint32_t ia = 256 - a;
    const std::uint32_t colour = k16 ? (sc * a * mask) >> 8 : ((sc * a) >> 8) * mask;
    return (((dst & mask) * ia + mask / 2 + colour) >> 8) & mask;
  };
  for (int j = 0; j < area.mSrc.mHeight; ++j) {
    Pixel* d = t.mPixels.Row<Pixel>(area.mY + j) + area.mX;
    for (int k = 0; k < area.mSrc.mWidth; ++k) {
      const std::uint32_t argb = src.At(area.mSrc.mX + k, area.mSrc.mY + j);
      const std::uint32_t a = argb >> 24;
      const std::uint32_t dst = d[k];
      d[k] = static_cast<Pixel>(channel(dst, t.mRed.mMask, (argb >> 16) & 0xFF, a) +
                                channel(dst, t.mGreen.mMask, (argb >> 8) & 0xFF, a) +
                                channel(dst, t.mBlue.mMask, argb & 0xFF, a));
    }
  }
}

template <typename Pixel, typename Words>
void CopyNativeAt(const SurfaceTarget& t, MemoryImage& source, NativeDisplay* display, const Words& s,
                  const BlitArea& area, bool skipTransparent) {
  const int sourceWidth = source.mWidth;
  if (skipTransparent) {
    if constexpr (!Words::kPalettized) {
      // Span by span: the keyed spans (made from the alpha blit's run table) copied whole, every other
      // word stepped over. Onto 16 bits the copies read the image's 16-bit words: half the memory of the
      // native ones.
      const Pixel* words;
      if constexpr (sizeof(Pixel) == 2)
        words = source.GetNative16Data(display);
      else
        words = s.mWords;
      const KeyedSpans& spans = source.GetKeyedSpans();
      CopyRows::StoreKeyed(CopyRows::KeyedRows<Pixel>{
          t.mPixels.Row<Pixel>(area.mY) + area.mX, t.mPixels.mPitch / static_cast<int>(sizeof(Pixel)),
          words + static_cast<std::size_t>(area.mSrc.mY) * sourceWidth, sourceWidth,
          spans.rowFirst.data() + area.mSrc.mY, spans.spans.data(), area.mSrc.mX, area.mSrc.mX + area.mSrc.mWidth,
          area.mSrc.mY, area.mSrc.mHeight});
    } else {
      for (int j = 0; j < area.mSrc.mHeight; ++j) {
        Pixel* d = t.mPixels.Row<Pixel>(area.mY + j) + area.mX;
        const std::size_t i = static_cast<std::size_t>(area.mSrc.mY + j) * sourceWidth + area.mSrc.mX;
        for (int k = 0; k < area.mSrc.mWidth; ++k) {
          const std::uint32_t word = s[i + static_cast<std::size_t>(k)];
          if ((word >> 24) != 0) d[k] = static_cast<Pixel>(word);
        }
      }
    }
    return;
  }
  // A plain copy onto 16 bits reads the image's 16-bit words.
  if constexpr (!Words::kPalettized && sizeof(Pixel) == 2) {
    const std::uint16_t* words = source.GetNative16Data(display);
    for (int j = 0; j < area.mSrc.mHeight; ++j)
      std::copy_n(words + static_cast<std::size_t>(area.mSrc.mY + j) * sourceWidth + area.mSrc.mX, area.mSrc.mWidth,
                  t.mPixels.Row<Pixel>(area.mY + j) + area.mX);
    return;
  }
  for (int j = 0; j < area.mSrc.mHeight; ++j) {
    Pixel* d = t.mPixels.Row<Pixel>(area.mY + j) + area.mX;
    const std::size_t i = static_cast<std::size_t>(area.mSrc.mY + j) * sourceWidth + area.mSrc.mX;
    if constexpr (!Words::kPalettized && sizeof(Pixel) == 4) {
      std::copy_n(s.mWords + i, area.mSrc.mWidth, d);
    } else {
      Pixel* __restrict out = d;
      for (int k = 0; k < area.mSrc.mWidth; ++k) out[k] = static_cast<Pixel>(s[i + k]);
    }
  }
}

BlitArea AreaOf(const SurfaceTarget& t, const MemoryImage& source, int x, int y, const Rect& srcRect, bool mirror) {
  if (!t.mPixels.IsDrawable()) return {};
  return ClipBlit(t.mPixels.Bounds(), SourceBounds(source), x, y, srcRect, mirror);
}

}  // namespace

void VolatileBlt(const SurfaceTarget& target, MemoryImage& source, int x, int y, const Rect& srcRect) {
  const BlitArea area = AreaOf(target, source, x, y, srcRect, false);
  if (area.IsEmpty()) return;
  const SourcePixels src(source);
  if (!src.IsPalettized() && !src.Bits()) return;
  if (target.mPixels.mBitCount == 16)
    VolatileBltAt<std::uint16_t>(target, src, area);
  else
    VolatileBltAt<std::uint32_t>(target, src, area);
}

void CopyNative(const SurfaceTarget& target, MemoryImage& source, NativeDisplay* display, int x, int y,
                const Rect& srcRect, bool skipTransparent) {
  const BlitArea area = AreaOf(target, source, x, y, srcRect, false);
  if (area.IsEmpty()) return;
  WithNativeWords(source, display, [&](const auto& words) {
    if (target.mPixels.mBitCount == 16)
      CopyNativeAt<std::uint16_t>(target, source, display, words, area, skipTransparent);
    else
      CopyNativeAt<std::uint32_t>(target, source, display, words, area, skipTransparent);
  });
}

void AlphaBlt(const SurfaceTarget& target, MemoryImage& source, NativeDisplay* display, int x, int y,
              const Rect& srcRect, const Color& color, bool mirror) {
  const BlitArea area = AreaOf(target, source, x, y, srcRect, mirror);
  if (area.IsEmpty()) return;
  const Rgba c = Clamped(color);
  const bool white = IsWhite(color);
  WithNativeWords(source, display, [&](const auto& words) {
    const std::uint8_t* runs = source.GetRLAlphaData();
    if (target.mPixels.mBitCount == 16)
      AlphaBltAt<std::uint16_t>(target, source, words, runs, area, c, white, mirror);
    else
      AlphaBltAt<std::uint32_t>(target, source, words, runs, area, c, white, mirror);
  });
}

void AdditiveBlt(const SurfaceTarget& target, MemoryImage& source, NativeDisplay* display, int x, int y,
                 const Rect& srcRect, const Color& color, bool mirror) {
  if (!target.mAdditiveUsable) return;
  const BlitArea area = AreaOf(target, source, x, y, srcRect, mirror);
  if (area.IsEmpty()) return;
  const Rgba c = Clamped(color);
  const bool white = IsWhite(color);
  WithNativeWords(source, display, [&](const auto& words) {
    const std::uint8_t* runs = source.GetRLAdditiveData(display);
    if (target.mPixels.mBitCount == 16)
      AdditiveBltAt<std::uint16_t>(target, source, words, runs, area, c, white, mirror);
    else
      AdditiveBltAt<std::uint32_t>(target, source, words, runs, area, c, white, mirror);
  });
}

}  // namespace Kit::SurfaceDraw
