#include "framework/app/crash/HTTPTransfer.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "framework/app/KitAppBase.h"
#include "framework/app/crash/HttpResponseParser.h"
#include "framework/app/demo/DemoStream.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"

namespace Kit {

namespace {

std::atomic<std::uint32_t> gNextTransferId{1};

constexpr int kWaitStepMs = 100;
constexpr DWORD kPollStepMs = 20;
constexpr int kReceiveSize = 256;

DemoStream* DemoOfApp() { return gKitApp != nullptr ? gKitApp->mDemoStream : nullptr; }

bool DemoPlaying() {
  const DemoStream* demo = DemoOfApp();
  return demo != nullptr && demo->mDemoPlaying;
}

}  // namespace

HTTPTransfer::HTTPTransfer() : mTransferId(gNextTransferId++) {}

HTTPTransfer::~HTTPTransfer() {
  Abort();
  JoinWorker();
}

void HTTPTransfer::JoinWorker() {
  if (mWorker.joinable()) mWorker.join();
}

void HTTPTransfer::SendRequest(const std::string& url, const std::string& request) {
  std::lock_guard<std::recursive_mutex> turn(mControlLock);
  PrepareTransfer(url);
  mSendStr = request;
  StartTransfer();
}

void HTTPTransfer::PrepareTransfer(const std::string& url) {
  std::lock_guard<std::recursive_mutex> turn(mControlLock);
  Reset();
  mTransferId = gNextTransferId++;
  mURL = url;
  mExiting = false;
  mAborted = false;
  mResult = RESULT_PENDING;
  {
    std::lock_guard<std::mutex> lock(mContentLock);
    mContent.clear();
  }
  SplitURL(url, &mProtocol, &mHost, &mPort, &mPath);
}

void HTTPTransfer::SplitURL(const std::string& url, std::string* protocol, std::string* host, int* port,
                            std::string* path) {
  *port = 80;
  protocol->clear();
  std::size_t hostStart = 0;
  const std::size_t slashes = url.find("//");
  if (slashes != std::string::npos) {
    *protocol = url.substr(0, slashes == 0 ? 0 : slashes - 1);
    hostStart = slashes + 2;
  }
  const std::size_t pathStart = url.find('/', hostStart);
  if (pathStart == std::string::npos) {
    *host = url.substr(hostStart);
    path->assign(1, '/');
  } else {
    *host = url.substr(hostStart, pathStart - hostStart);
    *path = url.substr(pathStart);
  }
  const std::size_t colon = host->find(':');
  if (colon != std::string::npos) {
    // An empty port keeps the default; one that is not a TCP port number leaves none (0): the
    // transfer then fails to connect rather than reach another port by wrapping.
    const std::string_view digits = std::string_view(*host).substr(colon + 1);
    if (!digits.empty()) {
      int number = 0;
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
      *port =
          error == std::errc() && end == digits.data() + digits.size() && number >= 1 && number <= 65535 ? number : 0;
    }
    host->erase(colon);
  }
}

void HTTPTransfer::StartTransfer() {
  std::lock_guard<std::recursive_mutex> turn(mControlLock);
  mTransferPending = true;
  if (DemoPlaying()) return;  // the result comes from the recording
  JoinWorker();
  mThreadRunning = true;
  mWorker = plat::StartThread([this] { GetThreadProc(); });
}

void HTTPTransfer::Abort() {
  mAborted = true;
  mExiting = true;
}

void HTTPTransfer::Reset() {
  std::lock_guard<std::recursive_mutex> turn(mControlLock);
  if (mThreadRunning) {
    Abort();
    WaitFor();
  }
  JoinWorker();
  mResult = RESULT_IDLE;
  mLastDemoResult = RESULT_IDLE;
  mTransferId = gNextTransferId++;
  {
    std::lock_guard<std::mutex> lock(mContentLock);
    mContent.clear();
  }
  mURL.clear();
  mSendStr.clear();
  mPath.clear();
  mTransferPending = false;
  mExiting = false;
  mAborted = false;
}

int HTTPTransfer::GetResultCode() {
  std::lock_guard<std::recursive_mutex> turn(mControlLock);
  UpdateStatus();
  return mResult;
}

void HTTPTransfer::WaitFor() {
  if (DemoPlaying()) {
    UpdateStatus();
    return;
  }
  while (mTransferPending) {
    UpdateStatus();
    Sleep(kPollStepMs);
  }
  UpdateStatus();
}

std::string HTTPTransfer::GetContent() const {
  std::lock_guard<std::mutex> lock(mContentLock);
  return mContent;
}

void HTTPTransfer::UpdateStatus() {
  std::lock_guard<std::recursive_mutex> turn(mControlLock);
  DemoStream* demo = DemoOfApp();
  if (demo == nullptr) return;
  if (!demo->mDemoPlaying) {
    const int result = mResult;
    if (demo->mDemoRecording && result != mLastDemoResult) {
      demo->RecordHttpResult(gKitApp->mUpdateCount, static_cast<std::int32_t>(mTransferId), result,
                             result == RESULT_PENDING ? std::string() : GetContent());
      mLastDemoResult = result;
    }
    return;
  }
  int code = 0;
  std::string content;
  if (!demo->PeekHttpResult(gKitApp->mUpdateCount, static_cast<std::int32_t>(mTransferId), &code, &content)) return;
  {
    std::lock_guard<std::mutex> lock(mContentLock);
    mContent = content;
  }
  mResult = code;
  mLastDemoResult = code;
  if (code != RESULT_PENDING) mTransferPending = false;
}

void HTTPTransfer::SetResult(int code) {
  mExiting = true;
  mResult = code;
}

bool HTTPTransfer::SocketWait(bool read, bool write) {
  while (!mExiting) {
    WSAPOLLFD entry{mSocket, static_cast<short>((read ? POLLIN : 0) | (write ? POLLOUT : 0)), 0};
    const int ready = WSAPoll(&entry, 1, kWaitStepMs);
    if (ready == SOCKET_ERROR && WSAGetLastError() == WSAEINTR) continue;
    if (ready == SOCKET_ERROR || (entry.revents & POLLNVAL) != 0) {
      SetResult(RESULT_SOCKET_ERROR);
      return false;
    }
    // A closed or failed connection still has its data or error to read: recv and the pending
    // error tell which.
    if (ready > 0) return true;
  }
  return true;
}

bool HTTPTransfer::Connect() {
  if (mPort < 1 || mPort > 65535) {
    SetResult(RESULT_CONNECT_FAILED);
    return false;
  }
  in_addr_t address = ::inet_addr(mHost.c_str());
  if (address == INADDR_NONE) {
    const HOSTENT* entry = plat::HostByName(mHost.c_str());
    if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_addr_list[0] == nullptr) {
      SetResult(RESULT_HOST_NOT_FOUND);
      return false;
    }
    std::memcpy(&address, entry->h_addr_list[0], sizeof(address));
    if (address == INADDR_NONE) {
      SetResult(RESULT_HOST_NOT_FOUND);
      return false;
    }
  }
  if (mExiting) return false;
  SOCKADDR_IN target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(static_cast<std::uint16_t>(mPort));
  target.sin_addr.s_addr = address;
  if (::connect(mSocket, reinterpret_cast<SOCKADDR*>(&target), sizeof(target)) == SOCKET_ERROR &&
      WSAGetLastError() != WSAEWOULDBLOCK) {
    SetResult(RESULT_CONNECT_FAILED);
    return false;
  }
  if (!SocketWait(false, true)) {
    SetResult(RESULT_CONNECT_FAILED);
    return false;
  }
  if (mExiting) return false;
  // A non-blocking connection's outcome is its pending error once the socket turned writable.
  int error = 0;
  socklen_t length = sizeof(error);
  if (::getsockopt(mSocket, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
    SetResult(RESULT_CONNECT_FAILED);
    return false;
  }
  return true;
}

bool HTTPTransfer::Send() {
  while (!mSendStr.empty() && !mExiting) {
    if (!SocketWait(false, true) || mExiting) return false;
    // MSG_NOSIGNAL: a peer that closed gives an error here, never SIGPIPE.
    const ssize_t sent = ::send(mSocket, mSendStr.data(), mSendStr.size(), MSG_NOSIGNAL);
    if (sent < 0 && (WSAGetLastError() == WSAEWOULDBLOCK || WSAGetLastError() == WSAEINTR)) continue;
    if (sent < 1) {
      SetResult(RESULT_SEND_FAILED);
      return false;
    }
    mSendStr.erase(0, static_cast<std::size_t>(sent));
  }
  return !mExiting;
}

void HTTPTransfer::Receive() {
  HttpResponseParser response;
  char piece[kReceiveSize];
  while (!mExiting && !response.Ended()) {
    if (!SocketWait(true, false) || mExiting) break;
    const ssize_t received = ::recv(mSocket, piece, sizeof(piece), 0);
    if (received < 0 && (WSAGetLastError() == WSAEWOULDBLOCK || WSAGetLastError() == WSAEINTR)) continue;
    if (received < 1) break;
    response.Receive(piece, static_cast<std::size_t>(received));
  }
  {
    std::lock_guard<std::mutex> lock(mContentLock);
    mContent = response.Body();
  }
  if (response.GetStatus() == HttpResponseParser::Status::NotFound) SetResult(RESULT_NOT_FOUND);
  // A response too malformed to read counts as a failed status.
  if (response.GetStatus() == HttpResponseParser::Status::Failed ||
      response.GetStatus() == HttpResponseParser::Status::Malformed)
    SetResult(RESULT_HTTP_ERROR);
}

void HTTPTransfer::GetThreadProc() {
  WSADATA data;
  WSAStartup(MAKEWORD(1, 1), &data);
  mSocket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (mSocket == INVALID_SOCKET) {
    SetResult(RESULT_SOCKET_ERROR);  // and nothing after it may replace that result
  } else {
    unsigned long nonBlocking = 1;
    ioctlsocket(mSocket, FIONBIO, &nonBlocking);
    if (!mExiting && Connect() && Send()) Receive();
    closesocket(mSocket);
    mSocket = INVALID_SOCKET;
  }
  WSACleanup();
  if (mAborted) {
    SetResult(RESULT_ABORTED);
  } else {
    int pending = RESULT_PENDING;
    mResult.compare_exchange_strong(pending, RESULT_DONE);
  }
  mTransferPending = false;
  mThreadRunning = false;
}

}  // namespace Kit
