// The Windows calls of platform/win in one include, from each of its rooms (window, input, files,
// registry, threads, process, modules, system, crash), with the basic types and each thread's last
// error. The controls, dialogs, message boxes and the shell stand above the DirectX modules:
// platform/Windows.h adds them.
#pragma once

#include "platform/win/Errors.h"
#include "platform/win/Types.h"
#include "platform/win/crash/Exceptions.h"
#include "platform/win/files/Files.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/input/Clipboard.h"
#include "platform/win/input/Cursor.h"
#include "platform/win/input/VirtualKeys.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/modules/Unknown.h"
#include "platform/win/process/CRand.h"
#include "platform/win/process/DebugOutput.h"
#include "platform/win/process/Memory.h"
#include "platform/win/process/Process.h"
#include "platform/win/process/SingleInstance.h"
#include "platform/win/registry/Registry.h"
#include "platform/win/system/CodePage.h"
#include "platform/win/system/SystemInfo.h"
#include "platform/win/threads/Sync.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Messages.h"
#include "platform/win/window/Window.h"
