// Splitting an arbitrary URL into protocol, host, port and path: whatever the text, the port is a TCP
// port number or none (0), the path starts with '/', and the host holds no ':' or '/'.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/app/crash/HTTPTransfer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string url(reinterpret_cast<const char*>(data), size);
  std::string protocol, host, path;
  int port = -1;
  Kit::HTTPTransfer::SplitURL(url, &protocol, &host, &port, &path);
  if (port < 0 || port > 65535 || path.empty() || path[0] != '/' || host.find_first_of(":/") != std::string::npos)
    std::abort();
  return 0;
}
