// Reads an HTTP response as it arrives, in pieces of any size: the status line, the headers that
// frame the body (Content-Length and Transfer-Encoding), and the body, whole or chunked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Kit {

class HttpResponseParser {
 public:
  // What the status line decided: still open (no status line, or 200), 404, or any other status.
  // A status line too short to hold three digits counts as another status.
  enum class Status { Open, NotFound, Failed };

  // Takes the bytes received and reads as far as they go.
  void Receive(const char* data, std::size_t length);
  // True once no more bytes are wanted: the status refused the response, the announced length or
  // the last chunk arrived, or a chunk size did not read.
  bool Ended() const { return mEnded; }
  Status GetStatus() const { return mStatus; }
  const std::string& Body() const { return mBody; }

 private:
  // One step of reading; false when it needs more bytes.
  bool Step();
  bool ReadLine(std::string* line);
  void HeaderLine(const std::string& line);
  std::size_t Available() const { return mBuffer.size() - mPos; }
  void TakeBody(std::size_t count);

  std::string mBuffer;
  std::size_t mPos = 0;
  bool mHeadersDone = false;
  bool mChunked = false;
  std::int64_t mContentLength = 0;
  std::int64_t mChunkLeft = 0;
  // The CRLF after a chunk's data is still to be skipped.
  bool mChunkEndDue = false;
  bool mEnded = false;
  Status mStatus = Status::Open;
  std::string mBody;
};

}  // namespace Kit
