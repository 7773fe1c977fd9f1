#include "framework/font/DescParser.h"

#include "framework/util/StringUtil.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"

namespace Kit {

namespace {

// Nesting depth of a value: 0 for a word, 1 + the deepest element for a list.
int ElementDepth(const DataElement& element) {
  if (!element.mIsList) return 0;
  int deepest = 0;
  for (const auto& child : static_cast<const ListDataElement&>(element).mElements)
    deepest = std::max(deepest, ElementDepth(*child));
  return deepest + 1;
}

// Number of values in a value, itself included.
int ElementCount(const DataElement& element) {
  if (!element.mIsList) return 1;
  int count = 1;
  for (const auto& child : static_cast<const ListDataElement&>(element).mElements) count += ElementCount(*child);
  return count;
}

// What the file reader knows about the command it is collecting.
struct CommandState {
  bool atLineStart = true;
  bool inComment = false;
  bool inSingleQuotes = false;
  bool inDoubleQuotes = false;
  bool escapeHeld = false;
  bool indented = false;
};

}  // namespace

DescParser::DescParser() = default;

DescParser::~DescParser() = default;

bool DescParser::Error(const std::string& text) {
  mError = text;
  return false;
}

DataElement* DescParser::GetDefine(const std::string& name) {
  auto found = mDefineMap.find(StringToUpper(name));
  return found == mDefineMap.end() ? nullptr : found->second.get();
}

void DescParser::SetDefine(const std::string& name, std::unique_ptr<DataElement> value) {
  mDefineMap[StringToUpper(name)] = std::move(value);
}

bool DescParser::IsLiteral(const std::string& text) {
  if (text.empty()) return false;
  char first = text[0];
  return (first >= '0' && first <= '9') || first == '-' || first == '+' || first == '\'' || first == '"';
}

bool DescParser::LoadDescriptor(const std::string& fileName) {
  mCurrentLineNum = 0;
  mError.clear();
  mCurrentLine.clear();

  // A folder, like a file that cannot be read or one far larger than any font's, is no descriptor.
  constexpr std::size_t kMaxDescriptorBytes = 16u << 20;
  std::string text;
  if (plat::ReadWholeFile(plat::MapPath(fileName), &text, kMaxDescriptorBytes) != plat::FileReadResult::kRead)
    return false;
  std::size_t readAt = 0;

  bool ok = true;
  int newlines = 0;
  int pushedBack = -1;
  CommandState state;

  auto append = [&](char c) {
    if (mCurrentLine.empty()) mCurrentLineNum = newlines + 1;
    mCurrentLine += c;
  };
  auto endCommand = [&]() {
    if (!mCurrentLine.empty() && !ParseDescriptorLine(mCurrentLine)) ok = false;
    mCurrentLine.clear();
    state = CommandState();
  };

  while (ok) {
    int next = pushedBack;
    pushedBack = -1;
    if (next < 0) {
      if (readAt == text.size()) break;
      next = static_cast<unsigned char>(text[readAt++]);
      if (next == '\n') ++newlines;
    }
    char c = static_cast<char>(next);

    if (c == '\r') continue;
    if (state.atLineStart) {
      if (c == ' ' || c == '\t') {
        state.indented = true;
        continue;
      }
      if (c == '\n') continue;
      if ((mCmdSep & kCmdSepNoIndent) && !state.indented && !mCurrentLine.empty()) {
        pushedBack = static_cast<unsigned char>(c);
        endCommand();
        continue;
      }
      if (c == '#') state.inComment = true;
      state.atLineStart = false;
    }

    bool inQuotes = state.inSingleQuotes || state.inDoubleQuotes;
    if (state.escapeHeld) {
      // The escaped character goes through with its backslash and never opens or closes quotes.
      append('\\');
      append(c);
      state.escapeHeld = false;
      if (c == '\n') {
        state.atLineStart = true;
        state.indented = false;
      }
    } else if (c == '\n') {
      if (state.inComment)
        state.inComment = false;
      else
        append(c);
      state.atLineStart = true;
      state.indented = false;
    } else if (state.inComment) {
      continue;
    } else if (c == '\\') {
      if (inQuotes)
        state.escapeHeld = true;
      else
        append(c);
    } else if (c == '\'' || c == '"') {
      if (c == '\'' && !state.inDoubleQuotes) state.inSingleQuotes = !state.inSingleQuotes;
      if (c == '"' && !state.inSingleQuotes) state.inDoubleQuotes = !state.inDoubleQuotes;
      append(c);
    } else if (c == ';' && !inQuotes && (mCmdSep & kCmdSepSemicolon)) {
      endCommand();
    } else {
      append(c);
    }
  }
  if (ok) endCommand();

  mCurrentLine.clear();
  mCurrentLineNum = 0;
  return ok;
}

bool DescParser::ParseDescriptorLine(const std::string& command) {
  ListDataElement list;
  if (!ParseToList(command, &list, false, nullptr)) return false;
  if (list.mElements.empty()) return true;
  if (list.mElements[0]->mIsList) return Error("Missing Command");
  return HandleCommand(list);
}

bool DescParser::ParseToList(const std::string& text, ListDataElement* list, bool expectListEnd, int* pos) {
  int localPos = 0;
  return ParseToListAt(text, list, expectListEnd, pos ? pos : &localPos, 0);
}

bool DescParser::ParseToListAt(const std::string& text, ListDataElement* list, bool expectListEnd, int* pos,
                               int depth) {
  SingleDataElement* word = nullptr;
  bool inSingleQuotes = false;
  bool inDoubleQuotes = false;
  bool escaped = false;

  auto append = [&](char c) {
    if (!word) {
      auto fresh = std::make_unique<SingleDataElement>();
      word = fresh.get();
      list->mElements.push_back(std::move(fresh));
    }
    word->mString += c;
  };

  while (*pos >= 0 && static_cast<size_t>(*pos) < text.size()) {
    char c = text[static_cast<size_t>((*pos)++)];
    if (escaped) {
      append(c);
      escaped = false;
    } else if (c == '\\') {
      escaped = true;
    } else if (c == '\'' || c == '"') {
      if (c == '\'' && !inDoubleQuotes) inSingleQuotes = !inSingleQuotes;
      if (c == '"' && !inSingleQuotes) inDoubleQuotes = !inDoubleQuotes;
      append(c);
    } else if (inSingleQuotes || inDoubleQuotes) {
      append(c);
    } else if (c == ')') {
      if (expectListEnd) return true;
      return Error("Unexpected List End");
    } else if (c == '(') {
      if (word) return Error("Unexpected List Start");
      if (depth >= kMaxListDepth) return Error("List Nesting Too Deep");
      auto child = std::make_unique<ListDataElement>();
      if (!ParseToListAt(text, child.get(), true, pos, depth + 1)) return false;
      list->mElements.push_back(std::move(child));
    } else if (c == ' ' || c == '\t' || c == '\n' || c == ',') {
      word = nullptr;
    } else {
      append(c);
    }
  }

  if (inSingleQuotes) return Error("Unterminated Single Quotes");
  if (inDoubleQuotes) return Error("Unterminated Double Quotes");
  if (expectListEnd) return Error("Unterminated List");
  return true;
}

bool DescParser::ResolveList(const ListDataElement& source, ListDataElement* dest) {
  int count = 1;
  return ResolveListAt(source, dest, 0, &count);
}

bool DescParser::AppendBounded(ListDataElement* dest, const DataElement& value, int depth, int* count) {
  if (depth + ElementDepth(value) > kMaxListDepth) return Error("List Nesting Too Deep");
  *count += ElementCount(value);
  if (*count > kMaxValueElements) return Error("Value Too Large");
  dest->mElements.push_back(value.Duplicate());
  return true;
}

bool DescParser::ResolveListAt(const ListDataElement& source, ListDataElement* dest, int depth, int* count) {
  dest->mElements.clear();
  for (const auto& element : source.mElements) {
    if (element->mIsList) {
      if (depth + 1 > kMaxListDepth) return Error("List Nesting Too Deep");
      if (++*count > kMaxValueElements) return Error("Value Too Large");
      auto child = std::make_unique<ListDataElement>();
      if (!ResolveListAt(static_cast<const ListDataElement&>(*element), child.get(), depth + 1, count)) return false;
      dest->mElements.push_back(std::move(child));
      continue;
    }
    const std::string& text = static_cast<const SingleDataElement&>(*element).mString;
    if (text.empty()) continue;
    if (text[0] == '\'' || text[0] == '"') {
      if (!AppendBounded(dest, SingleDataElement(Unquote(text)), depth, count)) return false;
    } else if (IsLiteral(text)) {
      if (!AppendBounded(dest, *element, depth, count)) return false;
    } else {
      DataElement* value = GetDefine(text);
      if (!value) return Error("Unable to Dereference \"" + text + "\"");
      if (!AppendBounded(dest, *value, depth, count)) return false;
    }
  }
  return true;
}

bool DescParser::DataToString(const DataElement* element, std::string* out) {
  out->clear();
  if (element->mIsList) return false;
  const std::string& text = static_cast<const SingleDataElement*>(element)->mString;
  DataElement* value = GetDefine(text);
  if (!value) {
    *out = Unquote(text);
    return true;
  }
  if (value->mIsList) return false;
  *out = Unquote(static_cast<const SingleDataElement*>(value)->mString);
  return true;
}

bool DescParser::DataToList(const DataElement* element, ListDataElement* out) {
  if (element->mIsList) return ResolveList(*static_cast<const ListDataElement*>(element), out);
  DataElement* value = GetDefine(static_cast<const SingleDataElement*>(element)->mString);
  if (!value || !value->mIsList) return false;
  *out = *static_cast<const ListDataElement*>(value);
  return true;
}

bool DescParser::DataToStringVector(const DataElement* element, std::vector<std::string>* out) {
  out->clear();
  ListDataElement resolved;
  const ListDataElement* list = nullptr;
  if (element->mIsList) {
    if (!ResolveList(*static_cast<const ListDataElement*>(element), &resolved)) return false;
    list = &resolved;
  } else {
    const std::string& name = static_cast<const SingleDataElement*>(element)->mString;
    DataElement* value = GetDefine(name);
    if (!value) return Error("Unable to Dereference \"" + name + "\"");
    if (!value->mIsList) return false;
    list = static_cast<const ListDataElement*>(value);
  }
  for (const auto& item : list->mElements) {
    if (item->mIsList) {
      out->clear();
      return false;
    }
    out->push_back(static_cast<const SingleDataElement&>(*item).mString);
  }
  return true;
}

bool DescParser::DataToIntVector(const DataElement* element, std::vector<int>* out) {
  out->clear();
  std::vector<std::string> texts;
  if (!DataToStringVector(element, &texts)) return false;
  for (const std::string& text : texts) {
    int value = 0;
    if (!StringToInt(text, value)) {
      out->clear();
      return false;
    }
    out->push_back(value);
  }
  return true;
}

bool DescParser::DataToDoubleVector(const DataElement* element, std::vector<double>* out) {
  out->clear();
  std::vector<std::string> texts;
  if (!DataToStringVector(element, &texts)) return false;
  for (const std::string& text : texts) {
    double value = 0.0;
    if (!StringToDouble(text, value)) {
      out->clear();
      return false;
    }
    out->push_back(value);
  }
  return true;
}

std::string DescParser::Unquote(const std::string& text) {
  if (text.empty() || (text[0] != '\'' && text[0] != '"')) return text;
  char quote = text[0];
  std::string result;
  result.reserve(text.size());
  // After the opening quote, a doubled quote stands for one and a lone quote is dropped. Quotes pair up
  // in order, so a doubled quote just before the closing one does not leak the closing quote into the value.
  bool pendingQuote = false;
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] == quote) {
      if (pendingQuote) result += quote;
      pendingQuote = !pendingQuote;
    } else {
      result += text[i];
      pendingQuote = false;
    }
  }
  return result;
}

std::string DescParser::DataElementToText(const DataElement* element) {
  if (!element->mIsList) return static_cast<const SingleDataElement*>(element)->mString;
  std::string text = "(";
  const auto& elements = static_cast<const ListDataElement*>(element)->mElements;
  for (size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) text += ", ";
    text += DataElementToText(elements[i].get());
  }
  return text + ")";
}

}  // namespace Kit
