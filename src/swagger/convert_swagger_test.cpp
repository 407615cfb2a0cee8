#include "swagger/convert_swagger.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "unit_writer_support.h"
#include "unitdef/unit_definition.h"

namespace tolvane {
namespace {

// A document with the three maps; each argument is the JSON text of one.
std::string Document(const std::string& APaths, const std::string& ASecurityDefinitions = "{}",
                     const std::string& ADefinitions = "{}") {
  return R"({"swagger": "2.0", "paths": )" + APaths + R"(, "securityDefinitions": )" +
         ASecurityDefinitions + R"(, "definitions": )" + ADefinitions + "}";
}

// A document with one path "/a" whose item is AItem.
std::string PathDocument(const std::string& AItem) { return Document(R"({"/a": )" + AItem + "}"); }

// The failure line of loading AText, or "<loaded>".
std::string LoadFailure(const std::string& AText) {
  try {
    LoadSwaggerText(AText);
  } catch (const Exception& failure) {
    return std::string(failure.ClassName()) + ": " + failure.Message();
  }
  return "<loaded>";
}

const std::string kNotAnObject = "EConversionError: Der Eingabewert ist kein gültiges Objekt";
const std::string kOutOfRange = "EArgumentOutOfRangeException: Argument außerhalb des Bereichs";
const std::string kNoOperation =
    "EJSONException: Path '/a': the first member is not an operation object with a 'responses' "
    "object";
const std::string kGetNotLoaded = "EJSONException: Path '/a': the operation 'get' could not be loaded";
const std::string kSecurityNotObjects =
    "EJSONException: Path '/a': 'security' of the operation 'get' is not an array of objects";
// An operation that does not load: a parameter's default is a Boolean.
const std::string kBrokenParameters = R"("parameters": [{"name": "p", "default": true}])";

struct FailureCase {
  std::string document;
  std::string line;
};

void CheckFailures(std::initializer_list<FailureCase> ACases) {
  for (const FailureCase& c : ACases) EXPECT_EQ(LoadFailure(c.document), c.line) << c.document;
}

TEST(LoadSwaggerTest, RootAndVersion) {
  CheckFailures({
      {"[]", kNotAnObject},
      {"null", kNotAnObject},
      {"\"2.0\"", kNotAnObject},
      {"[", "EJSONException: Invalid value (line 1, column 2)"},
      {R"({"swagger": "2.0", "host": ["x"]})",
       "EConversionError: Wert für Feld host kann nicht gesetzt werden; Array anstatt string erwartet"},
      {R"({"swagger": "1.2"})", "Exception: Wrong Swagger version: \"1.2\". Expected \"2.0\""},
      {R"({"paths": {}})", "Exception: Wrong Swagger version: \"\". Expected \"2.0\""},
      {R"({"swagger": "2"})", "Exception: Wrong Swagger version: \"2\". Expected \"2.0\""},
      {R"({"swagger": "2.0.0"})", "Exception: Wrong Swagger version: \"2.0.0\". Expected \"2.0\""},
      {R"({"swagger": 2})", "Exception: Wrong Swagger version: \"2\". Expected \"2.0\""},
      {R"({"swagger": "2.0", "swagger": "3.0"})",
       "Exception: Wrong Swagger version: \"3.0\". Expected \"2.0\""},
      {R"({"swagger": 2.0, "paths": {}, "securityDefinitions": {}, "definitions": {}})", "<loaded>"},
  });
}

TEST(LoadSwaggerTest, MapsMustBePresentObjectsInTheirOrder) {
  CheckFailures({
      {R"({"swagger": "2.0"})", "EJSONException: Wert 'paths' nicht gefunden"},
      {R"({"swagger": "2.0", "paths": null})", "EJSONException: Member 'paths' is null"},
      {R"({"swagger": "2.0", "paths": {}})", "EJSONException: Wert 'securityDefinitions' nicht gefunden"},
      {R"({"swagger": "2.0", "paths": {}, "securityDefinitions": null})",
       "EJSONException: Member 'securityDefinitions' is null"},
      {R"({"swagger": "2.0", "paths": {}, "securityDefinitions": {}})",
       "EJSONException: Wert 'definitions' nicht gefunden"},
      {Document("{}", "{}", "null"), "EJSONException: Member 'definitions' is null"},
      // The paths pass runs before the later maps are looked up.
      {R"({"swagger": "2.0", "paths": {"/a": 1}})", kNotAnObject},
      {R"({"swagger": "2.0", "paths": {}, "securityDefinitions": {"k": []}})", kNotAnObject},
      // Any other kind fails while the root is filled.
      {R"({"swagger": "2.0", "paths": "x"})",
       "EConversionError: Intern: Wert x kann nicht für eine Zuweisung zu Feld paths in Typ "
       "TSwagger konvertiert werden"},
      {R"({"swagger": "2.0", "definitions": true})", "EInvalidCast: Ungültige Typumwandlung"},
  });
}

TEST(LoadSwaggerTest, MapEntriesMustBeObjects) {
  for (const std::string entry : {"\"x\"", "1", "true", "false", "[]", "null"}) {
    EXPECT_EQ(LoadFailure(Document(R"({"/a": )" + entry + "}")), kNotAnObject) << entry;
    EXPECT_EQ(LoadFailure(Document("{}", R"({"k": )" + entry + "}")), kNotAnObject) << entry;
    EXPECT_EQ(LoadFailure(Document("{}", "{}", R"({"D": )" + entry + "}")), kNotAnObject) << entry;
    EXPECT_EQ(LoadFailure(Document("{}", "{}", R"({"D": {"properties": {"p": )" + entry + "}}}")),
              kNotAnObject)
        << entry;
    EXPECT_EQ(LoadFailure(PathDocument(R"({"get": {"responses": {"200": )" + entry + "}}}")),
              kNotAnObject)
        << entry;
  }
}

TEST(LoadSwaggerTest, PathItemChecksInTheirOrder) {
  CheckFailures({
      {PathDocument("{}"), kOutOfRange},
      {PathDocument(R"({"parameters": [], "get": {"responses": {}}})"), kNoOperation},
      {PathDocument(R"({"$ref": "#/x", "get": {"responses": {}}})"), kNoOperation},
      {PathDocument(R"({"get": {}})"), kNoOperation},
      {PathDocument(R"({"get": {"responses": []}})"), kNoOperation},
      {PathDocument(R"({"get": {"responses": null}})"), kNoOperation},
      {PathDocument(R"({"get": {"security": {}, "responses": {}}})"), kSecurityNotObjects},
      {PathDocument(R"({"get": {"security": "x"}})"), kSecurityNotObjects},
      {PathDocument(R"({"get": {"security": [], "responses": {}}})"), kOutOfRange},
      {PathDocument(R"({"get": {"security": [1], "responses": {}}})"), kSecurityNotObjects},
      {PathDocument(R"({"get": {"security": [null, {"a": []}], "responses": {}}})"), kSecurityNotObjects},
      {PathDocument(R"({"get": {"security": [{}], "responses": {}}})"), kOutOfRange},
      // Security is checked before responses.
      {PathDocument(R"({"get": {"security": []}})"), kOutOfRange},
      // The first operation did not load: security, then responses, then the end.
      {PathDocument(R"({"get": {)" + kBrokenParameters + R"(, "security": [{"a": []}], "responses": {}}})"),
       kGetNotLoaded},
      {PathDocument(R"({"get": {)" + kBrokenParameters + R"(, "security": []}})"), kOutOfRange},
      {PathDocument(R"({"get": {)" + kBrokenParameters + R"(}})"), kNoOperation},
      {PathDocument(R"({"get": {)" + kBrokenParameters + R"(, "responses": {"200": {}}}})"), kGetNotLoaded},
      {PathDocument(R"({"get": {)" + kBrokenParameters + R"(, "responses": {}}})"), kGetNotLoaded},
      {PathDocument(R"({"get": {)" + kBrokenParameters + R"(, "responses": {"200": 5}}})"), kNotAnObject},
      {PathDocument(R"({"get": {)" + kBrokenParameters + R"(, "responses": {"200": {"description": true}}}})"),
       "EInvalidCast: Ungültige Typumwandlung"},
      // A failing non-first operation only goes missing.
      {PathDocument(R"({"get": {"responses": {}}, "post": {)" + kBrokenParameters + "}}"), "<loaded>"},
      // Members of responses, security definitions, definitions and
      // properties fail as the filling rule says.
      {PathDocument(R"({"get": {"responses": {"200": {"description": ["x"]}}}})"),
       "EConversionError: Wert für Feld description kann nicht gesetzt werden; Array anstatt string "
       "erwartet"},
      {Document("{}", R"({"k": {"flow": true}})"), "EInvalidCast: Ungültige Typumwandlung"},
      {Document("{}", "{}", R"({"D": {"title": 1, "type": ["object"]}})"),
       "EConversionError: Wert für Feld type kann nicht gesetzt werden; Array anstatt string erwartet"},
      {Document("{}", "{}", R"({"D": {"properties": {"p": {"format": [1]}}}})"),
       "EConversionError: Wert für Feld format kann nicht gesetzt werden; Array anstatt string "
       "erwartet"},
      {Document("{}", "{}", R"({"D": {"properties": "x"}})"),
       "EConversionError: Intern: Wert x kann nicht für eine Zuweisung zu Feld properties in Typ "
       "TDefinition konvertiert werden"},
      {Document("{}", "{}", R"({"D": {"properties": 7}})"),
       "EConversionError: Intern: Wert 7 kann nicht für eine Zuweisung zu Feld properties in Typ "
       "TDefinition konvertiert werden"},
      {Document("{}", "{}", R"({"D": {"properties": true}})"), "EInvalidCast: Ungültige Typumwandlung"},
      {Document("{}", "{}", R"({"D": {"properties": ["x"]}})"),
       "EConversionError: Wert x kann nicht in TProperty konvertiert werden. Verwenden Sie evtl. ein "
       "benutzerdefiniertes Reversions-Tool"},
  });
}

TEST(LoadSwaggerTest, OnlyTheFirstOperationGetsResponsesAndTheSecurityName) {
  const auto swagger = LoadSwaggerText(PathDocument(R"({
      "delete": {"security": [{"api_key": [], "oauth": []}, {"basic": []}],
                 "responses": {"204": {"description": "gone"}, "default": {"description": "error"}}},
      "get": {"security": [{"api_key": []}], "responses": {"200": {"description": "ok"}}},
      "post": {"responses": {"201": {}}},
      "put": {"parameters": [{"name": "p", "default": false}], "responses": {}}})"));
  ASSERT_EQ(swagger->Fpaths->FItems.size(), 1u);
  const TPath& path = *swagger->Fpaths->FItems[0];
  EXPECT_EQ(path.Fpath, "/a");
  ASSERT_EQ(path.Fdelete->Fresponses->FItems.size(), 2u);
  EXPECT_EQ(path.Fdelete->Fresponses->FItems[0]->FresponseCode, "204");
  EXPECT_EQ(path.Fdelete->Fresponses->FItems[0]->Fdescription, "gone");
  EXPECT_EQ(path.Fdelete->Fresponses->FItems[1]->FresponseCode, "default");
  ASSERT_EQ(path.Fdelete->Fsecurity.size(), 2u);
  EXPECT_EQ(path.Fdelete->Fsecurity[0]->FName, "api_key");
  EXPECT_EQ(path.Fdelete->Fsecurity[1]->FName, "");
  ASSERT_NE(path.Fget->Fresponses, nullptr);
  EXPECT_TRUE(path.Fget->Fresponses->FItems.empty());
  EXPECT_EQ(path.Fget->Fsecurity[0]->FName, "");
  EXPECT_TRUE(path.Fpost->Fresponses->FItems.empty());
  EXPECT_EQ(path.Fput, nullptr);  // a later operation that fails goes missing silently
}

TEST(LoadSwaggerTest, FirstMemberOutsideTheMethodTable) {
  const auto swagger = LoadSwaggerText(PathDocument(
      R"({"x-foo": {"security": [{"k": []}], "responses": {"200": {}}}, "get": {"responses": {}}})"));
  const TPath& path = *swagger->Fpaths->FItems[0];
  EXPECT_TRUE(path.Fget->Fresponses->FItems.empty());
  EXPECT_EQ(path.GetSecurity("get"), "");
}

TEST(LoadSwaggerTest, LookUpsTakeTheFirstMemberAndCollectionsAreCreatedWhenMissing) {
  // The last "paths" fills the field, and fails inside (absorbed); the pass
  // walks the first one.
  const auto swagger = LoadSwaggerText(
      R"({"swagger": "2.0", "paths": {"/a": {"get": {"responses": {"200": {}}, "responses": {"items": 5}}}},
          "paths": {"items": 5}, "securityDefinitions": {}, "securityDefinitions": {"items": 1},
          "definitions": {}, "definitions": {"items": 1}})");
  ASSERT_NE(swagger->Fpaths, nullptr);
  ASSERT_EQ(swagger->Fpaths->FItems.size(), 1u);
  const TOperation& get = *swagger->Fpaths->FItems[0]->Fget;
  ASSERT_NE(get.Fresponses, nullptr);
  ASSERT_EQ(get.Fresponses->FItems.size(), 1u);
  EXPECT_EQ(get.Fresponses->FItems[0]->FresponseCode, "200");
  ASSERT_NE(swagger->FsecurityDefinitions, nullptr);
  ASSERT_NE(swagger->Fdefinitions, nullptr);

  // "security" and "responses": the first member counts.
  const auto second = LoadSwaggerText(PathDocument(
      R"({"get": {"security": [{"first": []}], "security": [{"last": []}], "responses": {"1": {}}, "responses": {}}})"));
  const TOperation& op = *second->Fpaths->FItems[0]->Fget;
  EXPECT_EQ(op.Fsecurity[0]->FName, "first");
  EXPECT_EQ(op.Fresponses->FItems.size(), 1u);

  // The field took the last, empty "security": nothing to name.
  const auto third = LoadSwaggerText(
      PathDocument(R"({"get": {"security": [{"first": []}], "security": [], "responses": {}}})"));
  EXPECT_TRUE(third->Fpaths->FItems[0]->Fget->Fsecurity.empty());
}

TEST(LoadSwaggerTest, SecurityDefinitionsAndDefinitions) {
  const auto swagger = LoadSwaggerText(Document(
      "{}",
      R"({"api_key": {"type": "apiKey", "name": "X-Key", "in": "header"},
          "oauth": {"type": "oauth2", "authorizationUrl": "https://a/b", "flow": "implicit", "scopes": {}}})",
      R"({"Pet": {"type": "object", "title": "P", "description": "A pet", "required": ["id"], "allOf": [1],
                  "properties": {
                    "id": {"type": "integer", "format": "int64", "description": "Id"},
                    "tags": {"type": "array", "items": {"$ref": "#/definitions/Tag", "type": "x"}},
                    "category": {"$ref": "#/definitions/Category", "ref": "no"},
                    "broken": {"type": "array", "items": {"type": ["x"]}}}},
          "Empty": {"properties": null},
          "Tag": {},
          "None": {"properties": []},
          "Listed": {"properties": [{"name": "zz", "type": "integer"}, null, {"type": "string"}]}})"));
  const auto& security = swagger->FsecurityDefinitions->FItems;
  ASSERT_EQ(security.size(), 2u);
  EXPECT_EQ(security[0]->FSecurityname, "api_key");
  EXPECT_EQ(security[0]->Fname, "X-Key");
  EXPECT_EQ(security[0]->FIn, "header");
  EXPECT_EQ(security[1]->FSecurityname, "oauth");
  EXPECT_EQ(security[1]->FauthorizationUrl, "https://a/b");
  EXPECT_EQ(security[1]->Fflow, "implicit");

  const auto& definitions = swagger->Fdefinitions->FItems;
  ASSERT_EQ(definitions.size(), 5u);
  const TDefinition& pet = *definitions[0];
  EXPECT_EQ(pet.FName, "Pet");
  EXPECT_EQ(pet.Ftype, "object");
  EXPECT_EQ(pet.Ftitle, "P");
  EXPECT_EQ(pet.Fdescription, "A pet");
  ASSERT_EQ(pet.Fproperties.size(), 4u);
  EXPECT_EQ(pet.Fproperties[0]->Fname, "id");
  EXPECT_EQ(pet.Fproperties[0]->Fformat, "int64");
  EXPECT_EQ(pet.Fproperties[0]->Fdescription, "Id");
  ASSERT_NE(pet.Fproperties[0]->Fitems, nullptr);  // the property itself as a schema
  EXPECT_EQ(pet.Fproperties[0]->Fitems->Ftype, "integer");
  EXPECT_EQ(pet.Fproperties[0]->Fitems->Fitems, nullptr);
  const TSchema& tags = *pet.Fproperties[1]->Fitems;
  EXPECT_EQ(tags.Ftype, "array");
  EXPECT_EQ(tags.Fref, "");
  ASSERT_NE(tags.Fitems, nullptr);
  EXPECT_EQ(tags.Fitems->Fref, "#/definitions/Tag");
  EXPECT_EQ(tags.Fitems->Ftype, "x");
  EXPECT_EQ(pet.Fproperties[2]->Fref, "#/definitions/Category");
  EXPECT_EQ(pet.Fproperties[2]->Fitems->Fref, "#/definitions/Category");
  EXPECT_EQ(pet.Fproperties[3]->Fitems->Fitems, nullptr);  // absorbed inside "items"
  EXPECT_EQ(definitions[1]->FName, "Empty");
  EXPECT_TRUE(definitions[1]->Fproperties.empty());
  EXPECT_TRUE(definitions[2]->Fproperties.empty());
  // A "properties" array is read by the filling rule alone: its elements
  // are properties named by their own "name", without a schema of their own.
  EXPECT_TRUE(definitions[3]->Fproperties.empty());
  const auto& listed = definitions[4]->Fproperties;
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0]->Fname, "zz");
  EXPECT_EQ(listed[0]->Ftype, "integer");
  EXPECT_EQ(listed[0]->Fitems, nullptr);
  EXPECT_EQ(listed[1]->Fname, "");
  EXPECT_EQ(listed[1]->Ftype, "string");
}

TEST(LoadSwaggerTest, EncodingFollowsTheByteOrderMark) {
  testing::TempFolder folder;
  const std::string body = Document("{}", "{}", "{\"D\": {\"description\": \"\xC3\xA4\"}}");
  const struct {
    std::string bytes;
    std::string description;
  } cases[] = {
      {"\xEF\xBB\xBF" + body, "\xC3\xA4"},    // UTF-8: one character
      {body, "\xC3\x83\xC2\xA4"},             // Windows-1252: two characters
  };
  for (const auto& c : cases) {
    const std::string path = folder.File("doc.json");
    testing::WriteBytes(path, c.bytes);
    EXPECT_EQ(LoadSwagger(path)->Fdefinitions->FItems[0]->Fdescription, c.description);
  }
}

TEST(HandOverTest, HandsOverWhatTheUnitNeeds) {
  const auto swagger = LoadSwaggerText(R"({"swagger": "2.0", "host": "h.example", "basePath": "/v2",
      "schemes": ["https", "wss"], "paths": {"/p": {"get": {"responses": {}}}},
      "securityDefinitions": {"k": {"type": "apiKey"}, "o": {"type": "oauth2"}},
      "definitions": {
        "Pet": {"type": "object", "description": "A pet", "properties": {
          "tags": {"type": "array", "items": {"$ref": "#/definitions/Tag"}, "description": "Tags"},
          "category": {"$ref": "#/definitions/Category"},
          "names": {"type": "array", "format": "f", "items": {"type": "string"}}}},
        "Tag": {"type": "object"}}})");
  TUnitDefinition unit;
  std::vector<std::string> lines;
  HandOver(*swagger, unit, "dir/doc.json", "Pet", [&](const std::string& ALine) { lines.push_back(ALine); });

  unit.Log("hello");
  EXPECT_EQ(lines, std::vector<std::string>{"hello"});
  EXPECT_EQ(unit.FName, "dir/doc.json");
  EXPECT_EQ(unit.FHost, "h.example");
  EXPECT_EQ(unit.FBasePath, "/v2");
  EXPECT_EQ(unit.FClassnameFilter, "Pet");
  EXPECT_FALSE(unit.FConfig.WriteOperations);
  EXPECT_EQ(unit.FSchemes, (std::vector<std::string>{"https", "wss"}));
  EXPECT_EQ(unit.FPaths, swagger->Fpaths.get());
  ASSERT_EQ(unit.FSecurityDefinitions.size(), 2u);
  EXPECT_EQ(unit.FSecurityDefinitions[1], swagger->FsecurityDefinitions->FItems[1].get());

  ASSERT_EQ(unit.FObjects.size(), 2u);
  const TObjectDefinition& pet = *unit.FObjects[0];
  EXPECT_EQ(pet.Name(), "Pet");
  EXPECT_EQ(pet.Type(), "object");
  EXPECT_EQ(pet.description(), "A pet");
  ASSERT_EQ(pet.Properties().size(), 3u);
  const struct {
    std::string name, type, format, ref, item_ref, item_type, description;
  } expected[] = {
      {"tags", "array", "", "", "#/definitions/Tag", "", "Tags"},
      {"category", "", "", "#/definitions/Category", "", "", ""},
      {"names", "array", "f", "", "", "string", ""},
  };
  for (size_t i = 0; i < 3; ++i) {
    const TPropertyDefinition& property = pet.Properties()[i];
    EXPECT_EQ(property.Name(), expected[i].name);
    EXPECT_EQ(property.Type(), expected[i].type);
    EXPECT_EQ(property.Format(), expected[i].format);
    EXPECT_EQ(property.ref(), expected[i].ref);
    EXPECT_EQ(property.Itemref(), expected[i].item_ref);
    EXPECT_EQ(property.Itemtype(), expected[i].item_type);
    EXPECT_EQ(property.description(), expected[i].description);
  }
  EXPECT_EQ(unit.FObjects[1]->Name(), "Tag");
  // The definitions were taken over and freed.
  EXPECT_EQ(swagger->Fdefinitions, nullptr);

  TUnitDefinition without_filter;
  HandOver(*swagger, without_filter, "doc.json", "", nullptr);
  EXPECT_TRUE(without_filter.FConfig.WriteOperations);
  EXPECT_EQ(without_filter.FClassnameFilter, "");

  const auto bare = LoadSwaggerText(Document("{}"));
  TUnitDefinition no_schemes;
  HandOver(*bare, no_schemes, "doc.json", "", nullptr);
  EXPECT_TRUE(no_schemes.FSchemes.empty());
}

TEST(ConverterTest, RunsTheConversionAndDropsBorrowedReferences) {
  testing::TempFolder folder;
  const std::string path = folder.File("api.json");
  testing::WriteBytes(path, Document(R"({"/a": {"get": {"responses": {}}}})", R"({"k": {"type": "apiKey"}})",
                                     R"({"Pet": {"type": "object"}})"));
  std::vector<std::string> lines;
  TSwaggerConverter converter([&](const std::string& ALine) { lines.push_back(ALine); });
  converter.SetClassnameFilter("Pet");
  converter.SetFileName(path);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "Reading " + path);
  EXPECT_FALSE(converter.UnitDefinition().FConfig.WriteOperations);
  EXPECT_EQ(converter.UnitDefinition().FClassnameFilter, "Pet");
  EXPECT_EQ(converter.UnitDefinition().FPaths, nullptr);
  EXPECT_TRUE(converter.UnitDefinition().FSecurityDefinitions.empty());
  EXPECT_TRUE(std::filesystem::exists(folder.File("api.pas")));
}

TEST(ConverterTest, ALoadingFailureWritesNoUnit) {
  testing::TempFolder folder;
  const std::string path = folder.File("api.json");
  testing::WriteBytes(path, R"({"swagger": "2.0", "paths": {}})");
  std::vector<std::string> lines;
  TSwaggerConverter converter([&](const std::string& ALine) { lines.push_back(ALine); });
  EXPECT_THROW(converter.SetFileName(path), EJSONException);
  EXPECT_EQ(lines, std::vector<std::string>{"Reading " + path});
  EXPECT_FALSE(std::filesystem::exists(folder.File("api.pas")));
}

}  // namespace
}  // namespace tolvane
