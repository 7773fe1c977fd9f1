// The crash handler: real faults in child processes, each leaving a crash.txt that names the
// exception and the faulting function; the report of a made-up context; the map-file annotation; no
// wait for ever on the crash path. The HTTP transfer and the report's upload from the crash windows.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/app/crash/CrashHandler.h"
#include "framework/app/crash/HTTPTransfer.h"
#include "platform/Windows.h"
#include "platform/win/crash/CrashWatchdog.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/SdlWindow.h"
#include "tests/crash/CrashChild.h"
#include "tests/crash/SteppedClock.h"
#include "tests/settings/DemoStreams.h"
#include "tests/support/FileContents.h"
#include "tests/support/PollUntil.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/UnreadableFile.h"

__attribute__((noinline)) void AbortOnPurpose() { std::abort(); }

volatile int gDeepest = 1 << 30;  // never reached: the stack ends long before

__attribute__((noinline)) int RecurseWithoutEnd(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  if (depth == gDeepest) return 0;
  return RecurseWithoutEnd(depth + 1) + frame[0];
}

__attribute__((noinline)) void WriteThroughNullOnAThread() { std::thread(WriteThroughNull).join(); }

// A thread of the program's own: it has a fault stack.
void OverflowOnAThread() {
  plat::StartThread([] { RecurseWithoutEnd(0); }).join();
}

// A thread whose signal stack a library made, small: the handler does not live on it.
void OverflowOnAThreadWithASmallSignalStack() {
  std::thread([] {
    static char small[16 * 1024];
    stack_t stack{};
    stack.ss_sp = small;
    stack.ss_size = sizeof(small);
    ::sigaltstack(&stack, nullptr);
    RecurseWithoutEnd(0);
  }).join();
}

namespace {

using crashtest::CrashIn;
using Kit::CrashHandler;

struct FaultCase {
  const char* name;
  void (*fault)();
  int signal;
  const char* firstLine;
  const char* function;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class Faults : public testing::TestWithParam<FaultCase> {};

TEST_P(Faults, LeaveACrashReportNamingTheExceptionAndTheFunction) {
  testsupport::TempDir folder;
  const FaultCase& c = GetParam();
  EXPECT_EXIT(CrashIn(folder.Path().string(), c.fault), testing::KilledBySignal(c.signal), "");
  const std::string report = testsupport::ReadFileContents(folder / "crash.txt");
  EXPECT_EQ(report.rfind(c.firstLine, 0), 0u) << report;
  EXPECT_NE(report.find(c.function), std::string::npos) << report;
  EXPECT_NE(report.find("RIP:"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Crash, Faults,
                         testing::Values(FaultCase{"NullWrite", WriteThroughNull, SIGSEGV,
                                                   "Exception: Access Violation (code 0xc0000005)", "WriteThroughNull"},
                                         FaultCase{"Abort", AbortOnPurpose, SIGABRT,
                                                   "Unknown exception: (code 0x40000015)", "AbortOnPurpose"},
                                         FaultCase{"StackOverflow", [] { RecurseWithoutEnd(0); }, SIGSEGV,
                                                   "Exception: Stack Overflow (code 0xc00000fd)", "RecurseWithoutEnd"},
                                         FaultCase{"StackOverflowOnAThread", OverflowOnAThread, SIGSEGV,
                                                   "Exception: Stack Overflow", "RecurseWithoutEnd"},
                                         FaultCase{"StackOverflowOnASmallSignalStack",
                                                   OverflowOnAThreadWithASmallSignalStack, SIGSEGV,
                                                   "Exception: Stack Overflow", "RecurseWithoutEnd"},
                                         FaultCase{"SecondThread", WriteThroughNullOnAThread, SIGSEGV,
                                                   "Exception: Access Violation", "WriteThroughNull"}),
                         testing::PrintToStringParamName());

class OccupiedCrashFile : public testing::TestWithParam<testsupport::Unreadable> {};

// What stands where "crash.txt" goes is left alone; the report goes beside it, and the crash says where.
TEST_P(OccupiedCrashFile, TheReportIsKeptBesideAndTheCrashSaysWhere) {
  testsupport::TempDir folder;
  testsupport::MakeUnreadable(folder / "crash.txt", GetParam());
  EXPECT_EXIT(CrashIn(folder.Path().string(), WriteThroughNull), testing::KilledBySignal(SIGSEGV),
              "this report was kept in crash-1.txt instead");
  const std::string report = testsupport::ReadFileContents(folder / "crash-1.txt");
  EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005)", 0), 0u) << report;
  EXPECT_NE(report.find("\r\nModule: "), std::string::npos) << report;
  EXPECT_TRUE(testsupport::UnreadableIsIntact(folder / "crash.txt", GetParam()));
}

INSTANTIATE_TEST_SUITE_P(CrashHandler, OccupiedCrashFile,
                         testing::Values(testsupport::Unreadable::kFolder, testsupport::Unreadable::kLinkLoop,
                                         testsupport::Unreadable::kPipe),
                         [](const auto& info) { return testsupport::UnreadableName(info.param); });

// An application whose product versions name the file asked about.
class VersionedApp : public Kit::KitAppBase {
 public:
  std::string GetProductVersion(const std::string& path) override { return "v" + CrashHandler::StripPath(path); }
};

// An application whose own text faults while the report is being made.
class FaultingApp : public Kit::KitAppBase {
 public:
  std::string GetAppInfoText() override {
    WriteThroughNull();
    return {};
  }
};

// The full report never comes; the first, written in the signal handler, stays: the exception line,
// the raw frames, the registers and the code's memory map.
TEST(CrashHandler, ASecondFaultWhileReportingEndsTheProcessAndLeavesTheFirstReport) {
  testsupport::TempDir folder;
  EXPECT_EXIT(
      {
        FaultingApp app;
        CrashIn(folder.Path().string(), AbortOnPurpose);
      },
      testing::KilledBySignal(SIGSEGV), "");
  const std::string report = testsupport::ReadFileContents(folder / "crash.txt");
  EXPECT_EQ(report.rfind("Unknown exception: (code 0x40000015) at address ", 0), 0u) << report;
  EXPECT_EQ(report.find("Module:"), std::string::npos) << report;
  EXPECT_NE(report.find("\r\nRIP:"), std::string::npos) << report;
  EXPECT_NE(report.find(" r-xp "), std::string::npos) << report;
  EXPECT_EQ(report.back(), '\n');
}

// Faults in a process whose allocator can no longer be used. The first report is on the disk all the
// same, and the process ends within seconds: by the crash watchdog when the full report hangs, by the
// allocator's own checks when it meets the damage.
// The system call in which a thread of this process waits, -1 while it runs or cannot be read. Allocates
// nothing.
long WaitingIn(pid_t thread) {
  char path[64], call[32] = {};
  std::snprintf(path, sizeof(path), "/proc/self/task/%d/syscall", static_cast<int>(thread));
  const int file = thread != 0 ? ::open(path, O_RDONLY | O_CLOEXEC) : -1;
  if (file < 0) return -1;
  const bool read = ::read(file, call, sizeof(call) - 1) > 0 && call[0] >= '0' && call[0] <= '9';
  ::close(file);
  return read ? std::atol(call) : -1;
}

// Set once the allocator is held: from then on a thread that allocates waits for ever.
std::atomic<bool> gAllocatorHeld{false};

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, std::size_t),
                                                         void (*onFree)(const volatile void*));

// The sanitizers' allocators have no lock to hold from outside: their allocation hook makes every
// allocation after the fault wait for ever instead.
void HoldTheAllocatorForEver() {
  __sanitizer_install_malloc_and_free_hooks(
      [](const volatile void*, std::size_t) {
        while (gAllocatorHeld) ::pause();
      },
      [](const volatile void*) {});
  gAllocatorHeld = true;
}
// What a thread that allocates waits in from then on.
constexpr long kHeldAllocatorWait = SYS_pause;
#else
// Another thread holds the allocator's lock for ever: malloc_stats prints while it holds the arena's
// lock, and its standard error is a pipe that is full and never read.
void HoldTheAllocatorForEver() {
  int ends[2];
  if (::pipe2(ends, O_NONBLOCK) != 0) std::_Exit(5);
  const char filler[4096] = {};
  while (::write(ends[1], filler, sizeof(filler)) > 0) {
  }
  ::fcntl(ends[1], F_SETFL, 0);
  ::dup2(ends[1], STDERR_FILENO);
  std::atomic<pid_t> holder{0};
  std::thread([&holder] {
    holder = static_cast<pid_t>(::syscall(SYS_gettid));
    malloc_stats();
  }).detach();
  // Until the thread waits in its write, with the lock held; from then on this thread allocates nothing.
  if (!testsupport::PollUntil([&holder] { return WaitingIn(holder) == SYS_write; })) std::_Exit(6);
  gAllocatorHeld = true;
}
// What a thread that allocates waits in from then on: the lock of the arena.
constexpr long kHeldAllocatorWait = SYS_futex;
#endif

// Lets the seconds of `clock` pass once the calling thread, which is to handle the fault, waits on the
// held allocator; before that, it runs. The stepping thread runs before this returns: a thread's start
// allocates (the sanitizers' records of it), and would never end with the allocator held, nor the clock
// move. From its start on, it allocates nothing.
void StepOnceTheHandlingWaitsOnTheAllocator(crashtest::SteppedClock& clock) {
  static std::atomic<bool> running{false};
  std::thread([&clock, handling = static_cast<pid_t>(::syscall(SYS_gettid))] {
    running = true;
    while (!gAllocatorHeld || WaitingIn(handling) != kHeldAllocatorWait) testsupport::PauseBriefly();
    clock.RunFor(2 * plat::kCrashWatchdogSeconds);
  }).detach();
  if (!testsupport::PollUntil([] { return running.load(); })) std::_Exit(7);
}

__attribute__((noinline)) void FaultWhileTheAllocatorIsHeld() {
  HoldTheAllocatorForEver();
  WriteThroughNull();
}

// Damages the heap behind the allocator's back: the header of the chunk after a fresh block (the heap's
// top chunk) and the link of a freed small block. Without the sanitizers' own checks.
__attribute__((noinline, no_sanitize("address", "thread", "undefined"))) void CorruptTheHeapAndFault() {
  auto* block = static_cast<volatile unsigned char*>(std::malloc(120000));
  const std::size_t usable = malloc_usable_size(const_cast<unsigned char*>(block));
  for (std::size_t i = usable; i < usable + 64; ++i) block[i] = 0xA5;
  void* small = std::malloc(32);
  const volatile std::uintptr_t freedAt = reinterpret_cast<std::uintptr_t>(small);
  std::free(small);
  auto* link = reinterpret_cast<volatile unsigned char*>(freedAt);
  for (int i = 0; i < 16; ++i) link[i] = 0x5A;
  WriteThroughNull();
}

struct BrokenHeapCase {
  const char* name;
  void (*fault)();
  // The full report hangs on the allocator and the watchdog ends it: its seconds pass on a stepped clock.
  bool hangs;
};

void PrintTo(const BrokenHeapCase& c, std::ostream* out) { *out << c.name; }

class BrokenHeap : public testing::TestWithParam<BrokenHeapCase> {};

TEST_P(BrokenHeap, TheFirstReportStaysAndTheProcessEndsWithinTenSeconds) {
  const BrokenHeapCase& c = GetParam();
  testsupport::TempDir folder;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EXIT(
      {
        ::alarm(30);  // the test's own limit: a hang ends by SIGALRM
        if (c.hangs) {
          static crashtest::SteppedClock clock;
          plat::SetClock(&clock);
          StepOnceTheHandlingWaitsOnTheAllocator(clock);
        }
        CrashIn(folder.Path().string(), c.fault);
      },
      [&c](int status) {
        return WIFSIGNALED(status) && (c.hangs ? WTERMSIG(status) == SIGKILL : WTERMSIG(status) != SIGALRM);
      },
      "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  const std::string report = testsupport::ReadFileContents(folder / "crash.txt");
  EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << report;
  EXPECT_NE(report.find("RIP:"), std::string::npos) << report;
  if (c.hangs) {
    const std::string clockAt = testsupport::ReadFileContents(folder / "clock-at");
    ASSERT_FALSE(clockAt.empty()) << "the clock never moved";
    const std::chrono::microseconds killedAt(std::stoull(clockAt));
    EXPECT_GE(killedAt, std::chrono::seconds(plat::kCrashWatchdogSeconds));
    EXPECT_LT(killedAt, std::chrono::seconds(plat::kCrashWatchdogSeconds + 1));
  }
}

INSTANTIATE_TEST_SUITE_P(Crash, BrokenHeap,
                         testing::Values(BrokenHeapCase{"AllocatorHeldByAnotherThread", FaultWhileTheAllocatorIsHeld,
                                                        true},
                                         BrokenHeapCase{"CorruptedHeap", CorruptTheHeapAndFault, false}),
                         testing::PrintToStringParamName());

TEST(CrashHandler, ReportsAMadeUpContext) {
  EXPECT_EQ(CrashHandler::GetSysInfo().find("DDraw"), std::string::npos);  // only with an application
  VersionedApp app;
  EXCEPTION_RECORD record{};
  CONTEXT context{};
  EXCEPTION_POINTERS pointers{&record, &context};
  record.ExceptionCode = 0xE06D7363;  // a language runtime's own code
  record.ExceptionAddress = reinterpret_cast<void*>(&AbortOnPurpose);
  context.Rip = reinterpret_cast<ULONGLONG>(&AbortOnPurpose);
  context.Rax = 0x1122334455667788ull;
  std::string title;
  std::string report = CrashHandler::MakeReport(&pointers, &title);
  EXPECT_EQ(report.rfind("Unknown exception: (code 0xe06d7363) at address ", 0), 0u) << report;
  EXPECT_NE(report.find("Module: test_crash\r\n"), std::string::npos) << report;
  EXPECT_EQ(report.find("Logical Address: 0000:"), std::string::npos) << report;
  EXPECT_EQ(title.rfind("Exception at ", 0), 0u);
  EXPECT_NE(report.find("RAX:1122334455667788"), std::string::npos);
  EXPECT_NE(report.find("OS Ver: "), std::string::npos);
  EXPECT_NE(report.find("\r\nDDraw Ver: vtest_crash\r\nDSound Ver: vtest_crash\r\n"), std::string::npos);

  // Outside every object: no module and no logical address; the walk prints the first frame only.
  int onTheHeap = 0;
  record.ExceptionAddress = &onTheHeap;
  context.Rip = 0x10;
  report = CrashHandler::MakeReport(&pointers, &title);
  EXPECT_NE(report.find("Module: \r\nLogical Address: 0000:00000000\r\n"), std::string::npos) << report;
  EXPECT_EQ(title, "Exception at 0000:00000000");
  EXPECT_NE(report.find("0000000000000010  0000000000000000  0000:00000000 \r\n\r\n"), std::string::npos) << report;
}

TEST(CrashHandler, NamesLogicalAddressesFromAMapFile) {
  const std::string lineEntries = "    12 0001:00000010    14 0001:00000020    20 0002:00000000    21 0002:00000008";
  ASSERT_EQ(lineEntries.size(), 80u);
  const std::string map =
      " 0001:00000000       _Z5firstv                  00401000 f   a.obj\r\n"
      " 0001:00000020       _Z6secondi                 00401020 f   a.obj\r\n"
      "Line numbers for a.obj(src\\a.cpp) segment .text\r\n" +
      lineEntries + "\r\n" + lineEntries + "X\r\n";
  struct Case {
    const char* report;
    const char* annotated;
  };
  const Case cases[] = {{"at 0001:00000014.", "at first()+0x14\r\n    src\\a.cpp line 12 +0x4."},
                        {"at 0001:00000020", "at second(int)\r\n    src\\a.cpp line 14 +0x0"},
                        // beyond the last symbol and line of the section: still in them
                        {"at 0001:00000030", "at second(int)+0x10\r\n    src\\a.cpp line 14 +0x10"},
                        // before the section's first line: the symbol alone
                        {"at 0001:00000004", "at first()+0x4"},
                        {"at 0002:00000004", "at 0002:00000004"},  // lines but no symbol in that section
                        {"0001:0000", "0001:0000"},                // too short to hold an address: left alone
                        {":00000010 ab:", ":00000010 ab:"},        // no room before the colon
                        {"0003:00000000", "0003:00000000"},        // no symbol in that section
                        {"zz01:00000000", "zz01:00000000"}};       // not hexadecimal
  for (const Case& c : cases) {
    std::string report = c.report;
    CrashHandler::AnnotateFromMap(report, map);
    EXPECT_EQ(report, c.annotated);
  }
}

// A folder named like a map is no map, and its read error leaves the report as it was; the first map
// that is a file names the addresses.
TEST(CrashHandler, LooksUpOnlyAMapThatIsAFile) {
  testsupport::TempDir folder;
  const testsupport::ScopedCurrentFolder inside(folder.Path());
  std::filesystem::create_directory(folder.Path() / "a.map");
  std::string report = "at 0001:00000004";
  EXPECT_NO_THROW(CrashHandler::LookupMapFile(report));
  EXPECT_EQ(report, "at 0001:00000004");
  folder.Write("b.map", " 0001:00000000       _Z5firstv                  00401000 f   a.obj\r\n");
  CrashHandler::LookupMapFile(report);
  EXPECT_EQ(report, "at first()+0x4");
}

TEST(CrashHandler, HexAndPathHelpers) {
  std::uint32_t value = 7;
  EXPECT_TRUE(CrashHandler::HexToUInt("", &value));
  EXPECT_EQ(value, 0u);
  EXPECT_TRUE(CrashHandler::HexToUInt("aF09", &value));
  EXPECT_EQ(value, 0xAF09u);
  EXPECT_FALSE(CrashHandler::HexToUInt("0x1", &value));
  EXPECT_EQ(CrashHandler::StripPath("c:\\games/x\\quarvel.exe"), "quarvel.exe");
  EXPECT_EQ(CrashHandler::StripPath("a\\b/c"), "c");
}

// The crash path never waits for ever. An application whose loading thread stands for a crash window:
// its work is done by the main thread's pump, and the thread waits for it.
class LockingApp : public Kit::KitAppBase {
 public:
  using KitAppBase::mCursorThreadLock;
  using KitAppBase::StartCursorThread;
  using KitAppBase::StartLoadingThread;
  using KitAppBase::WaitForLoadingThread;
  std::atomic<bool> mWorkRan{false};

  void LoadingThreadProc() override {
    plat::PostToMainThread([this] { mWorkRan = true; });
    while (!mWorkRan) Sleep(5);
  }
};

TEST(CrashWait, AFaultWhileTheMainThreadHoldsTheCursorLockStillReports) {
  testsupport::TempDir folder;
  EXPECT_EXIT(
      {
        ::alarm(60);  // a hang ends by SIGALRM, not SIGSEGV (sanitizer builds make the report slowly)
        LockingApp app;
        app.StartCursorThread();
        std::lock_guard<std::mutex> held(app.mCursorThreadLock);
        CrashIn(folder.Path().string(), WriteThroughNull);
      },
      testing::KilledBySignal(SIGSEGV), "");
  EXPECT_TRUE(std::filesystem::exists(folder / "crash.txt"));
}

TEST(CrashWait, WaitingForTheLoadingThreadPumpsTheMainThread) {
  EXPECT_EXIT(
      {
        ::alarm(60);
        {
          LockingApp app;
          app.StartLoadingThread();
          app.WaitForLoadingThread();
          if (!app.mWorkRan) std::_Exit(4);
        }
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "");
}

// The HTTP transfer against a server on the loopback address: how responses are framed, split
// across reads in every place, failures, abort, and the replay of a recorded result; and the crash
// report's upload from the crash windows.
using Kit::HTTPTransfer;

// A one-connection HTTP server on 127.0.0.1: it takes the request (up to the end of its header and as
// many body bytes as Content-Length says), answers with the given pieces, each sent on its own after a
// short pause so the client reads them apart, then closes; or, `holdOpen`, keeps the connection open
// until the server is destroyed (or, so that nothing waits for ever, for a minute).
class LoopbackServer {
 public:
  explicit LoopbackServer(std::vector<std::string> pieces, bool holdOpen = false)
      : mThread([this, pieces, holdOpen] { Serve(pieces, holdOpen); }) {}
  ~LoopbackServer() {
    {
      std::lock_guard<std::mutex> lock(mLock);
      mStopping = true;
    }
    mChanged.notify_all();
    if (mThread.joinable()) mThread.join();
    ::close(mListener);
  }

  // Returns once the whole answer has been sent.
  void WaitUntilAnswered() {
    std::unique_lock<std::mutex> lock(mLock);
    mChanged.wait(lock, [this] { return mAnswered; });
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
    {
      std::unique_lock<std::mutex> lock(mLock);
      mAnswered = true;
      mChanged.notify_all();
      if (holdOpen) mChanged.wait_for(lock, std::chrono::minutes(1), [this] { return mStopping.load(); });
    }
    ::close(connection);
  }

  int mPort = 0;
  int mListener = ListenOnLoopback(&mPort);
  std::atomic<bool> mStopping{false};
  std::mutex mLock;
  std::condition_variable mChanged;
  bool mAnswered = false;
  std::string mRequest;
  std::thread mThread;  // last: it starts serving at once
};

const std::string kRequest = "POST /report HTTP/1.0\r\nContent-Length: 5\r\n\r\nhello";

int Finish(HTTPTransfer& transfer) {
  transfer.WaitFor();
  return transfer.GetResultCode();
}

TEST(HttpTransfer, ResponsesGiveTheirResultAndBody) {
  const struct {
    const char* name;
    std::vector<std::string> pieces;
    int result;
    std::string body;
  } cases[] = {
      {"Length", {"HTTP/1.1 200 OK\r\nContent-Le", "ngth: 11\r\n\r\nhello", " worldEXTRA"}, 0, "hello world"},
      {"UntilClose", {"HTTP/1.0 200 OK\r\n", "\r\nall of ", "it"}, 0, "all of it"},
      {"Chunked",
       {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5", "\r\nhel", "lo\r", "\n6\r\n wor", "ld\r\n0\r\n\r\n"},
       0,
       "hello world"},
      {"ChunkEndArrivesLate",
       {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab", "\r", "\n1\r\nc\r\n0\r\n\r\n"},
       0,
       "abc"},
      {"IdentityIsNotChunked", {"HTTP/1.1 200 OK\r\nTransfer-Encoding: identity\r\n\r\n5\r\nab"}, 0, "5\r\nab"},
      {"OtherEncodingIsChunked", {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n2\r\nab\r\n0\r\n\r\n"}, 0, "ab"},
      {"ChunkExtensionEndsBody",
       {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n3;x=1\r\ncde\r\n0\r\n\r\n"},
       0,
       "ab"},
      {"NegativeChunkEndsBody",
       {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFF\r\nab\r\n0\r\n\r\n"},
       0,
       ""},
      {"NotFound", {"HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone"}, 3, ""},
      {"ServerError", {"HTTP/1.1 500 Oops\r\n\r\nbody"}, 4, ""},
      {"ShortStatusLine", {"HTTP/1.\r\n\r\nbody"}, 4, ""},
      {"OverlongHeaderLine", {"HTTP/1.1 200 OK\r\nX-Padding: " + std::string(10000, 'a') + "\r\n\r\nbody"}, 4, ""}};
  for (const auto& c : cases) {
    LoopbackServer server(c.pieces);
    HTTPTransfer transfer;
    transfer.SendRequest(server.Url(), kRequest);
    EXPECT_EQ(Finish(transfer), c.result) << c.name;
    EXPECT_EQ(transfer.GetContent(), c.body) << c.name;
    EXPECT_EQ(server.Request(), kRequest) << c.name;
  }
}

TEST(HttpTransfer, SplitsItsUrl) {
  const std::tuple<const char*, std::string, std::string, int, std::string> cases[] = {
      {"http://example.test/a/b?c", "http", "example.test", 80, "/a/b?c"},
      {"reports.example.test:8080/upload/x", "", "reports.example.test", 8080, "/upload/x"},
      {"http://127.0.0.1:9", "http", "127.0.0.1", 9, "/"},
      // No port but a TCP port number: none (0), never one reached by wrapping.
      {"http://h.test:/x", "http", "h.test", 80, "/x"},
      {"http://h.test:65535/x", "http", "h.test", 65535, "/x"},
      {"http://h.test:65536/x", "http", "h.test", 0, "/x"},
      {"http://h.test:0/x", "http", "h.test", 0, "/x"},
      {"http://h.test:-80/x", "http", "h.test", 0, "/x"},
      {"http://h.test:80a/x", "http", "h.test", 0, "/x"},
      {"http://h.test:99999999999999999999/x", "http", "h.test", 0, "/x"}};
  HTTPTransfer transfer;
  for (const auto& [url, protocol, host, port, path] : cases) {
    transfer.PrepareTransfer(url);
    EXPECT_EQ(std::tie(transfer.mProtocol, transfer.mHost, transfer.mPort, transfer.mPath),
              std::tie(protocol, host, port, path))
        << url;
  }
}

TEST(HttpTransfer, FailuresKeepTheirOwnResult) {
  HTTPTransfer transfer;
  EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::RESULT_IDLE);
  transfer.SendRequest("http://127.0.0.1:1/", kRequest);  // nothing listens on port 1
  EXPECT_EQ(Finish(transfer), HTTPTransfer::RESULT_CONNECT_FAILED);

  // A port past the last one does not wrap round onto the server listening at its low 16 bits.
  LoopbackServer server({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"});
  transfer.SendRequest("http://127.0.0.1:" + std::to_string(server.Port() + 65536) + "/", kRequest);
  EXPECT_EQ(Finish(transfer), HTTPTransfer::RESULT_CONNECT_FAILED);

  // A name that cannot be found; only where this machine answers name look-ups at all.
  if (plat::HostByName("localhost") == nullptr) GTEST_SKIP() << "no resolver";
  transfer.SendRequest("http://no-such-host.invalid/", kRequest);
  EXPECT_EQ(Finish(transfer), HTTPTransfer::RESULT_HOST_NOT_FOUND);
  transfer.Reset();
  EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::RESULT_IDLE);
}

// The crash report's way: each upload runs on a thread of its own, and another thread polls the result
// and, after a failure, resets the transfer and starts the next upload. Every round reaches its failure.
TEST(HttpTransfer, AnUploadRetriedFromAnotherThreadGoesRoundInOrder) {
  constexpr int kRounds = 20;
  HTTPTransfer transfer;
  std::vector<std::thread> uploads;
  const auto upload = [&] {
    uploads.emplace_back([&transfer] { transfer.SendRequest("http://127.0.0.1:1/", kRequest); });
  };
  upload();
  int failures = 0;
  // Each look either sees the round still going or takes its failure and starts the next round.
  const auto allFailed = [&] {
    const int result = transfer.GetResultCode();
    EXPECT_TRUE(result == HTTPTransfer::RESULT_IDLE || result == HTTPTransfer::RESULT_PENDING ||
                result == HTTPTransfer::RESULT_CONNECT_FAILED)
        << result;
    if (result != HTTPTransfer::RESULT_CONNECT_FAILED) return HasFailure();
    ++failures;
    transfer.Reset();
    EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::RESULT_IDLE);
    EXPECT_TRUE(transfer.mURL.empty());
    if (failures < kRounds) upload();
    return failures == kRounds;
  };
  EXPECT_TRUE(testsupport::PollUntil(allFailed));
  for (std::thread& thread : uploads) thread.join();
  EXPECT_EQ(failures, kRounds);
  EXPECT_EQ(uploads.size(), static_cast<std::size_t>(kRounds));
}

// The server sends part of the body and holds the connection open: only the abort ends the transfer
// (a transfer the abort missed would end by the server's close, with another result).
TEST(HttpTransfer, AnAbortEndsAStalledTransfer) {
  LoopbackServer server({"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npart"}, true);
  HTTPTransfer transfer;
  transfer.SendRequest(server.Url(), kRequest);
  server.WaitUntilAnswered();
  EXPECT_EQ(transfer.GetResultCode(), HTTPTransfer::RESULT_PENDING);
  transfer.Abort();
  EXPECT_EQ(Finish(transfer), HTTPTransfer::RESULT_ABORTED);
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

// Once the crash window shows, reads its heading and closes it.
std::string gHeading;

void ReadHeadingAndClose(HWND, UINT, UINT_PTR, DWORD) {
  HWND window = GetActiveWindow();
  char title[64] = {};
  GetWindowText(window, title, sizeof(title));
  if (std::string(title) != "Fatal Error!") return;
  char heading[512] = {};
  GetWindowText(GetDlgItem(window, 0), heading, sizeof(heading));
  gHeading = heading;
  PostMessage(window, WM_CLOSE, 0, 0);
}

TEST(CrashWindow, TheHeadingTellsWhereAReportKeptBesideWent) {
  CrashHandler::mCrashFileNote =
      "Something else stands where crash.txt goes; this report was kept in /p/crash-1.txt instead.";
  CrashHandler::mExitLoop = false;
  gHeading.clear();
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, &ReadHeadingAndClose);
  CrashHandler::ShowErrorWindow("Exception at 0010:00000020", "the report\r\n");
  KillTimer(nullptr, timer);
  EXPECT_EQ(gHeading, "An unexpected error has occured!\r\n\r\n" + CrashHandler::mCrashFileNote);
  CrashHandler::mCrashFileNote.clear();
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

void ClickThrough(HWND, UINT, UINT_PTR, DWORD) {
  HWND window = GetActiveWindow();
  char title[64] = {};
  GetWindowText(window, title, sizeof(title));
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
  EXPECT_EQ(gStep, 2);
  EXPECT_EQ(CrashHandler::mUploadTransfer.GetResultCode(), Kit::HTTPTransfer::RESULT_DONE);

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
