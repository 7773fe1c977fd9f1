#include "game/data/DataOutput.h"

#include <cstdint>
#include <filesystem>
#include <stdexcept>

#include "game/data/Canvas.h"
#include "game/play/ResourceIdList.h"
#include "platform/audio/WavHeader.h"
#include "platform/win/files/FileReplace.h"

namespace gamedata {
namespace {

// The group of each identifier by its number: 0 "Init", 1 and 2 "FormLoading", the rest "Game".
const char* GroupOf(int number) {
  return number < kFirstFormLoadingResourceId ? "Init" : number < kFirstGameResourceId ? "FormLoading" : "Game";
}

}  // namespace

ImageOptions Cels(int count) {
  ImageOptions options;
  options.cols = count;
  return options;
}

ImageOptions Opaque() {
  ImageOptions options;
  options.jpeg = true;
  return options;
}

DataOutput::DataOutput(std::string root) : mRoot(std::move(root)) {}

std::string DataOutput::PathOf(const std::string& relative) const {
  const std::filesystem::path path = std::filesystem::path(mRoot) / relative;
  std::filesystem::create_directories(path.parent_path());
  return path.string();
}

void DataOutput::WriteFile(const std::string& relative, const std::string& bytes) const {
  if (!plat::ReplaceFileContents(PathOf(relative), bytes)) throw std::runtime_error("cannot write " + relative);
}

void DataOutput::Record(const std::string& id, std::string element) {
  if (!mElements.emplace(id, std::move(element)).second) throw std::runtime_error("two records for " + id);
}

void DataOutput::AddImage(const std::string& id, const std::string& name, const Canvas& picture,
                          const ImageOptions& options) {
  const std::string file = "images/" + name + (options.jpeg ? ".jpg" : ".png");
  const bool saved = options.jpeg ? picture.SaveJPEG(PathOf(file)) : picture.SavePNG(PathOf(file));
  if (!saved) throw std::runtime_error("cannot write " + file);
  std::string element = "<Image id=\"" + id + "\" path=\"" + file + "\"";
  if (options.cols > 1) element += " cols=\"" + std::to_string(options.cols) + "\"";
  if (options.rows > 1) element += " rows=\"" + std::to_string(options.rows) + "\"";
  if (!options.extraAttributes.empty()) element += " " + options.extraAttributes;
  Record(id, element + "/>");
}

void DataOutput::AddSound(const std::string& id, const std::string& name, const std::vector<short>& samples,
                          int sampleRate) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::string wav = plat::audio::WavHeader({.channels = 1, .rate = sampleRate, .bits = 16}, dataBytes);
  for (short s : samples) {
    wav.push_back(static_cast<char>(s & 0xFF));
    wav.push_back(static_cast<char>((static_cast<unsigned short>(s) >> 8) & 0xFF));
  }
  WriteFile("sounds/" + name + ".wav", wav);
  // The sound loader adds the extension itself.
  Record(id, "<Sound id=\"" + id + "\" path=\"sounds/" + name + "\"/>");
}

void DataOutput::AddFont(const std::string& id, const std::string& descriptor) {
  Record(id, "<Font id=\"" + id + "\" path=\"" + descriptor + "\"/>");
}

std::string DataOutput::Manifest() const {
  static const char* const kIds[] = {
#define QUARVEL_ID_NAME(kind, name) #name,
      QUARVEL_RESOURCE_IDS(QUARVEL_ID_NAME)
#undef QUARVEL_ID_NAME
  };
  std::string xml =
      "<?xml version=\"1.0\"?>\n<!-- Made by the game's data generator: edit game/data, not this file. -->\n"
      "<ResourceManifest>\n";
  std::string group;
  int number = 0;
  for (const char* id : kIds) {
    if (group != GroupOf(number)) {
      if (!group.empty()) xml += "  </Resources>\n";
      group = GroupOf(number);
      xml += "  <Resources id=\"" + group + "\">\n";
    }
    const auto found = mElements.find(id);
    if (found == mElements.end()) throw std::runtime_error(std::string("no data made for ") + id);
    xml += "    " + found->second + "\n";
    ++number;
  }
  if (mElements.size() != static_cast<size_t>(number)) throw std::runtime_error("data made for an unknown identifier");
  return xml + "  </Resources>\n</ResourceManifest>\n";
}

}  // namespace gamedata
