#include "swagger/json_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "json_dump.h"
#include "platform/exceptions.h"

namespace tolvane {
namespace {

using testing::Dump;

// The text in a buffer with room after it, as the file reader leaves it:
// the parser then scans it sixteen bytes at a time and checks its UTF-8
// before, not while it parses. A copy of a text has no such room.
std::string WithRoom(const std::string& AText) {
  std::string text;
  text.reserve(AText.size() + 64);
  text = AText;
  return text;
}

// The failure of parsing AText. Parsing the text alone, with a reload, and
// with room after it must agree.
std::string ParseError(const std::string& AText) {
  std::string alone = "<parsed>";
  std::string reloaded = "<parsed>";
  std::string roomy = "<parsed>";
  try {
    JsonTree::Parse(AText);
  } catch (const EJSONException& failure) {
    alone = failure.Message();
  }
  try {
    JsonTree::Parse(AText, [&] { return AText; });
  } catch (const EJSONException& failure) {
    reloaded = failure.Message();
  }
  try {
    JsonTree::Parse(WithRoom(AText));
  } catch (const EJSONException& failure) {
    roomy = failure.Message();
  }
  EXPECT_EQ(alone, reloaded) << AText;
  EXPECT_EQ(alone, roomy) << AText;
  return alone;
}

TEST(JsonTreeTest, KeepsOrderDuplicateKeysKindsAndNumberTexts) {
  const struct {
    std::string text;
    std::string dump;
  } cases[] = {
      {R"({"b": 1, "a": 2, "b": 3})", "{b:1,a:2,b:3}"},
      {R"([1.50, -0, 1e5, 2.0, 12345678901234567890123])",
       "[1.50,-0,1e5,2.0,12345678901234567890123]"},
      {R"({"n": null, "t": true, "f": false, "s": "x", "o": {}, "a": []})",
       "{n:null,t:true,f:false,s:\"x\",o:{},a:[]}"},
      {R"(  "top"  )", "\"top\""},
      {R"({"esc": "a\"b\\c\/d\n\u00e4\ud83d\ude00"})", "{esc:\"a\"b\\c/d\n\xC3\xA4\xF0\x9F\x98\x80\"}"},
      {R"([[[]], {"k": [{}]}, "after"])", "[[[]],{k:[{}]},\"after\"]"},
      // Strings and white space across sixteen-byte blocks, escapes and
      // multi-byte characters on either side of a block's end.
      {"{\"0123456789abcdefghij\":\n\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t  \"0123456789abcde\\n0123456789\xC3\xA4\\u00e4x\"}",
       "{0123456789abcdefghij:\"0123456789abcde\n0123456789\xC3\xA4\xC3\xA4x\"}"},
      {"[\"\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xF0\x9F\x98\x80\"]",
       "[\"\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xF0\x9F\x98\x80\"]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Dump(JsonTree::Parse(c.text).Root()), c.dump) << c.text;
    EXPECT_EQ(Dump(JsonTree::Parse(WithRoom(c.text)).Root()), c.dump) << c.text;
  }
}

TEST(JsonTreeTest, NumbersOfAnySizeKeepTheirText) {
  const std::string digits400(400, '7');
  const struct {
    std::string text;
    std::string dump;
  } cases[] = {
      {"[1e400, -1e400, 1E+999, 123e99999, -0.0, 1e-99999]",
       "[1e400,-1e400,1E+999,123e99999,-0.0,1e-99999]"},
      {"[" + digits400 + ", -" + digits400 + ".5]", "[" + digits400 + ",-" + digits400 + ".5]"},
      // Strings that look like numbers stay as they are, around masked numbers.
      {R"({"1e400": "1e400", "n": 1e400, "s": "\"1e400\\", "x": [2e999]})",
       R"({1e400:"1e400",n:1e400,s:""1e400\",x:[2e999]})"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Dump(JsonTree::Parse(c.text).Root()), c.dump) << c.text;
    EXPECT_EQ(Dump(JsonTree::Parse(c.text, [&] { return c.text; }).Root()), c.dump) << c.text;
  }
}

TEST(JsonTreeTest, StringsMayHoldNulCharacters) {
  const JsonTree tree = JsonTree::Parse(R"({"a\u0000b": "x\u0000y\u0000"})");
  const JsonMember member = *tree.Root().FirstMember();
  EXPECT_EQ(member.key, std::string_view("a\0b", 3));
  EXPECT_EQ(member.value().Text(), std::string_view("x\0y\0", 4));
}

TEST(JsonTreeTest, LookUpsTakeTheFirstMemberAndSkipNestedValues) {
  const JsonTree tree =
      JsonTree::Parse(R"({"x": {"k": 1, "deep": [1, {"k": 2}]}, "k": "first", "k": "second"})");
  const JsonValue root = tree.Root();
  EXPECT_EQ(root.Count(), 3u);
  EXPECT_EQ(root.FindMember("k")->Text(), "first");
  EXPECT_FALSE(root.FindMember("K").has_value());  // exact keys
  EXPECT_EQ(root.FirstMember()->key, "x");
  EXPECT_EQ(root.FindMember("x")->FindMember("k")->Text(), "1");
  EXPECT_FALSE(tree.Root().FirstElement().has_value());
  EXPECT_FALSE(JsonTree::Parse("{}").Root().FirstMember().has_value());
  EXPECT_FALSE(JsonTree::Parse("[]").Root().FirstElement().has_value());
  EXPECT_EQ(JsonTree::Parse("[7, 8]").Root().FirstElement()->Text(), "7");
}

// Every member of the name counts, however deep, and only with a string
// value; a key written with escapes counts as it decodes.
TEST(JsonTreeTest, AnyStringMemberSeesEveryMemberOfTheName) {
  const auto any_other = [](const char* AText) {
    return JsonTree::Parse(AText).AnyStringMember(
        "$ref", [](std::string_view AValue) { return AValue != "#/a"; });
  };
  EXPECT_TRUE(any_other(R"({"a": [1, {"b": {"$ref": "x.json"}}]})"));
  EXPECT_TRUE(any_other(R"({"$re\u0066": "y"})"));
  EXPECT_TRUE(any_other(R"({"$ref": "#/a", "b": {"$ref": ""}})"));
  EXPECT_FALSE(any_other(R"({"$ref": "#/a", "b": {"$ref": {"$ref": "#/a"}}})"));
  EXPECT_FALSE(any_other(R"({"$ref": 1, "$refs": "x", "b": ["$ref", "x"]})"));
  EXPECT_FALSE(any_other(R"(["$ref"])"));
}

TEST(JsonTreeTest, InvalidDocumentsNameTheFailureAndItsPlace) {
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {"", "The document is empty (line 1, column 1)"},
      {" \n ", "The document is empty (line 2, column 2)"},
      {R"({"a":1,})", "Missing a name for object member (line 1, column 8)"},
      {R"({"a" 1})", "Missing a colon after a name of object member (line 1, column 6)"},
      {"[1 2]", "Missing a comma or ']' after an array element (line 1, column 4)"},
      {"{} x", "The document root must not be followed by other values (line 1, column 4)"},
      {"{\n  \"a\": [\n    1,\n    x\n  ]\n}", "Invalid value (line 4, column 5)"},
      {"[1.]", "Miss fraction part in number (line 1, column 4)"},
      {"[01]", "Missing a comma or ']' after an array element (line 1, column 3)"},
      {R"("a\x")", "Invalid escape character in string (line 1, column 3)"},
      {R"("\u12G4")", "Incorrect hex digit after \\u escape in string (line 1, column 2)"},
      {"\"a\nb\"", "Invalid escape character in string (line 1, column 3)"},
      {"\"\xFF\"", "Invalid encoding in string (line 1, column 2)"},
      {"\"\xED\xA0\x80\"", "Invalid encoding in string (line 1, column 2)"},
      // Texts that end inside a multi-byte sequence are not read past their
      // end (long enough to live on the heap, where a sanitizer sees it).
      {"\"longer than a short string\xF4", "Invalid encoding in string (line 1, column 28)"},
      {"{\"longer than a short string\xF4\xDF", "Invalid encoding in string (line 1, column 29)"},
      {"[\"longer than a short string\xE2\x82", "Invalid encoding in string (line 1, column 29)"},
      // Past the first sixteen bytes of a string, after valid multi-byte
      // characters, and outside strings.
      {"[\"0123456789\xC3\xA4" "abcdefghij\xC0\x80\"]", "Invalid encoding in string (line 1, column 24)"},
      {"[\"0123456789abcdefghij\tx\"]", "Invalid escape character in string (line 1, column 23)"},
      {"[\"0123456789abcdefghij\\qx\"]", "Invalid escape character in string (line 1, column 23)"},
      {"[\"0123456789abcdefghij\xC3\xA4\", \xFF]", "Invalid value (line 1, column 27)"},
      // Unpaired surrogates in escapes: high without low, low alone.
      {R"(["\ud800"])", "The surrogate pair in string is invalid (line 1, column 3)"},
      {R"(["\ud800\u0041"])", "The surrogate pair in string is invalid (line 1, column 3)"},
      {R"(["\udc00"])", "The surrogate pair in string is invalid (line 1, column 3)"},
      {"{\"k\":\n  \"ok\\n\\n\\uDFFF\"}", "The surrogate pair in string is invalid (line 2, column 10)"},
      // Columns count characters, also after strings decoded in place.
      {"[\"\xC3\xA4\xC3\xA4\", x]", "Invalid value (line 1, column 8)"},
      {R"(["\n\n", x])", "Invalid value (line 1, column 10)"},
      {R"(["\u00e4\ud83d\ude00", x])", "Invalid value (line 1, column 24)"},
      // Numbers beyond the range of a double do not hide a later fault, nor
      // change its place.
      {"[1e999, 01]", "Missing a comma or ']' after an array element (line 1, column 10)"},
      {"[1e999 \"x\\\"1e999\", 1e]", "Missing a comma or ']' after an array element (line 1, column 8)"},
      {"[\"1e999\", -1e999, 1.e400]", "Miss fraction part in number (line 1, column 21)"},
      {"[01e400]", "Missing a comma or ']' after an array element (line 1, column 3)"},
      {"{\"a\": 1e400,}", "Missing a name for object member (line 1, column 13)"},
      {"[1E+999, 1e400x]", "Missing a comma or ']' after an array element (line 1, column 15)"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseError(c.text), c.message) << c.text;
}

// The sixteen-byte string scan lets 0x1A to 0x1F through; the parse must
// refuse them anyway, before a block's end, inside one and after it.
TEST(JsonTreeTest, EveryControlCharacterInAStringFails) {
  for (int control = 1; control < 0x20; ++control) {
    for (const size_t pos : {2u, 20u, 40u}) {
      std::string text = "[\"" + std::string(48, 'a') + "\"]";
      text[pos] = static_cast<char>(control);
      EXPECT_EQ(ParseError(text),
                "Invalid escape character in string (line 1, column " + std::to_string(pos + 1) + ")")
          << control << " " << pos;
    }
  }
}

TEST(JsonTreeTest, TruncatedDocumentsFail) {
  const std::string document = R"({"swagger": "2.0", "paths": {"/a": {"get": [1, 2.5, true]}}})";
  for (size_t length = 0; length < document.size(); ++length) {
    EXPECT_THROW(JsonTree::Parse(document.substr(0, length)), EJSONException) << length;
  }
  EXPECT_NO_THROW(JsonTree::Parse(document));
}

TEST(JsonTreeTest, NulBytesInTheTextFail) {
  using namespace std::string_literals;
  EXPECT_EQ(ParseError("{}\0"s), "The document root must not be followed by other values (line 1, column 3)");
  EXPECT_EQ(ParseError("{}\0{}"s),
            "The document root must not be followed by other values (line 1, column 3)");
  EXPECT_EQ(ParseError("[\"a\0b\"]"s), "Missing a closing quotation mark in string (line 1, column 4)");
  EXPECT_EQ(ParseError("{\"a\":\0}"s), "Invalid value (line 1, column 6)");
}

TEST(JsonTreeTest, NestingIsLimitedTo512Levels) {
  const auto nested = [](int ADepth, const char* AOpen, const char* AClose) {
    std::string text;
    for (int i = 0; i < ADepth; ++i) text += AOpen;
    for (int i = 0; i < ADepth; ++i) text += AClose;
    return text;
  };
  EXPECT_NO_THROW(JsonTree::Parse(nested(512, "[", "]")));
  std::string objects = "[";
  for (int i = 0; i < 511; ++i) objects += "{\"a\":";
  objects += "1" + std::string(511, '}') + "]";
  EXPECT_NO_THROW(JsonTree::Parse(objects));
  EXPECT_EQ(ParseError(nested(513, "[", "]")), "Nesting deeper than 512 levels (line 1, column 513)");
  EXPECT_EQ(ParseError(nested(513, "{\"k\":", "}")),
            "Nesting deeper than 512 levels (line 1, column 2561)");
  // Deep enough to overflow a recursive parser's stack; only the opening brackets.
  EXPECT_EQ(ParseError(std::string(100000, '[')),
            "Nesting deeper than 512 levels (line 1, column 513)");
}

}  // namespace
}  // namespace tolvane
