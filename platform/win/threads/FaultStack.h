// Each thread's fault stack: a signal stack of its own, so that a fault is handled even when the
// thread's stack overflowed. The thread that installs the crash handling and every thread of
// plat::StartThread have one.
#pragma once

namespace plat {

// Gives the calling thread its fault stack (once); freed when the thread ends.
void UseFaultStack();

}  // namespace plat
