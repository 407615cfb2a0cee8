// The class declarations and destructors as the plain rule writes them, from
// small documents converted in process.
#include "unitdef/unit_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "unit_writer_support.h"

namespace tolvane {
namespace {

using testing::ConvertText;
using testing::DefinitionsDocument;
using testing::ImplementationSection;
using testing::TypeSection;
using Lines = std::vector<std::string>;

TEST(ClassWriterTest, ClassBlocks) {
  const struct {
    const char* definitions;
    Lines expected;
  } cases[] = {
      {R"("Pet": {"description": "A pet for sale", "properties": {
           "name": {"type": "string", "description": "The pet's name"},
           "category": {"$ref": "#/definitions/Category"}}})",
       {"", "  // A pet for sale", "  TPet = class", "  private", "    // The pet's name", "    Fname : string;",
        "    Fcategory : TCategory;", "  public", "    destructor Destroy; override;",
        "    property &name : string read Fname write Fname;",
        "    property category : TCategory read Fcategory write Fcategory;", "  end;"}},
      {R"("Empty": {})", {"", "  TEmpty = class", "  private", "  public", "  end;"}},
      {R"("pet-store item": {})", {"", "  Tpet_storeitem = class", "  private", "  public", "  end;"}},
      {R"("type": {})", {"", "  Ttype = class", "  private", "  public", "  end;"}},
      {R"("$a/b": {})", {"", "  TSab = class", "  private", "  public", "  end;"}},
      {R"("Plain": {"properties": {"id": {"type": "integer"}, "tags": {"type": "array", "description": "two\nlines"}}})",
       {"", "  TPlain = class", "  private", "    Fid : integer;", "    // two", "    // lines",
        "    Ftags : TArray<>;", "  public", "    destructor Destroy; override;",
        "    property id : integer read Fid write Fid;", "    property tags : TArray<> read Ftags write Ftags;",
        "  end;"}},
      {R"("Dates": {"properties": {"at": {"type": "string"}, "no": {}}})",
       {"", "  TDates = class", "  private", "    Fat : string;", "    Fno : ???;", "  public",
        "    property at : string read Fat write Fat;", "    property no : ??? read Fno write Fno;", "  end;"}},
      // Names from the document cannot break out of their place.
      {R"("a;end.{": {"properties": {"x}": {"type": "in;teger"}}})",
       {"", "  Ta_end__ = class", "  private", "    Fx_ : in_teger;", "  public",
        "    property x_ : in_teger read Fx_ write Fx_;", "  end;"}},
  };
  for (const auto& c : cases) {
    const testing::TUnitRun all = ConvertText(DefinitionsDocument(c.definitions));
    ASSERT_TRUE(all.Written) << c.definitions;
    Lines types = TypeSection(all.Lines);
    // Without the filter the client class follows; the class blocks come first.
    types.resize(std::min(types.size(), c.expected.size()));
    EXPECT_EQ(types, c.expected) << c.definitions;
  }
}

TEST(ClassWriterTest, DestructorLineOnlyForOwners) {
  const struct {
    const char* property;
    bool destructor;
  } cases[] = {
      {R"({"type": "string"})", false},
      {R"({"type": "integer"})", false},
      {R"({"type": "number"})", false},
      {R"({"type": "boolean"})", false},
      {R"({"type": "array", "items": {"type": "string"}})", false},
      {R"({"type": "array", "items": {"type": "number"}})", false},
      {R"({"$ref": "#/definitions/Category"})", true},
      {R"({"type": "array", "items": {"$ref": "#/definitions/Tag"}})", true},
      {R"({"type": "timestamp"})", true},  // any word that begins with t
  };
  for (const auto& c : cases) {
    const testing::TUnitRun run =
        ConvertText(DefinitionsDocument(R"("C": {"properties": {"p": )" + std::string(c.property) + "}}"), {"-c:C"});
    const Lines types = TypeSection(run.Lines);
    ASSERT_GE(types.size(), 6u) << c.property;
    EXPECT_EQ(types[5] == "    destructor Destroy; override;", c.destructor) << c.property;
  }
}

TEST(ClassWriterTest, FilterIsExactAndEveryClassIsLogged) {
  const struct {
    const char* filter;
    Lines log;
    size_t lines;
  } cases[] = {
      {"Pet", {"class: Pet processed", "class: Order skipped"}, 5},
      {"pet", {"class: Pet skipped", "class: Order skipped"}, 0},
      {"Nothing", {"class: Pet skipped", "class: Order skipped"}, 0},
  };
  for (const auto& c : cases) {
    const testing::TUnitRun run =
        ConvertText(DefinitionsDocument(R"("Pet": {}, "Order": {})"), {std::string("-c:") + c.filter});
    EXPECT_EQ(TypeSection(run.Lines).size(), c.lines) << c.filter;
    ASSERT_GE(run.Output.size(), 5u);
    EXPECT_EQ(Lines(run.Output.begin() + 4, run.Output.begin() + 6), c.log) << c.filter;
  }
}

TEST(ClassWriterTest, ForwardDeclarationsComeFirstWithoutFilter) {
  const std::string document = DefinitionsDocument(R"(
      "Doc": {"properties": {"owner": {"$ref": "#/definitions/Folder"}}},
      "Folder": {"properties": {"files": {"type": "array", "items": {"$ref": "#/definitions/Doc"}}}})");
  const Lines types = TypeSection(ConvertText(document).Lines);
  ASSERT_GE(types.size(), 4u);
  EXPECT_EQ(Lines(types.begin(), types.begin() + 4), (Lines{"", "  TFolder = class;", "", "  TDoc = class"}));
  const Lines filtered = TypeSection(ConvertText(document, {"-c:Folder"}).Lines);
  ASSERT_GE(filtered.size(), 2u);
  EXPECT_EQ(filtered[1], "  TFolder = class");
}

TEST(ClassWriterTest, Destructors) {
  const struct {
    const char* definitions;
    Lines expected;
  } cases[] = {
      {R"("Plain": {"properties": {"id": {"type": "integer"}, "n": {"type": "string"}}})", {}},
      {R"("pet-owner": {"properties": {"a": {"$ref": "#/definitions/A"}, "type": {"$ref": "#/definitions/B"}}})",
       {"", "{ Tpet_owner }", "", "destructor Tpet_owner.Destroy;", "begin", "  if Assigned(Fa) then",
        "    Fa.Free;", "  if Assigned(Ftype) then", "    Ftype.Free;", "  inherited;", "end;"}},
      {R"("Mixed": {"properties": {"y": {"type": "array", "items": {"$ref": "#/definitions/Y"}},
           "o": {"$ref": "#/definitions/O"}, "n": {"type": "string"},
           "z": {"type": "array", "items": {"$ref": "#/definitions/Z"}}}})",
       {"", "{ TMixed }", "", "destructor TMixed.Destroy;", "var", "  T : TObject;", "begin", "  for T in Fy do",
        "    T.Free;", "  if Assigned(Fo) then", "    Fo.Free;", "  for T in Fz do", "    T.Free;", "  inherited;",
        "end;"}},
      // Consecutive classes, the one without objects left out.
      {R"("A": {"properties": {"x": {"$ref": "#/definitions/X"}}}, "Plain": {"properties": {"x": {"type": "string"}}},
          "B": {"properties": {"x": {"$ref": "#/definitions/X"}}})",
       {"", "{ TA }", "", "destructor TA.Destroy;", "begin", "  if Assigned(Fx) then", "    Fx.Free;", "  inherited;",
        "end;", "", "{ TB }", "", "destructor TB.Destroy;", "begin", "  if Assigned(Fx) then", "    Fx.Free;",
        "  inherited;", "end;"}},
  };
  for (const auto& c : cases) {
    // Without a filter the client's uses clause comes first.
    Lines implementation = ImplementationSection(ConvertText(DefinitionsDocument(c.definitions)).Lines);
    const Lines uses = {"uses", "  REST.Types,", "  REST.JSON,", "  REST.Client,", "  SOAP.XSBuiltins,",
                        "  System.Generics.Collections,", "  System.SysUtils,", "  System.DateUtils;"};
    ASSERT_GE(implementation.size(), uses.size() + 1) << c.definitions;
    EXPECT_EQ(Lines(implementation.begin(), implementation.begin() + 8), uses);
    // The client methods begin with one empty line.
    implementation = Lines(implementation.begin() + 8, implementation.end() - 1);
    EXPECT_EQ(implementation, c.expected) << c.definitions;
  }
}

// The writer prints what a rule resolves; these parts of the resolved unit
// are filled by no rule yet.
TEST(ClassWriterTest, AncestorsAttributesSupportCodeAndStatusChecks) {
  TResolvedUnit unit;
  unit.Output.FileName = "u.pas";
  unit.TimeStamp = "<time>";
  unit.InterfaceUses = {"System.JSON", "REST.Json.Types"};
  TResolvedClass& child = unit.Classes.emplace_back();
  child.Identifier = "TChild";
  child.Ancestor = "TBase";
  TResolvedField& field = child.Fields.emplace_back();
  field.Comments = {"one of: a, b"};
  field.JsonKey = "'my-key'";
  field.Field = "Fkey";
  field.Property = "key";
  field.Type = "TBase";
  field.Ownership = TOwnership::Object;
  unit.Support.push_back({{"  EApiError = class(Exception);"}, {"{ support }"}});
  unit.HasClient = true;
  unit.ClientComments = {"The client"};
  unit.ClientClass = "Tapi";
  unit.BaseUrl = "'https://h'";
  TResolvedMethod& method = unit.Methods.emplace_back();
  method.Name = "m";
  method.RequestMethod = "rmGET";
  method.Resource = "'/'";
  method.Credentials.Name = "'key'";
  method.Credentials.Kind = "pkQUERY";
  unit.StatusCheck = {"if Response.StatusCode >= 300 then", "  raise EApiError.Create(Response.Content);"};

  Lines lines;
  TLineCollector collector(lines);
  WriteUnit(unit, collector);
  const auto contains = [&](const Lines& part) { return std::search(lines.begin(), lines.end(), part.begin(), part.end()) != lines.end(); };
  EXPECT_TRUE(contains({"uses", "  System.JSON,", "  REST.Json.Types;"}));
  EXPECT_TRUE(contains({"  TChild = class(TBase)", "  private", "    // one of: a, b", "    [JSONName('my-key')]",
                        "    Fkey : TBase;", "  public", "    destructor Destroy; override;"}));
  EXPECT_TRUE(contains({"  end;", "  EApiError = class(Exception);", "", "  // The client", "  Tapi = class"}));
  EXPECT_TRUE(contains({"  inherited;", "end;", "{ support }", "", "procedure Tapi.m;"}));
  EXPECT_TRUE(contains({"    if FAuthorization <> '' then", "      Request.AddParameter('key', FAuthorization , pkQUERY, [poDoNotEncode]);",
                        "    Request.Execute;", "    if Response.StatusCode >= 300 then",
                        "      raise EApiError.Create(Response.Content);", "  finally"}));
}

}  // namespace
}  // namespace tolvane
