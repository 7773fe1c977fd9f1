// The HTTP response reader's limits: a header or chunk-size line of the longest length reads, one
// byte longer makes the response malformed, however the bytes are cut into pieces; the body likewise,
// however it is framed. (How responses are
// framed is tested through the transfer, in CrashReportTest.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "framework/app/crash/HttpResponseParser.h"

namespace {

using Kit::HttpResponseParser;
using Status = HttpResponseParser::Status;
constexpr std::size_t kLongest = HttpResponseParser::kLongestLine;

// Feeds the response in pieces of `piece` bytes (the last one shorter) until the reader wants no more.
HttpResponseParser Read(const std::string& response, std::size_t piece) {
  HttpResponseParser parser;
  for (std::size_t at = 0; at < response.size() && !parser.Ended(); at += piece)
    parser.Receive(response.data() + at, std::min(piece, response.size() - at));
  return parser;
}

// A header line of exactly `length` bytes, without its CRLF.
std::string HeaderOfLength(std::size_t length) { return "X-Padding: " + std::string(length - 11, 'a'); }

// A chunk-size line of exactly `length` bytes: leading zeros before the size 3.
std::string ChunkSizeOfLength(std::size_t length) { return std::string(length - 1, '0') + "3"; }

struct LineCase {
  const char* name;
  std::string response;
  Status status;
  bool ended;
  std::string body;
};

class LineLimit : public testing::TestWithParam<std::size_t> {};

TEST_P(LineLimit, TheLongestLineReadsAndALongerOneIsMalformed) {
  const std::string head = "HTTP/1.1 200 OK\r\n";
  const std::string chunked = head + "Transfer-Encoding: chunked\r\n\r\n";
  const LineCase cases[] = {
      {"longest header", head + HeaderOfLength(kLongest) + "\r\n\r\nbody", Status::Open, false, "body"},
      {"header one byte longer", head + HeaderOfLength(kLongest + 1) + "\r\n\r\nbody", Status::Malformed, true, ""},
      {"header one byte longer, still arriving", head + HeaderOfLength(kLongest + 1), Status::Malformed, true, ""},
      // Its CR may start the CRLF: a line of the longest length with a CR still waiting for its LF.
      {"longest header, CR waiting", head + HeaderOfLength(kLongest) + "\r", Status::Open, false, ""},
      {"longest status line", "HTTP/1.1 200 " + std::string(kLongest - 13, 'K') + "\r\n\r\nok", Status::Open, false,
       "ok"},
      {"longest chunk size", chunked + ChunkSizeOfLength(kLongest) + "\r\nabc\r\n0\r\n\r\n", Status::Open, true, "abc"},
      {"chunk size one byte longer", chunked + "1\r\nx\r\n" + ChunkSizeOfLength(kLongest + 1) + "\r\nabc\r\n",
       Status::Malformed, true, "x"},
      {"chunk size one byte longer, still arriving", chunked + ChunkSizeOfLength(kLongest + 1), Status::Malformed, true,
       ""},
      // The body has no lines: a long body line is no header.
      {"long line in the body", head + "\r\n" + std::string(4 * kLongest, 'b'), Status::Open, false,
       std::string(4 * kLongest, 'b')},
  };
  for (const LineCase& c : cases) {
    const HttpResponseParser parser = Read(c.response, GetParam());
    EXPECT_EQ(parser.GetStatus(), c.status) << c.name;
    EXPECT_EQ(parser.Ended(), c.ended) << c.name;
    EXPECT_EQ(parser.Body(), c.body) << c.name;
  }
}

// One byte at a time, a prime piece that cuts CRLFs apart, and everything at once.
INSTANTIATE_TEST_SUITE_P(Pieces, LineLimit, testing::Values(1, 7, 1 << 20), testing::PrintToStringParamName());

// A chunked body of `length` bytes in chunks of at most 1 MiB.
std::string ChunkedBody(std::size_t length) {
  std::string text;
  for (std::size_t left = length; left > 0;) {
    const std::size_t size = std::min<std::size_t>(left, 1 << 20);
    char line[32];
    std::snprintf(line, sizeof(line), "%zx\r\n", size);
    text += line + std::string(size, 'c') + "\r\n";
    left -= size;
  }
  return text + "0\r\n\r\n";
}

TEST(BodyLimit, TheLongestBodyReadsAndALongerOneIsMalformedHoweverItIsFramed) {
  constexpr std::size_t kBody = HttpResponseParser::kLongestBody;
  const std::string head = "HTTP/1.1 200 OK\r\n";
  const auto withLength = [&](std::size_t length) {
    return head + "Content-Length: " + std::to_string(length) + "\r\n\r\n" + std::string(length, 'b');
  };
  const auto chunked = [&](std::size_t length) {
    return head + "Transfer-Encoding: chunked\r\n\r\n" + ChunkedBody(length);
  };
  const auto toTheEnd = [&](std::size_t length) { return head + "\r\n" + std::string(length, 'e'); };
  struct BodyCase {
    const char* name;
    std::string response;
    Status status;
    bool ended;
    std::size_t bodyLength;
  };
  const BodyCase cases[] = {
      {"longest, with its length", withLength(kBody), Status::Open, true, kBody},
      {"one byte longer, with its length", withLength(kBody + 1), Status::Malformed, true, kBody},
      {"longest, chunked", chunked(kBody), Status::Open, true, kBody},
      {"one byte longer, chunked", chunked(kBody + 1), Status::Malformed, true, kBody},
      {"longest, to the end of the connection", toTheEnd(kBody), Status::Open, false, kBody},
      {"one byte longer, to the end of the connection", toTheEnd(kBody + 1), Status::Malformed, true, kBody},
  };
  for (const BodyCase& c : cases) {
    const HttpResponseParser parser = Read(c.response, 1 << 16);
    EXPECT_EQ(parser.GetStatus(), c.status) << c.name;
    EXPECT_EQ(parser.Ended(), c.ended) << c.name;
    EXPECT_EQ(parser.Body().size(), c.bodyLength) << c.name;
  }
}

}  // namespace
