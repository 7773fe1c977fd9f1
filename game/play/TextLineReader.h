// TextLineReader.h: splits the game's text tables (the glyph table, the brick-effect table), read whole,
// into lines with either line end (LF or CR LF), none longer than the longest allowed: a longer line is
// passed over whole and reported, and the caller decides whether to skip it or stop. Holds a view of
// the text, which must outlive it. Used on the main thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class TextLineReader {
 public:
  enum Result { kLine, kTooLong, kEnd };

  TextLineReader(std::string_view text, std::size_t maxChars) : mRest(text), mMaxChars(maxChars) {}

  // The next line without its line end (kLine); kTooLong for a line of more than maxChars characters,
  // which is passed over but not returned; kEnd when no line is left.
  Result Next(std::string& line);

 private:
  std::string_view mRest;
  std::size_t mMaxChars;
};
