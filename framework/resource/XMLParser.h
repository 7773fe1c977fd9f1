// A small pull reader for the framework's XML-like text files (the resource manifest). It reads the file
// whole when it opens it, then takes one byte at a time and hands out one element per call; it accepts a fixed,
// forgiving grammar and stops at the first error with a message and the line it was found on.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/resource/XMLElement.h"

namespace Kit {

class XMLParser {
 public:
  XMLParser();
  virtual ~XMLParser();
  XMLParser(const XMLParser&) = delete;
  XMLParser& operator=(const XMLParser&) = delete;

  // Reads the file (through the program's path mapping); when it is missing or cannot be read (a folder,
  // a read error) the error is "Unable to open file " + name and the line number is 0.
  bool OpenFile(const std::string& fileName);
  // Why the last OpenFile failed on something that is there (the system's reason, such as "Is a
  // directory"); empty when it opened or nothing was there.
  const std::string& GetOpenRefusal() const { return mOpenRefusal; }
  // Fills the element with the next one of the file. False at a clean end of input (HasFailed stays
  // false) or on an error (HasFailed is set and GetErrorText tells why).
  bool NextElement(XMLElement* element);
  // Stores name = value (a later value replaces an earlier one) and lists it in the reading order,
  // except for the name "/" that a separate self-closing slash leaves behind. True when the name is new.
  bool AddAttribute(XMLElement* element, const std::string& name, const std::string& value);

  bool HasFailed() const { return mHasFailed; }
  std::string GetErrorText() const { return mErrorText; }
  int GetCurrentLineNum() const { return mLineNum; }
  std::string GetFileName() const { return mFileName; }
  // Comments are skipped unless this is set.
  void SetAllowComments(bool allow) { mAllowComments = allow; }

 protected:
  void Init();
  void Fail(const std::string& message);

 private:
  enum class Step { kMore, kFinished, kFailed };
  // What the reader knows about the tag it is in the middle of.
  struct TagReading {
    std::string mName;
    std::string mAttrValue;
    std::string mLastName;
    bool mInQuote = false;
    bool mQuoteClosed = false;
    bool mWordEnded = false;
    bool mInAttributes = false;
    bool mInValue = false;
    // A trailing '/' only closes a tag when it was written outside quotes: a quoted value such as
    // "1/" keeps its slash.
    bool mEndsWithBareSlash = false;

    void StorePending(XMLParser& parser, XMLElement* element);
  };

  // Gives an element its section when it is done, whichever way NextElement leaves.
  struct SectionStamp;

  bool ReadByte(int* byte);
  void PushBack(const std::string& text);
  void OpenSection(const std::string& name);
  // Reads one element, comments included; false at the end of input or on an error.
  bool ReadElement(XMLElement* element);
  Step ReadElementByte(XMLElement* element, TagReading& tag, int c);
  Step ReadCommentByte(XMLElement* element, int c);
  Step ReadInstructionByte(XMLElement* element, int c);
  Step CloseStartTag(XMLElement* element, TagReading& tag);
  Step CloseEndTag(XMLElement* element);
  void AddOrdinaryByte(XMLElement* element, TagReading& tag, int c);

  std::string mFileName;
  std::string mErrorText;
  std::string mOpenRefusal;
  int mLineNum = 0;
  // The file's bytes and where the next one is read.
  std::string mText;
  std::size_t mReadAt = 0;
  bool mHasFailed = false;
  bool mAllowComments = false;
  // Bytes to read again before the file; the last one is read first.
  std::vector<char> mPushBack;
  // The open elements are the first mCurrentSectionLength bytes of mCurrentSection. Closing one only shortens the
  // length: the bytes after it stay for the sections handed out before, which read them in place.
  std::shared_ptr<std::string> mCurrentSection = std::make_shared<std::string>();
  std::size_t mCurrentSectionLength = 0;
};

}  // namespace Kit
