// One HTTP request sent on a worker thread of its own, its response body collected; the caller polls
// the result code. Every change of the result goes into an input recording, and a replay takes the
// result and body from the recording instead of the network.
//
// Threads: the operations that start, poll, wait for and reset the transfer may come from different
// threads (the crash report is sent from a thread of its own while the crashing thread's progress
// window polls and retries); they take turns on one lock, so the worker, the id and the URL pass from
// one to the next in order. Abort only raises flags and never waits. The worker thread touches the
// request's parts only between its start and its end.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/win/system/Winsock.h"

namespace Kit {

class HTTPTransfer {
 public:
  enum Result : int {
    RESULT_DONE = 0,
    RESULT_IDLE = 1,
    RESULT_PENDING = 2,
    RESULT_NOT_FOUND = 3,
    RESULT_HTTP_ERROR = 4,
    RESULT_ABORTED = 5,
    RESULT_SOCKET_ERROR = 6,
    RESULT_HOST_NOT_FOUND = 7,
    RESULT_CONNECT_FAILED = 8,
    RESULT_SEND_FAILED = 9,
  };

  HTTPTransfer();
  HTTPTransfer(const HTTPTransfer&) = delete;
  HTTPTransfer& operator=(const HTTPTransfer&) = delete;
  virtual ~HTTPTransfer();

  // Sends `request` (a whole HTTP request, header and body, sent unchanged) to the host and port of
  // `url`.
  void SendRequest(const std::string& url, const std::string& request);
  void PrepareTransfer(const std::string& url);
  // The parts of a URL: the scheme without its colon, the host, the port (80 unless named) and the
  // path ("/" when there is none).
  static void SplitURL(const std::string& url, std::string* protocol, std::string* host, int* port, std::string* path);
  void StartTransfer();
  void Abort();
  void Reset();
  int GetResultCode();
  // Waits until the transfer ended. During a replay nothing runs to wait for: it takes the result
  // when the recording has it at this update and returns.
  void WaitFor();
  void UpdateStatus();
  // The response body; complete once the result has left RESULT_PENDING.
  std::string GetContent() const;

  std::uint32_t mTransferId;
  std::string mURL;
  std::string mProtocol;
  std::string mHost;
  int mPort = 80;
  std::string mPath;

 private:
  void SetResult(int code);
  bool SocketWait(bool read, bool write);
  void GetThreadProc();
  // The steps of the worker; each returns false when the transfer ended with a result.
  bool Connect();
  bool Send();
  void Receive();
  void JoinWorker();

  // The worker's connection, INVALID_SOCKET when there is none; only the worker thread touches it.
  SOCKET mSocket = INVALID_SOCKET;
  std::string mSendStr;
  // Held by every operation that starts, polls, waits for or resets the transfer; recursive because
  // they call one another.
  std::recursive_mutex mControlLock;
  mutable std::mutex mContentLock;
  std::string mContent;
  std::atomic<bool> mTransferPending{false};
  std::atomic<bool> mThreadRunning{false};
  std::atomic<bool> mExiting{false};
  std::atomic<bool> mAborted{false};
  std::atomic<int> mResult{RESULT_IDLE};
  int mLastDemoResult = RESULT_IDLE;
  std::thread mWorker;
};

}  // namespace Kit
