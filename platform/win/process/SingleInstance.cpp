#include "platform/win/process/SingleInstance.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/win/Errors.h"
#include "platform/win/files/Ownership.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/files/PrivateFolder.h"
#include "platform/win/process/DebugOutput.h"

namespace plat {
namespace {

// The cross-process part of a named mutex: a record lock (fcntl) on a file in the instance scope, and
// the socket on which the holder hears broadcasts from copies started after it. A record lock belongs
// to the process alone: a child it forks (SDL's message box on X11) shares the descriptor but never the
// lock, which ends with the process however it ends. Only this object opens the file in the process
// (closing any descriptor of it would end the lock).
struct NamedLock {
  int fd = -1;
  std::string socketPath;
  int socket = -1;
  ~NamedLock() {
    if (socket >= 0) {
      ::close(socket);
      ::unlink(socketPath.c_str());
    }
    if (fd >= 0) ::close(fd);  // releases the lock
  }
};

// A mutex handle holds its name against other copies; within the process it is only a handle.
struct MutexObject {
  std::unique_ptr<NamedLock> named;
};

struct Objects {
  std::mutex lock;
  std::map<HANDLE, std::shared_ptr<MutexObject>> handles;
  std::map<std::string, std::weak_ptr<MutexObject>> namedMutexes;
  std::uintptr_t next = 0x1000;
  std::string wantedScope;                // empty: the default one
  std::optional<std::string> scopeInUse;  // chosen at first use; empty when no folder could be used
  std::weak_ptr<MutexObject> listener;    // the named lock whose socket hears other copies' broadcasts
};

Objects& TheObjects() {
  static Objects objects;
  return objects;
}

HANDLE AddHandle(Objects& objects, std::shared_ptr<MutexObject> object) {
  HANDLE handle = reinterpret_cast<HANDLE>(objects.next);
  objects.next += 4;
  objects.handles[handle] = std::move(object);
  return handle;
}

std::string DefaultScope() {
  const char* chosen = std::getenv("KIT_INSTANCE_SCOPE");
  if (chosen && *chosen == '/') return chosen;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime == '/') return std::string(runtime) + "/quarvel";
  return "/tmp/quarvel-" + std::to_string(::getuid());
}

// Where the lock goes when the scope is refused (in /tmp another user may have made it first): a
// folder in the user's own home, which no one else can take.
std::string FallbackScope() { return XdgBaseFolder("XDG_STATE_HOME", ".local/state") + "/quarvel"; }

// The scope when it is a folder of the user's own, else the fallback; empty when neither is. A refusal
// is told on the debugger output (standard error).
std::string ChooseScope(const std::string& wanted) {
  const PrivateFolder folder(wanted);
  if (folder.Usable()) return wanted;
  std::string text = "The folder for the lock that keeps a second copy of the program from running, " + folder.Path() +
                     ", is not used: it " + folder.Refusal() + ".";
  const PrivateFolder fallback(FallbackScope());
  if (fallback.Usable()) {
    text += " The lock is kept in " + fallback.Path() + " instead.\n";
  } else {
    text += " Nor can it be kept in " + fallback.Path() + ", which " + fallback.Refusal() +
            ": another copy may run at the same time.\n";
  }
  OutputDebugString(text.c_str());
  return fallback.Usable() ? fallback.Path() : std::string();
}

std::string ScopeLocked(Objects& objects) {
  if (!objects.scopeInUse)
    objects.scopeInUse = ChooseScope(objects.wantedScope.empty() ? DefaultScope() : objects.wantedScope);
  return *objects.scopeInUse;
}

// Mutex names may hold anything; file names get only the safe characters.
std::string FileNameOf(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.')
      out.push_back(static_cast<char>(c));
    else
      out += "%" + std::to_string(c);
  }
  return out;
}

// The lock of the name in the scope, or null when it cannot be had (then nothing keeps another copy
// out, which is told). *alreadyHeld when another copy holds it.
std::unique_ptr<NamedLock> TakeNamedLock(const std::string& scope, const std::string& name, bool* alreadyHeld) {
  *alreadyHeld = false;
  if (scope.empty()) return nullptr;
  const PrivateFolder folder(scope);
  if (!folder.Usable()) return nullptr;  // told when the scope was chosen
  auto named = std::make_unique<NamedLock>();
  const std::string base = FileNameOf(name);
  const std::string lockName = base + ".lock";
  // Never through a link: the file is made (and owned as what is made in the folder is), or the one an
  // earlier run left is opened; a link of that name fails (ELOOP) instead of making or opening its target.
  // The earlier run's file stays: removing a lock file races with the copies taking it.
  named->fd = OpenOrMakeFile(folder.Descriptor(), lockName.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0600);
  struct stat info;
  std::string failure;
  if (named->fd < 0 || ::fstat(named->fd, &info) != 0) {
    failure = std::strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    failure = "not a plain file";
  } else {
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;  // from the start, length 0: the whole file
    if (::fcntl(named->fd, F_SETLK, &whole) != 0) {
      if (errno == EACCES || errno == EAGAIN) {
        *alreadyHeld = true;
        return named;
      }
      failure = std::strerror(errno);
    }
  }
  if (!failure.empty()) {
    OutputDebugString(("The lock file " + scope + "/" + lockName + " cannot be used (" + failure +
                       "): another copy of the program may run at the same time.\n")
                          .c_str());
    return nullptr;
  }
  named->socketPath = scope + "/" + base + "." + std::to_string(::getpid()) + ".notice";
  named->socket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (named->socket >= 0 && named->socketPath.size() < sizeof(address.sun_path)) {
    std::strcpy(address.sun_path, named->socketPath.c_str());
    ::unlink(named->socketPath.c_str());
    if (::bind(named->socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
      ::close(named->socket);
      named->socket = -1;
    }
  }
  return named;
}

}  // namespace

void SetInstanceScope(std::string folder) {
  Objects& objects = TheObjects();
  std::lock_guard guard(objects.lock);
  objects.wantedScope = std::move(folder);
  objects.scopeInUse.reset();
}

std::string InstanceScope() {
  Objects& objects = TheObjects();
  std::lock_guard guard(objects.lock);
  return ScopeLocked(objects);
}

void BroadcastToOtherInstances(const std::string& messageName) {
  std::string scope = InstanceScope();
  if (scope.empty()) return;
  std::error_code error;
  int sender = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (sender < 0) return;
  for (const auto& entry : std::filesystem::directory_iterator(scope, error)) {
    std::string path = entry.path().string();
    if (path.size() < 7 || path.compare(path.size() - 7, 7, ".notice") != 0) continue;
    if (path.find("." + std::to_string(::getpid()) + ".notice") != std::string::npos) continue;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) continue;
    std::strcpy(address.sun_path, path.c_str());
    if (::sendto(sender, messageName.data(), messageName.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&address),
                 sizeof(address)) < 0 &&
        errno == ECONNREFUSED) {
      ::unlink(path.c_str());  // left by a copy that ended without cleaning up
    }
  }
  ::close(sender);
}
std::vector<std::string> TakeBroadcasts() {
  std::vector<std::string> names;
  std::shared_ptr<MutexObject> holder;
  {
    Objects& objects = TheObjects();
    std::lock_guard guard(objects.lock);
    holder = objects.listener.lock();
  }
  if (!holder || !holder->named || holder->named->socket < 0) return names;
  char buffer[256];
  for (;;) {
    ssize_t length = ::recv(holder->named->socket, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (length <= 0) return names;
    names.emplace_back(buffer, static_cast<std::size_t>(length));
  }
}

}  // namespace plat

BOOL CloseHandle(HANDLE handle) {
  std::shared_ptr<plat::MutexObject> object;
  {
    plat::Objects& objects = plat::TheObjects();
    std::lock_guard guard(objects.lock);
    auto it = objects.handles.find(handle);
    if (it == objects.handles.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    object = std::move(it->second);
    objects.handles.erase(it);
  }
  // The object (and with a named mutex its lock file and socket) goes with its last handle, here
  // outside the table's lock.
  object.reset();
  return TRUE;
}

HANDLE CreateMutex(SECURITY_ATTRIBUTES*, BOOL, LPCSTR name) {
  plat::Objects& objects = plat::TheObjects();
  std::shared_ptr<plat::MutexObject> mutex;
  bool existed = false;
  {
    std::lock_guard guard(objects.lock);
    if (name && *name) {
      if (auto found = objects.namedMutexes[name].lock()) {
        mutex = found;
        existed = true;
      } else {
        mutex = std::make_shared<plat::MutexObject>();
        bool heldElsewhere = false;
        mutex->named = plat::TakeNamedLock(plat::ScopeLocked(objects), name, &heldElsewhere);
        existed = heldElsewhere;
        if (!heldElsewhere) {
          objects.namedMutexes[name] = mutex;
          if (mutex->named && mutex->named->socket >= 0) objects.listener = mutex;
        }
      }
    } else {
      mutex = std::make_shared<plat::MutexObject>();
    }
  }
  std::lock_guard guard(objects.lock);
  HANDLE handle = plat::AddHandle(objects, mutex);
  SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

HANDLE CreateMutexA(SECURITY_ATTRIBUTES* security, BOOL initialOwner, LPCSTR name) {
  return CreateMutex(security, initialOwner, name);
}
