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
  ~SectionStamp() { mElement->section = XMLSection(mParser->mPath, mLength); }
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
  mPath = std::make_shared<std::string>();
  mPathLength = 0;
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
  if (mPath->size() > mPathLength) {
    if (mPath.use_count() > 1)
      mPath = std::make_shared<std::string>(*mPath, 0, mPathLength);
    else
      mPath->resize(mPathLength);
  }
  if (mPathLength > 0) *mPath += '/';
  *mPath += name;
  mPathLength = mPath->size();
}

bool XMLParser::AddAttribute(XMLElement* element, const std::string& name, const std::string& value) {
  auto [entry, isNew] = element->attributes.insert_or_assign(name, value);
  if (name != "/") element->attributeOrder.push_back(entry);
  return isNew;
}

bool XMLParser::NextElement(XMLElement* element) {
  for (;;) {
    element->type = XMLElement::TYPE_NONE;
    // The element's section is the path as it is now, stamped when the element is done (however it
    // ends): until then the element holds no share of the path buffer, so opening an element below
    // can extend the buffer in place.
    element->section = XMLSection();
    const SectionStamp stamp{element, this, mPathLength};
    element->value.clear();
    element->body.clear();
    element->attributeOrder.clear();
    element->attributes.clear();

    std::string name;
    std::string attrValue;
    std::string lastName;
    bool inQuote = false;
    bool quoteClosed = false;
    bool wordEnded = false;
    bool inAttributes = false;
    bool inValue = false;
    // A trailing '/' only closes a tag when it was written outside quotes: a quoted value such as
    // "1/" keeps its slash.
    bool endsWithBareSlash = false;

    auto storePending = [&] {
      AddAttribute(element, XMLDecodeString(name), XMLDecodeString(attrValue));
      name.clear();
      attrValue.clear();
    };

    bool finished = false;
    while (!finished) {
      int c = 0;
      if (!ReadByte(&c)) {
        if (element->type == XMLElement::TYPE_NONE) return false;
        Fail("Unexpected End of File");
        return false;
      }
      int& type = element->type;

      if (type == XMLElement::TYPE_COMMENT) {
        std::string& body = element->body;
        body += static_cast<char>(c);
        if (c == '>' && body.size() >= 3 && body[body.size() - 2] == '-' && body[body.size() - 3] == '-') {
          body.resize(body.size() - 3);
          finished = true;
        }
        continue;
      }

      if (type == XMLElement::TYPE_INSTRUCTION) {
        std::string& target = (!element->body.empty() || IsSpace(c)) ? element->body : element->value;
        target += static_cast<char>(c);
        if (c == '>' && target.size() > 1 && target[target.size() - 2] == '?') {
          target.resize(target.size() - 2);
          finished = true;
        }
        continue;
      }

      bool inTag = type == XMLElement::TYPE_START || type == XMLElement::TYPE_END;
      if (c == '"') {
        inQuote = !inQuote;
        if (!inQuote) quoteClosed = true;
        if (inTag) continue;
      } else if (!inQuote) {
        if (c == '<') {
          if (type == XMLElement::TYPE_TEXT) {
            PushBack("<");
            finished = true;
          } else if (type == XMLElement::TYPE_NONE) {
            type = XMLElement::TYPE_START;
          } else {
            Fail("Unexpected '<'");
            return false;
          }
          continue;
        }
        if (c == '>') {
          if (type == XMLElement::TYPE_START) {
            quoteClosed = false;
            bool selfClosing = false;
            if (name == "/") {
              selfClosing = true;
            } else {
              // A flag written directly before "/>" (nobits/>) closes the tag like any other slash.
              if (endsWithBareSlash && !inValue && name.size() > 1 && EndsWithSlash(name)) {
                name.pop_back();
                endsWithBareSlash = false;
                selfClosing = true;
              }
              if (!name.empty()) {
                name = XMLDecodeString(name);
                attrValue = XMLDecodeString(attrValue);
                lastName = name;
                AddAttribute(element, lastName, attrValue);
                name.clear();
                attrValue.clear();
              }
              if (lastName.empty()) {
                if (endsWithBareSlash && EndsWithSlash(element->value)) {
                  element->value.pop_back();
                  selfClosing = true;
                }
              } else {
                // The attribute is listed already; only its value loses the slash.
                std::string& stored = element->attributes[lastName];
                if (endsWithBareSlash && EndsWithSlash(stored)) {
                  stored = XMLDecodeString(stored.substr(0, stored.size() - 1));
                  selfClosing = true;
                }
              }
            }
            if (selfClosing) PushBack("</" + element->value + ">");
            OpenSection(element->value);
            finished = true;
          } else if (type == XMLElement::TYPE_END) {
            const std::string_view path = std::string_view(*mPath).substr(0, mPathLength);
            const size_t slash = path.rfind('/');
            const std::string_view open = slash == std::string_view::npos ? path : path.substr(slash + 1);
            if (path.empty()) {
              Fail("Unexpected End");
              return false;
            }
            if (open != element->value) {
              Fail("End '" + element->value + "' Doesn't Match Start '" + std::string(open) + "'");
              return false;
            }
            mPathLength = slash == std::string_view::npos ? 0 : slash;
            finished = true;
          } else {
            Fail("Unexpected '>'");
            return false;
          }
          continue;
        }
        if (c == '/' && type == XMLElement::TYPE_START && element->value.empty()) {
          type = XMLElement::TYPE_END;
          continue;
        }
        if (c == '?' && type == XMLElement::TYPE_START && element->value.empty()) {
          type = XMLElement::TYPE_INSTRUCTION;
          continue;
        }
        if (IsSpace(c)) {
          if (!element->value.empty()) wordEnded = true;
          if (type == XMLElement::TYPE_START && element->value == "!--") type = XMLElement::TYPE_COMMENT;
          continue;
        }
        if (c < 0x21) {
          Fail("Illegal Character");
          return false;
        }
      }

      // An ordinary byte.
      endsWithBareSlash = c == '/' && !inQuote;
      if (type == XMLElement::TYPE_NONE) type = XMLElement::TYPE_TEXT;
      if (type != XMLElement::TYPE_START) {
        if (wordEnded) {
          element->value += ' ';
          wordEnded = false;
        }
        element->value += static_cast<char>(c);
        continue;
      }
      if (wordEnded) {
        if (!inAttributes) {
          inAttributes = true;
          inValue = false;
        } else if (!inValue && c != '=') {
          storePending();
          lastName.clear();
        } else if (inValue && (!attrValue.empty() || quoteClosed)) {
          storePending();
          lastName.clear();
          inValue = false;
        }
        wordEnded = false;
      }
      if (!inAttributes) {
        element->value += static_cast<char>(c);
      } else if (c == '=' && !inQuote) {
        // Inside quotes '=' is part of the value.
        inValue = true;
        quoteClosed = false;
      } else if (inValue) {
        attrValue += static_cast<char>(c);
      } else {
        name += static_cast<char>(c);
      }
    }

    if (!name.empty()) storePending();
    element->value = XMLDecodeString(element->value);
    if (element->type == XMLElement::TYPE_COMMENT && !mAllowComments) continue;
    return true;
  }
}

}  // namespace Kit
