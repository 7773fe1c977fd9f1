#include "framework/resource/XMLParser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>

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
  testsupport::TempDir mDir;
  XMLParser mParser;
  XMLElement mElement;
};

// The elements of a text, one word each: <name attr=value ...> for a start ([/] for the hidden entry
// a separate slash leaves), </name> for an end, 'text', ?target'body'; then "." at a clean end, or
// "!line error" where the parser failed; comments, where allowed, as #value'body'.
std::string Events(const std::string& text, bool allowComments) {
  testsupport::TempDir dir;
  XMLParser parser;
  parser.SetAllowComments(allowComments);
  EXPECT_TRUE(parser.OpenFile(dir.Write("test.xml", text)));
  XMLElement e;
  std::string out;
  while (parser.NextElement(&e)) {
    if (e.mType == XMLElement::TYPE_START) {
      out += "<" + e.mValue;
      for (auto entry : e.mAttributeOrder) out += " " + entry->first + "=" + e.mAttributes.at(entry->first);
      if (e.mAttributes.count("/")) out += " [/]";
      out += "> ";
    } else if (e.mType == XMLElement::TYPE_END) {
      out += "</" + e.mValue + "> ";
    } else if (e.mType == XMLElement::TYPE_TEXT) {
      out += "'" + e.mValue + "' ";
    } else {
      out += (e.mType == XMLElement::TYPE_COMMENT ? "#" : "?") + e.mValue + "'" + e.mBody + "' ";
    }
  }
  if (!parser.HasFailed()) return out + ".";
  return out + "!" + std::to_string(parser.GetCurrentLineNum()) + " " + parser.GetErrorText();
}

TEST(XMLParserElements, FollowTheText) {
  const struct {
    const char* text;
    const char* events;
    bool comments = false;
  } cases[] = {
      {"<x/>", "<x> </x> ."},
      {"<x a=\"1\"/>", "<x a=1> </x> ."},
      {"<x a=\"1\" />", "<x a=1 [/]> </x> ."},
      {"<x a=\"1\" nopal/><y b=c/>", "<x a=1 nopal=> </x> <y b=c> </y> ."},
      {"<x a=\"1/\" ><y b=\"2/\"></y></x>", "<x a=1/> <y b=2/> </y> </x> ."},
      {"<img path = \"a b.png\" id=star nopal alpha=\"x=y\" id=\"twice\" empty=\"\"/>",
       "<img path=a b.png id=twice nopal= alpha=x=y id=twice empty=> </img> ."},
      {"<x a='1'/>", "<x a='1'> </x> ."},  // single quotes are ordinary bytes
      {"<a>  a   b  </a><b>say \"<hi>\" now</b>", "<a> 'a b' </a> <b> 'say \"<hi>\" now' </b> ."},
      {"<?xml version=\"1.0\"?><r/>", "?xml' version=\"1.0\"' <r> </r> ."},
      {"<!-- a <b> -- c --><r/>", "<r> </r> ."},
      {"<!-- note --><r/>", "#!--'note ' <r> </r> .", true},
      {"<!--x/>", "<!--x> </!--x> ."},
      {"", "."},
      {"  \n\t \r\n", "."},
      {"<a t=\"&lt;&amp;&gt;&quot;&apos;&nbsp;&cr;\">x &foo; y &amp no</a>", "<a t=<&>\"' \n> 'x & y &amp no' </a> ."},
      {"<a>\xC3\xA9t\xC3\xA9</a>", "<a> '\xC3\xA9t\xC3\xA9' </a> ."},
      {"</a>", "!1 Unexpected End"},
      {"<a>\n</b>", "<a> !2 End 'b' Doesn't Match Start 'a'"},
      {"<a <b>", "!1 Unexpected '<'"},
      {"a > b", "!1 Unexpected '>'"},
      {"<a>text", "<a> !1 Unexpected End of File"},
      {"<a b=\"1", "!1 Unexpected End of File"},
      {"<!-- open", "!1 Unexpected End of File"},
      {"\n\n<a\x01>", "!3 Illegal Character"},
  };
  for (const auto& c : cases) EXPECT_EQ(Events(c.text, c.comments), c.events) << c.text;
}

TEST_F(XMLParserTest, SectionsNameTheOpenPath) {
  Open("<ResourceManifest>\n<Resources id=\"a\">\n<Image path=\"p\"/>\n</Resources>\n</ResourceManifest>");
  EXPECT_EQ(Next().mSection.Text(), "");
  EXPECT_EQ(Next().mSection.Text(), "ResourceManifest");
  EXPECT_EQ(Next().mSection.Text(), "ResourceManifest/Resources");
  EXPECT_EQ(Next().mType, XMLElement::TYPE_END);
  EXPECT_EQ(mElement.mSection.Text(), "ResourceManifest/Resources/Image");
  EXPECT_EQ(mParser.GetCurrentLineNum(), 3);
  Next();
  EXPECT_EQ(mElement.mSection.Text(), "ResourceManifest/Resources");
}

TEST_F(XMLParserTest, SectionsKeptByTheCallerOutliveLaterElements) {
  Open("<a><bb></bb><c></c></a>");
  Next();
  Next();
  XMLElement endOfBb;
  ASSERT_TRUE(mParser.NextElement(&endOfBb));
  EXPECT_EQ(Next().mValue, "c");  // opening c writes where bb was
  EXPECT_EQ(endOfBb.mSection.Text(), "a/bb");
  EXPECT_EQ(Next().mSection.Text(), "a/c");
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
  // This thread's processor time, so that a busy machine does not count.
  auto now = [] {
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
  };
  std::chrono::nanoseconds plain{};
  for (const auto& c : cases) {
    Open(c.text);
    const auto start = now();
    std::size_t elements = 0;
    while (mParser.NextElement(&mElement)) ++elements;
    const auto taken = now() - start;
    if (plain == plain.zero()) plain = taken;
    EXPECT_LT(taken, 10 * plain + std::chrono::milliseconds(200));
    EXPECT_EQ(elements, c.elements);
  }
}

TEST_F(XMLParserTest, MissingFileFailsWithItsName) {
  EXPECT_FALSE(mParser.OpenFile(mDir / "none.xml"));
  EXPECT_EQ(mParser.GetErrorText(), "Unable to open file " + (mDir / "none.xml"));
  EXPECT_EQ(mParser.GetCurrentLineNum(), 0);
  EXPECT_FALSE(mParser.NextElement(&mElement));
}

}  // namespace
