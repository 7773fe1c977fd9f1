#include "framework/font/ListDataElement.h"

namespace Kit {

ListDataElement::ListDataElement(const ListDataElement& other) : DataElement(other) {
  mElements.reserve(other.mElements.size());
  for (const auto& element : other.mElements) mElements.push_back(element->Duplicate());
}

ListDataElement& ListDataElement::operator=(const ListDataElement& other) {
  if (this == &other) return *this;
  // Copies are made before the old elements go, so one of this list's own sub-lists can be assigned.
  std::vector<std::unique_ptr<DataElement>> copies;
  copies.reserve(other.mElements.size());
  for (const auto& element : other.mElements) copies.push_back(element->Duplicate());
  mElements = std::move(copies);
  return *this;
}

std::unique_ptr<DataElement> ListDataElement::Duplicate() const { return std::make_unique<ListDataElement>(*this); }

}  // namespace Kit
