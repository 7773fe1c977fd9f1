#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/Windows.h"

namespace {

// Taken during static initialisation, before main: the generator must already work then.
const int gFirstRandBeforeMain = rand();

TEST(CRandTest, FollowsTheRuntimeContractFromBeforeMain) {
  srand(1);
  EXPECT_EQ(rand(), gFirstRandBeforeMain) << "the unseeded generator starts as seeded with 1";
  EXPECT_EQ(RAND_MAX, 32767);
  srand(12345);
  std::vector<int> first;
  for (int i = 0; i < 1000; ++i) {
    int value = rand();
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 32767);
    first.push_back(value);
  }
  srand(12345);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(rand(), first[static_cast<std::size_t>(i)]);
  srand(12346);
  EXPECT_NE(rand(), first[0]);
  // The classic runtime's first values for seed 1, which recorded runs depend on.
  srand(1);
  EXPECT_EQ(rand(), 41);
  EXPECT_EQ(rand(), 18467);
  EXPECT_EQ(rand(), 6334);
}

TEST(CRandTest, EachThreadHasItsOwnSequence) {
  srand(99);
  int mainFirst = rand();
  int threadFirst = -1;
  std::thread([&] { threadFirst = rand(); }).join();
  EXPECT_EQ(threadFirst, 41) << "a new thread starts at seed 1";
  srand(99);
  EXPECT_EQ(rand(), mainFirst);
}

TEST(ExitTest, WithoutAHookTheProcessEndsWithTheCode) { EXPECT_EXIT(ExitProcess(7), testing::ExitedWithCode(7), ""); }

TEST(MessageBoxTest, HeadlessBoxGoesToStandardErrorWithTheDefaultAnswer) {
  testing::internal::CaptureStderr();
  int answer = MessageBox(nullptr, "No display here", "Notice", MB_OKCANCEL);
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, IDOK);
  EXPECT_NE(printed.find("No display here"), std::string::npos);
  EXPECT_NE(printed.find("Notice"), std::string::npos);
}

TEST(CommandLineTest, WindowsFormQuotesArgumentsWithBlanks) {
  const char* argv[] = {"/opt/game/quarvel", "-demofile=runs\\a b.dmo", "-play", ""};
  EXPECT_EQ(plat::CommandLineFromArguments(4, argv), "/opt/game/quarvel \"-demofile=runs\\a b.dmo\" -play \"\"");
  std::string own = GetCommandLine();
  EXPECT_NE(own.find("test_platform"), std::string::npos);
  plat::SetCommandLine("\"C:\\Game\\game.exe\" -record");
  EXPECT_STREQ(GetCommandLine(), "\"C:\\Game\\game.exe\" -record");
  plat::ResetCommandLine();
  EXPECT_EQ(std::string(GetCommandLine()), own);
}

TEST(CommandLineTest, ModuleFileNameIsTheExecutableAndTruncatesSafely) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileName(nullptr, path, sizeof(path));
  ASSERT_GT(length, 0u);
  EXPECT_EQ(path[0], '/');
  EXPECT_NE(std::string(path).find("test_platform"), std::string::npos);
  char small[5];
  EXPECT_EQ(GetModuleFileName(nullptr, small, sizeof(small)), 5u);
  EXPECT_EQ(small[4], '\0');
}

TEST(CodePageTest, WideConversionsFollowTheAnsiCodePage) {
  const char text[] = "Caf\xE9 \x80";
  int needed = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, -1, nullptr, 0);
  ASSERT_EQ(needed, 7);
  WCHAR wide[7];
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, -1, wide, 7), 7);
  EXPECT_EQ(wide[3], 0x00E9);
  EXPECT_EQ(wide[5], 0x20AC);
  EXPECT_EQ(wide[6], 0);
  WCHAR tooSmall[3];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, tooSmall, 3), 0);

  char back[8];
  BOOL usedDefault = FALSE;
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, back, sizeof(back), nullptr, &usedDefault), 7);
  EXPECT_STREQ(back, text);
  EXPECT_FALSE(usedDefault);
  const WCHAR han[] = {0x6F22, 'x', 0};
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, han, -1, back, sizeof(back), nullptr, &usedDefault), 3);
  EXPECT_STREQ(back, "?x");
  EXPECT_TRUE(usedDefault);
}

TEST(CodePageTest, MalformedUtf8NeverReadsPastTheInput) {
  EXPECT_EQ(plat::Utf8ToCp1252("\xC3"), "?");
  EXPECT_EQ(plat::Utf8ToCp1252("a\xE2\x82"), "a??");
  EXPECT_EQ(plat::Utf8ToCp1252("\xC0\xAF"), "??") << "overlong forms are refused";
  EXPECT_EQ(plat::Cp1252ToUtf8("\xE9"), "\xC3\xA9");
}

}  // namespace
