#pragma once

// The resolved unit: everything the unit will say, decided before its first
// line is written. A rule builds it: the plain rule from the unit model
// (unit_resolver.h), the rule of --compilable from the API model
// (api_unit.h); the writers (unit_writer.h)
// print it and decide nothing. Every identifier, type text, ownership flag,
// comment and request line is here as finished text, so a new rule is a new
// way of filling these structures, never a branch in a writer.
//
// Texts are finished: identifiers carry their "&" where they have one, type
// texts are as written (TArray<TTag>), literals are quoted ("'/pets'").
// Lines held here carry no indent of their own unless said otherwise: the
// writer puts them at the indent of their place.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "unitdef/output_name.h"

namespace tolvane {

// What a class's destructor does with one of its fields.
enum class TOwnership : uint8_t {
  None,         // a value: nothing to free
  Object,       // "if Assigned(F) then F.Free;"
  ObjectArray,  // "for T in F do T.Free;"
};

// One property of a class: a private field and a public property.
struct TResolvedField {
  // Comment texts above the field: the document's description where the
  // unit views it in the document's text (TResolvedUnit::KeptTexts), then
  // the others (descriptions, allowed values). Each is written as "// "
  // lines, one per line of the text.
  std::string_view Description;
  std::vector<std::string> Comments;
  // The field's JSON key as a literal ("'id'", "'a'#9'b'"), given to the
  // attribute line right above the field line, at its indent:
  // "[JSONName('id')]"; empty for no attribute.
  std::string JsonKey;
  std::string Field;     // "Fid"
  std::string Property;  // "id", "&type"
  std::string Type;      // int64, TArray<TTag>
  TOwnership Ownership = TOwnership::None;
};

struct TResolvedClass {
  std::string_view Description;       // as TResolvedField::Description
  std::vector<std::string> Comments;  // as TResolvedField::Comments
  std::string Identifier;             // "TPet"
  // "TBase" declares "TPet = class(TBase)"; empty declares "TPet = class".
  // The destructor always ends with "inherited;".
  std::string Ancestor;
  std::vector<TResolvedField> Fields;

  // A class with a field that owns something has a destructor.
  bool HasDestructor() const;
  // Its destructor loops over an array and declares the loop variable.
  bool OwnsArrays() const;
};

// Code the unit holds once besides the classes and the client, such as a
// class of its own for failed requests: lines at the indent of the type
// section ("  EApiError = class(Exception)", ...), written after the classes,
// and implementation lines (no indent), written after the destructors.
struct TSupportCode {
  std::vector<std::string> Declaration;
  std::vector<std::string> Implementation;
};

// How one request sends the client's Authorization value.
struct TResolvedCredentials {
  // Comment texts in the request's setup ("Security (oauth2) ...").
  std::vector<std::string> Comments;
  // The request parameter that carries the value, as a quoted literal
  // ("'api_key'"), and its kind ("pkHTTPHEADER", "pkQUERY", or empty where
  // the document gives none); an empty Name sends nothing.
  std::string Name;
  std::string Kind;
};

// One argument of a client method.
struct TResolvedArgument {
  std::string Name;  // "petId", "&name"
  std::string Type;  // int64, TArray<string>
  // The presence test of an optional argument ("limit<> 0"): its request
  // lines are written inside "if <Condition> then begin ... end;". Empty for
  // a required argument, whose lines stand alone.
  std::string Condition;
  // The lines that hand the argument to the request, at the indent of the
  // request setup; a line nested in a loop carries two blanks more
  // ("for LtagsItem in tags do", "  Request.AddParameter(...);").
  std::vector<std::string> RequestLines;
};

// One method of the client class, with everything its body says.
struct TResolvedMethod {
  std::string Name;                          // "getPetById", "&type"
  std::vector<TResolvedArgument> Arguments;  // in signature order
  std::string ResultType;                    // empty for a procedure
  // The method's locals after Client, Request and Response, as they stand in
  // the var block ("LstatusItem : string;", "ReturnArray: TJSONArray;").
  std::vector<std::string> Locals;
  // Statements after the REST objects are created ("LbodyItemArray :=
  // TJSONArray.Create;").
  std::vector<std::string> Creations;
  // "Result := nil;" before anything else: an object result.
  bool ClearsResult = false;
  std::string RequestMethod;  // "rmGET"
  std::string Accept;         // a quoted media type, or empty for no Accept line
  std::string Resource;       // the quoted path template
  TResolvedCredentials Credentials;
  // The result block: "if <ResultCondition> then begin <ResultLines> end;",
  // or the lines alone when the condition is empty; nothing without lines.
  // Lines nested in the block's loop carry two blanks more.
  std::string ResultCondition;
  std::vector<std::string> ResultLines;
};

struct TResolvedUnit {
  TOutputName Output;     // the file written and the unit's name
  std::string TimeStamp;  // "2026-12-09 10:40:00", in the header comment

  std::vector<std::string> InterfaceUses;       // "System.JSON"
  std::vector<std::string> ImplementationUses;  // empty: no uses clause

  // Classes declared "TX = class;" before the first class block.
  std::vector<std::string> ForwardDeclarations;
  // The classes written, in declaration order.
  std::vector<TResolvedClass> Classes;
  std::vector<TSupportCode> Support;

  // The client class and its methods, when the unit has one.
  bool HasClient = false;
  std::vector<std::string> ClientComments;  // above the client class
  std::string ClientClass;                  // "Tapiv1"
  std::string BaseUrl;                      // quoted: "'https://h/api/v1'"
  std::vector<TResolvedMethod> Methods;
  // Lines right after "Request.Execute;" in every method (a status check
  // that raises); held once, as every method says the same.
  std::vector<std::string> StatusCheck;

  // The lines are fitted to Delphi's line and literal limits before saving.
  bool FitsDelphiLimits = false;

  // What the unit's views (the Description members) point into, held until
  // the unit is written: a description is not copied, however long.
  std::vector<std::shared_ptr<const void>> KeptTexts;
};

}  // namespace tolvane
