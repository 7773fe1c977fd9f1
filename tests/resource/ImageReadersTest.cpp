#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

#include "framework/resource/ImageLib.h"
#include "tests/resource/TestImageFiles.h"
#include "tests/support/TempDir.h"

namespace {

using namespace testimages;
using ImageLib::Image;

std::vector<uint32_t> Pixels(const Image& image) { return {image.GetBits(), image.GetBits() + image.GetPixelCount()}; }

// TGA

// Only uncompressed top-left 32-bit true colour is read, with or without an image ID and an unused
// colour map; every other form and every short file is refused.
TEST(TGAReader, ReadsTopLeftThirtyTwoBitFilesOnly) {
  const std::vector<uint32_t> pixels = {0x80FF0000, 0xFF00FF00, 0x000000FF, 0x12345678, 0xFFFFFFFF, 0x01020304};
  const std::string whole = TGABytes(3, 2, pixels);
  std::string withMap = TGABytes(3, 2, pixels, 0x28, 32, "id");  // two 24-bit entries after the ID
  withMap[1] = 1;
  withMap[5] = 2;
  withMap[7] = 24;
  withMap.insert(18 + 2, 6, '\x7F');
  std::vector<std::pair<std::string, bool>> cases = {{whole, true},
                                                     {TGABytes(3, 2, pixels, 0x28, 32, "made by a test"), true},
                                                     {withMap, true},
                                                     {TGABytes(3, 2, pixels, 0x08), false},  // bottom-up
                                                     {TGABytes(3, 2, pixels, 0x28, 24), false},
                                                     {whole.substr(0, whole.size() - 1), false},
                                                     {whole.substr(0, 17), false},
                                                     {TGABytes(65535, 65535, pixels), false},  // claims 16 GB
                                                     {TGABytes(0, 5, {}), false}};
  for (char imageType : {'\1', '\3', '\x0A', '\x0B'}) {  // colour-mapped, grey, and their run-length forms
    cases.emplace_back(whole, false);
    cases.back().first[2] = imageType;
  }
  for (const auto& [bytes, read] : cases) {
    auto image = ImageLib::DecodeTGA(AsBytes(bytes));
    ASSERT_EQ(image != nullptr, read) << bytes.size();
    if (read) {
      EXPECT_EQ(image->GetWidth(), 3);
      EXPECT_EQ(Pixels(*image), pixels);
    }
  }
}

// GIF

const std::vector<uint32_t> kPalette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0xFFFFFF};

uint32_t Opaque(uint32_t rgb) { return 0xFF000000 | rgb; }

GIFFrame Frame(int width, int height, int colors) {
  GIFFrame frame{.width = width, .height = height};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) frame.indices.push_back(static_cast<uint8_t>((x / 3 + y * y) % colors));
  }
  return frame;
}

std::vector<uint32_t> Expected(const GIFFrame& frame, const std::vector<uint32_t>& palette, int transparent = -1) {
  std::vector<uint32_t> out;
  for (uint8_t index : frame.indices) out.push_back(index == transparent ? 0u : Opaque(palette[index]));
  return out;
}

// Every size and code width; a transparent index; interlaced rows; an animation's first frame in its
// local colours.
TEST(GIFReader, DecodesTheFirstFrameInItsColours) {
  struct Case {
    std::vector<GIFFrame> frames;
    int minCodeSize = 8;
  };
  std::vector<Case> cases = {
      {{Frame(1, 1, 8)}, 2}, {{Frame(5, 3, 8)}, 3}, {{Frame(64, 64, 8)}, 3}, {{Frame(300, 200, 8)}}};
  GIFFrame transparent = Frame(16, 8, 8);
  transparent.transparentIndex = 5;
  GIFFrame local = Frame(6, 4, 4);
  local.localPalette = {0x101010, 0x202020, 0x303030, 0x404040};
  cases.push_back({{transparent}});
  cases.push_back({{local, Frame(9, 9, 8)}});
  for (int height : {1, 2, 3, 5, 9, 17, 40}) {
    cases.push_back({{Frame(7, height, 8)}});
    cases.back().frames[0].interlaced = true;
  }
  for (const Case& c : cases) {
    const GIFFrame& first = c.frames[0];
    auto image = ImageLib::DecodeGIF(AsBytes(GIFBytes(kPalette, c.frames, c.minCodeSize)));
    ASSERT_NE(image, nullptr) << first.width << "x" << first.height;
    EXPECT_EQ(image->GetWidth(), first.width);
    EXPECT_EQ(image->GetHeight(), first.height);
    EXPECT_EQ(Pixels(*image),
              Expected(first, first.localPalette.empty() ? kPalette : first.localPalette, first.transparentIndex))
        << first.width << "x" << first.height;
  }
}

TEST(GIFReader, FillsAndResetsAFullCodeTable) {
  // Noise-like indices make many distinct strings, so the table fills and the encoder clears it.
  GIFFrame frame{.width = 400, .height = 300};
  uint32_t state = 12345;
  std::vector<uint32_t> palette(256);
  for (int i = 0; i < 256; ++i) palette[i] = static_cast<uint32_t>(i * 0x010203);
  for (int i = 0; i < frame.width * frame.height; ++i) {
    state = state * 1103515245 + 12345;
    frame.indices.push_back(static_cast<uint8_t>(state >> 16));
  }
  auto image = ImageLib::DecodeGIF(AsBytes(GIFBytes(palette, {frame})));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Pixels(*image), Expected(frame, palette));
}

TEST(GIFReader, DataEndingEarlyLeavesTheRestClear) {
  GIFFrame frame = Frame(50, 50, 8);
  std::string bytes = GIFBytes(kPalette, {frame});
  // Cut inside the first data sub-block: the header, palette and comment stay.
  std::string cut = bytes.substr(0, bytes.size() / 2);
  auto image = ImageLib::DecodeGIF(AsBytes(cut));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetBits()[0], Opaque(kPalette[frame.indices[0]]));
  EXPECT_EQ(image->GetBits()[50 * 50 - 1], 0u);
}

TEST(GIFReader, RejectsDamagedFiles) {
  GIFFrame frame = Frame(4, 4, 8);
  std::string good = GIFBytes(kPalette, {frame});
  std::string badSignature = good;
  badSignature[4] = '0';
  EXPECT_EQ(ImageLib::DecodeGIF(AsBytes(badSignature)), nullptr);
  EXPECT_EQ(ImageLib::DecodeGIF(AsBytes(good.substr(0, 10))), nullptr) << "cut inside the screen descriptor";
  EXPECT_EQ(ImageLib::DecodeGIF(AsBytes(GIFBytes(kPalette, {}))), nullptr) << "trailer before any image";
  EXPECT_EQ(ImageLib::DecodeGIF(AsBytes(GIFBytes({}, {frame}))), nullptr) << "no colour table";
  EXPECT_EQ(ImageLib::DecodeGIF(AsBytes(GIFBytes(kPalette, {GIFFrame{.width = 0, .height = 4}}))), nullptr);
  EXPECT_EQ(ImageLib::DecodeGIF(AsBytes(GIFBytes(kPalette, {GIFFrame{.width = 65535, .height = 65535}}))), nullptr);
}

// PNG

PNGPicture Picture(int width, int height, int colorType, int bitDepth) {
  return {.width = width, .height = height, .colorType = colorType, .bitDepth = bitDepth};
}

std::vector<uint8_t> Row(std::initializer_list<int> values) { return {values.begin(), values.end()}; }

TEST(PNGReader, ReadsWhatThePNGWriterWrote) {
  testsupport::TempDir dir;
  auto original = MakeImage(37, 23, Gradient);
  ASSERT_TRUE(ImageLib::WritePNGImage(dir / "out.png", *original));
  auto image = ImageLib::GetPNGImage(dir / "out.png");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetWidth(), 37);
  EXPECT_EQ(Pixels(*image), Pixels(*original));
}

// Colour, interlaced, palettes with transparency, grey, low and high bit depths all become ARGB words.
TEST(PNGReader, EveryColourTypeBecomesARGB) {
  PNGPicture palette = Picture(3, 1, PNG_COLOR_TYPE_PALETTE, 8);
  palette.rows = {Row({0, 1, 2})};
  palette.palette = {0x102030, 0x405060, 0x708090};
  palette.paletteAlpha = {0, 128};
  PNGPicture grey = Picture(2, 1, PNG_COLOR_TYPE_GRAY, 8);
  grey.rows = {Row({0x00, 0x7F})};
  PNGPicture twoBit = Picture(4, 1, PNG_COLOR_TYPE_GRAY, 2);
  twoBit.rows = {Row({0b00011011})};
  PNGPicture rgba = Picture(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16);
  rgba.rows = {Row({0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x40, 0x40})};
  PNGPicture greyAlpha = Picture(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16);
  greyAlpha.rows = {Row({0x20, 0x20, 0xFF, 0xFF})};
  PNGPicture rgb = Picture(13, 11, PNG_COLOR_TYPE_RGB, 8);
  std::vector<uint32_t> rgbPixels;
  for (int y = 0; y < rgb.height; ++y) {
    rgb.rows.emplace_back();
    for (int x = 0; x < rgb.width; ++x) {
      rgb.rows.back().insert(rgb.rows.back().end(), {uint8_t(x * 19), uint8_t(y * 23), uint8_t(x ^ y)});
      rgbPixels.push_back(0xFF000000u | uint8_t(x * 19) << 16 | uint8_t(y * 23) << 8 | (x ^ y));
    }
  }
  PNGPicture interlaced = rgb;
  interlaced.interlaced = true;
  const std::pair<PNGPicture, std::vector<uint32_t>> cases[] = {
      {rgb, rgbPixels},
      {interlaced, rgbPixels},
      {palette, {0x00102030, 0x80405060, 0xFF708090}},
      {grey, {0xFF000000, 0xFF7F7F7F}},
      {twoBit, {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}},
      {rgba, {0x40FF8000}},
      {greyAlpha, {0xFF202020}},
  };
  for (const auto& [picture, pixels] : cases) {
    auto image = ImageLib::DecodePNG(AsBytes(PNGBytes(picture)));
    ASSERT_NE(image, nullptr) << picture.colorType;
    EXPECT_EQ(Pixels(*image), pixels) << picture.colorType;
  }
}

TEST(PNGReader, RejectsDamagedAndOversizedFiles) {
  PNGPicture picture = Picture(40, 40, PNG_COLOR_TYPE_GRAY, 8);
  picture.rows.assign(40, std::vector<uint8_t>(40, 9));
  std::string good = PNGBytes(picture);
  EXPECT_EQ(ImageLib::DecodePNG(AsBytes(good.substr(0, good.size() / 2))), nullptr);
  EXPECT_EQ(ImageLib::DecodePNG(AsBytes("not a png at all")), nullptr);
  std::string huge = good;
  // IHDR width at offset 16, big-endian: claim 20000 pixels wide (CRC left wrong as well).
  huge[16] = 0;
  huge[17] = 0;
  huge[18] = 0x4E;
  huge[19] = 0x20;
  EXPECT_EQ(ImageLib::DecodePNG(AsBytes(huge)), nullptr);
  // A damaged chunk after the image data still gives the picture.
  std::string tail = good.substr(0, good.size() - 12) + std::string("\0\0\0\x04zzzz", 8);
  auto image = ImageLib::DecodePNG(AsBytes(tail));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetBits()[0], 0xFF090909u);
}

// JPEG

TEST(JPEGReader, ReadsWhatTheJPEGWriterWroteAsOpaqueColour) {
  testsupport::TempDir dir;
  auto original = MakeImage(64, 48, [](int x, int y) -> uint32_t { return x < 32 ? 0x00FF0000u : 0x800000FFu; });
  ASSERT_TRUE(ImageLib::WriteJPEGImage(dir / "out.jpg", *original));
  auto image = ImageLib::GetJPEGImage(dir / "out.jpg");
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->GetWidth(), 64);
  ASSERT_EQ(image->GetHeight(), 48);
  auto near = [](uint32_t pixel, int r, int g, int b) {
    return (pixel >> 24) == 0xFF && std::abs(static_cast<int>(pixel >> 16 & 0xFF) - r) < 12 &&
           std::abs(static_cast<int>(pixel >> 8 & 0xFF) - g) < 12 && std::abs(static_cast<int>(pixel & 0xFF) - b) < 12;
  };
  EXPECT_TRUE(near(image->GetBits()[5 * 64 + 3], 255, 0, 0));
  EXPECT_TRUE(near(image->GetBits()[40 * 64 + 60], 0, 0, 255));
}

TEST(JPEGReader, GreyFilesGiveOpaqueGreyPixelsAndGarbageNone) {
  EXPECT_EQ(ImageLib::DecodeJPEG(AsBytes("\xFF\xD8 but nothing else")), nullptr);
  EXPECT_EQ(ImageLib::DecodeJPEG(AsBytes("GIF89a")), nullptr);
  std::vector<uint8_t> levels(16 * 16, 0x60);
  auto image = ImageLib::DecodeJPEG(AsBytes(GreyJPEGBytes(16, 16, levels)));
  ASSERT_NE(image, nullptr);
  for (uint32_t pixel : Pixels(*image)) {
    EXPECT_EQ(pixel >> 24, 0xFFu);
    EXPECT_EQ(pixel >> 16 & 0xFF, pixel & 0xFF);
    EXPECT_EQ(pixel >> 8 & 0xFF, pixel & 0xFF);
    EXPECT_NEAR(static_cast<int>(pixel & 0xFF), 0x60, 2);
  }
}

// A progressive file's work is its size times its scans: a small picture may have many scans, a
// large one fewer, and a flood over a large one is refused before it takes seconds.
TEST(JPEGReader, ScansAreBoundedByTheirWorkOverThePicture) {
  const struct {
    int width, height, extraScans;
    bool read;
  } cases[] = {
      {16, 16, 0, true}, {16, 16, 200, true}, {16, 16, 300, false}, {2048, 1100, 0, true}, {2048, 1100, 240, false}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> levels(static_cast<size_t>(c.width) * c.height, 0x40);
    auto image = ImageLib::DecodeJPEG(AsBytes(GreyJPEGBytes(c.width, c.height, levels, true, c.extraScans)));
    EXPECT_EQ(image != nullptr, c.read) << c.width << "x" << c.height << " with " << c.extraScans << " more scans";
  }
}

// Writers

TEST(ImageWriters, FailWhereNothingCanBeWritten) {
  testsupport::TempDir dir;
  auto image = MakeImage(4, 4, Gradient);
  EXPECT_FALSE(ImageLib::WritePNGImage(dir / "missing/folder/out.png", *image));
  EXPECT_FALSE(ImageLib::WriteJPEGImage(dir / "missing/folder/out.jpg", *image));
  Image empty;
  EXPECT_FALSE(ImageLib::WritePNGImage(dir / "empty.png", empty));
  EXPECT_FALSE(ImageLib::WriteJPEGImage(dir / "empty.jpg", empty));
}

}  // namespace
