#include "framework/resource/XMLParser.h"

#include <cctype>

#include "framework/util/StringUtil.h"
#include "platform/win/PathMap.h"

namespace Kit {
namespace {

bool IsSpace(int c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool EndsWithSlash(const std::string& text) { return !text.empty() && text.back() == '/'; }

}  // namespace

struct XMLParser::SectionStamp {
  XMLElement* mElement;
  const XMLParser* mParser;
  std::size_t mLength;
  ~SectionStamp() { mElement->section = XMLSection(mParser->mCurrentSection, mLength); }
};

XMLParser::XMLParser() = default;

XMLParser::~XMLParser() = default;

bool XMLParser::OpenFile(const std::string& fileName) {
  mFile.reset(std::fopen(plat::MapPath(fileName).c_str(), "r"));
  if (!mFile) {
    mLineNum = 0;
    Fail("Unable to open file " + fileName);
    return false;
  }
  mFileName = fileName;
  mPushBack.clear();
  Init();
  return true;
}

void XMLParser::Init() {
  mCurrentSection = std::make_shared<std::string>();
  mCurrentSectionLength = 0;
  mErrorText.clear();
  mLineNum = 1;
  mHasFailed = false;
}

void XMLParser::Fail(const std::string& message) {
  mHasFailed = true;
  mErrorText = message;
}

bool XMLParser::ReadByte(int* byte) {
  if (!mPushBack.empty()) {
    *byte = static_cast<unsigned char>(mPushBack.back());
    mPushBack.pop_back();
  } else {
    if (!mFile) return false;
    int c = std::fgetc(mFile.get());
    if (c == EOF) return false;
    *byte = c;
  }
  if (*byte == '\n') ++mLineNum;
  return true;
}

void XMLParser::PushBack(const std::string& text) { mPushBack.insert(mPushBack.end(), text.rbegin(), text.rend()); }

void XMLParser::OpenSection(const std::string& name) {
  // Bytes past the open path may still be read by sections the caller kept: they are rewritten in
  // place only when nobody else holds the buffer, else the path moves to a buffer of its own.
  if (mCurrentSection->size() > mCurrentSectionLength) {
    if (mCurrentSection.use_count() > 1)
      mCurrentSection = std::make_shared<std::string>(*mCurrentSection, 0, mCurrentSectionLength);
    else
      mCurrentSection->resize(mCurrentSectionLength);
  }
  if (mCurrentSectionLength > 0) *mCurrentSection += '/';
  *mCurrentSection += name;
  mCurrentSectionLength = mCurrentSection->size();
}

bool XMLParser::AddAttribute(XMLElement* element, const std::string& name, const std::string& value) {
  auto [entry, isNew] = element->attributes.insert_or_assign(name, value);
  if (name != "/") element->attributeOrder.push_back(entry);
  return isNew;
}

void XMLParser::TagReading::StorePending(XMLParser& parser, XMLElement* element) {
  parser.AddAttribute(element, XMLDecodeString(name), XMLDecodeString(attrValue));
  name.clear();
  attrValue.clear();
}

bool XMLParser::NextElement(XMLElement* element) {
  for (;;) {
    element->type = XMLElement::TYPE_NONE;
    // The element's section is the path as it is now, stamped when the element is done (however it
    // ends): until then the element holds no share of the path buffer, so opening an element below
    // can extend the buffer in place.
    element->section = XMLSection();
    const SectionStamp stamp{element, this, mCurrentSectionLength};
    element->value.clear();
    element->body.clear();
    element->attributeOrder.clear();
    element->attributes.clear();

    if (!ReadElement(element)) return false;
    element->value = XMLDecodeString(element->value);
    if (element->type == XMLElement::TYPE_COMMENT && !mAllowComments) continue;
    return true;
  }
}

bool XMLParser::ReadElement(XMLElement* element) {
  TagReading tag;
  for (;;) {
    int c = 0;
    if (!ReadByte(&c)) {
      if (element->type == XMLElement::TYPE_NONE) return false;
      Fail("Unexpected End of File");
      return false;
    }
    Step step = ReadElementByte(element, tag, c);
    if (step == Step::kFailed) return false;
    if (step == Step::kFinished) break;
  }
  if (!tag.name.empty()) tag.StorePending(*this, element);
  return true;
}

XMLParser::Step XMLParser::ReadElementByte(XMLElement* element, TagReading& tag, int c) {
  int& type = element->type;
  if (type == XMLElement::TYPE_COMMENT) return ReadCommentByte(element, c);
  if (type == XMLElement::TYPE_INSTRUCTION) return ReadInstructionByte(element, c);

  bool inTag = type == XMLElement::TYPE_START || type == XMLElement::TYPE_END;
  if (c == '"') {
    tag.inQuote = !tag.inQuote;
    if (!tag.inQuote) tag.quoteClosed = true;
    if (inTag) return Step::kMore;
  } else if (!tag.inQuote) {
    if (c == '<') {
      if (type == XMLElement::TYPE_TEXT) {
        PushBack("<");
        return Step::kFinished;
      }
      if (type == XMLElement::TYPE_NONE) {
        type = XMLElement::TYPE_START;
        return Step::kMore;
      }
      Fail("Unexpected '<'");
      return Step::kFailed;
    }
    if (c == '>') {
      if (type == XMLElement::TYPE_START) return CloseStartTag(element, tag);
      if (type == XMLElement::TYPE_END) return CloseEndTag(element);
      Fail("Unexpected '>'");
      return Step::kFailed;
    }
    if (c == '/' && type == XMLElement::TYPE_START && element->value.empty()) {
      type = XMLElement::TYPE_END;
      return Step::kMore;
    }
    if (c == '?' && type == XMLElement::TYPE_START && element->value.empty()) {
      type = XMLElement::TYPE_INSTRUCTION;
      return Step::kMore;
    }
    if (IsSpace(c)) {
      if (!element->value.empty()) tag.wordEnded = true;
      if (type == XMLElement::TYPE_START && element->value == "!--") type = XMLElement::TYPE_COMMENT;
      return Step::kMore;
    }
    if (c < 0x21) {
      Fail("Illegal Character");
      return Step::kFailed;
    }
  }
  AddOrdinaryByte(element, tag, c);
  return Step::kMore;
}

XMLParser::Step XMLParser::ReadCommentByte(XMLElement* element, int c) {
  std::string& body = element->body;
  body += static_cast<char>(c);
  if (c == '>' && body.size() >= 3 && body[body.size() - 2] == '-' && body[body.size() - 3] == '-') {
    body.resize(body.size() - 3);
    return Step::kFinished;
  }
  return Step::kMore;
}

XMLParser::Step XMLParser::ReadInstructionByte(XMLElement* element, int c) {
  std::string& target = (!element->body.empty() || IsSpace(c)) ? element->body : element->value;
  target += static_cast<char>(c);
  if (c == '>' && target.size() > 1 && target[target.size() - 2] == '?') {
    target.resize(target.size() - 2);
    return Step::kFinished;
  }
  return Step::kMore;
}

XMLParser::Step XMLParser::CloseStartTag(XMLElement* element, TagReading& tag) {
  tag.quoteClosed = false;
  bool selfClosing = false;
  if (tag.name == "/") {
    selfClosing = true;
  } else {
    // A flag written directly before "/>" (nobits/>) closes the tag like any other slash.
    if (tag.endsWithBareSlash && !tag.inValue && tag.name.size() > 1 && EndsWithSlash(tag.name)) {
      tag.name.pop_back();
      tag.endsWithBareSlash = false;
      selfClosing = true;
    }
    if (!tag.name.empty()) {
      tag.lastName = XMLDecodeString(tag.name);
      AddAttribute(element, tag.lastName, XMLDecodeString(tag.attrValue));
      tag.name.clear();
      tag.attrValue.clear();
    }
    if (tag.lastName.empty()) {
      if (tag.endsWithBareSlash && EndsWithSlash(element->value)) {
        element->value.pop_back();
        selfClosing = true;
      }
    } else {
      // The attribute is listed already; only its value loses the slash.
      std::string& stored = element->attributes[tag.lastName];
      if (tag.endsWithBareSlash && EndsWithSlash(stored)) {
        stored = XMLDecodeString(stored.substr(0, stored.size() - 1));
        selfClosing = true;
      }
    }
  }
  if (selfClosing) PushBack("</" + element->value + ">");
  OpenSection(element->value);
  return Step::kFinished;
}

XMLParser::Step XMLParser::CloseEndTag(XMLElement* element) {
  const std::string_view path = std::string_view(*mCurrentSection).substr(0, mCurrentSectionLength);
  const size_t slash = path.rfind('/');
  const std::string_view open = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (path.empty()) {
    Fail("Unexpected End");
    return Step::kFailed;
  }
  if (open != element->value) {
    Fail("End '" + element->value + "' Doesn't Match Start '" + std::string(open) + "'");
    return Step::kFailed;
  }
  mCurrentSectionLength = slash == std::string_view::npos ? 0 : slash;
  return Step::kFinished;
}

void XMLParser::AddOrdinaryByte(XMLElement* element, TagReading& tag, int c) {
  tag.endsWithBareSlash = c == '/' && !tag.inQuote;
  if (element->type == XMLElement::TYPE_NONE) element->type = XMLElement::TYPE_TEXT;
  if (element->type != XMLElement::TYPE_START) {
    if (tag.wordEnded) {
      element->value += ' ';
      tag.wordEnded = false;
    }
    element->value += static_cast<char>(c);
    return;
  }
  if (tag.wordEnded) {
    if (!tag.inAttributes) {
      tag.inAttributes = true;
      tag.inValue = false;
    } else if (!tag.inValue && c != '=') {
      tag.StorePending(*this, element);
      tag.lastName.clear();
    } else if (tag.inValue && (!tag.attrValue.empty() || tag.quoteClosed)) {
      tag.StorePending(*this, element);
      tag.lastName.clear();
      tag.inValue = false;
    }
    tag.wordEnded = false;
  }
  if (!tag.inAttributes) {
    element->value += static_cast<char>(c);
  } else if (c == '=' && !tag.inQuote) {
    // Inside quotes '=' is part of the value.
    tag.inValue = true;
    tag.quoteClosed = false;
  } else if (tag.inValue) {
    tag.attrValue += static_cast<char>(c);
  } else {
    tag.name += static_cast<char>(c);
  }
}

}  // namespace Kit
