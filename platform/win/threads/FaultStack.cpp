#include "platform/win/threads/FaultStack.h"

#include <signal.h>

#include <cstddef>
#include <memory>

namespace plat {
namespace {

// Room for the signal handler: it moves to the crash stack before it does anything that needs more.
constexpr std::size_t kFaultStackSize = std::size_t{1} << 16;

class FaultStack {
 public:
  FaultStack() : mMemory(new char[kFaultStackSize]) {
    stack_t stack{};
    stack.ss_sp = mMemory.get();
    stack.ss_size = kFaultStackSize;
    ::sigaltstack(&stack, nullptr);
  }
  FaultStack(const FaultStack&) = delete;
  FaultStack& operator=(const FaultStack&) = delete;
  ~FaultStack() {
    stack_t stack{};
    stack.ss_flags = SS_DISABLE;
    ::sigaltstack(&stack, nullptr);
  }

 private:
  std::unique_ptr<char[]> mMemory;
};

}  // namespace

void UseFaultStack() { thread_local FaultStack stack; }

}  // namespace plat
