#include "framework/font/RenderCommandPool.h"

namespace Kit {

RenderCommandPool& RenderCommandPool::Instance() {
  static RenderCommandPool pool;
  return pool;
}

void RenderCommandPool::Clear() {
  mUsed = 0;
  mFirst.fill(nullptr);
  mLast.fill(nullptr);
}

RenderCommand* RenderCommandPool::Allocate() {
  if (mUsed >= kPoolSize) return nullptr;
  RenderCommand* command = &mCommands[static_cast<size_t>(mUsed++)];
  *command = RenderCommand();
  return command;
}

void RenderCommandPool::Append(RenderCommand* command, int bucket) {
  auto index = static_cast<size_t>(bucket);
  command->mNext = nullptr;
  if (mLast[index])
    mLast[index]->mNext = command;
  else
    mFirst[index] = command;
  mLast[index] = command;
}

}  // namespace Kit
