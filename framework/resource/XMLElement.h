// One element handed out by the XML reader: a start or end tag, a run of text, a processing
// instruction or a comment.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "framework/resource/XMLSection.h"

namespace Kit {

struct XMLElement {
  enum Type { TYPE_NONE = 0, TYPE_START = 1, TYPE_END = 2, TYPE_TEXT = 3, TYPE_INSTRUCTION = 4, TYPE_COMMENT = 5 };
  using AttributeMap = std::map<std::string, std::string>;

  XMLElement() = default;
  // mAttributeOrder points into mAttributes, so a copy would point into the wrong map; moving a map keeps
  // its nodes and therefore stays valid.
  XMLElement(const XMLElement&) = delete;
  XMLElement& operator=(const XMLElement&) = delete;
  XMLElement(XMLElement&&) = default;
  XMLElement& operator=(XMLElement&&) = default;

  int mType = TYPE_NONE;
  // The open elements when this one was read (names joined by '/': mSection.Text()).
  XMLSection mSection;
  // Tag name, text, instruction target, or "!--" for a comment.
  std::string mValue;
  // Instruction text after the target, or the comment text.
  std::string mBody;
  AttributeMap mAttributes;
  // One entry per attribute added, in reading order.
  std::vector<AttributeMap::iterator> mAttributeOrder;
};

}  // namespace Kit
