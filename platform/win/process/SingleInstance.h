// One running copy of the program: the named mutex that keeps a second copy out, held by the process
// as a record lock on a file in the instance scope, and the broadcasts between the copies of that
// scope. Mutexes are the only handles the layer gives out to be closed.
#pragma once

#include <string>
#include <vector>

#include "platform/win/Types.h"

struct SECURITY_ATTRIBUTES;

BOOL CloseHandle(HANDLE handle);

// A named mutex is held against other processes of the same user and instance scope, until its last
// handle is closed: when another copy holds the name, the handle comes with ERROR_ALREADY_EXISTS.
HANDLE CreateMutex(SECURITY_ATTRIBUTES* security, BOOL initialOwner, LPCSTR name);
HANDLE CreateMutexA(SECURITY_ATTRIBUTES* security, BOOL initialOwner, LPCSTR name);

namespace plat {

// The folder where named mutexes live and single-instance notices travel: the one set here, else
// "KIT_INSTANCE_SCOPE" when set, else "quarvel" in the user's runtime folder, else /tmp/quarvel-<uid>.
// It is used only as a folder of the user's own, closed to others and not a link (made so when
// missing); otherwise $XDG_STATE_HOME/quarvel (~/.local/state/quarvel) is, with a note on the debugger
// output, and when that is refused too, none: no lock is held then. Tests give each run its own, so
// that test programs running in parallel never see each other's copies.
void SetInstanceScope(std::string folder);
// The folder in use (chosen at the first use after SetInstanceScope); empty when none could be.
[[nodiscard]] std::string InstanceScope();

// The names of the registered messages that other copies of the program broadcast to this one since
// the last call, oldest first (the main thread's message pump posts them to this copy's windows).
[[nodiscard]] std::vector<std::string> TakeBroadcasts();
// Sends a registered message by name to the other copies of the program in the instance scope.
void BroadcastToOtherInstances(const std::string& messageName);

}  // namespace plat
