// Where an address lies in its object file: the ELF section of the loaded object that holds it.
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

#include <cstring>

#include "platform/win/crash/ImageHelp.h"
#include "platform/win/process/Process.h"

namespace {

// The allocated section of the object file at `path` that holds the virtual address `at`.
bool SectionOfFile(const char* path, std::uint64_t at, DWORD* section, ULONGLONG* offset) {
  const int file = ::open(path, O_RDONLY | O_CLOEXEC);
  if (file < 0) return false;
  bool found = false;
  Elf64_Ehdr header{};
  if (::pread(file, &header, sizeof(header), 0) == static_cast<ssize_t>(sizeof(header)) &&
      std::memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 && header.e_ident[EI_CLASS] == ELFCLASS64 &&
      header.e_shentsize == sizeof(Elf64_Shdr)) {
    for (unsigned i = 1; i < header.e_shnum && i < 4096 && !found; ++i) {
      Elf64_Shdr entry{};
      if (::pread(file, &entry, sizeof(entry), static_cast<off_t>(header.e_shoff + i * sizeof(entry))) !=
          static_cast<ssize_t>(sizeof(entry)))
        break;
      if ((entry.sh_flags & SHF_ALLOC) != 0 && entry.sh_addr <= at && at < entry.sh_addr + entry.sh_size) {
        *section = i;
        *offset = at - entry.sh_addr;
        found = true;
      }
    }
  }
  ::close(file);
  return found;
}

}  // namespace

namespace plat {

bool ImageSectionOf(const void* address, DWORD* section, ULONGLONG* offset) {
  Dl_info object{};
  void* linkMap = nullptr;
  if (::dladdr1(address, &object, &linkMap, RTLD_DL_LINKMAP) == 0 || linkMap == nullptr) return false;
  // The object's own file: the main program's name in the link map is empty.
  char path[4096] = {};
  if (GetModuleFileName(static_cast<HMODULE>(object.dli_fbase), path, sizeof(path)) == 0) return false;
  const auto bias = static_cast<const link_map*>(linkMap)->l_addr;
  return SectionOfFile(path, reinterpret_cast<std::uintptr_t>(address) - bias, section, offset);
}

}  // namespace plat
