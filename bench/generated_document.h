#pragma once

// A generated Swagger 2.0 document of any size, for the benchmarks and for
// whole-process runs (bench/tools/make_document.cpp). Definitions carry every
// common kind of property (references to earlier definitions, arrays of
// them, simple types, descriptions); operations carry every way an argument
// reaches the request, and the first operation of each path item a result
// and a security requirement. With the defaults it is about 40 MB, and its
// size grows in proportion to the two counts.

#include <string>

namespace tolvane::bench {

struct TDocumentShape {
  int Definitions = 20000;
  int Operations = 20000;
  int SecurityDefinitions = 500;
  // Descriptions of about 370 characters on definitions and operations, as
  // real documents carry; off, a document of the same structure is a
  // fifth of the size.
  bool LongDescriptions = true;
};

// A shape of about AMegabytes with definitions and operations in equal
// numbers (40 MB: 20,000 each).
inline TDocumentShape ShapeOfSize(double AMegabytes) {
  TDocumentShape shape;
  shape.Definitions = shape.Operations = static_cast<int>(AMegabytes * 500);
  return shape;
}

inline std::string GenerateDocument(const TDocumentShape& AShape) {
  std::string filler;
  if (AShape.LongDescriptions) {
    for (int i = 0; i < 6; ++i) {
      if (i > 0) filler += ' ';
      filler += "A longer description that a real document would carry here";
    }
  }
  const int definitions = AShape.Definitions > 0 ? AShape.Definitions : 1;
  std::string out;
  out.reserve(static_cast<size_t>(AShape.Definitions + AShape.Operations) * 1100 + 65536);
  const auto append = [&out](auto&&... pieces) { (out.append(pieces), ...); };
  const auto number = [](long n) { return std::to_string(n); };

  append(R"({"swagger":"2.0","info":{"title":"Large","version":"1"},"host":"api.example.com",)",
         R"("basePath":"/v1","schemes":["https"],"paths":{)");
  const char* const methods[] = {"get", "put", "post", "delete"};
  for (int op = 0, path = 0; op < AShape.Operations; ++path) {
    if (path > 0) out += ',';
    append("\"/items", number(path), "/{id}\":{");
    for (int m = 0; m < 4 && op < AShape.Operations; ++m, ++op) {
      if (m > 0) out += ',';
      append("\"", methods[m], R"(":{"operationId":")", methods[m], "Item", number(path),
             R"(","summary":"Operation number )", number(op), R"( on the items","description":")",
             filler, R"(","produces":["application/json"],)",
             R"("consumes":["application/x-www-form-urlencoded"],"parameters":[)",
             R"({"name":"id","in":"path","required":true,"type":"integer","format":"int64"},)",
             R"({"name":"filter-)", number(op), R"(","in":"query","type":"string","description":"Filters the result"},)",
             R"({"name":"X-Trace","in":"header","type":"integer"},)",
             R"({"name":"tags","in":"query","type":"array","items":{"type":"string"}},)");
      if (m == 1 || m == 2) {
        append(R"({"name":"body","in":"body","required":true,"schema":{"type":"array",)",
               R"("items":{"$ref":"#/definitions/Definition-)", number(op % definitions), R"("}}}])");
      } else {
        append(R"({"name":"note","in":"formData","type":"string"}])");
      }
      if (m == 0) {
        append(R"(,"responses":{"200":{"description":"ok","schema":{"$ref":"#/definitions/Definition-)",
               number(path % definitions), R"("}},"default":{"description":"error"}},"security":[{"key)",
               number(path % AShape.SecurityDefinitions), R"(":[]}])");
      }
      out += '}';
    }
    out += '}';
  }
  out += R"(},"securityDefinitions":{)";
  for (int i = 0; i < AShape.SecurityDefinitions; ++i) {
    if (i > 0) out += ',';
    append(R"("key)", number(i), R"(":{"type":"apiKey","name":"api_key","in":"header"})");
  }
  out += R"(},"definitions":{)";
  for (int d = 0; d < AShape.Definitions; ++d) {
    if (d > 0) out += ',';
    append(R"("Definition-)", number(d), R"(":{"type":"object","description":"Definition number )",
           number(d), ". ", filler, R"(","properties":{)");
    for (int p = 0; p < 10; ++p) {
      if (p > 0) out += ',';
      const std::string target = number(d == 0 ? 0 : (static_cast<long>(d) * 7 + p) % d);
      append(R"("prop-)", number(p), "\":");
      switch (p) {
        case 0: out += R"({"type":"integer","format":"int64","description":"The identifier of the record"})"; break;
        case 1: out += R"({"type":"string","description":"A name\nover two lines, with some words to make it longer"})"; break;
        case 2: out += R"({"type":"number","format":"double"})"; break;
        case 3: out += R"({"type":"string","format":"date-time"})"; break;
        case 4: append(R"({"$ref":"#/definitions/Definition-)", target, R"("})"); break;
        case 5: append(R"({"type":"array","items":{"$ref":"#/definitions/Definition-)", target, R"("}})"); break;
        case 6: out += R"({"type":"array","items":{"type":"string"}})"; break;
        case 7: out += R"({"type":"boolean"})"; break;
        case 8: out += R"({"type":"integer","format":"int32","description":"A count"})"; break;
        default: out += R"({"type":"string","enum":["a","b","c"]})";
      }
    }
    out += "}}";
  }
  out += "}}";
  return out;
}

// The text with room after it for RapidJSON's scans of sixteen bytes at a
// time, which read up to the end of the aligned block that holds the
// terminating NUL.
inline std::string WithScanRoom(std::string AText) {
  AText.reserve(AText.size() + 16);
  return AText;
}

}  // namespace tolvane::bench
