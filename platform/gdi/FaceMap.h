// Which TrueType file of the system serves a GDI face name: the Windows faces the program asks for
// map onto the metric-compatible Liberation faces or onto DejaVu, and every other name onto a sans
// face.
#pragma once

#include <string>

namespace plat::gdi {

// The path of the file for the face, weight (bold at 600 and above) and slant; empty when none of
// the candidate files exists. emboldened / slanted tell whether the file lacks the asked-for weight or
// slant, which the renderer then makes up.
struct FaceFile {
  std::string path;
  bool emboldened = false;
  bool slanted = false;
};

[[nodiscard]] FaceFile FindFaceFile(const std::string& faceName, bool bold, bool italic);

}  // namespace plat::gdi
