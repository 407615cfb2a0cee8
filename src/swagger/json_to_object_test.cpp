#include "swagger/json_to_object.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "platform/exceptions.h"
#include "swagger/swagger_classes.h"

namespace tolvane {
namespace {

const std::string kInvalidCast = "EInvalidCast: Ungültige Typumwandlung";

std::string Failure1(const std::string& AValue, const std::string& AKey, const std::string& AClass) {
  return "EConversionError: Intern: Wert " + AValue + " kann nicht für eine Zuweisung zu Feld " +
         AKey + " in Typ " + AClass + " konvertiert werden";
}

std::string Failure2(const std::string& AKey, const std::string& AType) {
  return "EConversionError: Wert für Feld " + AKey + " kann nicht gesetzt werden; Array anstatt " +
         AType + " erwartet";
}

std::string Failure4(const std::string& AText, const std::string& AClass) {
  return "EConversionError: Wert " + AText + " kann nicht in " + AClass +
         " konvertiert werden. Verwenden Sie evtl. ein benutzerdefiniertes Reversions-Tool";
}

std::string Join(const std::vector<std::string_view>& AItems) {
  std::string text = "[";
  for (size_t i = 0; i < AItems.size(); ++i) (text += i > 0 ? "," : "") += AItems[i];
  return text + "]";
}

// Fills a T from AJson and shows the result through AShow, or shows the
// failure as the command line would print it.
template <typename T>
std::string FillAndShow(const std::string& AJson, const std::function<std::string(const T&)>& AShow) {
  try {
    const auto object = JsonToObject<T>(AJson);
    return AShow(*object);
  } catch (const Exception& failure) {
    return std::string(failure.ClassName()) + ": " + failure.Message();
  }
}

struct Cell {
  std::string value;     // the member's value in the document
  std::string expected;  // the field afterwards, or the failure line
};

// Each field is first given APrevious, then the value of the cell, so that
// the cells show both replacing and skipping.
template <typename T>
void CheckColumn(const std::string& AKey, const std::string& APrevious,
                 const std::function<std::string(const T&)>& AShow,
                 std::initializer_list<Cell> ACells) {
  for (const Cell& cell : ACells) {
    const std::string json =
        "{\"" + AKey + "\": " + APrevious + ", \"" + AKey + "\": " + cell.value + "}";
    EXPECT_EQ(FillAndShow<T>(json, AShow), cell.expected) << json;
  }
}

TEST(JsonToObjectTest, StringField) {
  CheckColumn<TParameter>("description", "\"old\"", [](const TParameter& p) { return std::string(p.Fdescription); },
                          {
                              {"\"text\"", "text"},
                              {"\"\"", ""},
                              {"1.50", "1.50"},
                              {"-12e3", "-12e3"},
                              {"-1E+999", "-1E+999"},
                              {"1" + std::string(400, '0'), "1" + std::string(400, '0')},
                              {"true", kInvalidCast},
                              {"false", kInvalidCast},
                              {"null", ""},
                              {"{\"a\": 1}", "old"},
                              {"[\"x\"]", Failure2("description", "string")},
                          });
}

TEST(JsonToObjectTest, BooleanField) {
  const auto show = [](const TParameter& p) { return std::string(p.Frequired ? "true" : "false"); };
  CheckColumn<TParameter>("required", "true", show,
                          {
                              {"\"true\"", "true"},
                              {"\"TRUE\"", "true"},
                              {"\"False\"", "false"},
                              {"\"yes\"", "false"},
                              {"\"\"", "false"},
                              {"1", "false"},
                              {"true", "true"},
                              {"false", "false"},
                              {"null", "false"},
                              {"{}", "true"},
                              {"[]", Failure2("required", "Boolean")},
                          });
  CheckColumn<TParameter>("required", "false", show, {{"\"tRuE\"", "true"}, {"{}", "false"}});
}

TEST(JsonToObjectTest, IntegerField) {
  CheckColumn<TParameter>("maxLength", "7",
                          [](const TParameter& p) { return std::to_string(p.FmaxLength); },
                          {
                              {"\"10\"", "10"},
                              {"\"-3\"", "-3"},
                              {"\"+4\"", "4"},
                              {"\"10.5\"", "0"},
                              {"\"1e2\"", "0"},
                              {"\"x\"", "0"},
                              {"\"\"", "0"},
                              {"\" 5\"", "0"},
                              {"10", "10"},
                              {"10.5", "0"},
                              {"-2147483648", "-2147483648"},
                              {"2147483648", "0"},
                              {"1e400", "0"},
                              {"1" + std::string(400, '0'), "0"},
                              {"true", kInvalidCast},
                              {"null", "0"},
                              {"{}", "7"},
                              {"[1]", Failure2("maxLength", "Integer")},
                          });
}

TEST(JsonToObjectTest, DoubleField) {
  CheckColumn<TParameter>("maximum", "7", [](const TParameter& p) {
    std::ostringstream text;
    text << p.Fmaximum;
    return text.str();
  },
                          {
                              {"\"2.5\"", "2.5"},
                              {"\"-1e3\"", "-1000"},
                              {"\".5\"", "0.5"},
                              {"\"2,5\"", "0"},
                              {"\"inf\"", "0"},
                              {"\"nan\"", "0"},
                              {"\"0x10\"", "0"},
                              {"\"\"", "0"},
                              {"1.50", "1.5"},
                              {"-0.25", "-0.25"},
                              {"\"1e999\"", "0"},
                              {"1e308", "1e+308"},
                              {"1e400", "0"},
                              {"-123e99999", "0"},
                              {"false", kInvalidCast},
                              {"null", "0"},
                              {"{}", "7"},
                              {"[]", Failure2("maximum", "Double")},
                          });
}

TEST(JsonToObjectTest, StringArrayField) {
  CheckColumn<TParameter>("enum", "[\"p\"]", [](const TParameter& p) { return Join(p.Fenum); },
                          {
                              {"\"x\"", Failure1("x", "enum", "TParameter")},
                              {"12.0", Failure1("12.0", "enum", "TParameter")},
                              {"true", kInvalidCast},
                              {"null", "[]"},
                              {"{}", "[p]"},
                              {"[]", "[]"},
                              {"[\"a\", 1.0, null, [1, 2], \"b\"]", "[a,1.0,,,b]"},
                              {"[\"a\", true]", kInvalidCast},
                              {"[{}]", kInvalidCast},
                          });
}

TEST(JsonToObjectTest, ModelObjectField) {
  const auto show = [](const TParameter& p) {
    if (p.Fitems == nullptr) return std::string("absent");
    return "type=" + std::string(p.Fitems->Ftype) + " ref=" + std::string(p.Fitems->Fref);
  };
  CheckColumn<TParameter>("items", "{\"type\": \"old\"}", show,
                          {
                              {"\"x\"", Failure1("x", "items", "TParameter")},
                              {"3", Failure1("3", "items", "TParameter")},
                              {"true", kInvalidCast},
                              {"null", "absent"},
                              {"{}", "type= ref="},
                              {"{\"type\": \"t\", \"$ref\": \"r\"}", "type=t ref=r"},
                              {"[]", Failure2("items", "TItems")},
                              // A failure inside is absorbed: the field is
                              // absent, even though it was filled before.
                              {"{\"type\": [\"x\"]}", "absent"},
                              {"{\"type\": true}", "absent"},
                          });
}

TEST(JsonToObjectTest, ModelObjectArrayField) {
  const auto show = [](const TOperation& o) {
    std::vector<std::string_view> names;
    for (const auto& parameter : o.Fparameters) names.push_back(parameter->Fname);
    return Join(names);
  };
  CheckColumn<TOperation>("parameters", "[{\"name\": \"old\"}]", show,
                          {
                              {"\"x\"", Failure1("x", "parameters", "TOperation")},
                              {"1", Failure1("1", "parameters", "TOperation")},
                              {"false", kInvalidCast},
                              {"null", "[]"},
                              {"{}", "[old]"},
                              {"[]", "[]"},
                              {"[{\"name\": \"a\"}, null, {\"name\": \"b\"}]", "[a,b]"},
                              {"[\"s\"]", Failure4("s", "TParameter")},
                              {"[7.5]", Failure4("7.5", "TParameter")},
                              {"[[1]]", Failure4("", "TParameter")},
                              {"[true]", kInvalidCast},
                              // A failure inside an element is not absorbed.
                              {"[{\"name\": [\"x\"]}]", Failure2("name", "string")},
                              {"[{\"default\": false}]", kInvalidCast},
                          });
}

TEST(JsonToObjectTest, MembersFindFieldsIgnoringCaseExceptFixedKeys) {
  const auto items = [](const TItems& i) { return "type=" + std::string(i.Ftype) + " ref=" + std::string(i.Fref); };
  const struct {
    std::string json;
    std::string expected;
  } cases[] = {
      {R"({"Type": "a"})", "type=a ref="},
      {R"({"TYPE": "a", "type": "b"})", "type=b ref="},
      {R"({"$ref": "r"})", "type= ref=r"},
      {R"({"ref": "r"})", "type= ref="},
      {R"({"Ref": "r", "$REF": "s", "Fref": "t"})", "type= ref="},
      {R"({"X-Custom": "x", "example": 1, "type": "t", "": "e"})", "type=t ref="},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FillAndShow<TItems>(c.json, std::function<std::string(const TItems&)>(items)),
              c.expected)
        << c.json;
  }

  // The security entry's name answers only to the empty key.
  EXPECT_EQ(JsonToObject<TSecurity>(R"({"name": "a", "Name": "b"})")->FName, "");
  EXPECT_EQ(JsonToObject<TSecurity>(R"({"": "a"})")->FName, "a");

  const auto parameter = JsonToObject<TParameter>(
      R"({"Description": "d", "IN": "query", "collectionformat": "csv", "Schema": {"$ref": "#/x"}})");
  EXPECT_EQ(parameter->Fdescription, "d");
  EXPECT_EQ(parameter->Fin, "query");
  EXPECT_EQ(parameter->FcollectionFormat, "csv");
  ASSERT_NE(parameter->Fschema, nullptr);
  EXPECT_EQ(parameter->Fschema->Fref, "#/x");

  // Fields that the loader sets from map keys are filled like others first.
  EXPECT_EQ(JsonToObject<TResponse>(R"({"responseCode": "x"})")->FresponseCode, "x");
  EXPECT_EQ(JsonToObject<TSecurityDefinition>(R"({"securityName": "s", "in": "header"})")->FSecurityname, "s");
  EXPECT_EQ(JsonToObject<TSecurityDefinition>(R"({"in": "header"})")->FIn, "header");
}

TEST(JsonToObjectTest, ResponseHeadersAndExamplesAreEmptyObjects) {
  const auto response = JsonToObject<TResponse>(
      R"({"description": "ok", "headers": {"X-Rate": {"type": "integer"}}, "examples": {"application/json": [1, true]}})");
  EXPECT_EQ(response->Fdescription, "ok");
  EXPECT_NE(response->FHeaders, nullptr);
  EXPECT_NE(response->Fexamples, nullptr);
  EXPECT_EQ(FillAndShow<TResponse>(R"({"headers": "x"})", [](const TResponse&) { return ""; }),
            Failure1("x", "headers", "TResponse"));
}

TEST(JsonToObjectTest, FailuresAreAbsorbedAtTheNearestModelObjectField) {
  // One parameter with a Boolean default makes the whole operation absent.
  const auto path = JsonToObject<TPath>(
      R"({"get": {"operationId": "a", "parameters": [{"name": "p"}, {"default": false}]},
          "post": {"operationId": "b"},
          "put": {"parameters": [{"enum": [true]}]}})");
  EXPECT_EQ(path->Fget, nullptr);
  EXPECT_EQ(path->Fput, nullptr);
  ASSERT_NE(path->Fpost, nullptr);
  EXPECT_EQ(path->Fpost->FoperationId, "b");

  // Absorbed at the innermost object field: info stays, contact goes.
  const auto swagger = JsonToObject<TSwagger>(
      R"({"info": {"title": "t", "contact": {"name": true}, "license": {"name": "MIT"}}, "host": "h"})");
  ASSERT_NE(swagger->Finfo, nullptr);
  EXPECT_EQ(swagger->Finfo->Ftitle, "t");
  EXPECT_EQ(swagger->Finfo->Fcontact, nullptr);
  ASSERT_NE(swagger->Finfo->Flicense, nullptr);
  EXPECT_EQ(swagger->Finfo->Flicense->Fname, "MIT");
  EXPECT_EQ(swagger->Fhost, "h");

  EXPECT_EQ(JsonToObject<TSwagger>(R"({"info": {"title": ["x"]}})")->Finfo, nullptr);
  EXPECT_EQ(JsonToObject<TSwagger>(R"({"info": {"title": "a"}, "info": {"title": ["x"]}})")->Finfo,
            nullptr);
  EXPECT_EQ(JsonToObject<TSwagger>(R"({"host": "a", "host": "b"})")->Fhost, "b");

  // Outside model object fields failures travel out.
  EXPECT_EQ(FillAndShow<TSwagger>(R"({"host": ["x"]})", [](const TSwagger&) { return ""; }),
            Failure2("host", "string"));
  EXPECT_EQ(FillAndShow<TSwagger>(R"({"tags": [{"name": "a"}, {"name": ["b"]}]})",
                                  [](const TSwagger&) { return ""; }),
            Failure2("name", "string"));
  EXPECT_EQ(FillAndShow<TSwagger>(R"({"paths": []})", [](const TSwagger&) { return ""; }),
            Failure2("paths", "TPaths"));
}

TEST(JsonToObjectTest, CollectionsFillTheirItemsFromAnItemsMember) {
  const auto paths = JsonToObject<TPaths>(R"({"/a": {}, "ITEMS": [{"$ref": "r"}, null]})");
  ASSERT_EQ(paths->FItems.size(), 1u);
  EXPECT_EQ(paths->FItems[0]->Fref, "r");
  EXPECT_TRUE(JsonToObject<TDefinitions>(R"({"Pet": {"type": "object"}})")->FItems.empty());
  EXPECT_EQ(FillAndShow<TResponses>(R"({"items": 5})", [](const TResponses&) { return ""; }),
            Failure1("5", "items", "TResponses"));
  // At the root the collection field absorbs it.
  EXPECT_EQ(JsonToObject<TSwagger>(R"({"definitions": {"items": 5}})")->Fdefinitions, nullptr);
}

TEST(JsonToObjectTest, OnlyObjectsConvert) {
  for (const std::string text : {"null", "[]", "[{}]", "\"x\"", "1", "true"}) {
    EXPECT_EQ(FillAndShow<TPath>(text, [](const TPath&) { return ""; }),
              "EConversionError: Der Eingabewert ist kein gültiges Objekt")
        << text;
  }
  EXPECT_THROW(JsonToObject<TPath>("{"), EJSONException);
}

}  // namespace
}  // namespace tolvane
