#include "game/play/TextLineReader.h"

TextLineReader::Result TextLineReader::Next(std::string& line) {
  line.clear();
  std::streambuf* source = mIn.rdbuf();
  if (!mIn || !source) return kEnd;
  bool tooLong = false;
  bool any = false;
  for (int c = source->sbumpc(); c != std::char_traits<char>::eof(); c = source->sbumpc()) {
    any = true;
    if (c == '\n') break;
    if (line.size() <= mMaxChars) {  // room for the line and a carriage return before its end
      line.push_back(static_cast<char>(c));
    } else {
      tooLong = true;
    }
  }
  if (!any) {
    mIn.setstate(std::ios::eofbit);
    return kEnd;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (tooLong || line.size() > mMaxChars) {
    line.clear();
    return kTooLong;
  }
  return kLine;
}
