// The readers' worst cases: inputs of about 1 MiB, made here, that aim at each reader's weak spots
// (entities without an end, deep nesting, the largest picture a header may claim filled by a small
// stream, floods of scans, clear codes and blocks, lines that never end arriving a byte at a time).
// Each reports its time and the peak memory it added ("peak_MiB"); each must stay under 1 s and 256 MB.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <zlib.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "framework/app/crash/HttpResponseParser.h"
#include "framework/resource/ImageLib.h"
#include "framework/resource/ImageLimits.h"
#include "framework/resource/ResourceHost.h"
#include "framework/resource/ResourceManager.h"
#include "framework/resource/XMLParser.h"
#include "platform/win/registry/RegistryStore.h"

namespace {

constexpr std::size_t MiB = 1 << 20;
// The largest picture the readers accept: 16384 x 2048.
constexpr int kMaxWidth = static_cast<int>(ImageLib::kMaxImageSide);
constexpr int kMaxHeight = static_cast<int>(ImageLib::kMaxImagePixels / ImageLib::kMaxImageSide);

using Bytes = std::vector<std::uint8_t>;

// Resident memory from /proc/self/status ("VmRSS" now, "VmHWM" its peak), in bytes.
long ResidentBytes(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + line.find(':') + 1) * 1024;
  return 0;
}

// Runs one reader over the input in the benchmark loop and reports the memory it added at its peak.
template <typename Read>
void Measure(benchmark::State& state, std::size_t inputBytes, Read read) {
  std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
  const long before = ResidentBytes("VmRSS");
  for (auto _ : state) read();
  state.counters["peak_MiB"] = static_cast<double>(ResidentBytes("VmHWM") - before) / MiB;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * inputBytes));
}

void PutBE16(Bytes& out, std::size_t at, int value) {
  out[at] = static_cast<std::uint8_t>(value >> 8);
  out[at + 1] = static_cast<std::uint8_t>(value);
}

// ---- XML

std::string WriteScratch(const std::string& text, const char* name) {
  const std::string path = "/tmp/kit-bench-" + std::to_string(::getpid()) + "-" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

void ReadXML(benchmark::State& state, const std::string& text) {
  const std::string path = WriteScratch(text, "hostile.xml");
  Measure(state, text.size(), [&] {
    Kit::XMLParser parser;
    parser.OpenFile(path);
    Kit::XMLElement element;
    while (parser.NextElement(&element)) {
    }
  });
  std::remove(path.c_str());
}

void BM_XMLEntitiesWithoutEnd(benchmark::State& state) { ReadXML(state, "<a>" + std::string(MiB, '&') + "</a>"); }

void BM_XMLDeepNesting(benchmark::State& state) {
  std::string text;
  while (text.size() < MiB) text += "<a>";
  ReadXML(state, text);
}

void BM_XMLLongPathManySiblings(benchmark::State& state) {
  std::string text = "<" + std::string(MiB / 2, 'n') + ">";
  while (text.size() < MiB) text += "<b/>";
  ReadXML(state, text);
}

class NoImages : public Kit::ResourceHost {
 public:
  Kit::ResourceImageRef GetSharedImage(const std::string&, const std::string&, bool* created) override {
    *created = false;
    return {};
  }
};

void BM_ManifestOfManyImages(benchmark::State& state) {
  std::string text = "<ResourceManifest><Resources id=\"Game\">";
  for (int i = 0; text.size() < MiB; ++i) text += "<Image id=\"I" + std::to_string(i) + "\" path=\"p\" rows=\"2\"/>";
  text += "</Resources></ResourceManifest>";
  const std::string path = WriteScratch(text, "manifest.xml");
  NoImages host;
  Measure(state, text.size(), [&] {
    Kit::ResourceManager manager(&host);
    benchmark::DoNotOptimize(manager.ParseResourcesFile(path));
  });
  std::remove(path.c_str());
}

// ---- JPEG

Bytes GreyJPEG(int width, int height, bool progressive) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) row[static_cast<std::size_t>(x)] = static_cast<JSAMPLE>(x * 7 ^ y * 3);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

// The file's frame header (the marker 0xFF, frameMarker) made to claim the largest size.
void ClaimLargestSize(Bytes& file, std::uint8_t frameMarker) {
  for (std::size_t i = 0; i + 8 < file.size(); ++i) {
    if (file[i] == 0xFF && file[i + 1] == frameMarker) {
      PutBE16(file, i + 5, kMaxHeight);
      PutBE16(file, i + 7, kMaxWidth);
      return;
    }
  }
}

// A small progressive file that claims the largest size, its last scan repeated up to 1 MiB.
Bytes JPEGScanFlood() {
  Bytes file = GreyJPEG(64, 64, true);
  ClaimLargestSize(file, 0xC2);
  std::size_t lastScan = file.size() - 2;
  while (!(file[lastScan] == 0xFF && file[lastScan + 1] == 0xDA)) --lastScan;
  const Bytes scan(file.begin() + static_cast<std::ptrdiff_t>(lastScan), file.end() - 2);
  Bytes out(file.begin(), file.end() - 2);
  while (out.size() + scan.size() < MiB) out.insert(out.end(), scan.begin(), scan.end());
  out.push_back(0xFF);
  out.push_back(0xD9);
  return out;
}

// A baseline file that claims the largest size and whose 1 MiB of entropy data runs out early.
Bytes JPEGLargestTruncated() {
  Bytes file = GreyJPEG(512, 512, false);
  ClaimLargestSize(file, 0xC0);
  file.resize(std::min(file.size() - 2, MiB));
  return file;
}

void DecodeEach(benchmark::State& state, const Bytes& input,
                std::unique_ptr<ImageLib::Image> (*decode)(std::span<const std::uint8_t>)) {
  Measure(state, input.size(), [&] { benchmark::DoNotOptimize(decode(input)); });
}

void BM_JPEGScanFloodAtLargestSize(benchmark::State& state) {
  DecodeEach(state, JPEGScanFlood(), ImageLib::DecodeJPEG);
}
void BM_JPEGLargestSizeTruncated(benchmark::State& state) {
  DecodeEach(state, JPEGLargestTruncated(), ImageLib::DecodeJPEG);
}

// ---- GIF

// Header, a two-colour global table and the descriptor of one width x height image, LZW size 2.
Bytes GIFHeader(int width, int height) {
  Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
  const auto le16 = [&out](int v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  le16(width);
  le16(height);
  out.insert(out.end(), {0x80, 0, 0, 0, 0, 0, 255, 255, 255});
  out.push_back(',');
  le16(0);
  le16(0);
  le16(width);
  le16(height);
  out.push_back(0);
  out.push_back(2);
  return out;
}

// LZW codes, least significant bit first, cut into data sub-blocks up to about 1 MiB.
class CodeWriter {
 public:
  void Put(int code, int width) {
    mBits |= static_cast<std::uint64_t>(code) << mCount;
    for (mCount += width; mCount >= 8; mCount -= 8, mBits >>= 8) mData.push_back(static_cast<std::uint8_t>(mBits));
  }
  std::size_t Size() const { return mData.size(); }
  void AppendBlocks(Bytes& out) {
    if (mCount > 0) mData.push_back(static_cast<std::uint8_t>(mBits));
    for (std::size_t at = 0; at < mData.size(); at += 255) {
      const std::size_t block = std::min<std::size_t>(255, mData.size() - at);
      out.push_back(static_cast<std::uint8_t>(block));
      out.insert(out.end(), mData.begin() + static_cast<std::ptrdiff_t>(at),
                 mData.begin() + static_cast<std::ptrdiff_t>(at + block));
    }
    out.push_back(0);
    out.push_back(';');
  }

 private:
  Bytes mData;
  std::uint64_t mBits = 0;
  int mCount = 0;
};

// The largest picture filled with one colour: each code names the longest string so far, so the
// strings grow to thousands of pixels and a small stream fills the whole picture.
Bytes GIFLongestStrings() {
  Bytes out = GIFHeader(kMaxWidth, kMaxHeight);
  CodeWriter codes;
  constexpr int clear = 4;
  int nextFree = clear + 2, width = 3, previous = 0;
  codes.Put(clear, width);
  codes.Put(0, width);
  while (codes.Size() < MiB) {
    // The code being defined right now: the previous string and its own first pixel.
    const int code = nextFree < 4096 ? nextFree : previous;
    codes.Put(code, width);
    if (nextFree < 4096) {
      ++nextFree;
      if (nextFree == (1 << width) && width < 12) ++width;
    }
    previous = code;
  }
  codes.AppendBlocks(out);
  return out;
}

// The largest picture, and 1 MiB of clear codes that never draw a pixel.
Bytes GIFClearFlood() {
  Bytes out = GIFHeader(kMaxWidth, kMaxHeight);
  CodeWriter codes;
  while (codes.Size() < MiB) codes.Put(4, 3);
  codes.AppendBlocks(out);
  return out;
}

// 1 MiB of comment blocks before a one-pixel image.
Bytes GIFBlockFlood() {
  Bytes out = GIFHeader(1, 1);
  Bytes image(out.end() - 11, out.end());
  out.resize(out.size() - 11);
  while (out.size() < MiB) {
    out.insert(out.end(), {'!', 0xFE});
    for (int i = 0; i < 16; ++i) {
      out.push_back(255);
      out.insert(out.end(), 255, 'c');
    }
    out.push_back(0);
  }
  out.insert(out.end(), image.begin(), image.end());
  CodeWriter codes;
  codes.Put(4, 3);
  codes.Put(1, 3);
  codes.Put(5, 3);
  codes.AppendBlocks(out);
  return out;
}

void BM_GIFLongestStringsFillTheLargestSize(benchmark::State& state) {
  DecodeEach(state, GIFLongestStrings(), ImageLib::DecodeGIF);
}
void BM_GIFClearCodesOverTheLargestSize(benchmark::State& state) {
  DecodeEach(state, GIFClearFlood(), ImageLib::DecodeGIF);
}
void BM_GIFCommentBlockFlood(benchmark::State& state) { DecodeEach(state, GIFBlockFlood(), ImageLib::DecodeGIF); }

// ---- PNG

void PutChunk(Bytes& out, const char* type, const Bytes& data) {
  const auto be32 = [&out](std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
  };
  be32(static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  be32(static_cast<std::uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

// The largest RGBA picture as deflated zero rows (about 130 KB), behind 1 MiB of private chunks that a
// reader must step over.
Bytes PNGLargestZeros() {
  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header = {0, 0, 0, 0, 0, 0, 0, 0, 8, 6, 0, 0, 0};
  header[2] = static_cast<std::uint8_t>(kMaxWidth >> 8);
  header[3] = static_cast<std::uint8_t>(kMaxWidth);
  header[6] = static_cast<std::uint8_t>(kMaxHeight >> 8);
  header[7] = static_cast<std::uint8_t>(kMaxHeight);
  PutChunk(out, "IHDR", header);
  const Bytes padding(64 * 1024, 0x5A);
  while (out.size() < MiB) PutChunk(out, "prVt", padding);
  z_stream stream{};
  deflateInit(&stream, 9);
  const Bytes row(static_cast<std::size_t>(kMaxWidth) * 4 + 1, 0);
  Bytes compressed(64 * 1024);
  Bytes idat;
  for (int y = 0; y < kMaxHeight; ++y) {
    stream.next_in = const_cast<Bytef*>(row.data());
    stream.avail_in = static_cast<uInt>(row.size());
    const int flush = y + 1 == kMaxHeight ? Z_FINISH : Z_NO_FLUSH;
    do {
      stream.next_out = compressed.data();
      stream.avail_out = static_cast<uInt>(compressed.size());
      deflate(&stream, flush);
      idat.insert(idat.end(), compressed.data(), stream.next_out);
    } while (stream.avail_out == 0);
  }
  deflateEnd(&stream);
  PutChunk(out, "IDAT", idat);
  PutChunk(out, "IEND", {});
  return out;
}

void BM_PNGLargestSizeBehindPrivateChunks(benchmark::State& state) {
  DecodeEach(state, PNGLargestZeros(), ImageLib::DecodePNG);
}

// ---- TGA

// A header that claims the largest size, followed by 1 MiB of pixels: refused before any allocation.
void BM_TGAClaimingTheLargestSize(benchmark::State& state) {
  Bytes file(18 + MiB, 0x7F);
  std::fill(file.begin(), file.begin() + 18, 0);
  file[2] = 2;
  file[12] = static_cast<std::uint8_t>(kMaxWidth);
  file[13] = static_cast<std::uint8_t>(kMaxWidth >> 8);
  file[14] = static_cast<std::uint8_t>(kMaxHeight);
  file[15] = static_cast<std::uint8_t>(kMaxHeight >> 8);
  file[16] = 32;
  file[17] = 0x28;
  DecodeEach(state, file, ImageLib::DecodeTGA);
}

// ---- registry file

// A valid settings file of 1 MiB: one key with thousands of values.
void BM_RegistryFileOfManyValues(benchmark::State& state) {
  plat::RegistryData data;
  auto& key = data.keys["hklm\\software\\quarvel"];
  key.path = "HKLM\\SOFTWARE\\Quarvel";
  // Each value's line is about 220 bytes: its name, type and 100 bytes in hexadecimal.
  for (std::size_t i = 0; i < MiB / 220; ++i) {
    const std::string name = "Value" + std::to_string(i);
    key.values[plat::LowerAscii(name)] = {name, {3, std::vector<BYTE>(100, static_cast<BYTE>(i))}};
  }
  const std::string text = plat::SerializeRegistry(data);
  Measure(state, text.size(), [&] { benchmark::DoNotOptimize(plat::ParseRegistry(text)); });
}

// ---- HTTP response

// A response fed to the reader a byte at a time, as a slow server may send it.
void ReadResponseByteByByte(benchmark::State& state, const std::string& response) {
  Measure(state, response.size(), [&] {
    Kit::HttpResponseParser parser;
    for (std::size_t at = 0; at < response.size() && !parser.Ended(); ++at) parser.Receive(&response[at], 1);
    benchmark::DoNotOptimize(parser.GetStatus());
  });
}

void BM_HttpHeaderLineOfAMebibyte(benchmark::State& state) {
  ReadResponseByteByByte(state, "HTTP/1.1 200 OK\r\nX-Padding: " + std::string(MiB, 'a') + "\r\n\r\n");
}

void BM_HttpChunkSizeLineOfAMebibyte(benchmark::State& state) {
  ReadResponseByteByByte(state,
                         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + std::string(MiB, '0') + "1\r\n");
}

// 1 MiB of header lines each as long as the reader takes.
void BM_HttpLongestHeaderLines(benchmark::State& state) {
  std::string response = "HTTP/1.1 200 OK\r\n";
  const std::string line = "X-Padding: " + std::string(Kit::HttpResponseParser::kLongestLine - 11, 'a') + "\r\n";
  while (response.size() < MiB) response += line;
  ReadResponseByteByByte(state, response + "\r\n");
}

}  // namespace

BENCHMARK(BM_XMLEntitiesWithoutEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XMLDeepNesting)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XMLLongPathManySiblings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManifestOfManyImages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JPEGScanFloodAtLargestSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JPEGLargestSizeTruncated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GIFLongestStringsFillTheLargestSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GIFClearCodesOverTheLargestSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GIFCommentBlockFlood)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PNGLargestSizeBehindPrivateChunks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TGAClaimingTheLargestSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegistryFileOfManyValues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HttpHeaderLineOfAMebibyte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HttpChunkSizeLineOfAMebibyte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HttpLongestHeaderLines)->Unit(benchmark::kMillisecond);
