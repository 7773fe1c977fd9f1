// EffectFile.h: the brick-effect table of "data\effect.txt": for each brick template name, the
// animations played over the brick when it is hit, dies, is blown up or is burnt by a fire ball. The
// text format is "key=value" lines; a "brick" line starts a record and the four effect keys fill it.
// The rules object owns the records it reads. Main thread only.
#pragma once

#include <string>
#include <vector>

struct BrickEffectRecord {
  std::string mBrickName;     // "brick": the template name the record is for, matched exactly
  std::string mHitName;       // "hitname"
  std::string mDeadName;      // "deadname"
  std::string mExplodeName;   // "explodename"
  std::string mFireballName;  // "fireballname"
};

// The longest line of the file, in characters; a longer line ends the reading.
inline constexpr std::size_t kMaxEffectLineChars = 254;

// The characters before the first separator (all of text without one), and those after it (none
// without one).
std::string TextBefore(const std::string& text, const std::string& separator);
std::string TextAfter(const std::string& text, const std::string& separator);

// Appends the file's records to records, in file order, without clearing it. Nothing is trimmed; a
// line whose key is none of the five words is ignored, an effect line before the first "brick" line
// too. Reading stops at the end or at a line that is too long, keeping the record under construction.
// A missing file, or one that cannot be read (a folder, a read error), adds nothing.
void LoadEffectFile(std::string path, std::vector<BrickEffectRecord>& records);

// The value the last record of that brick name holds for the key ("hitname", "deadname",
// "explodename", "fireballname"); empty when none does or for another key.
std::string LookupEffect(const std::vector<BrickEffectRecord>& records, const std::string& brickName,
                         const std::string& key);
