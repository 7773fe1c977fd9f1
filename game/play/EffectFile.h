// EffectFile.h: the brick-effect table of "data\effect.txt": for each brick template name, the
// animations played over the brick when it is hit, dies, is blown up or is burnt by a fire ball. The
// text format is "key=value" lines; a "brick" line starts a record and the four effect keys fill it.
// The rules object owns the table it reads. Main thread only.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
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

// The records in file order, and for each brick name the last of its records, so that a lookup costs
// the same however many records the table holds (every hit of a brick looks its effect up).
class EffectTable {
 public:
  void Append(BrickEffectRecord record);
  void Clear();
  const std::vector<BrickEffectRecord>& Records() const { return mRecords; }

  // The value the last record of that brick name holds for the key ("hitname", "deadname",
  // "explodename", "fireballname"), even an empty one; empty when no record has the name, or for
  // another key.
  std::string Lookup(const std::string& brickName, const std::string& key) const;

 private:
  std::vector<BrickEffectRecord> mRecords;
  std::unordered_map<std::string, std::size_t> mLastRecordOf;  // brick name -> index in mRecords
};

// Appends the file's records to the table, in file order, without clearing it. Nothing is trimmed; a
// line whose key is none of the five words is ignored, an effect line before the first "brick" line
// too. Reading stops at the end or at a line that is too long, keeping the record under construction.
// A missing file, or one that cannot be read (a folder, a read error, a size far beyond any table),
// adds nothing; for one that is there, the reason is returned (empty when the file was read or missing).
std::string LoadEffectFile(std::string path, EffectTable& table);
