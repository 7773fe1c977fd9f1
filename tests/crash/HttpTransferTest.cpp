// The HTTP transfer against a server on the loopback address: how responses are framed, split
// across reads in every place, failures, abort, and the replay of a recorded result; and the crash
// report's upload from the crash windows.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "framework/app/CrashHandler.h"
#include "framework/app/HTTPTransfer.h"
#include "framework/app/KitAppBase.h"
#include "platform/win/Windows.h"
#include "tests/settings/DemoStreams.h"
#include "tests/support/TempDir.h"

namespace {

using Kit::CrashHandler;
using Kit::HTTPTransfer;

// A one-connection HTTP server on 127.0.0.1: it takes the request (up to the end of its header and as
// many body bytes as Content-Length says), answers with the given pieces, each sent on its own after a
// short pause so the client reads them apart, then closes; or, `holdOpen`, keeps the connection open
// until the server is destroyed.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::vector<std::string> pieces, bool holdOpen = false)
      : mThread([this, pieces, holdOpen] { Serve(pieces, holdOpen); }) {}
  ~LoopbackServer() {
    mStopping = true;
    if (mThread.joinable()) mThread.join();
    ::close(mListener);
  }

  int Port() const { return mPort; }
  std::string Url(const std::string& path = "/report") const {
    return "http://127.0.0.1:" + std::to_string(mPort) + path;
  }
  // The request as received; complete once the server answered.
  std::string Request() {
    if (mThread.joinable()) mThread.join();
    return mRequest;
  }

 private:
  static int ListenOnLoopback(int* port) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(listener, 4) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      std::abort();
    *port = ntohs(address.sin_port);
    return listener;
  }

  // Whether the request read so far is whole: its header ended and the announced body arrived.
  bool RequestComplete() const {
    const std::size_t headerEnd = mRequest.find("\r\n\r\n");
    if (headerEnd == std::string::npos) return false;
    const std::size_t lengthAt = mRequest.find("Content-Length: ");
    const std::size_t body = lengthAt < headerEnd ? std::strtoul(mRequest.c_str() + lengthAt + 16, nullptr, 10) : 0;
    return mRequest.size() >= headerEnd + 4 + body;
  }

  void Serve(const std::vector<std::string>& pieces, bool holdOpen) {
    pollfd waiting{mListener, POLLIN, 0};
    while (!mStopping && ::poll(&waiting, 1, 50) == 0) {
    }
    if (mStopping) return;
    const int connection = ::accept(mListener, nullptr, nullptr);
    char bytes[4096];
    while (!RequestComplete()) {
      const ssize_t received = ::recv(connection, bytes, sizeof(bytes), 0);
      if (received <= 0) break;
      mRequest.append(bytes, static_cast<std::size_t>(received));
    }
    for (const std::string& piece : pieces) {
      ::send(connection, piece.data(), piece.size(), MSG_NOSIGNAL);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    while (holdOpen && !mStopping) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::close(connection);
  }

  int mPort = 0;
  int mListener = ListenOnLoopback(&mPort);
  std::atomic<bool> mStopping{false};
  std::string mRequest;
  std::thread mThread;  // last: it starts serving at once
};

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
  LoopbackServer server(GetParam().pieces);
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
  LoopbackServer server({"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npart"}, true);
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
  LoopbackServer server({"HTTP/1.1 200 OK\r\n\r\nrecorded body"});
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

// An application that adds its own fields to the crash report.
class ReportingApp : public Kit::KitAppBase {
 public:
  void AddCrashReportFields(std::map<std::string, std::string>& fields) override {
    fields["zlevel"] = "3";
    fields["arch"] = "x86-64";
  }
};

// Steps through the crash windows as a user would, one step per timer tick: "Send Report", then the
// details typed and "Continue"; the upload's result then ends the loop.
int gStep = 0;
std::string gSeen;

void ClickThrough(HWND, UINT, UINT_PTR, DWORD) {
  HWND window = GetActiveWindow();
  char title[64] = {};
  GetWindowText(window, title, sizeof(title));
  if (gStep == 0 && gSeen.empty()) gSeen = title;
  if (gStep == 0 && std::string(title) == "Fatal Error!") {
    SendMessage(GetDlgItem(window, 1), BM_CLICK, 0, 0);
    gStep = 1;
  } else if (gStep == 1 && std::string(title) == "Error Details") {
    SetWindowText(GetFocus(), "I pressed space twice");
    SendMessage(GetDlgItem(window, 1), BM_CLICK, 0, 0);
    gStep = 2;
  }
}

TEST(ReportUpload, TheCrashWindowsSendTheReportWithTheUsersWords) {
  ReportingApp app;
  app.mProdName = "Quarvel";
  app.mProductVersion = "1.0";
  testsupport::TempDir folder;
  const std::string demo{"DEMO\0\r\n--\xff\x01", 12};
  CrashHandler::mCrashDemoFile = folder.Write("run.dmo", demo);
  CrashHandler::mHasDemoFile = true;
  LoopbackServer server({"HTTP/1.1 200 OK\r\n\r\n"});
  CrashHandler::mSubmitHost = server.Url("/crash");
  CrashHandler::mExitLoop = false;
  gStep = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, &ClickThrough);
  CrashHandler::ShowErrorWindow("Exception at 0010:00000020", "the report\r\n");
  KillTimer(nullptr, timer);
  EXPECT_EQ(gSeen, "Fatal Error!");
  EXPECT_EQ(gStep, 2);
  EXPECT_EQ(CrashHandler::UploadTransfer().GetResultCode(), Kit::HTTPTransfer::RESULT_DONE);

  // A multipart request, byte for byte, whose Host header names only the host and port.
  const std::string b = "---------------------------7d3e1f30eec";
  auto part = [&](const std::string& name, const std::string& value) {
    return "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
  };
  const std::string body = part("arch", "x86-64") + part("zlevel", "3") + part("prod", "Quarvel") +
                           part("version", "1.0") + part("usertext", "I pressed space twice") +
                           part("errortitle", "Exception at 0010:00000020") + part("errortext", "the report\r\n") +
                           "--" + b +
                           "\r\nContent-Disposition: form-data; name=\"demofile\"; filename=\"tessil.dmo\"\r\n"
                           "Content-Type: application/octet-stream\r\n\r\n" +
                           demo + "\r\n--" + b + "--\r\n";
  EXPECT_EQ(server.Request(),
            "POST /plenar_error.php HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=" + b +
                "\r\nUser-Agent: Mozilla/4.0 (compatible; tessil)\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) +
                "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
  CrashHandler::mHasDemoFile = false;
  CrashHandler::mSubmitHost.clear();
}

}  // namespace
