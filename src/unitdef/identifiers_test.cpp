#include "unitdef/identifiers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unitdef/object_definition.h"

namespace tolvane {
namespace {

TEST(ReservedWordsTest, TableHasTheWordsOnceAndInLowerCase) {
  EXPECT_EQ(ReservedWords.front(), "and");
  EXPECT_EQ(ReservedWords[64], "xor");
  EXPECT_EQ(ReservedWords[65], "absolute");
  EXPECT_EQ(ReservedWords.back(), "writeonly");
  for (size_t i = 0; i < ReservedWords.size(); ++i) {
    for (size_t j = i + 1; j < ReservedWords.size(); ++j) {
      EXPECT_NE(ReservedWords[i], ReservedWords[j]);
    }
    for (const char c : ReservedWords[i]) EXPECT_TRUE(c >= 'a' && c <= 'z') << ReservedWords[i];
  }
}

TEST(UpperCaseFoldTest, FoldsAsciiAndLatin1LettersOnly) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"pet", "PET"},
      {"Pet-Store 2", "PET-STORE 2"},
      {"\xC3\xA0\xC3\xA9\xC3\xBE", "\xC3\x80\xC3\x89\xC3\x9E"},  // à é þ -> À É Þ
      {"\xC3\xB7", "\xC3\xB7"},                                  // ÷ stays
      {"\xC3\xBF", "\xC3\xBF"},                                  // ÿ stays
      {"\xC3\x9F", "\xC3\x9F"},                                  // ß stays
      {"\xC5\x93", "\xC5\x93"},                                  // œ stays
      {"\xD0\xB0", "\xD0\xB0"},                                  // Cyrillic а stays
      {"\xE2\x82\xAC\xA0", "\xE2\x82\xAC\xA0"},                  // A0 after no C3 stays
      {"", ""},
      // Longer than a word: every ASCII byte around the letters, and
      // Latin-1 letters inside the second word and after it.
      {"@AZ[`az{ ~_-09\x7Fzz", "@AZ[`AZ{ ~_-09\x7FZZ"},
      {"io.k8s.api.core.v1.podSpec", "IO.K8S.API.CORE.V1.PODSPEC"},
      {"abcdefgh\xC3\xA4pfelstrudel\xC3\xA9", "ABCDEFGH\xC3\x84PFELSTRUDEL\xC3\x89"},
      {"abcdefg\xC3\xA4pfel", "ABCDEFG\xC3\x84PFEL"},
  };
  for (const auto& c : cases) EXPECT_EQ(UpperCaseFold(c.text), c.expected) << c.text;
  for (int byte = 0; byte < 0x80; ++byte) {
    const char folded = byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 0x20) : static_cast<char>(byte);
    EXPECT_EQ(UpperCaseFold(std::string(17, static_cast<char>(byte))), std::string(17, folded)) << byte;
  }
}

TEST(UpperCaseFoldTest, ComparisonsIgnoreCaseTheSameWay) {
  EXPECT_TRUE(SameTextFold("Pet", "PET"));
  EXPECT_TRUE(SameTextFold("\xC3\xA4pfel", "\xC3\x84PFEL"));  // äpfel, ÄPFEL
  EXPECT_FALSE(SameTextFold("Pet", "Pets"));
  EXPECT_FALSE(SameTextFold("\xC3\xBF", "\xC5\xB8"));  // ÿ does not fold to Ÿ
  EXPECT_TRUE(StartsWithFold("tarray<x>", "TArray<"));
  EXPECT_FALSE(StartsWithFold("TArr", "TArray<"));
}

TEST(IsReservedWordTest, IgnoresCase) {
  const struct {
    const char* text;
    bool expected;
  } cases[] = {
      {"type", true},   {"TYPE", true},  {"Class", true}, {"resourcestring", true},
      {"writeonly", true}, {"in", true}, {"types", false}, {"i", false},
      {"CaSe", true},     {"c@se", false}, {"cas\xC5", false},
      {"", false},      {"&type", false}, {"Pet", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsReservedWord(c.text), c.expected) << c.text;
}

// The look-up groups the words by length and first letter: every word of the
// table, in every spelling of its case, is found, and texts one letter off,
// one letter shorter or longer, or with a folding non-ASCII letter are not.
TEST(IsReservedWordTest, AgreesWithAScanOfTheTable) {
  const auto scan = [](std::string_view AText) {
    for (const std::string_view word : ReservedWords) {
      if (SameTextFold(AText, word)) return true;
    }
    return false;
  };
  for (const std::string_view word : ReservedWords) {
    const std::string lower(word);
    std::string upper = lower;
    for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
    std::string mixed = lower;
    mixed[0] = upper[0];
    for (const std::string& text : {lower, upper, mixed}) EXPECT_TRUE(IsReservedWord(text)) << text;
    std::vector<std::string> near = {lower + "s", lower.substr(1), lower.substr(0, lower.size() - 1),
                                     "_" + lower.substr(1), "\xC3\xA4" + lower.substr(1),
                                     lower.substr(0, lower.size() - 1) + "\xC3\xA4"};
    for (size_t i = 0; i < lower.size(); ++i) {
      std::string changed = lower;
      changed[i] = changed[i] == 'z' ? 'a' : static_cast<char>(changed[i] + 1);
      near.push_back(changed);
      changed[i] = '@';
      near.push_back(changed);
    }
    for (const std::string& text : near) EXPECT_EQ(IsReservedWord(text), scan(text)) << text;
  }
  for (int c = 0; c < 256; ++c) {
    for (const size_t length : {1, 2, 3, 5, 14, 15}) {
      const std::string text(length, static_cast<char>(c));
      EXPECT_EQ(IsReservedWord(text), scan(text)) << c << " " << length;
    }
  }
}

TEST(MakeIdentifierTest, ReplacesAndEscapes) {
  const struct {
    const char* text;
    bool escape;
    const char* expected;
  } cases[] = {
      {"first-name", false, "first_name"},
      {"x rate", false, "xrate"},
      {"$id", false, "Sid"},
      {"a/b", false, "ab"},
      {"pet-store item", false, "pet_storeitem"},
      {"-a--b/ $", false, "_a__bS"},
      {" /", false, ""},
      {"type", false, "type"},
      {"begin", true, "&begin"},
      {"Begin", true, "&Begin"},
      {"be gin", true, "&begin"},  // the escape looks at the result
      {"pet-store 2.pas", true, "pet_store2.pas"},
      {" /", true, ""},
      {"a.b,c;d", false, "a.b,c;d"},  // no other character is touched
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MakeIdentifier(c.text, c.escape), c.expected) << c.text << " " << c.escape;
  }
}

TEST(PropertyNameTest, DerivesPropertyAndFieldName) {
  const struct {
    const char* name;
    const char* property_name;
    const char* field_name;
  } cases[] = {
      {"id", "id", "Fid"},
      {"type", "&type", "Ftype"},
      {"Class", "&Class", "FClass"},
      {"name", "&name", "Fname"},
      {"index", "&index", "Findex"},
      {"read", "&read", "Fread"},
      {"write", "&write", "Fwrite"},
      {"message", "&message", "Fmessage"},
      {"default", "&default", "Fdefault"},
      {"string", "&string", "Fstring"},
      {"first-name", "first_name", "Ffirst_name"},
      {"x rate", "xrate", "Fxrate"},
      {"$id", "Sid", "FSid"},
      {"a/b", "ab", "Fab"},
      {" / ", "", "F"},
  };
  for (const auto& c : cases) {
    TPropertyDefinition property;
    property.SetName(c.name);
    EXPECT_EQ(property.Name(), c.name);
    EXPECT_EQ(property.PropertyName(), c.property_name) << c.name;
    EXPECT_EQ(property.FieldName(), c.field_name) << c.name;
  }
}

TEST(DropCharactersTest, CountsUtf16CodeUnits) {
  const struct {
    const char* text;
    size_t count;
    const char* expected;
  } cases[] = {
      {"#/definitions/Pet", 14, "Pet"},
      {"#/definitions/", 14, ""},
      {"#/x", 14, ""},
      {"", 14, ""},
      {"Pet", 0, "Pet"},
      {"\xC3\xA4" "bc", 1, "bc"},                         // ä is one unit
      {"\xE2\x82\xAC" "bc", 1, "bc"},                     // € is one unit
      {"\xF0\x9F\x90\xB6" "bc", 2, "bc"},                 // 🐶 is two units
      {"\xF0\x9F\x90\xB6" "bc", 1, "\xEF\xBF\xBD" "bc"},  // half a pair is left
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DropCharacters(c.text, c.count), c.expected) << c.text << " " << c.count;
  }
}

}  // namespace
}  // namespace tolvane
