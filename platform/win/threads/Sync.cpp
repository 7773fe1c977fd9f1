#include "platform/win/threads/Sync.h"

void InitializeCriticalSection(LPCRITICAL_SECTION section) { section->mutex = new std::recursive_mutex; }

void DeleteCriticalSection(LPCRITICAL_SECTION section) {
  delete section->mutex;
  section->mutex = nullptr;
}

void EnterCriticalSection(LPCRITICAL_SECTION section) { section->mutex->lock(); }

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) { return section->mutex->try_lock() ? TRUE : FALSE; }

void LeaveCriticalSection(LPCRITICAL_SECTION section) { section->mutex->unlock(); }

// The GCC atomic built-ins work on plain (volatile) objects, which is what the Windows calls take.
LONG InterlockedIncrement(volatile LONG* value) { return __atomic_add_fetch(value, 1, __ATOMIC_SEQ_CST); }

LONG InterlockedDecrement(volatile LONG* value) { return __atomic_sub_fetch(value, 1, __ATOMIC_SEQ_CST); }
