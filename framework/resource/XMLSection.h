// The path of open elements that the XML reader stamps on every element it hands out: the first
// length bytes of the reader's path buffer, shared rather than copied, so that stamping an element
// costs the same however deep or long the path is.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace Kit {

class XMLSection {
 public:
  XMLSection() = default;
  XMLSection(std::shared_ptr<const std::string> buffer, std::size_t length)
      : mBuffer(std::move(buffer)), mLength(length) {}

  bool Empty() const { return mLength == 0; }
  std::string_view View() const { return mBuffer ? std::string_view(*mBuffer).substr(0, mLength) : std::string_view(); }
  // The names of the open elements, outermost first, joined by '/'.
  std::string Text() const { return std::string(View()); }

 private:
  std::shared_ptr<const std::string> mBuffer;
  std::size_t mLength = 0;
};

}  // namespace Kit
