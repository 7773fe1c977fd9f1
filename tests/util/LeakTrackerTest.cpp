#include "framework/util/LeakTracker.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/win/process/DebugOutput.h"
#include "tests/support/FileContents.h"
#include "tests/support/ScopedCurrentFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/UnreadableFile.h"

namespace {

namespace fs = std::filesystem;

// The report goes to the current folder: each test runs inside its own.
class LeakTrackerTest : public testing::Test {
 protected:
  std::string Report() const { return testsupport::ReadFileContents((mDir.Path() / "mem_leaks.txt").string()); }
  // The report without its first line, which carries the local time.
  std::string ReportBody() const {
    std::string text = Report();
    return text.substr(text.find('\n') + 1);
  }

  testsupport::TempDir mDir;
  testsupport::ScopedCurrentFolder mInDir{mDir.Path()};
};

TEST_F(LeakTrackerTest, RecordsAreListedByAddressWithSingularByte) {
  Kit::LeakTracker tracker;
  char block[4];
  tracker.AddRecord(block + 2, 2, "Widget.cpp", 40);
  tracker.AddRecord(block, 1, "Image.cpp", 12);
  tracker.AddRecord(block + 3, 9, "Gone.cpp", 1);
  tracker.RemoveRecord(block + 3);
  plat::ScopedDebugCapture debugger;
  tracker.Dump();
  const std::string body =
      "\nImage.cpp(12) : Leak 1 byte\n"
      "Widget.cpp(40) : Leak 2 bytes\n"
      "-----------------------------------------------------------\n"
      "Total Unfreed: 3 bytes\n\n";
  EXPECT_EQ(ReportBody(), body);
  // The debugger gets the same lines, after a lone line feed.
  EXPECT_EQ(debugger.Text(), "\n" + Report());
}

TEST_F(LeakTrackerTest, ReportIsWrittenAtExitOnlyWhenAsked) {
  {
    Kit::LeakTracker tracker;
    tracker.AddRecord(&tracker, 16, "Exit.cpp", 7);
  }
  EXPECT_FALSE(fs::exists(mDir.Path() / "mem_leaks.txt"));
  {
    Kit::LeakTracker tracker;
    tracker.AddRecord(&tracker, 16, "Exit.cpp", 7);
    tracker.SetDumpAtExit(true);
  }
  EXPECT_NE(Report().find("Exit.cpp(7) : Leak 16 bytes\n"), std::string::npos);
}

// The debugger has the whole report whatever becomes of its file: a folder standing there, or a device
// that opens but takes no byte (made like /dev/full).
TEST_F(LeakTrackerTest, AReportItsFileCannotTakeStillReachesTheDebugger) {
  for (const auto kind : {testsupport::Unreadable::kFolder, testsupport::Unreadable::kFullDevice}) {
    const std::string file = (mDir.Path() / "mem_leaks.txt").string();
    fs::remove_all(file);
    testsupport::MakeUnreadable(file, kind);
    Kit::LeakTracker tracker;
    tracker.AddRecord(&tracker, 16, "Lost.cpp", 3);
    plat::ScopedDebugCapture debugger;
    tracker.Dump();
    const std::string told = debugger.Text();
    const std::string name = testsupport::UnreadableName(kind);
    EXPECT_EQ(told.rfind("\nMemory Leak Report for ", 0), 0u) << name << ": " << told;
    EXPECT_TRUE(
        told.ends_with("\nLost.cpp(3) : Leak 16 bytes\n"
                       "-----------------------------------------------------------\n"
                       "Total Unfreed: 16 bytes\n\n"))
        << name << ": " << told;
    EXPECT_TRUE(testsupport::UnreadableIsIntact(file, kind)) << name;
  }
}

TEST_F(LeakTrackerTest, GlobalTrackerReportsThroughDumpMemoryLeaks) {
  Kit::DumpMemoryLeaks();
  EXPECT_EQ(Report().rfind("Memory Leak Report for ", 0), 0u);
  EXPECT_EQ(ReportBody(),
            "\n-----------------------------------------------------------\n"
            "Total Unfreed: 0 bytes\n\n");
}

}  // namespace
