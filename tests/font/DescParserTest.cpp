#include "framework/font/DescParser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/TempDir.h"

namespace {

using Kit::DataElement;
using Kit::DescParser;
using Kit::ListDataElement;
using Kit::SingleDataElement;

// A parser that records every command it is handed and every error with the line it was reported on.
// "Define name value" stores a value so that resolution can be exercised; "Fail" fails like a bad command.
class RecordingParser : public DescParser {
 public:
  bool Error(const std::string& text) override {
    errors.emplace_back(text, mCurrentLineNum);
    return DescParser::Error(text);
  }

  bool HandleCommand(const ListDataElement& params) override {
    commands.push_back(DataElementToText(&params));
    lines.push_back(mCurrentLineNum);
    const auto& word = static_cast<const SingleDataElement&>(*params.mElements[0]).mString;
    if (word == "Fail") return Error("Command Failed");
    if (word == "Define" && params.mElements.size() == 3) {
      const DataElement* value = params.mElements[2].get();
      if (value->mIsList) {
        auto resolved = std::make_unique<ListDataElement>();
        if (!ResolveList(static_cast<const ListDataElement&>(*value), resolved.get())) return false;
        SetDefine(static_cast<const SingleDataElement&>(*params.mElements[1]).mString, std::move(resolved));
      } else {
        SetDefine(static_cast<const SingleDataElement&>(*params.mElements[1]).mString, value->Duplicate());
      }
      return true;
    }
    return word != "Define";
  }

  std::vector<std::string> commands;
  std::vector<int> lines;
  std::vector<std::pair<std::string, int>> errors;
};

// Tokenises text at the top level and returns the list as text, or the error text on failure.
std::string Tokens(const std::string& text) {
  RecordingParser parser;
  ListDataElement list;
  if (!parser.ParseToList(text, &list, false, nullptr)) return "error: " + parser.mError;
  return DescParser::DataElementToText(&list);
}

// Loads the contents as a descriptor file: every command handed over with its line ("(A, b)@1"), every
// error with its line ("!Unterminated List@3"), then "ok" or "failed".
std::string Load(const std::string& contents, int cmdSep = DescParser::kCmdSepSemicolon) {
  testsupport::TempDir dir;
  RecordingParser parser;
  parser.mCmdSep = cmdSep;
  const bool ok = parser.LoadDescriptor(dir.Write("font.txt", contents));
  EXPECT_EQ(parser.mCurrentLineNum, 0);
  EXPECT_EQ(parser.mCurrentLine, "");
  std::string out;
  for (std::size_t i = 0; i < parser.commands.size(); ++i)
    out += parser.commands[i] + "@" + std::to_string(parser.lines[i]) + " ";
  for (const auto& [text, line] : parser.errors) out += "!" + text + "@" + std::to_string(line) + " ";
  return out + (ok ? "ok" : "failed");
}

using Errors = std::vector<std::pair<std::string, int>>;

TEST(DescParserTokens, WordsListsQuotesEscapesAndSyntaxErrors) {
  const std::pair<const char*, const char*> cases[] = {
      {"a,b c", "(a, b, c)"},
      {"(1, 2) (3 4)", "((1, 2), (3, 4))"},
      {"  a\t\n,,b  ", "(a, b)"},
      {"((a)(b c))", "(((a), (b, c)))"},
      {"()", "(())"},
      {"", "()"},
      {"(a)b", "((a), b)"},
      {"'a b' c", "('a b', c)"},
      {"\"x 'y' ,z\"", "(\"x 'y' ,z\")"},
      {"a\\,b", "(a,b)"},
      {"\\(x", "((x)"},
      {"'it\\'s'", "('it's')"},
      {"ab'c d'e", "(ab'c d'e)"},
      {"\"(\" ')'", "(\"(\", ')')"},
      {"a(b)", "error: Unexpected List Start"},
      {"a )", "error: Unexpected List End"},
      {"(a (b)", "error: Unterminated List"},
      {"'abc", "error: Unterminated Single Quotes"},
      {"(\"abc)", "error: Unterminated Double Quotes"},
  };
  for (auto [text, tokens] : cases) EXPECT_EQ(Tokens(text), tokens) << text;
}

TEST(DescParserTokens, DeepNestingIsRefusedWithoutExhaustingTheStack) {
  std::string deep(DescParser::kMaxListDepth, '(');
  deep += std::string(DescParser::kMaxListDepth, ')');
  EXPECT_NE(Tokens(deep).substr(0, 5), "error");
  EXPECT_EQ(Tokens("(" + deep + ")"), "error: List Nesting Too Deep");
  std::string hostile(1000000, '(');
  EXPECT_EQ(Tokens(hostile), "error: List Nesting Too Deep");
}

TEST(DescParserFile, MissingFileFailsSilently) {
  RecordingParser parser;
  EXPECT_FALSE(parser.LoadDescriptor("/nonexistent/folder/font.txt"));
  EXPECT_EQ(parser.mError, "");
  EXPECT_TRUE(parser.errors.empty());
  testsupport::TempDir dir;
  EXPECT_FALSE(parser.LoadDescriptor(dir.Path().string()));  // a folder is no descriptor
}

TEST(DescParserFile, CommandsAndErrorsCarryTheLineTheCommandStartsOn) {
  const struct {
    const char* contents;
    const char* load;
    int cmdSep = DescParser::kCmdSepSemicolon;
  } cases[] = {
      // Commands end at semicolons and at the end of the file; the last one here has six words.
      {"Define a 1; Define b 2;\nDefine c 3\n  Define d 4",
       "(Define, a, 1)@1 (Define, b, 2)@1 (Define, c, 3, Define, d, 4)@2 failed"},
      {"# a comment; Fail\r\nA 'x;y' \"p;q\";  # after a semicolon\r\nB c#d;\n   # indented comment\nC",
       "(A, 'x;y', \"p;q\")@2 (B, c#d)@3 (C)@5 ok"},
      {"A 'it\\'s; here' \\\\x;B", "(A, 'it's; here', \\x)@1 (B)@1 ok"},  // backslashes inside quotes keep them closed
      {"A 1\n  2\nB 3\n\tC\n", "(A, 1, 2)@1 (B, 3, C)@3 ok", DescParser::kCmdSepNoIndent},
      {"A;\n\nB\n 'x", "(A)@1 !Unterminated Single Quotes@3 failed"},
      {"A \"x\n", "!Unterminated Double Quotes@1 failed"},
      {"\n\n\nA b)", "!Unexpected List End@4 failed"},
      {"A;\nB c(d)", "(A)@1 !Unexpected List Start@2 failed"},
      {"A;B;\n# c\n(\nC", "(A)@1 (B)@1 !Unterminated List@3 failed"},
      {"A;\n\n(x) y", "(A)@1 !Missing Command@3 failed"},
      {"Define a (b)", "(Define, a, (b))@1 !Unable to Dereference \"b\"@1 failed"},
      {"A;\nFail;\nB;", "(A)@1 (Fail)@2 !Command Failed@2 failed"},  // the first failing command stops the file
  };
  for (const auto& c : cases) EXPECT_EQ(Load(c.contents, c.cmdSep), c.load) << c.contents;
}

class DescParserValues : public ::testing::Test {
 protected:
  void Define(const std::string& command) { ASSERT_TRUE(parser.ParseDescriptorLine("Define " + command)); }

  std::unique_ptr<DataElement> Parse(const std::string& text) {
    ListDataElement list;
    EXPECT_TRUE(parser.ParseToList(text, &list, false, nullptr));
    return std::move(list.mElements.at(0));
  }

  RecordingParser parser;
};

TEST_F(DescParserValues, UnquoteHandlesDoubledAndForeignQuotes) {
  const std::pair<const char*, const char*> cases[] = {
      {"plain", "plain"}, {"'a b'", "a b"}, {"'it''s'", "it's"}, {"\"say \"\"hi\"\"\"", "say \"hi\""},
      {"'a\"b'", "a\"b"}, {"'x'''", "x'"},  {"''''''", "''"},    {"", ""}};
  for (auto [quoted, text] : cases) EXPECT_EQ(DescParser::Unquote(quoted), text) << quoted;
}

TEST_F(DescParserValues, ResolutionUnquotesLiteralsAndDereferencesNames) {
  Define("Foo 'x y'");
  Define("Pair (1 2)");
  ListDataElement source;
  ASSERT_TRUE(parser.ParseToList("('a b' -3 +4 FOO foo pair (fOo))", &source, false, nullptr));
  ListDataElement resolved;
  ASSERT_TRUE(parser.ResolveList(static_cast<const ListDataElement&>(*source.mElements[0]), &resolved));
  EXPECT_EQ(DescParser::DataElementToText(&resolved), "(a b, -3, +4, 'x y', 'x y', (1, 2), ('x y'))");
}

TEST_F(DescParserValues, DefinesAreCaseInsensitiveAndReplaced) {
  Define("Foo 1");
  ASSERT_NE(parser.GetDefine("FOO"), nullptr);
  ASSERT_NE(parser.GetDefine("foo"), nullptr);
  Define("FOO 2");
  EXPECT_EQ(parser.mDefineMap.size(), 1u);
  EXPECT_EQ(DescParser::DataElementToText(parser.GetDefine("Foo")), "2");
  EXPECT_EQ(parser.GetDefine("bar"), nullptr);
}

TEST_F(DescParserValues, StringConversion) {
  Define("Name \"file.png\"");
  Define("L (1)");
  std::string out = "stale";
  EXPECT_TRUE(parser.DataToString(Parse("'a b'").get(), &out));
  EXPECT_EQ(out, "a b");
  EXPECT_TRUE(parser.DataToString(Parse("name").get(), &out));
  EXPECT_EQ(out, "file.png");
  EXPECT_TRUE(parser.DataToString(Parse("undefined").get(), &out));
  EXPECT_EQ(out, "undefined");
  EXPECT_FALSE(parser.DataToString(Parse("L").get(), &out));
  EXPECT_FALSE(parser.DataToString(Parse("(x)").get(), &out));
  EXPECT_EQ(out, "");
}

TEST_F(DescParserValues, ListConversion) {
  Define("L (1 (2))");
  Define("S 5");
  ListDataElement out;
  EXPECT_TRUE(parser.DataToList(Parse("L").get(), &out));
  EXPECT_EQ(DescParser::DataElementToText(&out), "(1, (2))");
  EXPECT_TRUE(parser.DataToList(Parse("(L 'q')").get(), &out));
  EXPECT_EQ(DescParser::DataElementToText(&out), "((1, (2)), q)");
  EXPECT_FALSE(parser.DataToList(Parse("S").get(), &out));
  EXPECT_FALSE(parser.DataToList(Parse("nothing").get(), &out));
  EXPECT_TRUE(parser.errors.empty());
}

TEST_F(DescParserValues, StringVectorConversion) {
  Define("c1 'z'");
  Define("Chars ('a' \"b\" c1)");
  Define("Single 'x'");
  Define("Nested ((1) 2)");
  std::vector<std::string> out;
  EXPECT_TRUE(parser.DataToStringVector(Parse("chars").get(), &out));
  EXPECT_EQ(out, (std::vector<std::string>{"a", "b", "'z'"}));  // a define's value as it was stored
  EXPECT_TRUE(parser.DataToStringVector(Parse("('a' c1 7)").get(), &out));
  EXPECT_EQ(out, (std::vector<std::string>{"a", "'z'", "7"}));
  EXPECT_FALSE(parser.DataToStringVector(Parse("nested").get(), &out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(parser.DataToStringVector(Parse("single").get(), &out));
  parser.errors.clear();
  EXPECT_FALSE(parser.DataToStringVector(Parse("unknown").get(), &out));
  EXPECT_EQ(parser.errors, (Errors{{"Unable to Dereference \"unknown\"", 0}}));
}

TEST_F(DescParserValues, NumberConversion) {
  Define("W (1 0x10 -3)");
  std::vector<int> ints;
  EXPECT_TRUE(parser.DataToIntVector(Parse("w").get(), &ints));
  EXPECT_EQ(ints, (std::vector<int>{1, 16, -3}));
  EXPECT_FALSE(parser.DataToIntVector(Parse("(1 2a 3)").get(), &ints));
  std::vector<double> doubles;
  EXPECT_TRUE(parser.DataToDoubleVector(Parse("(1 0.5 -2.25 3.)").get(), &doubles));
  EXPECT_EQ(doubles, (std::vector<double>{1.0, 0.5, -2.25, 3.0}));
  EXPECT_FALSE(parser.DataToDoubleVector(Parse("(.5)").get(), &doubles));  // a name, not a literal
  EXPECT_FALSE(parser.DataToDoubleVector(Parse("(1e5)").get(), &doubles));
}

TEST_F(DescParserValues, DuplicatesAreDeepAndIndependent) {
  auto original = Parse("(a (b c))");
  auto copy = original->Duplicate();
  static_cast<ListDataElement&>(*original).mElements.clear();
  EXPECT_EQ(DescParser::DataElementToText(copy.get()), "(a, (b, c))");

  ListDataElement list = static_cast<const ListDataElement&>(*copy);
  list = static_cast<const ListDataElement&>(*list.mElements[1]);  // one of its own sub-lists
  EXPECT_EQ(DescParser::DataElementToText(&list), "(b, c)");
}

TEST_F(DescParserValues, DefinesBuiltFromDefinesStayBounded) {
  Define("B0 (1 2 3 4 5 6 7 8)");
  bool failed = false;
  for (int i = 1; i < 40 && !failed; ++i) {
    std::string prev = "B" + std::to_string(i - 1);
    failed = !parser.ParseDescriptorLine("Define B" + std::to_string(i) + " (" + prev + " " + prev + ")");
  }
  EXPECT_TRUE(failed);
  EXPECT_TRUE(parser.mError == "Value Too Large" || parser.mError == "List Nesting Too Deep") << parser.mError;

  Define("D0 x");
  failed = false;
  for (int i = 1; i < 200 && !failed; ++i)
    failed = !parser.ParseDescriptorLine("Define D" + std::to_string(i) + " (D" + std::to_string(i - 1) + ")");
  EXPECT_TRUE(failed);
  EXPECT_EQ(parser.mError, "List Nesting Too Deep");
}

}  // namespace
