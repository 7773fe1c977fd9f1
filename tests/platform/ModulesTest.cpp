#include "platform/win/modules/Modules.h"

#include <gtest/gtest.h>

namespace {

int Answer() { return 42; }

TEST(ModulesTest, LoadsByNameIgnoringCaseFolderAndExtensionAndFindsEntryPoints) {
  plat::RegisterModule("testlib.dll", {{"Answer", plat::ExportOf(&Answer)}});
  HMODULE a = LoadLibrary("TestLib.DLL");
  HMODULE b = LoadLibrary("C:\\Windows\\testlib");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(plat::ModuleLoadCount("testlib.dll"), 2);
  EXPECT_EQ(GetModuleHandle("testlib.dll"), a);
  EXPECT_TRUE(FreeLibrary(a));
  EXPECT_TRUE(FreeLibrary(b));
  EXPECT_EQ(GetModuleHandle("testlib.dll"), nullptr);
  EXPECT_FALSE(FreeLibrary(a));
  HMODULE module = LoadLibrary("testlib.dll");  // entry points are found by their exact name
  auto answer = reinterpret_cast<int (*)()>(GetProcAddress(module, "Answer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(GetProcAddress(module, "answer"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "Missing"), nullptr);
  FreeLibrary(module);
}

}  // namespace
