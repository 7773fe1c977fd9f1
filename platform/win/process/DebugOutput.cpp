#include "platform/win/process/DebugOutput.h"

#include <cstdio>
#include <utility>

namespace plat {
namespace {

std::mutex gSinkLock;
DebugSink gSink;

}  // namespace

DebugSink SetDebugSink(DebugSink sink) {
  std::lock_guard guard(gSinkLock);
  return std::exchange(gSink, std::move(sink));
}

ScopedDebugCapture::ScopedDebugCapture()
    : mCapture([this](std::string_view text) {
        std::lock_guard guard(mLock);
        mText.append(text);
      }) {}

std::string ScopedDebugCapture::Text() const {
  std::lock_guard guard(mLock);
  return mText;
}

}  // namespace plat

void OutputDebugString(LPCSTR text) {
  if (!text) return;
  std::lock_guard guard(plat::gSinkLock);
  if (plat::gSink) {
    plat::gSink(text);
  } else {
    std::fputs(text, stderr);
  }
}

void OutputDebugStringA(LPCSTR text) { OutputDebugString(text); }
