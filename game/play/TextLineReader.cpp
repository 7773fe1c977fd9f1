#include "game/play/TextLineReader.h"

TextLineReader::Result TextLineReader::Next(std::string& line) {
  line.clear();
  if (mRest.empty()) return kEnd;
  const std::size_t end = mRest.find('\n');
  std::string_view found = mRest.substr(0, end);
  mRest.remove_prefix(end == std::string_view::npos ? mRest.size() : end + 1);
  if (found.ends_with('\r')) found.remove_suffix(1);
  if (found.size() > mMaxChars) return kTooLong;
  line.assign(found);
  return kLine;
}
