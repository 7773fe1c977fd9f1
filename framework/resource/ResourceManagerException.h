// Thrown by the resource getters that game code uses when an identifier names nothing loaded.
#pragma once

#include <exception>
#include <string>

namespace Kit {

class ResourceManagerException : public std::exception {
 public:
  explicit ResourceManagerException(std::string message) : mMessage(std::move(message)) {}
  const char* what() const noexcept override { return mMessage.c_str(); }

 private:
  std::string mMessage;
};

}  // namespace Kit
