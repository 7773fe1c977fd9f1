#include "framework/graphics/DirectXErrorString.h"

#include <gtest/gtest.h>

#include "platform/dx/Results.h"

namespace {

using Kit::GetDirectXErrorString;

HRESULT Code(unsigned value) { return static_cast<HRESULT>(value); }

TEST(DirectXErrorString, NamesCodesOfEachFamilyByTheirSdkValues) {
  EXPECT_EQ(GetDirectXErrorString(Code(0x887601C2)), "DDERR_SURFACELOST");
  EXPECT_EQ(GetDirectXErrorString(Code(0x88760005)), "DDERR_ALREADYINITIALIZED");
  EXPECT_EQ(GetDirectXErrorString(Code(0x8876021C)), "DDERR_WASSTILLDRAWING");
  EXPECT_EQ(GetDirectXErrorString(Code(0x887602BB)), "DDERR_DEVICEDOESNTOWNSURFACE");
  EXPECT_EQ(GetDirectXErrorString(Code(0x887602BC)), "D3DERR_BADMAJORVERSION");
  EXPECT_EQ(GetDirectXErrorString(Code(0x88760800)), "D3DERR_INVALIDVERTEXFORMAT");
  EXPECT_EQ(GetDirectXErrorString(Code(0x88760836)), "D3DERR_NOTINBEGINSTATEBLOCK");
  EXPECT_EQ(GetDirectXErrorString(Code(0x88780096)), "DSERR_BUFFERLOST");
  EXPECT_EQ(GetDirectXErrorString(Code(0x8878000A)), "DSERR_ALLOCATED");
  EXPECT_EQ(GetDirectXErrorString(Code(0x887800AA)), "DSERR_UNINITIALIZED");
}

TEST(DirectXErrorString, SharedCodesGiveTheOneChosenName) {
  EXPECT_EQ(GetDirectXErrorString(Code(0x80004001)), "DDERR_UNSUPPORTED");
  EXPECT_EQ(GetDirectXErrorString(Code(0x80004002)), "DSERR_NOINTERFACE");
  EXPECT_EQ(GetDirectXErrorString(Code(0x80004005)), "DSERR_GENERIC");
  EXPECT_EQ(GetDirectXErrorString(Code(0x80040110)), "DSERR_NOAGGREGATION");
  EXPECT_EQ(GetDirectXErrorString(Code(0x800401F0)), "DDERR_NOTINITIALIZED");
  EXPECT_EQ(GetDirectXErrorString(Code(0x8007000E)), "E_OUTOFMEMORY");
  EXPECT_EQ(GetDirectXErrorString(Code(0x80070057)), "DDERR_INVALIDPARAMS");
  // Aliases in the headers resolve to the same single name.
  EXPECT_EQ(GetDirectXErrorString(DDERR_GENERIC), "DSERR_GENERIC");
  EXPECT_EQ(GetDirectXErrorString(DSERR_INVALIDPARAM), "DDERR_INVALIDPARAMS");
  EXPECT_EQ(GetDirectXErrorString(DDERR_OUTOFMEMORY), "E_OUTOFMEMORY");
}

TEST(DirectXErrorString, UnnamedCodesAreWrittenInLowerCaseHex) {
  EXPECT_EQ(GetDirectXErrorString(DD_OK), "0");
  EXPECT_EQ(GetDirectXErrorString(Code(0x88760001)), "88760001");
  EXPECT_EQ(GetDirectXErrorString(Code(0x0000ABCD)), "abcd");
  EXPECT_EQ(GetDirectXErrorString(Code(0xFFFFFFFF)), "ffffffff");
  // No facility masks: a code next to a named one stays unnamed.
  EXPECT_EQ(GetDirectXErrorString(Code(0x887601C3)), "887601c3");
}

}  // namespace
