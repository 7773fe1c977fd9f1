#include "framework/app/crash/HttpResponseParser.h"

#include <algorithm>
#include <cstdlib>

#include "framework/util/StringUtil.h"

namespace Kit {

namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

void HttpResponseParser::Receive(const char* data, std::size_t length) {
  if (mEnded) return;
  mBuffer.append(data, length);
  while (!mEnded && Step()) {
  }
  // Keep only what is not read yet.
  mBuffer.erase(0, mPos);
  mPos = 0;
}

bool HttpResponseParser::ReadLine(std::string* line) {
  const std::size_t end = mBuffer.find("\r\n", mPos + mLineSearched);
  if (end == std::string::npos) {
    // The last byte may be the CR of a CRLF whose LF is still to come.
    const bool endsInCR = Available() > 0 && mBuffer.back() == '\r';
    mLineSearched = Available() - (endsInCR ? 1 : 0);
    if (mLineSearched > kLongestLine) Malformed();
    return false;
  }
  mLineSearched = 0;
  if (end - mPos > kLongestLine) {
    Malformed();
    return false;
  }
  *line = mBuffer.substr(mPos, end - mPos);
  mPos = end + 2;
  return true;
}

void HttpResponseParser::Malformed() {
  mStatus = Status::Malformed;
  mEnded = true;
}

void HttpResponseParser::HeaderLine(const std::string& line) {
  if (StartsWith(line, "HTTP/1.")) {
    // "HTTP/1.x " and three digits; a shorter line states no status and is refused.
    const std::string status = line.size() >= 12 ? line.substr(9, 3) : std::string();
    if (status == "404") {
      mStatus = Status::NotFound;
      mEnded = true;
    } else if (status != "200") {
      mStatus = Status::Failed;
      mEnded = true;
    }
  } else if (StartsWith(line, "Transfer-Encoding: ")) {
    mChunked = line.substr(19) != "identity";
  } else if (StartsWith(line, "Content-Length: ")) {
    const long long length = std::strtoll(line.c_str() + 16, nullptr, 10);
    mContentLength = std::max(0LL, length);
  } else if (line.empty()) {
    mHeadersDone = true;
  }
}

bool HttpResponseParser::TakeBody(std::size_t count) {
  if (count > kLongestBody - mBody.size()) {
    mBody.append(mBuffer, mPos, kLongestBody - mBody.size());
    Malformed();
    return false;
  }
  mBody.append(mBuffer, mPos, count);
  mPos += count;
  return true;
}

bool HttpResponseParser::Step() {
  std::string line;
  if (!mHeadersDone) {
    if (!ReadLine(&line)) return false;
    HeaderLine(line);
    return true;
  }
  if (!mChunked) {
    if (Available() == 0) return false;
    if (mContentLength < 1) {
      TakeBody(Available());  // the body runs to the end of the connection
      return false;
    }
    const std::size_t count = static_cast<std::size_t>(std::min<std::int64_t>(mContentLength, Available()));
    if (!TakeBody(count)) return false;
    mContentLength -= static_cast<std::int64_t>(count);
    mEnded = mContentLength == 0;
    return false;
  }
  if (mChunkEndDue) {
    if (Available() < 2) return false;  // the CRLF after the data has not all arrived
    mPos += 2;
    mChunkEndDue = false;
    return true;
  }
  if (mChunkLeft == 0) {
    if (!ReadLine(&line)) return false;
    int size = 0;
    if (!StringToInt("0x" + Trim(line), size) || size <= 0) {
      mEnded = true;  // the last chunk, or a size that does not read
      return false;
    }
    mChunkLeft = size;
    return true;
  }
  const std::size_t count = static_cast<std::size_t>(std::min<std::int64_t>(mChunkLeft, Available()));
  if (count == 0) return false;
  if (!TakeBody(count)) return false;
  mChunkLeft -= static_cast<std::int64_t>(count);
  mChunkEndDue = mChunkLeft == 0;
  return true;
}

}  // namespace Kit
