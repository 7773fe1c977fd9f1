// The HTTP transfer against a server on the loopback address: how responses are framed, split
// across reads in every place, failures, abort, and the replay of a recorded result.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <tuple>
#include <vector>

#include "framework/app/HTTPTransfer.h"
#include "framework/app/KitAppBase.h"
#include "tests/crash/LoopbackServer.h"
#include "tests/settings/DemoStreams.h"

namespace {

using Kit::HTTPTransfer;

const std::string kRequest = "POST /report HTTP/1.0\r\nContent-Length: 5\r\n\r\nhello";

int Finish(HTTPTransfer& transfer) {
  transfer.WaitFor();
  return transfer.GetResultCode();
}

struct ResponseCase {
  const char* name;
  std::vector<std::string> pieces;
  int result;
  std::string body;
};

class Responses : public testing::TestWithParam<ResponseCase> {};

TEST_P(Responses, GiveTheirResultAndBody) {
  crashtest::LoopbackServer server(GetParam().pieces);
  HTTPTransfer transfer;
  transfer.SendRequest(server.Url(), kRequest);
  EXPECT_EQ(Finish(transfer), GetParam().result);
  EXPECT_EQ(transfer.GetContent(), GetParam().body);
  EXPECT_EQ(server.Request(), kRequest);
}

INSTANTIATE_TEST_SUITE_P(
    Http, Responses,
    testing::Values(
        ResponseCase{
            "Length", {"HTTP/1.1 200 OK\r\nContent-Le", "ngth: 11\r\n\r\nhello", " worldEXTRA"}, 0, "hello world"},
        ResponseCase{"UntilClose", {"HTTP/1.0 200 OK\r\n", "\r\nall of ", "it"}, 0, "all of it"},
        ResponseCase{"Chunked",
                     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5", "\r\nhel", "lo\r", "\n6\r\n wor",
                      "ld\r\n0\r\n\r\n"},
                     0,
                     "hello world"},
        ResponseCase{"ChunkEndArrivesLate",
                     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab", "\r", "\n1\r\nc\r\n0\r\n\r\n"},
                     0,
                     "abc"},
        ResponseCase{
            "IdentityIsNotChunked", {"HTTP/1.1 200 OK\r\nTransfer-Encoding: identity\r\n\r\n5\r\nab"}, 0, "5\r\nab"},
        ResponseCase{"OtherEncodingIsChunked",
                     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n2\r\nab\r\n0\r\n\r\n"},
                     0,
                     "ab"},
        ResponseCase{"ChunkExtensionEndsBody",
                     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n3;x=1\r\ncde\r\n0\r\n\r\n"},
                     0,
                     "ab"},
        ResponseCase{"NegativeChunkEndsBody",
                     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFF\r\nab\r\n0\r\n\r\n"},
                     0,
                     ""},
        ResponseCase{"NotFound", {"HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone"}, 3, ""},
        ResponseCase{"ServerError", {"HTTP/1.1 500 Oops\r\n\r\nbody"}, 4, ""},
        ResponseCase{"ShortStatusLine", {"HTTP/1.\r\n\r\nbody"}, 4, ""}),
    [](const testing::TestParamInfo<ResponseCase>& info) { return std::string(info.param.name); });

TEST(HttpTransfer, SplitsItsUrl) {
  struct Case {
    const char* url;
    const char* protocol;
    const char* host;
    int port;
    const char* path;
  };
  const Case cases[] = {
      {"http://example.test/a/b?c", "http", "example.test", 80, "/a/b?c"},
      {"reports.example.test:8080/upload/x", "", "reports.example.test", 8080, "/upload/x"},
      {"http://127.0.0.1:9", "http", "127.0.0.1", 9, "/"},
  };
  HTTPTransfer transfer;
  for (const Case& c : cases) {
    transfer.PrepareTransfer(c.url);
    EXPECT_EQ(std::tuple(transfer.mProtocol, transfer.mHost, transfer.mPort, transfer.mPath),
              std::tuple(std::string(c.protocol), std::string(c.host), c.port, std::string(c.path)));
  }
}

TEST(HttpTransfer, FailuresKeepTheirOwnResult) {
  HTTPTransfer transfer;
  EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::RESULT_IDLE);
  transfer.SendRequest("http://127.0.0.1:1/", kRequest);  // nothing listens on port 1
  EXPECT_EQ(Finish(transfer), HTTPTransfer::RESULT_CONNECT_FAILED);

  // A name that cannot be found; only where this machine answers name look-ups at all.
  if (plat::HostByName("localhost") == nullptr) GTEST_SKIP() << "no resolver";
  transfer.SendRequest("http://no-such-host.invalid/", kRequest);
  EXPECT_EQ(Finish(transfer), HTTPTransfer::RESULT_HOST_NOT_FOUND);
  transfer.Reset();
  EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::RESULT_IDLE);
}

TEST(HttpTransfer, AnAbortEndsAStalledTransferAtOnce) {
  crashtest::LoopbackServer server({"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npart"}, true);
  HTTPTransfer transfer;
  transfer.SendRequest(server.Url(), kRequest);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::RESULT_PENDING);
  const auto start = std::chrono::steady_clock::now();
  transfer.Abort();
  EXPECT_EQ(Finish(transfer), HTTPTransfer::RESULT_ABORTED);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST(HttpTransfer, AReplayTakesTheRecordedResultAndItsWaitEnds) {
  crashtest::LoopbackServer server({"HTTP/1.1 200 OK\r\n\r\nrecorded body"});
  Kit::DemoStream recording = KitTest::RecordingStream();
  Kit::KitAppBase app;
  app.mDemoStream = &recording;
  HTTPTransfer transfer;
  transfer.SendRequest(server.Url(), kRequest);
  EXPECT_EQ(Finish(transfer), HTTPTransfer::RESULT_DONE);

  // The replay's transfer of the same identifier takes the result without the network; one whose
  // result is not recorded stays pending, and waiting for it returns.
  Kit::DemoStream playback = KitTest::PlaybackOf(recording);
  app.mDemoStream = &playback;
  HTTPTransfer unrecorded, replayed;
  unrecorded.SendRequest("http://127.0.0.1:1/", kRequest);
  unrecorded.WaitFor();
  EXPECT_EQ(unrecorded.GetResultCode(), HTTPTransfer::RESULT_PENDING);
  replayed.PrepareTransfer("http://127.0.0.1:1/");
  replayed.mTransferId = transfer.mTransferId;
  replayed.StartTransfer();
  replayed.WaitFor();
  EXPECT_EQ(replayed.GetResultCode(), HTTPTransfer::RESULT_DONE);
  EXPECT_EQ(replayed.GetContent(), "recorded body");
  app.mDemoStream = nullptr;
}

}  // namespace
