#include "platform/win/Threads.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "platform/win/Errors.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Messages.h"
#include "platform/win/Unknown.h"
#include "platform/win/crash/Exceptions.h"

namespace plat {

std::thread StartThread(std::function<void()> work) {
  return std::thread([work = std::move(work)] {
    UseFaultStack();
    work();
  });
}
namespace {

// The cross-process part of a named mutex: an flock on a file in the instance scope, and the socket
// on which the holder hears broadcasts from copies started after it.
struct NamedLock {
  int fd = -1;
  std::string socketPath;
  int socket = -1;
  ~NamedLock() {
    if (socket >= 0) {
      ::close(socket);
      ::unlink(socketPath.c_str());
    }
    if (fd >= 0) ::close(fd);  // releases the flock
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
  std::string scope;
  std::weak_ptr<MutexObject> listener;  // the named lock whose socket hears other copies' broadcasts
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

const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));
thread_local int tPriority = THREAD_PRIORITY_NORMAL;

std::string DefaultScope() {
  const char* chosen = std::getenv("KIT_INSTANCE_SCOPE");
  if (chosen && *chosen == '/') return chosen;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime == '/') return std::string(runtime) + "/quarvel";
  return "/tmp/quarvel-" + std::to_string(::getuid());
}

std::string ScopeLocked(Objects& objects) {
  if (objects.scope.empty()) objects.scope = DefaultScope();
  return objects.scope;
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

std::unique_ptr<NamedLock> TakeNamedLock(const std::string& scope, const std::string& name, bool* alreadyHeld) {
  std::error_code ignored;
  std::filesystem::create_directories(scope, ignored);
  ::chmod(scope.c_str(), 0700);
  auto named = std::make_unique<NamedLock>();
  std::string base = scope + "/" + FileNameOf(name);
  named->fd = ::open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  *alreadyHeld = false;
  if (named->fd < 0) return nullptr;
  if (::flock(named->fd, LOCK_EX | LOCK_NB) != 0) {
    *alreadyHeld = true;
    return named;
  }
  named->socketPath = base + "." + std::to_string(::getpid()) + ".notice";
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
  objects.scope = std::move(folder);
}

std::string InstanceScope() {
  Objects& objects = TheObjects();
  std::lock_guard guard(objects.lock);
  return ScopeLocked(objects);
}

void BroadcastToOtherInstances(const std::string& messageName) {
  std::string scope = InstanceScope();
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

void ReceiveBroadcasts() {
  std::shared_ptr<MutexObject> holder;
  {
    Objects& objects = TheObjects();
    std::lock_guard guard(objects.lock);
    holder = objects.listener.lock();
  }
  if (!holder || !holder->named || holder->named->socket < 0) return;
  char buffer[256];
  for (;;) {
    ssize_t length = ::recv(holder->named->socket, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (length <= 0) return;
    std::string name(buffer, static_cast<std::size_t>(length));
    UINT message = RegisterWindowMessage(name.c_str());
    if (message) PostLocalBroadcast(message, 0, 0);
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

HANDLE GetCurrentThread() { return plat::kCurrentThread; }

DWORD GetCurrentThreadId() { return static_cast<DWORD>(::syscall(SYS_gettid)); }

BOOL SetThreadPriority(HANDLE thread, int priority) {
  if (thread != plat::kCurrentThread) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  plat::tPriority = priority;
  return TRUE;
}

int GetThreadPriority(HANDLE thread) {
  return thread == plat::kCurrentThread ? plat::tPriority : 0x7FFFFFFF;  // THREAD_PRIORITY_ERROR_RETURN
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

HRESULT CoInitialize(LPVOID) { return S_OK; }

void CoUninitialize() {}
