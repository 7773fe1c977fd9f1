#include "framework/resource/XMLParser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace {

using Kit::XMLElement;
using Kit::XMLParser;

// Opens a parser on a file holding the text.
class XMLParserTest : public testing::Test {
 protected:
  XMLParser& Open(const std::string& text) {
    std::string path = mDir.Write("test.xml", text);
    EXPECT_TRUE(mParser.OpenFile(path));
    return mParser;
  }
  // The next element, which must be there.
  XMLElement& Next() {
    EXPECT_TRUE(mParser.NextElement(&mElement)) << mParser.GetErrorText();
    return mElement;
  }
  // Reads until the parser fails and returns its message.
  std::string ErrorOf(const std::string& text) {
    Open(text);
    while (mParser.NextElement(&mElement)) {
    }
    EXPECT_TRUE(mParser.HasFailed());
    return mParser.GetErrorText();
  }
  std::vector<std::string> Order() const {
    std::vector<std::string> names;
    for (auto entry : mElement.attributeOrder) names.push_back(entry->first);
    return names;
  }

  testsupport::TempDir mDir;
  XMLParser mParser;
  XMLElement mElement;
};

TEST_F(XMLParserTest, SelfClosingTagGivesStartThenEnd) {
  Open("<x/>");
  EXPECT_EQ(Next().type, XMLElement::TYPE_START);
  EXPECT_EQ(mElement.value, "x");
  EXPECT_TRUE(mElement.attributes.empty());
  EXPECT_EQ(Next().type, XMLElement::TYPE_END);
  EXPECT_EQ(mElement.value, "x");
  EXPECT_FALSE(mParser.NextElement(&mElement));
  EXPECT_FALSE(mParser.HasFailed());
}

TEST_F(XMLParserTest, SlashDirectlyAfterLastValueClosesTag) {
  Open("<x a=\"1\"/>");
  XMLElement& start = Next();
  EXPECT_EQ(start.type, XMLElement::TYPE_START);
  EXPECT_EQ(start.attributes.at("a"), "1");
  EXPECT_EQ(Order(), std::vector<std::string>{"a"});
  EXPECT_EQ(Next().type, XMLElement::TYPE_END);
}

TEST_F(XMLParserTest, SeparateSlashWordLeavesHiddenEntry) {
  Open("<x a=\"1\" />");
  XMLElement& start = Next();
  EXPECT_EQ(start.attributes.at("a"), "1");
  ASSERT_EQ(start.attributes.count("/"), 1u);
  EXPECT_EQ(start.attributes.at("/"), "");
  EXPECT_EQ(Order(), std::vector<std::string>{"a"});
  EXPECT_EQ(Next().type, XMLElement::TYPE_END);
  EXPECT_EQ(mElement.value, "x");
}

TEST_F(XMLParserTest, FlagDirectlyBeforeTheSlashClosesTheTag) {
  Open("<x a=\"1\" nopal/><y b=c/>");
  XMLElement& x = Next();
  EXPECT_EQ(x.attributes.at("nopal"), "");
  EXPECT_EQ(x.attributes.count("nopal/"), 0u);
  EXPECT_EQ(Order(), (std::vector<std::string>{"a", "nopal"}));
  EXPECT_EQ(Next().type, XMLElement::TYPE_END);
  EXPECT_EQ(Next().attributes.at("b"), "c");
  EXPECT_EQ(Next().type, XMLElement::TYPE_END);
}

TEST_F(XMLParserTest, QuotedTrailingSlashIsPartOfTheValue) {
  Open("<x a=\"1/\" ><y b=\"2/\"></y></x>");
  EXPECT_EQ(Next().attributes.at("a"), "1/");
  EXPECT_EQ(Next().value, "y");
  EXPECT_EQ(mElement.attributes.at("b"), "2/");
  EXPECT_EQ(Next().type, XMLElement::TYPE_END);
  EXPECT_EQ(mElement.value, "y");
  EXPECT_EQ(Next().value, "x");
  EXPECT_FALSE(mParser.NextElement(&mElement));
  EXPECT_FALSE(mParser.HasFailed());
}

TEST_F(XMLParserTest, AttributeForms) {
  Open("<img path = \"a b.png\" id=star nopal alpha=\"x=y\" id=\"twice\" empty=\"\"/>");
  XMLElement& e = Next();
  EXPECT_EQ(e.value, "img");
  EXPECT_EQ(e.attributes.at("path"), "a b.png");
  EXPECT_EQ(e.attributes.at("id"), "twice");
  EXPECT_EQ(e.attributes.at("nopal"), "");
  EXPECT_EQ(e.attributes.at("alpha"), "x=y");
  EXPECT_EQ(e.attributes.at("empty"), "");
  EXPECT_EQ(Order(), (std::vector<std::string>{"path", "id", "nopal", "alpha", "id", "empty"}));
}

TEST_F(XMLParserTest, SingleQuotesAreOrdinaryBytes) {
  Open("<x a='1'/>");
  EXPECT_EQ(Next().attributes.at("a"), "'1'");
}

TEST_F(XMLParserTest, TextCollapsesWhiteSpaceAndKeepsQuotedBrackets) {
  Open("<a>  a   b  </a><b>say \"<hi>\" now</b>");
  Next();
  XMLElement& text = Next();
  EXPECT_EQ(text.type, XMLElement::TYPE_TEXT);
  EXPECT_EQ(text.value, "a b");
  EXPECT_EQ(text.section.Text(), "a");
  Next();
  Next();
  EXPECT_EQ(Next().value, "say \"<hi>\" now");
  EXPECT_EQ(Next().type, XMLElement::TYPE_END);
}

TEST_F(XMLParserTest, InstructionSplitsTargetAndBody) {
  Open("<?xml version=\"1.0\"?><r/>");
  XMLElement& e = Next();
  EXPECT_EQ(e.type, XMLElement::TYPE_INSTRUCTION);
  EXPECT_EQ(e.value, "xml");
  EXPECT_EQ(e.body, " version=\"1.0\"");
  EXPECT_EQ(Next().value, "r");
}

TEST_F(XMLParserTest, CommentsAreSkippedUnlessAllowed) {
  Open("<!-- a <b> -- c --><r/>");
  EXPECT_EQ(Next().value, "r");
  EXPECT_EQ(mElement.type, XMLElement::TYPE_START);

  mParser.SetAllowComments(true);
  Open("<!-- note --><r/>");
  XMLElement& comment = Next();
  EXPECT_EQ(comment.type, XMLElement::TYPE_COMMENT);
  EXPECT_EQ(comment.value, "!--");
  EXPECT_EQ(comment.body, "note ");
}

TEST_F(XMLParserTest, CommentWithoutSpaceIsATag) {
  Open("<!--x/>");
  EXPECT_EQ(Next().type, XMLElement::TYPE_START);
  EXPECT_EQ(mElement.value, "!--x");
}

TEST_F(XMLParserTest, EmptyOrBlankFileEndsCleanly) {
  for (const char* text : {"", "  \n\t \r\n"}) {
    Open(text);
    EXPECT_FALSE(mParser.NextElement(&mElement));
    EXPECT_FALSE(mParser.HasFailed());
    EXPECT_EQ(mParser.GetErrorText(), "");
  }
}

TEST_F(XMLParserTest, SectionsNameTheOpenPath) {
  Open("<ResourceManifest>\n<Resources id=\"a\">\n<Image path=\"p\"/>\n</Resources>\n</ResourceManifest>");
  EXPECT_EQ(Next().section.Text(), "");
  EXPECT_EQ(Next().section.Text(), "ResourceManifest");
  EXPECT_EQ(Next().section.Text(), "ResourceManifest/Resources");
  EXPECT_EQ(Next().type, XMLElement::TYPE_END);
  EXPECT_EQ(mElement.section.Text(), "ResourceManifest/Resources/Image");
  EXPECT_EQ(mParser.GetCurrentLineNum(), 3);
  Next();
  EXPECT_EQ(mElement.section.Text(), "ResourceManifest/Resources");
}

TEST_F(XMLParserTest, SectionsKeptByTheCallerOutliveLaterElements) {
  Open("<a><bb></bb><c></c></a>");
  Next();
  Next();
  XMLElement endOfBb;
  ASSERT_TRUE(mParser.NextElement(&endOfBb));
  EXPECT_EQ(Next().value, "c");  // opening c writes where bb was
  EXPECT_EQ(endOfBb.section.Text(), "a/bb");
  EXPECT_EQ(Next().section.Text(), "a/c");
}

// Each input is about 1 MiB and once took seconds: an '&' scanned to the end of the text for its
// ';', and the whole open path copied for every element. Each must now read about as fast as plain
// text of the same size (allowing for a loaded machine).
TEST_F(XMLParserTest, HostileSizesAreReadInLinearTime) {
  constexpr std::size_t MiB = 1 << 20;
  std::string deep;
  for (std::size_t i = 0; i < MiB / 3; ++i) deep += "<a>";
  const std::string longName = "<" + std::string(MiB / 2, 'n') + ">";
  std::string siblings = longName;
  while (siblings.size() < MiB) siblings += "<b/>";
  const struct {
    std::string text;
    std::size_t elements;
  } cases[] = {{"<a>" + std::string(MiB, 'x') + "</a>", 3},
               {"<a>" + std::string(MiB, '&') + "</a>", 3},
               {deep, MiB / 3},
               {siblings, 1 + (MiB - longName.size() + 3) / 4 * 2}};
  std::chrono::steady_clock::duration plain{};
  for (const auto& c : cases) {
    Open(c.text);
    const auto start = std::chrono::steady_clock::now();
    std::size_t elements = 0;
    while (mParser.NextElement(&mElement)) ++elements;
    const auto taken = std::chrono::steady_clock::now() - start;
    if (plain == plain.zero()) plain = taken;
    EXPECT_LT(taken, 10 * plain + std::chrono::milliseconds(200));
    EXPECT_EQ(elements, c.elements);
  }
}

TEST_F(XMLParserTest, EntitiesAreDecodedInNamesTextsAndValues) {
  Open("<a t=\"&lt;&amp;&gt;&quot;&apos;&nbsp;&cr;\">x &foo; y &amp no</a>");
  EXPECT_EQ(Next().attributes.at("t"), "<&>\"' \n");
  EXPECT_EQ(Next().value, "x & y &amp no");
}

TEST_F(XMLParserTest, SyntaxErrorsNameTheLine) {
  EXPECT_EQ(ErrorOf("</a>"), "Unexpected End");
  EXPECT_EQ(ErrorOf("<a>\n</b>"), "End 'b' Doesn't Match Start 'a'");
  EXPECT_EQ(mParser.GetCurrentLineNum(), 2);
  EXPECT_EQ(ErrorOf("<a <b>"), "Unexpected '<'");
  EXPECT_EQ(ErrorOf("a > b"), "Unexpected '>'");
  EXPECT_EQ(ErrorOf("<a>text"), "Unexpected End of File");
  EXPECT_EQ(ErrorOf("<a b=\"1"), "Unexpected End of File");
  EXPECT_EQ(ErrorOf("<!-- open"), "Unexpected End of File");
  EXPECT_EQ(ErrorOf("\n\n<a\x01>"), "Illegal Character");
  EXPECT_EQ(mParser.GetCurrentLineNum(), 3);
}

TEST_F(XMLParserTest, HighBytesAreOrdinary) {
  Open("<a>\xC3\xA9t\xC3\xA9</a>");
  Next();
  EXPECT_EQ(Next().value, "\xC3\xA9t\xC3\xA9");
}

TEST_F(XMLParserTest, MissingFileFailsWithItsName) {
  EXPECT_FALSE(mParser.OpenFile(mDir / "none.xml"));
  EXPECT_EQ(mParser.GetErrorText(), "Unable to open file " + (mDir / "none.xml"));
  EXPECT_EQ(mParser.GetCurrentLineNum(), 0);
  EXPECT_FALSE(mParser.NextElement(&mElement));
}

TEST_F(XMLParserTest, AddAttributeReportsNewNames) {
  XMLElement e;
  EXPECT_TRUE(mParser.AddAttribute(&e, "a", "1"));
  EXPECT_FALSE(mParser.AddAttribute(&e, "a", "2"));
  EXPECT_TRUE(mParser.AddAttribute(&e, "/", ""));
  EXPECT_EQ(e.attributes.at("a"), "2");
  EXPECT_EQ(e.attributeOrder.size(), 2u);
}

}  // namespace
