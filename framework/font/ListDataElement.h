// A parenthesised list of descriptor values; it owns its elements.
#pragma once

#include <memory>
#include <vector>

#include "framework/font/DataElement.h"

namespace Kit {

class ListDataElement : public DataElement {
 public:
  ListDataElement() { mIsList = true; }
  ListDataElement(const ListDataElement& other);
  ListDataElement& operator=(const ListDataElement& other);
  ListDataElement(ListDataElement&&) = default;
  ListDataElement& operator=(ListDataElement&&) = default;

  std::unique_ptr<DataElement> Duplicate() const override;

  std::vector<std::unique_ptr<DataElement>> mElements;
};

}  // namespace Kit
