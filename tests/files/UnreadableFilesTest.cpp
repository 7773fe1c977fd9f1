// Every file the program reads, replaced by something that is there but gives no bytes (a folder, a
// looping link, a file whose read fails, a pipe without a writer): each reader takes the fallback it has
// for a missing or damaged file, without an exception, a wait or a change to what stands there. A file
// far larger than any real one of its kind (sparse: it takes no room on disk) is refused the same way by
// every reader that holds a whole file, before it takes memory for it.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoFile.h"
#include "framework/app/devtools/ModValues.h"
#include "framework/font/DescParser.h"
#include "framework/font/FontData.h"
#include "framework/font/ListDataElement.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/d3d/D3DTester.h"
#include "framework/resource/ImageLoader.h"
#include "framework/resource/XMLParser.h"
#include "framework/util/Buffer.h"
#include "game/play/EffectFile.h"
#include "game/play/GlyphFont.h"
#include "game/play/ObjectLibrary.h"
#include "platform/bass/StreamDecoder.h"
#include "platform/cpu/SysfsCaches.h"
#include "platform/fmod/SoundFileDecoder.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/registry/RegistryStore.h"
#include "platform/win/window/IconResources.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/UnreadableFile.h"

namespace {

using testsupport::Unreadable;

// A descriptor reader that counts the commands it is given.
class CommandCounter : public Kit::DescParser {
 public:
  bool HandleCommand(const Kit::ListDataElement&) override {
    ++mCommands;
    return true;
  }
  int mCommands = 0;
};

struct Reader {
  const char* name;
  const char* fileName;
  // Reads the file at the path; true when the reader took its fallback for a file it cannot use.
  std::function<bool(const std::string& path)> fallsBack;
  // Whether it holds the whole file at once (the others stream it).
  bool wholeFile = true;
};

const std::vector<Reader>& Readers() {
  static const std::vector<Reader> readers = {
      {"Settings", "registry",
       [](const std::string& path) {
         const plat::ScopedRegistryFile registry(path);
         auto& store = plat::RegistryStore::Instance();
         const bool empty = store.Read([](const plat::RegistryData& data) { return data.keys.empty(); });
         const bool written = store.Change([](plat::RegistryData& data) {
           data.keys["hklm\\software\\quarvel"].path = "HKLM\\SOFTWARE\\Quarvel";
           return true;
         });
         return empty && !written;
       }},
      {"Manifest", "resources.xml",
       [](const std::string& path) {
         Kit::XMLParser parser;
         return !parser.OpenFile(path) && parser.GetErrorText() == "Unable to open file " + path;
       }},
      {"Image", "menu.png", [](const std::string& path) { return ImageLib::GetImage(path, true) == nullptr; }},
      {"Sound", "click.wav", [](const std::string& path) { return plat::fmod::DecodeSoundFile(path) == nullptr; }},
      {"Music", "track.ogg", [](const std::string& path) { return plat::bass::OpenStreamDecoder(path) == nullptr; },
       false},
      {"Mp3Music", "track.mp3", [](const std::string& path) { return plat::bass::OpenMp3Stream(path) == nullptr; },
       false},
      {"WavMusic", "track.wav", [](const std::string& path) { return plat::bass::OpenWavStream(path) == nullptr; },
       false},
      {"ModuleMusic", "track.mod",
       [](const std::string& path) { return plat::bass::OpenModuleStream(path, 44100) == nullptr; }},
      {"FontDescriptor", "font.txt",
       [](const std::string& path) {
         CommandCounter parser;
         return !parser.LoadDescriptor(path) && parser.mCommands == 0;
       }},
      {"FontWidths", "widths.txt",
       [](const std::string& path) {
         Kit::MemoryImage sheet;
         sheet.Create(8, 8);
         Kit::FontData font;
         return !font.LoadLegacy(&sheet, path);
       }},
      {"Demo", "demo.dmo",
       [](const std::string& path) {
         Kit::DemoFile demo;
         std::string error;
         return !Kit::LoadDemoFile(path, "1.0", &demo, &error) && !error.empty();
       }},
      {"CardList", "vhw.dat",
       [](const std::string& path) {
         // The list of supported cards, read from the current folder: without it, a known make passes.
         const testsupport::ScopedCurrentFolder folder(std::filesystem::path(path).parent_path());
         const Kit::D3DTester tester(nullptr);
         return tester.IsSupportedCard("NVIDIA GeForce2 MX");
       }},
      {"PlayerFile", "playerdata.dat",
       [](const std::string& path) {
         Kit::KitAppBase app;
         Kit::Buffer buffer;
         buffer.WriteString("kept");
         return !app.ReadBufferFromFile(path, &buffer) && buffer.GetDataLen() > 0;
       }},
      {"EffectTable", "effect.txt",
       [](const std::string& path) {
         EffectTable table;
         LoadEffectFile(path, table);
         return table.Records().empty();
       }},
      {"GlyphTable", "unicode.txt",
       [](const std::string& path) {
         GlyphFont font;
         font.LoadFile(path);
         return font.mGlyphs.empty();
       }},
      {"Templates", "template.dat",
       [](const std::string& path) {
         ObjectLibrary library;
         library.LoadTemplates(path);
         return library.Prototypes().empty();
       }},
      {"Level", "level1_1.vel",
       [](const std::string& path) {
         ObjectLibrary library;
         return library.LoadLevel(path) == ObjectLibrary::kUnreadableLevel && library.Instances().empty();
       }},
      {"TweakableConstants", "Knobs.cpp",
       [](const std::string& path) {
         const plat::ScopedMessageBoxScript boxes;
         Kit::ResetModValues();
         Kit::RegisterModValSite(path);
         const bool refused = !Kit::ReparseModValues() && boxes.Shown().size() == 1 &&
                              boxes.Shown()[0].text == "ERROR: Unable to open " + path + " for reparsing.";
         Kit::ResetModValues();
         return refused;
       }},
      // A second-level cache's size, linked into an entry of its own: its size stays unknown.
      {"CacheSizes", "cache-size",
       [](const std::string& path) {
         const testsupport::TempDir caches;
         caches.Write("index0/level", "2\n");
         caches.Write("index0/type", "Unified\n");
         caches.Write("index0/shared_cpu_list", "0\n");
         std::filesystem::create_symlink(path, caches.Path() / "index0/size");
         return plat::cache::ReadSysfsCaches(caches.Path().string()) == plat::cache::Sizes{};
       }},
      {"WindowIcon", "icon.png",
       [](const std::string& path) {
         plat::AddIconResource("IDI_UNREADABLE", {path});
         return plat::LoadIconResource("IDI_UNREADABLE") == nullptr;
       }},
  };
  return readers;
}

class UnreadableFiles : public testing::TestWithParam<std::tuple<std::size_t, Unreadable>> {
 protected:
  const Reader& TheReader() const { return Readers()[std::get<0>(GetParam())]; }
  Unreadable Kind() const { return std::get<1>(GetParam()); }

  testsupport::TempDir mDir;
};

TEST_P(UnreadableFiles, TakeTheFallbackAndLeaveWhatIsThereAlone) {
  const std::string path = mDir / TheReader().fileName;
  testsupport::MakeUnreadable(path, Kind());
  EXPECT_TRUE(TheReader().fallsBack(path));
  EXPECT_TRUE(testsupport::UnreadableIsIntact(path, Kind()));
}

std::string CaseName(const testing::TestParamInfo<std::tuple<std::size_t, Unreadable>>& info) {
  return std::string(Readers()[std::get<0>(info.param)].name) + testsupport::UnreadableName(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(EveryReader, UnreadableFiles,
                         testing::Combine(testing::Range<std::size_t>(0, Readers().size()),
                                          testing::ValuesIn(testsupport::kUnreadableKinds)),
                         CaseName);

// The most memory this process has held at once, in bytes.
std::uintmax_t PeakMemory() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::uintmax_t>(usage.ru_maxrss) * 1024;
}

using OversizedFiles = testing::TestWithParam<std::size_t>;

TEST_P(OversizedFiles, AreRefusedAsUnreadableWithoutTakingTheirSize) {
  const Reader& reader = Readers()[GetParam()];
  const testsupport::TempDir dir;
  const std::filesystem::path path = dir / reader.fileName;
  std::ofstream(path, std::ios::binary) << "x";
  constexpr std::uintmax_t kGibibyte = std::uintmax_t{1} << 30;
  std::filesystem::resize_file(path, kGibibyte);
  const std::uintmax_t peakBefore = PeakMemory();
  EXPECT_TRUE(reader.fallsBack(path.string()));
  EXPECT_LT(PeakMemory() - peakBefore, kGibibyte / 4) << "the file was read into memory";
  EXPECT_EQ(std::filesystem::file_size(path), kGibibyte) << "left as it was";
}

std::vector<std::size_t> WholeFileReaders() {
  std::vector<std::size_t> readers;
  for (std::size_t i = 0; i < Readers().size(); ++i)
    if (Readers()[i].wholeFile) readers.push_back(i);
  return readers;
}

INSTANTIATE_TEST_SUITE_P(EveryWholeFileReader, OversizedFiles, testing::ValuesIn(WholeFileReaders()),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                           return std::string(Readers()[info.param].name);
                         });

}  // namespace
