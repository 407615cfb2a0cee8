#include "unitdef/delphi_type.h"

#include <gtest/gtest.h>

namespace tolvane {
namespace {

TEST(DelphiTypeTest, ObjectsAndObjectArrays) {
  const struct {
    const char* text;
    bool is_object;
    bool is_object_array;
  } cases[] = {
      {"TCategory", true, false},
      {"TDateTime", false, false},
      {"TDate", false, false},
      {"string", false, false},
      {"integer", false, false},
      {"int64", false, false},
      {"double", false, false},
      {"boolean", false, false},
      {"object", false, false},
      {"???", false, false},
      {"", false, false},
      {"timestamp", true, false},
      {"T", true, false},
      {"TArray<TTag>", false, true},
      {"tarray<TTag>", false, true},
      {"TArray<string>", false, false},
      {"TArray<integer>", false, false},
      {"TArray<double>", false, false},
      {"TArray<boolean>", false, false},
      {"TArray<object>", false, false},
      {"TArray<>", false, true},
      {"TArray<array>", false, true},
      {"TArray<TTag", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsObjectType(c.text), c.is_object) << c.text;
    EXPECT_EQ(IsObjectArrayType(c.text), c.is_object_array) << c.text;
  }
}

TEST(StripArrayPrefixTest, Table) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"TArray<TPet>", "TPet"},
      {"TPet", "TPet"},
      {"TArray<>", ""},
      {"TArray<", ""},
      {"", ""},
      {"TArray<TArray<TTag>>", "TArray<TTag>"},
      {"xTArray<TA>", "TA"},
      {"tarray<TPet>", "tarray<TPet>"},  // case-sensitive
      {"TArray<Tx\xC3\xA4", "Tx"},       // the last character is two bytes long
  };
  for (const auto& c : cases) EXPECT_EQ(StripArrayPrefix(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace tolvane
