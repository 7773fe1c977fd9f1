// The reader of the font descriptor language: splits a file into commands, tokenises each command into
// a list of values and hands it to the subclass's command handler. Names given to values by the
// subclass's define command stand for those values wherever a parameter is resolved.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/font/DataElement.h"
#include "framework/font/ListDataElement.h"
#include "framework/font/SingleDataElement.h"

namespace Kit {

class DescParser {
 public:
  // Bits of mCmdSep.
  static constexpr int kCmdSepSemicolon = 1;  // ';' outside quotes ends a command
  static constexpr int kCmdSepNoIndent = 2;   // a line that starts without indentation starts a new command

  // Lists nested deeper than this are refused, so hostile files cannot exhaust the stack.
  static constexpr int kMaxListDepth = 64;
  // A resolved value holds at most this many elements (nested ones included): defines built from
  // defines would otherwise grow without bound.
  static constexpr int kMaxValueElements = 65536;

  DescParser();
  virtual ~DescParser();
  DescParser(const DescParser&) = delete;
  DescParser& operator=(const DescParser&) = delete;

  // Stores the text as the error text and returns false.
  virtual bool Error(const std::string& text);
  // The value defined under the name (compared without regard to case), or null.
  virtual DataElement* GetDefine(const std::string& name);
  // params holds the command word as element 0 and the parameters after it.
  virtual bool HandleCommand(const ListDataElement& params) = 0;

  // Reads and executes a whole file; true when it opened and no command failed.
  bool LoadDescriptor(const std::string& fileName);
  bool ParseDescriptorLine(const std::string& command);
  // pos, when given, is the reading position shared with nested calls.
  bool ParseToList(const std::string& text, ListDataElement* list, bool expectListEnd, int* pos);
  bool ResolveList(const ListDataElement& source, ListDataElement* dest);

  bool DataToString(const DataElement* element, std::string* out);
  bool DataToStringVector(const DataElement* element, std::vector<std::string>* out);
  bool DataToList(const DataElement* element, ListDataElement* out);
  bool DataToIntVector(const DataElement* element, std::vector<int>* out);
  bool DataToDoubleVector(const DataElement* element, std::vector<double>* out);

  static std::string Unquote(const std::string& text);
  static std::string DataElementToText(const DataElement* element);
  // Words starting with a digit, a sign or a quote are literals; any other word is a name.
  static bool IsLiteral(const std::string& text);

  int mCmdSep = kCmdSepSemicolon;
  std::string mError;
  int mCurrentLineNum = 0;
  std::string mCurrentLine;
  std::map<std::string, std::unique_ptr<DataElement>> mDefineMap;  // keys upper case

 protected:
  // Stores value under the upper-cased name, replacing an earlier value.
  void SetDefine(const std::string& name, std::unique_ptr<DataElement> value);

 private:
  // Appends a copy of value to dest if the result stays within the limits; reports otherwise.
  bool AppendBounded(ListDataElement* dest, const DataElement& value, int depth, int* count);
  bool ParseToListAt(const std::string& text, ListDataElement* list, bool expectListEnd, int* pos, int depth);
  bool ResolveListAt(const ListDataElement& source, ListDataElement* dest, int depth, int* count);
};

}  // namespace Kit
