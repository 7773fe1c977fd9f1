// Writes the seed corpora of the fuzz targets, fuzz/corpus/<target>/, with the project's own writers:
// small valid files of every format a target reads, so that fuzzing starts past the headers.
//   fuzz_seeds <corpus folder>
// The sound seeds are copies of the test suite's own sound files (tests/data/sound), committed in fuzz/corpus.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "framework/app/demo/DemoFile.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/resource/ImageLib.h"
#include "framework/util/Buffer.h"
#include "game/front/PlayerFiles.h"
#include "platform/Windows.h"
#include "platform/audio/WavHeader.h"
#include "platform/ui/dialogs/DialogTemplateWriter.h"
#include "platform/win/registry/RegistryStore.h"
#include "tests/support/TrackerModule.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class Corpus {
 public:
  explicit Corpus(fs::path root) : mRoot(std::move(root)) {
    std::error_code error;
    fs::create_directories(mRoot, error);
  }

  void Put(const std::string& target, const std::string& name, const void* bytes, std::size_t size) {
    fs::create_directories(mRoot / target);
    std::ofstream out(mRoot / target / name, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    mOk = mOk && out.good();
  }
  void Put(const std::string& target, const std::string& name, const std::string& text) {
    Put(target, name, text.data(), text.size());
  }
  void Put(const std::string& target, const std::string& name, const std::vector<std::uint8_t>& bytes) {
    Put(target, name, bytes.data(), bytes.size());
  }
  // A file a writer made, moved into the corpus.
  void Take(const std::string& target, const std::string& name, const fs::path& made) {
    fs::create_directories(mRoot / target);
    std::error_code error;
    fs::rename(made, mRoot / target / name, error);
    mOk = mOk && !error;
  }
  fs::path Scratch(const std::string& name) const { return mRoot / ("." + name); }
  bool Ok() const { return mOk; }

 private:
  fs::path mRoot;
  bool mOk = true;
};

std::unique_ptr<ImageLib::Image> Picture(int width, int height) {
  auto image = std::make_unique<ImageLib::Image>();
  image->Allocate(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image->GetBits()[y * width + x] =
          static_cast<std::uint32_t>(x * 40) << 24 | (x * 30) << 16 | (y * 50) << 8 | static_cast<std::uint32_t>(x ^ y);
  return image;
}

std::string TGA(const ImageLib::Image& image) {
  std::string out(18, '\0');
  out[2] = 2;  // raw true colour
  out[12] = static_cast<char>(image.GetWidth());
  out[13] = static_cast<char>(image.GetWidth() >> 8);
  out[14] = static_cast<char>(image.GetHeight());
  out[15] = static_cast<char>(image.GetHeight() >> 8);
  out[16] = 32;
  out[17] = 0x28;
  out.append(reinterpret_cast<const char*>(image.GetBits()), static_cast<std::size_t>(image.GetPixelCount()) * 4);
  return out;
}

// A GIF whose codes never grow the table: a clear code before every run of 2^size - 2 indices keeps
// every code size + 1 bits wide, which any decoder reads.
std::string GIF(int width, int height, bool interlaced, int transparent) {
  constexpr int size = 2;
  std::string out = "GIF89a";
  const auto le16 = [&out](int v) {
    out.push_back(static_cast<char>(v));
    out.push_back(static_cast<char>(v >> 8));
  };
  le16(width);
  le16(height);
  out += "\x81\x00\x00";  // a global table of 4 colours
  out += std::string("\x00\x00\x00\xFF\x00\x00\x00\xFF\x00\xFF\xFF\xFF", 12);
  if (transparent >= 0) {
    out += std::string("!\xF9\x04\x01\x00\x00", 6);
    out.push_back(static_cast<char>(transparent));
    out.push_back('\0');
  }
  out += std::string("!\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
  out += ',';
  le16(0);
  le16(0);
  le16(width);
  le16(height);
  out.push_back(interlaced ? '\x40' : '\0');
  out.push_back(static_cast<char>(size));
  std::vector<std::uint8_t> data;
  std::uint32_t bits = 0;
  int count = 0;
  const auto put = [&](int code) {
    bits |= static_cast<std::uint32_t>(code) << count;
    for (count += size + 1; count >= 8; count -= 8, bits >>= 8) data.push_back(static_cast<std::uint8_t>(bits));
  };
  const int clear = 1 << size;
  for (int i = 0; i < width * height; ++i) {
    if (i % (clear - 2) == 0) put(clear);
    put((i % width + i / width) % 4);
  }
  put(clear + 1);
  if (count > 0) data.push_back(static_cast<std::uint8_t>(bits));
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::size_t block = std::min<std::size_t>(255, data.size() - at);
    out.push_back(static_cast<char>(block));
    out.append(reinterpret_cast<const char*>(data.data() + at), block);
  }
  out += std::string("\x00;", 2);
  return out;
}

void Images(Corpus& corpus) {
  const auto small = Picture(8, 6), wide = Picture(40, 3);
  for (const auto& [name, image] : {std::pair{"small", small.get()}, std::pair{"wide", wide.get()}}) {
    const fs::path png = corpus.Scratch(std::string(name) + ".png"), jpg = corpus.Scratch(std::string(name) + ".jpg");
    if (ImageLib::WritePNGImage(png.string(), *image)) corpus.Take("png", std::string(name) + ".png", png);
    if (ImageLib::WriteJPEGImage(jpg.string(), *image)) corpus.Take("jpeg", std::string(name) + ".jpg", jpg);
    corpus.Put("tga", std::string(name) + ".tga", TGA(*image));
  }
  corpus.Put("gif", "plain.gif", GIF(7, 5, false, -1));
  corpus.Put("gif", "interlaced.gif", GIF(5, 9, true, 2));
}

void Texts(Corpus& corpus) {
  corpus.Put("xml", "elements.xml",
             "<?xml version=\"1.0\"?>\n<!-- a comment -->\n<a x=\"1\" y = two>\n  text &lt;&amp;&gt; more\n"
             "  <b/><c z=\"q/\" />\n  <d flag/>\n</a>\n");
  corpus.Put("manifest", "manifest.xml",
             "<?xml version=\"1.0\"?>\n<ResourceManifest>\n<Resources id=\"Init\">\n"
             "  <SetDefaults path=\"images\" idprefix=\"IMAGE_\"/>\n"
             "  <Image id=\"BALL\" path=\"ball\" rows=\"2\" cols=\"4\" anim=\"loop\" framedelay=\"3\"/>\n"
             "  <Image id=\"PADDLE\" path=\"paddle.png\" alphaimage=\"paddle_a\" nopal ddsurface/>\n"
             "  <Sound id=\"HIT\" path=\"sounds/hit.wav\" volume=\"0.5\" pan=\"-200\"/>\n"
             "  <Font id=\"FONT\" path=\"fonts/main.txt\" tags=\"bold\"/>\n"
             "</Resources>\n</ResourceManifest>\n");
  corpus.Put("font_descriptor", "layers.txt",
             "SetDefaultPointSize 10;\nDefine Chars ('A' 'b' ' ');\n"
             "CreateHorzSpanRectList Rects (0 0 0 8) (6 6 4);\nCreateLayer Face;\nLayerSetImage Face face.png;\n"
             "LayerSetImageMap Face Chars Rects;\nLayerSetCharWidths Face Chars (6 6 4);\nLayerSetAscent Face 7;\n"
             "LayerSetKerningPairs Face (\"Ab\") (-1);\nCreateLayerFrom Warm Face;\n"
             "LayerRequireTags Warm ('warm');\nLayerSetColorMult Warm (1 0.7 0.3 1);\n");
  corpus.Put("font_width_file", "widths.txt", "3 7 a 4 B 5 ! 2");
  corpus.Put("command_line", "switches.txt", "\"game.exe\" -record=\"demo 1.dmo\" -recnum=3 -screensaver -crash");
  corpus.Put("string_util", "mixed.txt", "-12 3.5e2 &lt;&amp;&quot; x\0images\\..\\sounds\\hit.wav"s);
  corpus.Put("wildcard_pattern", "names.txt", "Player12.dat\0pl?yer*.DAT"s);
  corpus.Put("text_layout", "codes.txt", "\x40\x02\x00\x10Hello ^FF0000^red ^00ff00 and\nwrapped words"s);
}

void Records(Corpus& corpus) {
  plat::RegistryData registry;
  auto& key = registry.keys["hklm\\software\\quarvel"];
  key.path = "HKLM\\SOFTWARE\\Quarvel";
  key.values["musicvolume"] = {"MusicVolume", {4, {85, 0, 0, 0}}};
  key.values["registrykey"] = {"RegistryKey", {1, {'Q', 'u', 'a', 'r', 'v', 'e', 'l'}}};
  corpus.Put("registry_file", "settings.txt", plat::SerializeRegistry(registry));

  Kit::DemoStream stream;
  stream.StartRecording();
  stream.RecordMousePosition(1, 100, 200);
  stream.RecordMouseButton(2, 100, 200, true, 1);
  stream.RecordKey(3, 5, 'A');
  stream.RecordMouseWheel(4, -120);
  const std::uint8_t value[4] = {1, 0, 0, 0};
  stream.RecordRegistryRead(5, true, 4, value, 4);
  Kit::Buffer contents;
  contents.WriteString("saved");
  stream.RecordFileRead(6, true, contents);
  stream.RecordDisplayState(7, true, 60);
  corpus.Put("demo", "recording.dmo", Kit::EncodeDemoFile(stream.MakeFile(1234, "", 9)));

  Kit::Buffer buffer;
  buffer.WriteNumBits(5, 3);
  buffer.WriteString("name");
  buffer.WriteLong(-7);
  buffer.WriteShort(300);
  buffer.WriteBoolean(true);
  corpus.Put("buffer", "fields.bin", buffer.GetDataPtr(), static_cast<std::size_t>(buffer.GetDataLen()));

  ProfileList profiles;
  profiles.push_back(std::make_unique<PlayerProfile>());
  profiles.back()->mName = "Ada";
  profiles.back()->mCurrent = kCurrentYes;
  profiles.back()->mSavedScene = 1;
  profiles.back()->mSavedLevel = 2;
  Kit::Buffer players;
  if (EncodePlayerFile(profiles, &players))
    corpus.Put("player_files", "players.dat", players.GetDataPtr(), static_cast<std::size_t>(players.GetDataLen()));
  ScoreList scores;
  scores.push_back(std::make_unique<HighScoreEntry>(HighScoreEntry{"Ada", 12000}));
  Kit::Buffer scoreBytes;
  if (EncodeScoreFile(scores, &scoreBytes))
    corpus.Put("player_files", "scores.dat", scoreBytes.GetDataPtr(),
               static_cast<std::size_t>(scoreBytes.GetDataLen()));
}

// The sound seeds: a short WAV and AU tone.
void Sounds(Corpus& corpus) {
  std::vector<std::int16_t> samples(400);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::int16_t>((i % 40) * 1500 - 30000);
  std::string wav = plat::audio::WavHeader({.channels = 1, .rate = 22050, .bits = 16},
                                           static_cast<std::uint32_t>(samples.size() * 2));
  wav.append(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
  for (const char* target : {"sound_wav", "bass_stream", "fmod_sample"}) corpus.Put(target, "tone.wav", wav);

  std::string au = ".snd";
  const auto be = [&au](std::uint32_t v) {
    for (int i = 3; i >= 0; --i) au.push_back(static_cast<char>(v >> (8 * i)));
  };
  be(24);
  be(static_cast<std::uint32_t>(samples.size()));
  be(1);  // 8-bit mu-law
  be(8000);
  be(1);
  for (std::size_t i = 0; i < samples.size(); ++i) au.push_back(static_cast<char>(0x80 + i % 64));
  corpus.Put("sound_au", "tone.au", au);
  corpus.Put("module_stream", "square.mod", testsupport::SquareWaveMod({64, 32, 16}));
}

void DialogTemplates(Corpus& corpus) {
  constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  plat::DialogTemplateWriter jump(style, 0, 10, 10, 200, 50, "Jump To Time", 8, "Tahoma");
  jump.AddItem(WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE, 5, 5, 190, 15, 100, "EDIT", "");
  jump.AddItem(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 0, 30, 25, 60, 15, IDOK, "BUTTON", "Ok");
  jump.AddItem(WS_CHILD | WS_VISIBLE, 0, 100, 25, 60, 15, IDCANCEL, "BUTTON", "Cancel");
  corpus.Put("dialog_template", "jump.dlg", jump.Bytes());
  plat::DialogTemplateWriter list(style, 0, 10, 10, 200, 200, "Marker List", 8, "Tahoma");
  list.AddItem(WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, WS_EX_CLIENTEDGE, 5, 5, 190, 195, 100, "LISTBOX", "");
  corpus.Put("dialog_template", "list.dlg", list.Bytes());
}

// Targets that read raw bytes as numbers and events: any bytes are input, a few varied ones start them.
void RawBytes(Corpus& corpus) {
  std::mt19937 random(20);
  for (const char* target : {"triangle_raster", "nine_slice_box", "widget_input", "controls_input", "window_messages",
                             "text_layout", "d3d_device"}) {
    for (int n : {64, 256}) {
      std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
      for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
      corpus.Put(target, "random" + std::to_string(n), bytes);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds <corpus folder>\n");
    return 2;
  }
  Corpus corpus(argv[1]);
  Images(corpus);
  Texts(corpus);
  Records(corpus);
  Sounds(corpus);
  DialogTemplates(corpus);
  RawBytes(corpus);
  if (!corpus.Ok()) std::fprintf(stderr, "fuzz_seeds: could not write every seed into %s\n", argv[1]);
  return corpus.Ok() ? 0 : 1;
}
