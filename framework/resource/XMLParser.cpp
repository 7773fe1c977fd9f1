#include "framework/resource/XMLParser.h"

#include <cctype>
#include <cerrno>
#include <cstring>

#include "framework/util/StringUtil.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"

namespace Kit {
namespace {

// Far beyond any resource manifest: a bigger file does not open.
constexpr std::size_t kMaxXmlFileBytes = 64u << 20;

bool IsSpace(int c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool EndsWithSlash(const std::string& text) { return !text.empty() && text.back() == '/'; }

}  // namespace

struct XMLParser::SectionStamp {
  XMLElement* mElement;
  const XMLParser* mParser;
  std::size_t mLength;
  ~SectionStamp() { mElement->mSection = XMLSection(mParser->mCurrentSection, mLength); }
};

XMLParser::XMLParser() = default;

XMLParser::~XMLParser() = default;

bool XMLParser::OpenFile(const std::string& fileName) {
  mText.clear();
  mReadAt = 0;
  mOpenRefusal.clear();
  // A folder, or a file that cannot be read to its end, does not open.
  const plat::FileReadResult read = plat::ReadWholeFile(plat::MapPath(fileName), &mText, kMaxXmlFileBytes);
  if (read != plat::FileReadResult::kRead) {
    if (read == plat::FileReadResult::kUnreadable) mOpenRefusal = std::strerror(errno);
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
    if (mReadAt == mText.size()) return false;
    *byte = static_cast<unsigned char>(mText[mReadAt++]);
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
  auto [entry, isNew] = element->mAttributes.insert_or_assign(name, value);
  if (name != "/") element->mAttributeOrder.push_back(entry);
  return isNew;
}

void XMLParser::TagReading::StorePending(XMLParser& parser, XMLElement* element) {
  parser.AddAttribute(element, XMLDecodeString(mName), XMLDecodeString(mAttrValue));
  mName.clear();
  mAttrValue.clear();
}

bool XMLParser::NextElement(XMLElement* element) {
  for (;;) {
    element->mType = XMLElement::TYPE_NONE;
    // The element's section is the path as it is now, stamped when the element is done (however it
    // ends): until then the element holds no share of the path buffer, so opening an element below
    // can extend the buffer in place.
    element->mSection = XMLSection();
    const SectionStamp stamp{element, this, mCurrentSectionLength};
    element->mValue.clear();
    element->mBody.clear();
    element->mAttributeOrder.clear();
    element->mAttributes.clear();

    if (!ReadElement(element)) return false;
    element->mValue = XMLDecodeString(element->mValue);
    if (element->mType == XMLElement::TYPE_COMMENT && !mAllowComments) continue;
    return true;
  }
}

bool XMLParser::ReadElement(XMLElement* element) {
  TagReading tag;
  for (;;) {
    int c = 0;
    if (!ReadByte(&c)) {
      if (element->mType == XMLElement::TYPE_NONE) return false;
      Fail("Unexpected End of File");
      return false;
    }
    Step step = ReadElementByte(element, tag, c);
    if (step == Step::kFailed) return false;
    if (step == Step::kFinished) break;
  }
  if (!tag.mName.empty()) tag.StorePending(*this, element);
  return true;
}

XMLParser::Step XMLParser::ReadElementByte(XMLElement* element, TagReading& tag, int c) {
  int& type = element->mType;
  if (type == XMLElement::TYPE_COMMENT) return ReadCommentByte(element, c);
  if (type == XMLElement::TYPE_INSTRUCTION) return ReadInstructionByte(element, c);

  bool inTag = type == XMLElement::TYPE_START || type == XMLElement::TYPE_END;
  if (c == '"') {
    tag.mInQuote = !tag.mInQuote;
    if (!tag.mInQuote) tag.mQuoteClosed = true;
    if (inTag) return Step::kMore;
  } else if (!tag.mInQuote) {
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
    if (c == '/' && type == XMLElement::TYPE_START && element->mValue.empty()) {
      type = XMLElement::TYPE_END;
      return Step::kMore;
    }
    if (c == '?' && type == XMLElement::TYPE_START && element->mValue.empty()) {
      type = XMLElement::TYPE_INSTRUCTION;
      return Step::kMore;
    }
    if (IsSpace(c)) {
      if (!element->mValue.empty()) tag.mWordEnded = true;
      if (type == XMLElement::TYPE_START && element->mValue == "!--") type = XMLElement::TYPE_COMMENT;
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
  std::string& body = element->mBody;
  body += static_cast<char>(c);
  if (c == '>' && body.size() >= 3 && body[body.size() - 2] == '-' && body[body.size() - 3] == '-') {
    body.resize(body.size() - 3);
    return Step::kFinished;
  }
  return Step::kMore;
}

XMLParser::Step XMLParser::ReadInstructionByte(XMLElement* element, int c) {
  std::string& target = (!element->mBody.empty() || IsSpace(c)) ? element->mBody : element->mValue;
  target += static_cast<char>(c);
  if (c == '>' && target.size() > 1 && target[target.size() - 2] == '?') {
    target.resize(target.size() - 2);
    return Step::kFinished;
  }
  return Step::kMore;
}

XMLParser::Step XMLParser::CloseStartTag(XMLElement* element, TagReading& tag) {
  tag.mQuoteClosed = false;
  bool selfClosing = false;
  if (tag.mName == "/") {
    selfClosing = true;
  } else {
    // A flag written directly before "/>" (nobits/>) closes the tag like any other slash.
    if (tag.mEndsWithBareSlash && !tag.mInValue && tag.mName.size() > 1 && EndsWithSlash(tag.mName)) {
      tag.mName.pop_back();
      tag.mEndsWithBareSlash = false;
      selfClosing = true;
    }
    if (!tag.mName.empty()) {
      tag.mLastName = XMLDecodeString(tag.mName);
      AddAttribute(element, tag.mLastName, XMLDecodeString(tag.mAttrValue));
      tag.mName.clear();
      tag.mAttrValue.clear();
    }
    if (tag.mLastName.empty()) {
      if (tag.mEndsWithBareSlash && EndsWithSlash(element->mValue)) {
        element->mValue.pop_back();
        selfClosing = true;
      }
    } else {
      // The attribute is listed already; only its value loses the slash.
      std::string& stored = element->mAttributes[tag.mLastName];
      if (tag.mEndsWithBareSlash && EndsWithSlash(stored)) {
        stored = XMLDecodeString(stored.substr(0, stored.size() - 1));
        selfClosing = true;
      }
    }
  }
  if (selfClosing) PushBack("</" + element->mValue + ">");
  OpenSection(element->mValue);
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
  if (open != element->mValue) {
    Fail("End '" + element->mValue + "' Doesn't Match Start '" + std::string(open) + "'");
    return Step::kFailed;
  }
  mCurrentSectionLength = slash == std::string_view::npos ? 0 : slash;
  return Step::kFinished;
}

void XMLParser::AddOrdinaryByte(XMLElement* element, TagReading& tag, int c) {
  tag.mEndsWithBareSlash = c == '/' && !tag.mInQuote;
  if (element->mType == XMLElement::TYPE_NONE) element->mType = XMLElement::TYPE_TEXT;
  if (element->mType != XMLElement::TYPE_START) {
    if (tag.mWordEnded) {
      element->mValue += ' ';
      tag.mWordEnded = false;
    }
    element->mValue += static_cast<char>(c);
    return;
  }
  if (tag.mWordEnded) {
    if (!tag.mInAttributes) {
      tag.mInAttributes = true;
      tag.mInValue = false;
    } else if (!tag.mInValue && c != '=') {
      tag.StorePending(*this, element);
      tag.mLastName.clear();
    } else if (tag.mInValue && (!tag.mAttrValue.empty() || tag.mQuoteClosed)) {
      tag.StorePending(*this, element);
      tag.mLastName.clear();
      tag.mInValue = false;
    }
    tag.mWordEnded = false;
  }
  if (!tag.mInAttributes) {
    element->mValue += static_cast<char>(c);
  } else if (c == '=' && !tag.mInQuote) {
    // Inside quotes '=' is part of the value.
    tag.mInValue = true;
    tag.mQuoteClosed = false;
  } else if (tag.mInValue) {
    tag.mAttrValue += static_cast<char>(c);
  } else {
    tag.mName += static_cast<char>(c);
  }
}

}  // namespace Kit
