#include <gtest/gtest.h>

#include "unitdef/unit_definition.h"

namespace tolvane {
namespace {

using Lines = std::vector<std::string>;

struct Declarations {
  TUnitDefinition unit;
  Lines log;
  Lines lines;

  Declarations() {
    unit.FLogProcedure = [this](const std::string& line) { log.push_back(line); };
  }
  const Lines& Write(const std::string& filter = "") {
    unit.FClassnameFilter = filter;
    unit.WriteClassDeclarations(lines);
    return lines;
  }
};

TEST(ClassDeclarationsTest, DescribedClassWithObjectProperty) {
  Declarations d;
  TObjectDefinition* pet = d.unit.AddObject("Pet", "object");
  pet->Setdescription("A pet for sale");
  pet->AddProperty("name", "string", "", "", "", "", "The pet's name");
  pet->AddProperty("category", "", "", "#/definitions/Category", "", "", "");
  EXPECT_EQ(d.Write(), (Lines{
                           "",
                           "  // A pet for sale",
                           "  TPet = class",
                           "  private",
                           "    // The pet's name",
                           "    Fname : string;",
                           "    Fcategory : TCategory;",
                           "  public",
                           "    destructor Destroy; override;",
                           "    property &name : string read Fname write Fname;",
                           "    property category : TCategory read Fcategory write Fcategory;",
                           "  end;",
                       }));
  EXPECT_EQ(d.log, (Lines{"class: Pet processed"}));
}

TEST(ClassDeclarationsTest, ClassBlocks) {
  const struct {
    const char* name;
    std::vector<std::array<const char*, 4>> properties;  // name, type, ref, description
    Lines expected;
  } cases[] = {
      {"Empty", {}, {"", "  TEmpty = class", "  private", "  public", "  end;"}},
      {"pet-store item", {}, {"", "  Tpet_storeitem = class", "  private", "  public", "  end;"}},
      {"type", {}, {"", "  Ttype = class", "  private", "  public", "  end;"}},
      {"$a/b", {}, {"", "  TSab = class", "  private", "  public", "  end;"}},
      {"Plain",
       {{"id", "integer", "", ""}, {"tags", "array", "", "two\nlines"}},
       {"", "  TPlain = class", "  private", "    Fid : integer;", "    // two", "    // lines",
        "    Ftags : TArray<>;", "  public", "    destructor Destroy; override;", "    property id : integer read Fid write Fid;",
        "    property tags : TArray<> read Ftags write Ftags;", "  end;"}},
      {"Dates",
       {{"at", "string", "", ""}, {"no", "", "", ""}},
       {"", "  TDates = class", "  private", "    Fat : string;", "    Fno : ???;", "  public",
        "    property at : string read Fat write Fat;", "    property no : ??? read Fno write Fno;",
        "  end;"}},
  };
  for (const auto& c : cases) {
    Declarations d;
    TObjectDefinition* object = d.unit.AddObject(c.name, "object");
    for (const auto& p : c.properties) object->AddProperty(p[0], p[1], "", p[2], "", "", p[3]);
    EXPECT_EQ(d.Write(), c.expected) << c.name;
  }
}

TEST(ClassDeclarationsTest, DestructorLineOnlyForOwners) {
  const struct {
    const char* type;
    const char* ref;
    const char* item_ref;
    const char* item_type;
    bool destructor;
  } cases[] = {
      {"string", "", "", "", false},
      {"integer", "", "", "", false},
      {"number", "", "", "", false},
      {"boolean", "", "", "", false},
      {"string", "", "", "", false},
      {"array", "", "", "string", false},
      {"array", "", "", "number", false},
      {"", "#/definitions/Category", "", "", true},
      {"array", "", "#/definitions/Tag", "", true},
      {"timestamp", "", "", "", true},  // any word that begins with t
  };
  for (const auto& c : cases) {
    Declarations d;
    d.unit.AddObject("C", "")->AddProperty("p", c.type, "", c.ref, c.item_ref, c.item_type, "");
    const Lines& lines = d.Write();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[5] == "    destructor Destroy; override;", c.destructor) << c.type << c.ref;
  }
}

TEST(ClassDeclarationsTest, FilterIsExactAndEveryClassIsLogged) {
  const struct {
    const char* filter;
    Lines log;
    size_t lines;
  } cases[] = {
      {"", {"class: Pet processed", "class: Order processed"}, 10},
      {"Pet", {"class: Pet processed", "class: Order skipped"}, 5},
      {"pet", {"class: Pet skipped", "class: Order skipped"}, 0},
      {"Nothing", {"class: Pet skipped", "class: Order skipped"}, 0},
  };
  for (const auto& c : cases) {
    Declarations d;
    d.unit.AddObject("Pet", "object");
    d.unit.AddObject("Order", "object");
    EXPECT_EQ(d.Write(c.filter).size(), c.lines) << c.filter;
    EXPECT_EQ(d.log, c.log) << c.filter;
  }
}

TEST(ClassDeclarationsTest, ForwardDeclarationsComeFirstWithoutFilter) {
  for (const char* filter : {"", "Folder"}) {
    Declarations d;
    TObjectDefinition* file = d.unit.AddObject("File-x", "object");
    file->AddProperty("owner", "", "", "#/definitions/Folder", "", "", "");
    TObjectDefinition* folder = d.unit.AddObject("Folder", "object");
    folder->AddProperty("files", "array", "", "", "#/definitions/File-x", "", "");
    d.unit.FForwardDeclarations = {folder};
    const Lines& lines = d.Write(filter);
    if (*filter == '\0') {
      ASSERT_GE(lines.size(), 4u);
      EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4), (Lines{"", "  TFolder = class;", "", "  TFile_x = class"}));
      EXPECT_EQ(lines.size(), 2u + 8u + 8u);
    } else {
      ASSERT_GE(lines.size(), 2u);
      EXPECT_EQ(lines[1], "  TFolder = class");
      EXPECT_EQ(lines.size(), 8u);
    }
  }
}

TEST(ClassDeclarationsTest, ForwardDeclarationsAreCleaned) {
  Declarations d;
  TObjectDefinition* hostile = d.unit.AddObject("a;end.{", "object");
  d.unit.FForwardDeclarations = {hostile};
  EXPECT_EQ(d.Write(), (Lines{"", "  Ta_end__ = class;", "", "  Ta_end__ = class", "  private", "  public", "  end;"}));
  EXPECT_EQ(d.log, (Lines{"class: a;end.{ processed"}));
}

TEST(ClassDeclarationsTest, NoForwardDeclarationsNoLines) {
  Declarations d;
  EXPECT_TRUE(d.Write().empty());
  EXPECT_TRUE(d.log.empty());
}

}  // namespace
}  // namespace tolvane
