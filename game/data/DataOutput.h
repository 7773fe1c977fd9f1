// Where the generator writes: the data folder, and the resource manifest's records collected while
// the files are made. Every file goes through here, so the folder holds exactly what was generated.
// One per run; not thread-safe.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace gamedata {

class Canvas;

// How an image is stored and described in the manifest.
struct ImageOptions {
  int cols = 1;                 // cels side by side
  int rows = 1;                 // cels one under the other
  bool jpeg = false;            // opaque pictures only
  std::string extraAttributes;  // further manifest attributes, written as they stand
};

// Cels side by side; an opaque picture kept as JPEG.
ImageOptions Cels(int count);
ImageOptions Opaque();

class DataOutput {
 public:
  explicit DataOutput(std::string root);

  const std::string& Root() const { return mRoot; }
  // The full path of a file of the data folder, its folders made.
  std::string PathOf(const std::string& relative) const;
  void WriteFile(const std::string& relative, const std::string& bytes) const;

  // Saves the picture as images/<name>.png (or .jpg) and records it under the id.
  void AddImage(const std::string& id, const std::string& name, const Canvas& picture,
                const ImageOptions& options = {});
  // Saves 16-bit PCM samples as sounds/<name>.wav and records it under the id.
  void AddSound(const std::string& id, const std::string& name, const std::vector<short>& samples, int sampleRate);
  // Records a font whose descriptor file has been written at the relative path.
  void AddFont(const std::string& id, const std::string& descriptor);

  // The manifest in resource-identifier order and groups; throws when an identifier has no record.
  std::string Manifest() const;

 private:
  void Record(const std::string& id, std::string element);

  std::string mRoot;
  std::map<std::string, std::string> mElements;
};

}  // namespace gamedata
