// One word of a descriptor command, with its quotes as written.
#pragma once

#include <string>

#include "framework/font/DataElement.h"

namespace Kit {

class SingleDataElement : public DataElement {
 public:
  SingleDataElement() = default;
  explicit SingleDataElement(std::string value) : mString(std::move(value)) {}
  SingleDataElement(const SingleDataElement&) = default;
  SingleDataElement& operator=(const SingleDataElement&) = default;

  std::unique_ptr<DataElement> Duplicate() const override { return std::make_unique<SingleDataElement>(*this); }

  std::string mString;
};

}  // namespace Kit
