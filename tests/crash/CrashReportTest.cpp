// The crash handler: real faults in child processes, each leaving a crash.txt that names the
// exception and the faulting function; the report of a made-up context; the map-file annotation; and
// no wait for ever on the crash path.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "framework/app/CrashHandler.h"
#include "framework/app/KitAppBase.h"
#include "platform/win/SdlWindow.h"
#include "platform/win/Time.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"

// Outside any namespace and never inlined, so that the stacks name them plainly.
volatile int* volatile gNowhere = nullptr;

// The undefined-behaviour sanitizer would stop the write before it faults.
__attribute__((noinline, no_sanitize("undefined"))) void WriteThroughNull() { *gNowhere = 1; }

__attribute__((noinline)) void AbortOnPurpose() { std::abort(); }

volatile int gDeepest = 1 << 30;  // never reached: the stack ends long before

__attribute__((noinline)) int RecurseWithoutEnd(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  if (depth == gDeepest) return 0;
  return RecurseWithoutEnd(depth + 1) + frame[0];
}

__attribute__((noinline)) void WriteThroughNullOnAThread() { std::thread(WriteThroughNull).join(); }

void OverflowOnAThread() {
  std::thread([] {
    plat::UseFaultStack();
    RecurseWithoutEnd(0);
  }).join();
}

namespace {

using Kit::CrashHandler;

// In the child: the handler without its window, reports into `folder`.
void CrashIn(const std::string& folder, void (*fault)()) {
  if (::chdir(folder.c_str()) != 0) std::_Exit(3);
  CrashHandler::mShowWindow = false;
  CrashHandler::Install();
  fault();
}

struct FaultCase {
  const char* name;
  void (*fault)();
  int signal;
  const char* firstLine;
  const char* function;
};

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
                                         FaultCase{"SecondThread", WriteThroughNullOnAThread, SIGSEGV,
                                                   "Exception: Access Violation", "WriteThroughNull"}),
                         [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

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

TEST(CrashHandler, ASecondFaultWhileReportingEndsTheProcess) {
  testsupport::TempDir folder;
  EXPECT_EXIT(
      {
        FaultingApp app;
        CrashIn(folder.Path().string(), AbortOnPurpose);
      },
      testing::KilledBySignal(SIGSEGV), "");
  EXPECT_FALSE(std::filesystem::exists(folder / "crash.txt"));
}

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
                        {"0001:0000", "0001:0000"},           // too short to hold an address: left alone
                        {":00000010 ab:", ":00000010 ab:"},   // no room before the colon
                        {"0003:00000000", "0003:00000000"},   // no symbol in that section
                        {"zz01:00000000", "zz01:00000000"}};  // not hexadecimal
  for (const Case& c : cases) {
    std::string report = c.report;
    CrashHandler::AnnotateFromMap(report, map);
    EXPECT_EQ(report, c.annotated);
  }
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

}  // namespace
