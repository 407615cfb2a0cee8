#pragma once

// The in-memory model of a Swagger 2.0 document. Partial by design: only the
// members listed here are kept; the loader's filling rule ignores the rest.
// Fields are public and named after the document's members, "F" + key.
// Every object-valued field and every array of objects owns what it holds;
// an absent object is a null pointer.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tolvane {

struct TContact {
  std::string Fname;
  std::string Furl;
  std::string Femail;
};

struct TLicense {
  std::string Fname;
  std::string Furl;
};

struct TInfo {
  std::string Ftitle;
  std::string Fdescription;
  std::string FtermsOfService;
  std::unique_ptr<TContact> Fcontact;
  std::unique_ptr<TLicense> Flicense;
  std::string Fversion;
};

struct TTag {
  std::string Fname;
  std::string Fdescription;
};

struct TExternalDocs {
  std::string Fdescription;
  std::string Furl;
};

// A response's "headers" and "examples" produce empty objects; their content
// is not kept.
struct THeaders {};
struct TExample {};

struct TItems {
  std::string Fref;   // only from the member "$ref"
  std::string Ftype;
};

struct TSchema {
  std::string Fref;   // only from the member "$ref"
  std::string Ftype;
  std::unique_ptr<TItems> Fitems;
};

struct TSchemaOwner {
  std::unique_ptr<TSchema> Fschema;
};

struct TParameter : TSchemaOwner {
  std::string Fname;
  std::string Fin;
  std::string Fdescription;
  bool Frequired = false;
  std::string Ftype;
  std::string Fformat;
  bool FallowEmptyValue = false;
  std::unique_ptr<TItems> Fitems;
  std::string FcollectionFormat;
  std::string Fdefault;
  double Fmaximum = 0;
  bool FexclusiveMaximum = false;
  double Fminimum = 0;
  bool FexclusiveMinimum = false;
  int32_t FmaxLength = 0;
  int32_t FminLength = 0;
  std::string Fpattern;
  int32_t FmaxItems = 0;
  int32_t FminItems = 0;
  bool FuniqueItems = false;
  std::vector<std::string> Fenum;
};

struct TResponse : TSchemaOwner {
  std::string Fdescription;
  std::unique_ptr<THeaders> FHeaders;
  std::unique_ptr<TExample> Fexamples;
  std::string FresponseCode;  // set by the loader from the map key
};

// One security requirement of an operation. Only a member with the empty key
// fills FName; the loader names the first entry of one operation per path.
struct TSecurity {
  std::string FName;
};

// The collections keep the entries of maps keyed by names. The filling rule
// only creates them (a member "items" holding an array would fill FItems);
// the loader's passes append the entries.
template <typename T>
struct TCollection {
  std::vector<std::unique_ptr<T>> FItems;
  // Appends, takes ownership and returns the new index (0 for the first).
  int32_t Add(std::unique_ptr<T> item) {
    FItems.push_back(std::move(item));
    return static_cast<int32_t>(FItems.size()) - 1;
  }
};

struct TResponses : TCollection<TResponse> {};

struct TOperation {
  std::vector<std::string> Ftags;
  std::string Fsummary;
  std::string Fdescription;
  std::unique_ptr<TExternalDocs> FexternalDocs;
  std::string FoperationId;
  std::vector<std::string> Fconsumes;
  std::vector<std::string> Fproduces;
  std::vector<std::unique_ptr<TParameter>> Fparameters;
  std::unique_ptr<TResponses> Fresponses;  // absent without a "responses" member
  std::vector<std::string> Fschemes;
  bool Fdeprecated = false;
  std::vector<std::unique_ptr<TSecurity>> Fsecurity;
};

struct TPath {
  std::string Fref;  // only from the member "$ref"
  std::unique_ptr<TOperation> Fget;
  std::unique_ptr<TOperation> Fput;
  std::unique_ptr<TOperation> Fpost;
  std::unique_ptr<TOperation> Fdelete;
  std::unique_ptr<TOperation> Foptions;
  std::unique_ptr<TOperation> Fhead;
  std::unique_ptr<TOperation> Fpatch;
  std::string Fpath;  // set by the loader: the key in "paths"

  // get, put, post, delete, options, head, patch; absent ones are null.
  std::array<TOperation*, 7> Operations() const;
  // get, put, post, delete, patch: the operations the client serves.
  std::array<TOperation*, 5> SupportedOperations() const;
  // The method table lookup (exact, case-sensitive) on the name of the first
  // security entry of that operation. Unknown names, absent operations and
  // operations without security entries: nothing / empty text.
  std::string GetSecurity(const std::string& AOperation) const;
  void SetSecurity(const std::string& AOperation, const std::string& ASecurityName);
  // The operation field for a method table name, or null for other names.
  std::unique_ptr<TOperation>* OperationField(const std::string& AMethod);
};

struct TPaths : TCollection<TPath> {};

struct TProperty {
  std::string Fname;  // set by the loader: the key in "properties"
  std::string Ftype;
  // Replaced by the loader with the whole property object read as a schema.
  std::unique_ptr<TSchema> Fitems;
  std::string Fdescription;
  std::string Fformat;
  std::string Fref;  // only from the member "$ref"
};

struct TDefinition {
  std::string FName;  // set by the loader: the key in "definitions"
  std::vector<std::unique_ptr<TProperty>> Fproperties;
  std::string Ftype;
  std::string Ftitle;
  std::string Fdescription;
  int32_t Add(std::unique_ptr<TProperty> AProperty) {
    Fproperties.push_back(std::move(AProperty));
    return static_cast<int32_t>(Fproperties.size()) - 1;
  }
};

struct TDefinitions : TCollection<TDefinition> {};

struct TSecurityDefinition {
  std::string Ftype;
  std::string Fname;
  std::string FIn;
  std::string FauthorizationUrl;
  std::string Fflow;
  std::string FSecurityname;  // set by the loader: the key in "securityDefinitions"
};

struct TSecurityDefinitions : TCollection<TSecurityDefinition> {};

struct TSwagger {
  std::string FSwagger;
  std::unique_ptr<TInfo> Finfo;
  std::string Fhost;
  std::string FbasePath;
  std::vector<std::string> Fschemes;
  std::vector<std::string> Fconsumes;
  std::vector<std::string> Fproduces;
  std::unique_ptr<TPaths> Fpaths;
  std::vector<std::unique_ptr<TTag>> Ftags;
  std::unique_ptr<TSecurityDefinitions> FsecurityDefinitions;
  std::unique_ptr<TDefinitions> Fdefinitions;
};

}  // namespace tolvane
