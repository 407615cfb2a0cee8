#include <gtest/gtest.h>

#include "unitdef/unit_definition.h"

namespace tolvane {
namespace {

using Lines = std::vector<std::string>;

// Declares, then implements, as Save does: the declarations read every
// DataType, which the destructors' object tests answer from.
Lines WriteBoth(TUnitDefinition& unit, const std::string& filter = "") {
  unit.FClassnameFilter = filter;
  Lines declarations;
  unit.WriteClassDeclarations(declarations);
  Lines lines;
  unit.WriteDestructors(lines);
  return lines;
}

TEST(DestructorsTest, PetFreesObjectsAndArrays) {
  TUnitDefinition unit;
  TObjectDefinition* pet = unit.AddObject("Pet", "object");
  pet->AddProperty("category", "", "", "#/definitions/Category", "", "", "");
  pet->AddProperty("name", "string", "", "", "", "", "");
  pet->AddProperty("tags", "array", "", "", "#/definitions/Tag", "", "");
  EXPECT_EQ(WriteBoth(unit), (Lines{
                                 "",
                                 "{ TPet }",
                                 "",
                                 "destructor TPet.Destroy;",
                                 "var",
                                 "  T : TObject;",
                                 "begin",
                                 "  if Assigned(Fcategory) then",
                                 "    Fcategory.Free;",
                                 "  for T in Ftags do",
                                 "    T.Free;",
                                 "  inherited;",
                                 "end;",
                             }));
  EXPECT_TRUE(pet->ImplementationHeaderWritten());
}

TEST(DestructorsTest, Blocks) {
  const struct {
    const char* name;
    std::vector<std::array<const char*, 4>> properties;  // name, type, ref, item ref
    Lines expected;
  } cases[] = {
      {"Plain", {{"id", "integer", "", ""}, {"n", "string", "", ""}}, {}},
      {"pet-owner",
       {{"a", "", "#/definitions/A", ""}, {"type", "", "#/definitions/B", ""}},
       {"", "{ Tpet_owner }", "", "destructor Tpet_owner.Destroy;", "begin", "  if Assigned(Fa) then",
        "    Fa.Free;", "  if Assigned(Ftype) then", "    Ftype.Free;", "  inherited;", "end;"}},
      {"Lists",
       {{"x", "array", "", "#/definitions/X"}, {"n", "string", "", ""}, {"y", "array", "", "#/definitions/Y"}},
       {"", "{ TLists }", "", "destructor TLists.Destroy;", "var", "  T : TObject;", "begin",
        "  for T in Fx do", "    T.Free;", "  for T in Fy do", "    T.Free;", "  inherited;", "end;"}},
      {"Mixed",
       {{"y", "array", "", "#/definitions/Y"}, {"o", "", "#/definitions/O", ""}, {"z", "array", "", "#/definitions/Z"}},
       {"", "{ TMixed }", "", "destructor TMixed.Destroy;", "var", "  T : TObject;", "begin",
        "  for T in Fy do", "    T.Free;", "  if Assigned(Fo) then", "    Fo.Free;", "  for T in Fz do",
        "    T.Free;", "  inherited;", "end;"}},
  };
  for (const auto& c : cases) {
    TUnitDefinition unit;
    TObjectDefinition* object = unit.AddObject(c.name, "object");
    for (const auto& p : c.properties) object->AddProperty(p[0], p[1], "", p[2], p[3], "", "");
    EXPECT_EQ(WriteBoth(unit), c.expected) << c.name;
  }
}

TEST(DestructorsTest, ConsecutiveClassesAndFilter) {
  const struct {
    const char* filter;
    Lines expected;
  } cases[] = {
      {"",
       {"", "{ TA }", "", "destructor TA.Destroy;", "begin", "  if Assigned(Fx) then", "    Fx.Free;",
        "  inherited;", "end;", "", "{ TB }", "", "destructor TB.Destroy;", "begin",
        "  if Assigned(Fx) then", "    Fx.Free;", "  inherited;", "end;"}},
      {"B",
       {"", "{ TB }", "", "destructor TB.Destroy;", "begin", "  if Assigned(Fx) then", "    Fx.Free;",
        "  inherited;", "end;"}},
      {"b", {}},
      {"Plain", {}},
  };
  for (const auto& c : cases) {
    TUnitDefinition unit;
    unit.AddObject("A", "")->AddProperty("x", "", "", "#/definitions/X", "", "", "");
    unit.AddObject("Plain", "")->AddProperty("x", "string", "", "", "", "", "");
    unit.AddObject("B", "")->AddProperty("x", "", "", "#/definitions/X", "", "", "");
    EXPECT_EQ(WriteBoth(unit, c.filter), c.expected) << c.filter;
  }
}

TEST(DestructorsTest, HeaderOnlyOnceAndAnswersFromTheRecordedBaseName) {
  TUnitDefinition unit;
  TObjectDefinition* a = unit.AddObject("A", "");
  a->AddProperty("x", "", "", "#/definitions/X", "", "", "");
  Lines first;
  unit.WriteDestructors(first);
  EXPECT_TRUE(first.empty());  // no DataType read yet: no object known

  WriteBoth(unit);
  Lines again;
  unit.WriteDestructors(again);
  EXPECT_EQ(again, (Lines{"destructor TA.Destroy;", "begin", "  if Assigned(Fx) then", "    Fx.Free;",
                          "  inherited;", "end;"}));
}

}  // namespace
}  // namespace tolvane
