// TextLineReader.h: reads the game's text tables (the glyph table, the brick-effect table) line by
// line, with either line end (LF or CR LF), never holding more than one line of the longest allowed
// length: a longer line is consumed whole and reported, and the caller decides whether to skip it or
// stop. Used on the main thread.
#pragma once

#include <cstddef>
#include <istream>
#include <string>

class TextLineReader {
 public:
  enum Result { kLine, kTooLong, kEnd };

  TextLineReader(std::istream& in, std::size_t maxChars) : mIn(in), mMaxChars(maxChars) {}

  // The next line without its line end (kLine); kTooLong for a line of more than maxChars characters,
  // which is consumed but not returned; kEnd when no line is left.
  Result Next(std::string& line);

 private:
  std::istream& mIn;
  std::size_t mMaxChars;
};
