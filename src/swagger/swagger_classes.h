#pragma once

// The in-memory model of a Swagger 2.0 document. Partial by design: only the
// members listed here are kept; the loader's filling rule ignores the rest.
// Fields are public and named after the document's members, "F" + key.
// Every object-valued field and every array of objects owns what it holds;
// an absent object is a null pointer. Texts are views into the document's
// text, which the model's root keeps (TSwagger::FDocumentText): a large
// document has hundreds of thousands of them, and copying each would double
// the memory they take.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

struct TContact {
  std::string_view Fname;
  std::string_view Furl;
  std::string_view Femail;
};

struct TLicense {
  std::string_view Fname;
  std::string_view Furl;
};

struct TInfo {
  std::string_view Ftitle;
  std::string_view Fdescription;
  std::string_view FtermsOfService;
  std::unique_ptr<TContact> Fcontact;
  std::unique_ptr<TLicense> Flicense;
  std::string_view Fversion;
};

struct TTag {
  std::string_view Fname;
  std::string_view Fdescription;
};

struct TExternalDocs {
  std::string_view Fdescription;
  std::string_view Furl;
};

// A response's "headers" and "examples" produce empty objects; their content
// is not kept.
struct THeaders {};
struct TExample {};

struct TItems {
  std::string_view Fref;   // only from the member "$ref"
  std::string_view Ftype;
};

struct TSchema {
  std::string_view Fref;   // only from the member "$ref"
  std::string_view Ftype;
  std::unique_ptr<TItems> Fitems;
};

struct TSchemaOwner {
  std::unique_ptr<TSchema> Fschema;
};

struct TParameter : TSchemaOwner {
  std::string_view Fname;
  std::string_view Fin;
  std::string_view Fdescription;
  bool Frequired = false;
  std::string_view Ftype;
  std::string_view Fformat;
  bool FallowEmptyValue = false;
  std::unique_ptr<TItems> Fitems;
  std::string_view FcollectionFormat;
  std::string_view Fdefault;
  double Fmaximum = 0;
  bool FexclusiveMaximum = false;
  double Fminimum = 0;
  bool FexclusiveMinimum = false;
  int32_t FmaxLength = 0;
  int32_t FminLength = 0;
  std::string_view Fpattern;
  int32_t FmaxItems = 0;
  int32_t FminItems = 0;
  bool FuniqueItems = false;
  std::vector<std::string_view> Fenum;
};

struct TResponse : TSchemaOwner {
  std::string_view Fdescription;
  std::unique_ptr<THeaders> FHeaders;
  std::unique_ptr<TExample> Fexamples;
  std::string_view FresponseCode;  // set by the loader from the map key
};

// One security requirement of an operation. Only a member with the empty key
// fills FName; the loader names the first entry of one operation per path.
struct TSecurity {
  std::string_view FName;
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
  std::vector<std::string_view> Ftags;
  std::string_view Fsummary;
  std::string_view Fdescription;
  std::unique_ptr<TExternalDocs> FexternalDocs;
  std::string_view FoperationId;
  std::vector<std::string_view> Fconsumes;
  std::vector<std::string_view> Fproduces;
  std::vector<std::unique_ptr<TParameter>> Fparameters;
  std::unique_ptr<TResponses> Fresponses;  // absent without a "responses" member
  std::vector<std::string_view> Fschemes;
  bool Fdeprecated = false;
  std::vector<std::unique_ptr<TSecurity>> Fsecurity;
};

struct TPath {
  std::string_view Fref;  // only from the member "$ref"
  std::unique_ptr<TOperation> Fget;
  std::unique_ptr<TOperation> Fput;
  std::unique_ptr<TOperation> Fpost;
  std::unique_ptr<TOperation> Fdelete;
  std::unique_ptr<TOperation> Foptions;
  std::unique_ptr<TOperation> Fhead;
  std::unique_ptr<TOperation> Fpatch;
  std::string_view Fpath;  // set by the loader: the key in "paths"

  // get, put, post, delete, options, head, patch; absent ones are null.
  std::array<TOperation*, 7> Operations() const;
  // get, put, post, delete, patch: the operations the client serves.
  std::array<TOperation*, 5> SupportedOperations() const;
  // The method table lookup (exact, case-sensitive) on the name of the first
  // security entry of that operation. Unknown names, absent operations and
  // operations without security entries: nothing / empty text.
  std::string_view GetSecurity(std::string_view AOperation) const;
  void SetSecurity(std::string_view AOperation, std::string_view ASecurityName);
  // The operation field for a method table name, or null for other names.
  std::unique_ptr<TOperation>* OperationField(std::string_view AMethod);
};

struct TPaths : TCollection<TPath> {};

struct TProperty {
  std::string_view Fname;  // set by the loader: the key in "properties"
  std::string_view Ftype;
  // Replaced by the loader with the whole property object read as a schema.
  std::unique_ptr<TSchema> Fitems;
  std::string_view Fdescription;
  std::string_view Fformat;
  std::string_view Fref;  // only from the member "$ref"
};

struct TDefinition {
  std::string_view FName;  // set by the loader: the key in "definitions"
  std::vector<std::unique_ptr<TProperty>> Fproperties;
  std::string_view Ftype;
  std::string_view Ftitle;
  std::string_view Fdescription;
  int32_t Add(std::unique_ptr<TProperty> AProperty) {
    Fproperties.push_back(std::move(AProperty));
    return static_cast<int32_t>(Fproperties.size()) - 1;
  }
};

struct TDefinitions : TCollection<TDefinition> {};

struct TSecurityDefinition {
  std::string_view Ftype;
  std::string_view Fname;
  std::string_view FIn;
  std::string_view FauthorizationUrl;
  std::string_view Fflow;
  std::string_view FSecurityname;  // set by the loader: the key in "securityDefinitions"
};

struct TSecurityDefinitions : TCollection<TSecurityDefinition> {};

struct TSwagger {
  std::string_view FSwagger;
  std::unique_ptr<TInfo> Finfo;
  std::string_view Fhost;
  std::string_view FbasePath;
  std::vector<std::string_view> Fschemes;
  std::vector<std::string_view> Fconsumes;
  std::vector<std::string_view> Fproduces;
  std::unique_ptr<TPaths> Fpaths;
  std::vector<std::unique_ptr<TTag>> Ftags;
  std::unique_ptr<TSecurityDefinitions> FsecurityDefinitions;
  std::unique_ptr<TDefinitions> Fdefinitions;
  // Keeps the text that the texts of the whole model view; set by the loader.
  std::shared_ptr<const void> FDocumentText;
};

}  // namespace tolvane
