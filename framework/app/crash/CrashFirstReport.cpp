// The first crash.txt, written inside the signal handler before anything that may allocate, lock or
// call into a library: the exception line, the raw frames, the registers and the map of the loaded
// code. Whatever state the process is in, this much is on the disk; the full report replaces it.
#include "framework/app/crash/CrashHandler.h"
#include "platform/win/crash/SignalSafeText.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/threads/Threads.h"

namespace Kit {

namespace {

void WriteRegisters(plat::SignalSafeText& out, const CONTEXT& context) {
  auto named = [&](const char* name, ULONGLONG value, const char* after) { out.Text(name).Hex(value, 16).Text(after); };
  named("RAX:", context.Rax, " ");
  named("RBX:", context.Rbx, " ");
  named("RCX:", context.Rcx, "\r\n");
  named("RDX:", context.Rdx, " ");
  named("RSI:", context.Rsi, " ");
  named("RDI:", context.Rdi, "\r\n");
  named("RIP:", context.Rip, " ");
  named("RSP:", context.Rsp, "  ");
  named("RBP:", context.Rbp, "\r\n");
  const struct {
    const char* name;
    DWORD value;
  } segments[] = {{"CS:", context.SegCs},  {" SS:", context.SegSs}, {" DS:", context.SegDs},
                  {" ES:", context.SegEs}, {" FS:", context.SegFs}, {" GS:", context.SegGs}};
  for (const auto& segment : segments) out.Text(segment.name).Hex(segment.value, 4);
  out.Text("\r\nFlags:").Hex(context.EFlags, 8).Text("\r\n\r\n");
}

}  // namespace

void CrashHandler::WriteFirstCrashFile(const EXCEPTION_POINTERS* exception, const plat::FaultFrames& frames) {
  char path[4096];
  if (!plat::NewFilePathForSignals("crash.txt", path, sizeof(path))) return;
  const plat::SignalSafeFile file(path);
  if (!file.IsOpen()) return;
  plat::SignalSafeText out(file.Descriptor());
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  if (const char* name = ExceptionName(record.ExceptionCode))
    out.Text("Exception: ").Text(name).Text(" (code 0x");
  else
    out.Text("Unknown exception: (code 0x");
  out.Hex(record.ExceptionCode, 1, false).Text(") at address ");
  out.Hex(reinterpret_cast<std::uintptr_t>(record.ExceptionAddress), 16).Text(" in thread ");
  out.Hex(GetCurrentThreadId(), 1).Text("\r\n\r\n");
  for (int i = 0; i < frames.count; ++i) out.Hex(frames.pc[i], 16).Text(" ").Hex(frames.cfa[i], 16).Text("\r\n");
  out.Text("\r\n");
  WriteRegisters(out, *exception->ContextRecord);
  plat::WriteCodeMap(out);
  out.Text("\n");
}

}  // namespace Kit
