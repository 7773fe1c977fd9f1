// Reads an HTTP response as it arrives, in pieces of any size: the status line, the headers that
// frame the body (Content-Length and Transfer-Encoding), and the body, whole or chunked. Its work is
// linear in the bytes received: an unfinished line is searched for its end only in what is new, and a
// header or chunk-size line longer than kLongestLine, or a body longer than kLongestBody, makes the
// response malformed (a server cannot make the program hold more than that). Owned by one
// thread (the transfer's worker).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Kit {

class HttpResponseParser {
 public:
  // What the status line decided: still open (no status line, or 200), 404, or any other status.
  // A status line too short to hold three digits counts as another status. Malformed: a header or
  // chunk-size line ran past kLongestLine bytes, or the body past kLongestBody.
  enum class Status { Open, NotFound, Failed, Malformed };

  // The longest header or chunk-size line read, without its CRLF.
  static constexpr std::size_t kLongestLine = 8192;
  // The longest body kept, however it is framed.
  static constexpr std::size_t kLongestBody = 16 << 20;

  // Takes the bytes received and reads as far as they go.
  void Receive(const char* data, std::size_t length);
  // True once no more bytes are wanted: the status refused the response, the announced length or
  // the last chunk arrived, a chunk size did not read, or a line or the body was too long.
  bool Ended() const { return mEnded; }
  Status GetStatus() const { return mStatus; }
  const std::string& Body() const { return mBody; }

 private:
  // One step of reading; false when it needs more bytes.
  bool Step();
  // The next line without its CRLF; false while it has not all arrived, or when it is too long.
  bool ReadLine(std::string* line);
  void Malformed();
  void HeaderLine(const std::string& line);
  std::size_t Available() const { return mBuffer.size() - mPos; }
  // Moves count bytes to the body; when they would make it too long, only what fits, and the
  // response is malformed (false).
  bool TakeBody(std::size_t count);

  std::string mBuffer;
  std::size_t mPos = 0;
  // How many bytes from mPos on are known to hold no CRLF that starts there: a line still arriving is
  // not searched again from its beginning.
  std::size_t mLineSearched = 0;
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
