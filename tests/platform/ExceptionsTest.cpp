#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/win/crash/Exceptions.h"
#include "platform/win/process/Process.h"

namespace {

LONG ReportAndEnd(EXCEPTION_POINTERS* pointers) {
  const CONTEXT& context = *pointers->ContextRecord;
  auto address = reinterpret_cast<ULONG_PTR>(pointers->ExceptionRecord->ExceptionAddress);
  std::fprintf(stderr, "code %08X eip-matches %d\n", pointers->ExceptionRecord->ExceptionCode,
               static_cast<DWORD>(address) == context.Eip ? 1 : 0);
  return EXCEPTION_EXECUTE_HANDLER;
}

// A store to an unmapped page (not to null, which the undefined-behaviour checker would stop first).
volatile std::uintptr_t gUnmapped = 64;

void Crash() {
  auto* nowhere = reinterpret_cast<volatile int*>(gUnmapped);
  *nowhere = 1;
}

TEST(ExceptionsDeathTest, AccessViolationReachesTheFilterWithItsContext) {
  EXPECT_EXIT(
      {
        SetUnhandledExceptionFilter(ReportAndEnd);
        Crash();
      },
      testing::ExitedWithCode(5), "code C0000005 eip-matches 1");
}

// Continuing the search and aborts are seen through the crash handler's reports (tests/crash).
TEST(MemoryQueryTest, CodeBelongsToTheExecutableAndPointersAreChecked) {
  MEMORY_BASIC_INFORMATION info{};
  ASSERT_EQ(VirtualQuery(reinterpret_cast<LPCVOID>(&Crash), &info, sizeof(info)), sizeof(info));
  EXPECT_EQ(info.Type, MEM_IMAGE);
  char path[4096];
  ASSERT_GT(GetModuleFileName(static_cast<HMODULE>(info.AllocationBase), path, sizeof(path)), 0u);
  EXPECT_NE(std::string(path).find("test_platform"), std::string::npos);
  EXPECT_EQ(VirtualQuery(nullptr, &info, sizeof(info)), 0u);

  int local = 0;
  static const char kConstant[] = "read only";
  EXPECT_FALSE(IsBadWritePtr(&local, sizeof(local)));
  EXPECT_TRUE(IsBadWritePtr(nullptr, 8));
  EXPECT_TRUE(IsBadWritePtr(const_cast<char*>(kConstant), 4));
  EXPECT_FALSE(IsBadReadPtr(kConstant, 4));
  EXPECT_TRUE(IsBadReadPtr(reinterpret_cast<LPCVOID>(~static_cast<std::uintptr_t>(0) - 2), 8)) << "wraps around";
  UINT previous = SetErrorMode(SEM_NOGPFAULTERRORBOX);
  EXPECT_EQ(SetErrorMode(previous), SEM_NOGPFAULTERRORBOX);
}

}  // namespace
