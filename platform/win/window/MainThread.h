// Which thread is the process's main thread. Internal to the layer (callers use plat::IsMainThread).
#pragma once

#include <thread>

namespace plat {

[[nodiscard]] std::thread::id MainThreadId();

}  // namespace plat
