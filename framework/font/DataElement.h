// A value of the font descriptor language: a word or a list of values.
#pragma once

#include <memory>

namespace Kit {

class DataElement {
 public:
  DataElement() = default;
  virtual ~DataElement() = default;
  // A deep copy owned by the caller.
  virtual std::unique_ptr<DataElement> Duplicate() const = 0;

  bool mIsList = false;

 protected:
  DataElement(const DataElement&) = default;
  DataElement& operator=(const DataElement&) = default;
};

}  // namespace Kit
