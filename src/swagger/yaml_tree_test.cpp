#include "swagger/yaml_tree.h"

#include <gtest/gtest.h>

#include <string>

#include "json_dump.h"
#include "platform/exceptions.h"

namespace tolvane {
namespace {

using testing::Dump;

// The tree of AText in the compact form of Dump, or the failure's message.
std::string Read(const std::string& AText) {
  try {
    return Dump(ParseYaml(AText).Root());
  } catch (const EYAMLException& failure) {
    return failure.Message();
  }
}

struct Case {
  std::string yaml;
  std::string tree;
};

void Check(std::initializer_list<Case> ACases) {
  for (const Case& c : ACases) EXPECT_EQ(Read(c.yaml), c.tree) << c.yaml;
}

TEST(YamlTreeTest, PlainScalarsFollowTheCoreSchema) {
  Check({
      {"[~, null, Null, NULL, \"\", '', nul]", R"([null,null,null,null,"","","nul"])"},
      {"a:\nb: ~", "{a:null,b:null}"},
      {"[true, True, TRUE, false, FALSE, yes, no, on, tRue]",
       R"([true,true,true,false,false,"yes","no","on","tRue"])"},
      {"[0, -12, +4, 012, 0o17, 0x1F, 1_000, 0o8, 0xG]",
       R"([0,-12,+4,012,0o17,0x1F,"1_000","0o8","0xG"])"},
      {"[1.10, .5, 1., -2.5e3, 1E+999, .inf, -.Inf, .NaN, 1.2.3, ., 1e, e5]",
       R"([1.10,.5,1.,-2.5e3,1E+999,.inf,-.Inf,.NaN,"1.2.3",".","1e","e5"])"},
      {"[2001-12-14, 12:30, x y, \"12\", '1.5', \"true\"]",
       R"(["2001-12-14","12:30","x y","12","1.5","true"])"},
      {"a: |\n  x\n  12\nb: >\n  x\n  y\nc: |-\n  1\nd: \"\\t\\u00e4\\0\"",
       "{a:\"x\n12\n\",b:\"x y\n\",c:\"1\",d:\"\t\xC3\xA4" + std::string(1, '\0') + "\"}"},
  });
}

TEST(YamlTreeTest, KeysAreTheirScalarsTextInOrder) {
  Check({
      {"200: a\ntrue: b\n~: c\n1.5: d\n'q': e\n'': f", R"({200:"a",true:"b",~:"c",1.5:"d",q:"e",:"f"})"},
      {"b: 1\na: 2\nb: 3", "{b:1,a:2,b:3}"},
      {"? x\n: 1\n? |\n  y\n: 2", "{x:1,y\n:2}"},
  });
}

TEST(YamlTreeTest, TagsAreHonoured) {
  Check({
      {"[!!str 12, !!str true, !!str ~, !!int \"7\", !!int 0x1F, !!float \"1\", !!float 2.5]",
       R"(["12","true","~",7,0x1F,1,2.5])"},
      {"[!!bool \"false\", !!null \"\", !!null ~, ! 12, !custom 12, !!binary aGk=, !!seq [1]]",
       R"([false,null,null,"12",12,"aGk=",[1]])"},
      {"a: !!int 1.5", "The scalar '1.5' is not a valid !!int (line 1, column 4)"},
      {"a: !!bool yes", "The scalar 'yes' is not a valid !!bool (line 1, column 4)"},
      {"a: !!null 0", "The scalar '0' is not a valid !!null (line 1, column 4)"},
      {"a: !!float x", "The scalar 'x' is not a valid !!float (line 1, column 4)"},
  });
}

TEST(YamlTreeTest, AliasesAreExpanded) {
  Check({
      {"a: &x {k: [1, &y two]}\nb: *x\nc: *y\nd: [*x, *x]",
       R"({a:{k:[1,"two"]},b:{k:[1,"two"]},c:"two",d:[{k:[1,"two"]},{k:[1,"two"]}]})"},
      {"a: &x 1\nb: &x [2]\nc: *x", "{a:1,b:[2],c:[2]}"},
      {"&k name: 1\n*k : 2\nv: *k", R"({name:1,name:2,v:"name"})"},
      {"a: &n 12\nb: &s '12'\nc: [*n, *s]", R"({a:12,b:"12",c:[12,"12"]})"},
      {"a: &n ~\nb: &t true\n*n : *t\n*t : *n", "{a:null,b:true,~:true,true:null}"},
      // The name given again inside the node it named first.
      {"a: &x [&x 1, 2]\nb: *x", "{a:[1,2],b:1}"},
  });
}

TEST(YamlTreeTest, MergeKeysAddTheMembersNotGiven) {
  Check({
      {"b: &b {x: 1, y: 2}\nm:\n  <<: *b\n  y: 3\n  z: 4", "{b:{x:1,y:2},m:{y:3,z:4,x:1}}"},
      {"a: &a {p: 1, q: 1}\nb: &b {q: 2, r: 2}\nm: {<<: [*a, *b]}", "{a:{p:1,q:1},b:{q:2,r:2},m:{p:1,q:1,r:2}}"},
      {"m: {<<: {x: 1}, y: 2}", "{m:{y:2,x:1}}"},
      {"m: {<<: [{x: 1}, {x: 2, y: 2}]}", "{m:{x:1,y:2}}"},
      {"m: {<<: &i {x: &j [1]}}\nn: *i\no: *j", "{m:{x:[1]},n:{x:[1]},o:[1]}"},
      {"a: &a {x: 1}\nb: &b {<<: *a, y: 2}\nc: {<<: *b}", "{a:{x:1},b:{y:2,x:1},c:{y:2,x:1}}"},
      {"a: &a {x: 1}\nm: {<<: *a, <<: {y: 2}}", "{a:{x:1},m:{x:1,y:2}}"},
      {"{\"<<\": 1, !!str << : 2}", "{<<:1,<<:2}"},
      {"m: {<<: 1}", "The value of a merge key must be a mapping or a sequence of mappings (line 1, column 9)"},
      {"a: &a [1]\nm: {<<: *a}",
       "The value of a merge key must be a mapping or a sequence of mappings (line 2, column 9)"},
      {"m: {<<: [{x: 1}, 2]}",
       "The value of a merge key must be a mapping or a sequence of mappings (line 1, column 18)"},
      {"m: {<<: [[{x: 1}]]}",
       "The value of a merge key must be a mapping or a sequence of mappings (line 1, column 10)"},
  });
}

TEST(YamlTreeTest, TheEncodingFollowsTheByteOrderMark) {
  using namespace std::string_literals;
  Check({
      {"a: \xC3\xA4", "{a:\"\xC3\xA4\"}"},
      {"\xEF\xBB\xBF" "a: \xC3\xA4", "{a:\"\xC3\xA4\"}"},
      {"\xFF\xFE" "a\0:\0 \0\xE4\0"s, "{a:\"\xC3\xA4\"}"},
      {"\xFE\xFF" "\0a\0:\0 \0\xE4\0\n"s, "{a:\"\xC3\xA4\"}"},
      {"a: \xFF", "invalid leading UTF-8 octet (line 1, column 4)"},
      {"a: b\nc: \xC3\xA4\x01", "control characters are not allowed (line 2, column 5)"},
  });
}

TEST(YamlTreeTest, FailuresNameTheirPlace) {
  Check({
      {"a: b: c", "mapping values are not allowed in this context (line 1, column 5)"},
      {"a: [1, 2", "did not find expected ',' or ']' while parsing a flow sequence (line 2, column 1)"},
      {"a: 1\n---\nb: 2", "The stream holds more than one document (line 2, column 1)"},
      {"", "The stream holds no document (line 1, column 1)"},
      {"# nothing\n", "The stream holds no document (line 2, column 1)"},
      {"a: *x", "The alias *x names no anchor (line 1, column 4)"},
      {"&a [*a]", "The alias *a stands inside the node it names (line 1, column 5)"},
      {"? [1]\n: 2", "A mapping key must be a scalar (line 1, column 3)"},
      {"x: &s [1]\n*s : 2", "A mapping key must be a scalar (line 2, column 1)"},
  });
}

TEST(YamlTreeTest, NestingIsLimitedTo512Levels) {
  const auto nested = [](int ADepth, const std::string& AInner) {
    return std::string(ADepth, '[') + AInner + std::string(ADepth, ']');
  };
  const std::string limit = "Nesting deeper than 512 levels";
  EXPECT_EQ(Read(nested(512, "")).size(), 1024u);
  EXPECT_EQ(Read(nested(513, "")), limit + " (line 1, column 513)");
  EXPECT_EQ(Read(std::string(100000, '[')), limit + " (line 1, column 513)");
  std::string block;
  for (int i = 0; i < 600; ++i) block += std::string(i, ' ') + "k:\n";
  EXPECT_EQ(Read(block), limit + " (line 513, column 513)");
  // An alias counts with the levels of the node it names.
  const std::string deep = "x: &a " + nested(300, "") + "\ny: ";
  EXPECT_EQ(Read(deep + nested(211, "*a")).substr(0, 5), "{x:[[");
  EXPECT_EQ(Read(deep + nested(212, "*a")), limit + " (line 2, column 216)");
  EXPECT_EQ(Read("b: &b {x: " + nested(510, "") + "}\nm: {<<: *b}").substr(0, 5), "{b:{x");
}

TEST(YamlTreeTest, AliasExpansionIsBoundedByTheDocumentsSize) {
  // Ten levels of nine aliases each: 9^10 nodes unbounded.
  std::string bomb = "a0: &a0 [lol, lol, lol, lol, lol, lol, lol, lol, lol]\n";
  for (int i = 1; i < 10; ++i) {
    bomb += "a" + std::to_string(i) + ": &a" + std::to_string(i) + " [";
    for (int j = 0; j < 9; ++j) bomb += (j > 0 ? ", *a" : "*a") + std::to_string(i - 1);
    bomb += "]\n";
  }
  EXPECT_EQ(Read(bomb), "Aliases expand to more than " + std::to_string(bomb.size() + 65536) +
                            " nodes (line 5, column 45)");
  // Merging the same large mapping into many mappings counts as well, even
  // when the mappings give every key themselves.
  std::string keys = "{";
  for (int i = 0; i < 2000; ++i) keys += (i > 0 ? ", k" : "k") + std::to_string(i) + ": 1";
  keys += "}";
  std::string merges = "base: &b " + keys + "\nm:\n";
  for (int i = 0; i < 200; ++i) merges += "  - {<<: *b, k0: 2}\n";
  EXPECT_EQ(Read(merges).substr(0, 28), "Aliases expand to more than ");
  // Documents that use aliases within the bound read.
  EXPECT_EQ(Read("a: &a [1, 2]\nb: [*a, *a, *a]"), "{a:[1,2],b:[[1,2],[1,2],[1,2]]}");
}

TEST(YamlTreeTest, YamlFileNames) {
  for (const char* name : {"a.yaml", "a.yml", "dir.x/A.YAML", "b.Yml", ".yaml"}) {
    EXPECT_TRUE(IsYamlFileName(name)) << name;
  }
  for (const char* name : {"a.json", "a.yaml.json", "ayaml", "a.yam", "a.yaml/", ""}) {
    EXPECT_FALSE(IsYamlFileName(name)) << name;
  }
}

}  // namespace
}  // namespace tolvane
