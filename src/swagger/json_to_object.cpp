#include "swagger/json_to_object.h"

#include <array>
#include <charconv>
#include <cmath>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/exceptions.h"
#include "swagger/swagger_classes.h"

namespace tolvane {
namespace {

// ---------------------------------------------------------------------------
// The field tables

enum class FieldKind : uint8_t { String, Boolean, Integer, Double, StringArray, ObjectArray, Object };

struct ModelClass;

// One field of a model class.
struct FieldRow {
  std::string_view name;       // after the "F"; matched against keys ignoring case
  bool has_fixed_key;
  std::string_view fixed_key;  // "$ref" or "": only this exact key fills the field
  FieldKind kind;
  const ModelClass* item;      // the class of an object or object array field
  void* (*address)(void* AObject);
};

// Keys longer than this name no field.
constexpr size_t kMaxKeyLength = 31;

// The rows of a class grouped by the length of the keys that fill them (a
// row with a fixed key stands under the length of its name and of its fixed
// key), so that a member's key is compared with the one to three rows of its
// length, not with all of them.
struct FieldIndex {
  // Rows for keys of length n: rows[start[n]] .. rows[start[n + 1] - 1].
  std::array<uint8_t, kMaxKeyLength + 2> start{};
  std::array<uint8_t, 48> rows{};
};

constexpr char FoldLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

constexpr bool SameNameIgnoringCase(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i) {
    if (FoldLetter(A[i]) != FoldLetter(B[i])) return false;
  }
  return true;
}

// Not a constant expression (so the tables do not compile) when two rows
// could take the same key: then the first row would have to win, and the
// grouped look-up would no longer agree with a scan in table order.
constexpr FieldIndex IndexFields(std::span<const FieldRow> AFields) {
  if (AFields.size() > 24) throw "too many fields for the index";
  for (size_t i = 0; i < AFields.size(); ++i) {
    if (AFields[i].name.empty() || AFields[i].name.size() > kMaxKeyLength) throw "field name length";
    if (AFields[i].fixed_key.size() > kMaxKeyLength) throw "fixed key length";
    for (size_t j = i + 1; j < AFields.size(); ++j) {
      if (SameNameIgnoringCase(AFields[i].name, AFields[j].name)) throw "two fields of one name";
      if (AFields[i].has_fixed_key && AFields[j].has_fixed_key && AFields[i].fixed_key == AFields[j].fixed_key) {
        throw "two fields of one fixed key";
      }
    }
    // Names are letters only; a fixed key must not be one of them.
    for (const FieldRow& other : AFields) {
      if (AFields[i].has_fixed_key && SameNameIgnoringCase(AFields[i].fixed_key, other.name)) {
        throw "a fixed key that is a field name";
      }
    }
  }
  FieldIndex index;
  std::array<uint8_t, kMaxKeyLength + 2> count{};
  for (const FieldRow& row : AFields) {
    ++count[row.name.size() + 1];
    if (row.has_fixed_key && row.fixed_key.size() != row.name.size()) ++count[row.fixed_key.size() + 1];
  }
  for (size_t n = 0; n <= kMaxKeyLength; ++n) index.start[n + 1] = static_cast<uint8_t>(index.start[n] + count[n + 1]);
  std::array<uint8_t, kMaxKeyLength + 1> filled{};
  for (size_t r = 0; r < AFields.size(); ++r) {
    const FieldRow& row = AFields[r];
    index.rows[index.start[row.name.size()] + filled[row.name.size()]++] = static_cast<uint8_t>(r);
    if (row.has_fixed_key && row.fixed_key.size() != row.name.size()) {
      index.rows[index.start[row.fixed_key.size()] + filled[row.fixed_key.size()]++] = static_cast<uint8_t>(r);
    }
  }
  return index;
}

// A model class: its name as failures print it, its fields, and how a field
// holding objects of this class creates and drops them.
struct ModelClass {
  std::string_view name;
  std::span<const FieldRow> fields;
  FieldIndex index;
  void* (*emplace)(void* AField);  // std::unique_ptr<T>: a new empty T, returned
  void (*reset)(void* AField);     // std::unique_ptr<T>: absent
  void* (*append)(void* AField);   // std::vector<std::unique_ptr<T>>: a new empty T, returned
  // std::vector<std::unique_ptr<T>>: empty, with room for ACapacity items
  void (*clear)(void* AField, size_t ACapacity);
};

template <typename T>
struct Model;  // Model<T>::info describes T; specialised below, item classes first

template <typename T>
void* Emplace(void* AField) {
  auto& field = *static_cast<std::unique_ptr<T>*>(AField);
  field = std::make_unique<T>();
  return field.get();
}
template <typename T>
void Reset(void* AField) {
  static_cast<std::unique_ptr<T>*>(AField)->reset();
}
template <typename T>
void* Append(void* AField) {
  auto& field = *static_cast<std::vector<std::unique_ptr<T>>*>(AField);
  field.push_back(std::make_unique<T>());
  return field.back().get();
}
template <typename T>
void Clear(void* AField, size_t ACapacity) {
  auto& field = *static_cast<std::vector<std::unique_ptr<T>>*>(AField);
  field.clear();
  field.reserve(ACapacity);
}

template <typename T>
constexpr ModelClass Describe(std::string_view AName, std::span<const FieldRow> AFields) {
  return {AName, AFields, IndexFields(AFields), &Emplace<T>, &Reset<T>, &Append<T>, &Clear<T>};
}

template <typename T>
struct FieldType;
template <>
struct FieldType<std::string_view> {
  static constexpr FieldKind kind = FieldKind::String;
  static constexpr const ModelClass* item = nullptr;
};
template <>
struct FieldType<bool> {
  static constexpr FieldKind kind = FieldKind::Boolean;
  static constexpr const ModelClass* item = nullptr;
};
template <>
struct FieldType<int32_t> {
  static constexpr FieldKind kind = FieldKind::Integer;
  static constexpr const ModelClass* item = nullptr;
};
template <>
struct FieldType<double> {
  static constexpr FieldKind kind = FieldKind::Double;
  static constexpr const ModelClass* item = nullptr;
};
template <>
struct FieldType<std::vector<std::string_view>> {
  static constexpr FieldKind kind = FieldKind::StringArray;
  static constexpr const ModelClass* item = nullptr;
};
template <typename T>
struct FieldType<std::vector<std::unique_ptr<T>>> {
  static constexpr FieldKind kind = FieldKind::ObjectArray;
  static constexpr const ModelClass* item = &Model<T>::info;
};
template <typename T>
struct FieldType<std::unique_ptr<T>> {
  static constexpr FieldKind kind = FieldKind::Object;
  static constexpr const ModelClass* item = &Model<T>::info;
};

template <typename C, auto Member>
void* Address(void* AObject) {
  return &(static_cast<C*>(AObject)->*Member);
}

// A row for the field Member of class C (which may be declared in a base
// class); its kind and item class follow from the field's C++ type.
template <typename C, auto Member>
constexpr FieldRow Field(std::string_view AName) {
  for (const char c : AName) {
    // Not a constant expression: a field name that is not all letters does
    // not compile.
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) throw "field names are letters";
  }
  using Type = std::remove_reference_t<decltype(std::declval<C&>().*Member)>;
  return {AName, false, {}, FieldType<Type>::kind, FieldType<Type>::item, &Address<C, Member>};
}

// A row for a field that only the member with exactly the key AFixedKey fills.
template <typename C, auto Member>
constexpr FieldRow FixedKeyField(std::string_view AName, std::string_view AFixedKey) {
  FieldRow row = Field<C, Member>(AName);
  row.has_fixed_key = true;
  row.fixed_key = AFixedKey;
  return row;
}

constexpr std::string_view kRefKey = "$ref";

template <>
struct Model<TContact> {
  using C = TContact;
  static constexpr FieldRow fields[] = {
      Field<C, &C::Fname>("name"),
      Field<C, &C::Furl>("url"),
      Field<C, &C::Femail>("email"),
  };
  static constexpr ModelClass info = Describe<C>("TContact", fields);
};

template <>
struct Model<TLicense> {
  using C = TLicense;
  static constexpr FieldRow fields[] = {
      Field<C, &C::Fname>("name"),
      Field<C, &C::Furl>("url"),
  };
  static constexpr ModelClass info = Describe<C>("TLicense", fields);
};

template <>
struct Model<TInfo> {
  using C = TInfo;
  static constexpr FieldRow fields[] = {
      Field<C, &C::Ftitle>("title"),
      Field<C, &C::Fdescription>("description"),
      Field<C, &C::FtermsOfService>("termsOfService"),
      Field<C, &C::Fcontact>("contact"),
      Field<C, &C::Flicense>("license"),
      Field<C, &C::Fversion>("version"),
  };
  static constexpr ModelClass info = Describe<C>("TInfo", fields);
};

template <>
struct Model<TTag> {
  using C = TTag;
  static constexpr FieldRow fields[] = {
      Field<C, &C::Fname>("name"),
      Field<C, &C::Fdescription>("description"),
  };
  static constexpr ModelClass info = Describe<C>("TTag", fields);
};

template <>
struct Model<TExternalDocs> {
  using C = TExternalDocs;
  static constexpr FieldRow fields[] = {
      Field<C, &C::Fdescription>("description"),
      Field<C, &C::Furl>("url"),
  };
  static constexpr ModelClass info = Describe<C>("TExternalDocs", fields);
};

template <>
struct Model<THeaders> {
  static constexpr ModelClass info = Describe<THeaders>("THeaders", {});
};

template <>
struct Model<TExample> {
  static constexpr ModelClass info = Describe<TExample>("TExample", {});
};

template <>
struct Model<TItems> {
  using C = TItems;
  static constexpr FieldRow fields[] = {
      FixedKeyField<C, &C::Fref>("ref", kRefKey),
      Field<C, &C::Ftype>("type"),
  };
  static constexpr ModelClass info = Describe<C>("TItems", fields);
};

template <>
struct Model<TSchema> {
  using C = TSchema;
  static constexpr FieldRow fields[] = {
      FixedKeyField<C, &C::Fref>("ref", kRefKey),
      Field<C, &C::Ftype>("type"),
      Field<C, &C::Fitems>("items"),
  };
  static constexpr ModelClass info = Describe<C>("TSchema", fields);
};

template <>
struct Model<TParameter> {
  using C = TParameter;
  static constexpr FieldRow fields[] = {
      Field<C, &C::Fname>("name"),
      Field<C, &C::Fin>("in"),
      Field<C, &C::Fdescription>("description"),
      Field<C, &C::Frequired>("required"),
      Field<C, &C::Ftype>("type"),
      Field<C, &C::Fformat>("format"),
      Field<C, &C::FallowEmptyValue>("allowEmptyValue"),
      Field<C, &C::Fitems>("items"),
      Field<C, &C::FcollectionFormat>("collectionFormat"),
      Field<C, &C::Fdefault>("default"),
      Field<C, &C::Fmaximum>("maximum"),
      Field<C, &C::FexclusiveMaximum>("exclusiveMaximum"),
      Field<C, &C::Fminimum>("minimum"),
      Field<C, &C::FexclusiveMinimum>("exclusiveMinimum"),
      Field<C, &C::FmaxLength>("maxLength"),
      Field<C, &C::FminLength>("minLength"),
      Field<C, &C::Fpattern>("pattern"),
      Field<C, &C::FmaxItems>("maxItems"),
      Field<C, &C::FminItems>("minItems"),
      Field<C, &C::FuniqueItems>("uniqueItems"),
      Field<C, &C::Fenum>("enum"),
      Field<C, &C::Fschema>("schema"),  // from TSchemaOwner
  };
  static constexpr ModelClass info = Describe<C>("TParameter", fields);
};

template <>
struct Model<TResponse> {
  using C = TResponse;
  static constexpr FieldRow fields[] = {
      Field<C, &C::Fdescription>("description"),
      Field<C, &C::FHeaders>("Headers"),
      Field<C, &C::Fexamples>("examples"),
      Field<C, &C::FresponseCode>("responseCode"),
      Field<C, &C::Fschema>("schema"),  // from TSchemaOwner
  };
  static constexpr ModelClass info = Describe<C>("TResponse", fields);
};

template <>
struct Model<TResponses> {
  using C = TResponses;
  static constexpr FieldRow fields[] = {
      Field<C, &C::FItems>("Items"),
  };
  static constexpr ModelClass info = Describe<C>("TResponses", fields);
};

template <>
struct Model<TSecurity> {
  using C = TSecurity;
  static constexpr FieldRow fields[] = {
      FixedKeyField<C, &C::FName>("Name", ""),
  };
  static constexpr ModelClass info = Describe<C>("TSecurity", fields);
};

template <>
struct Model<TOperation> {
  using C = TOperation;
  static constexpr FieldRow fields[] = {
      Field<C, &C::Ftags>("tags"),
      Field<C, &C::Fsummary>("summary"),
      Field<C, &C::Fdescription>("description"),
      Field<C, &C::FexternalDocs>("externalDocs"),
      Field<C, &C::FoperationId>("operationId"),
      Field<C, &C::Fconsumes>("consumes"),
      Field<C, &C::Fproduces>("produces"),
      Field<C, &C::Fparameters>("parameters"),
      Field<C, &C::Fresponses>("responses"),
      Field<C, &C::Fschemes>("schemes"),
      Field<C, &C::Fdeprecated>("deprecated"),
      Field<C, &C::Fsecurity>("security"),
  };
  static constexpr ModelClass info = Describe<C>("TOperation", fields);
};

template <>
struct Model<TPath> {
  using C = TPath;
  static constexpr FieldRow fields[] = {
      FixedKeyField<C, &C::Fref>("ref", kRefKey),
      Field<C, &C::Fget>("get"),
      Field<C, &C::Fput>("put"),
      Field<C, &C::Fpost>("post"),
      Field<C, &C::Fdelete>("delete"),
      Field<C, &C::Foptions>("options"),
      Field<C, &C::Fhead>("head"),
      Field<C, &C::Fpatch>("patch"),
      Field<C, &C::Fpath>("path"),
  };
  static constexpr ModelClass info = Describe<C>("TPath", fields);
};

template <>
struct Model<TPaths> {
  using C = TPaths;
  static constexpr FieldRow fields[] = {
      Field<C, &C::FItems>("Items"),
  };
  static constexpr ModelClass info = Describe<C>("TPaths", fields);
};

template <>
struct Model<TProperty> {
  using C = TProperty;
  static constexpr FieldRow fields[] = {
      Field<C, &C::Fname>("name"),
      Field<C, &C::Ftype>("type"),
      Field<C, &C::Fitems>("items"),
      Field<C, &C::Fdescription>("description"),
      Field<C, &C::Fformat>("format"),
      FixedKeyField<C, &C::Fref>("ref", kRefKey),
  };
  static constexpr ModelClass info = Describe<C>("TProperty", fields);
};

template <>
struct Model<TDefinition> {
  using C = TDefinition;
  static constexpr FieldRow fields[] = {
      Field<C, &C::FName>("Name"),
      Field<C, &C::Fproperties>("properties"),
      Field<C, &C::Ftype>("type"),
      Field<C, &C::Ftitle>("title"),
      Field<C, &C::Fdescription>("description"),
  };
  static constexpr ModelClass info = Describe<C>("TDefinition", fields);
};

template <>
struct Model<TDefinitions> {
  using C = TDefinitions;
  static constexpr FieldRow fields[] = {
      Field<C, &C::FItems>("Items"),
  };
  static constexpr ModelClass info = Describe<C>("TDefinitions", fields);
};

template <>
struct Model<TSecurityDefinition> {
  using C = TSecurityDefinition;
  static constexpr FieldRow fields[] = {
      Field<C, &C::Ftype>("type"),
      Field<C, &C::Fname>("name"),
      Field<C, &C::FIn>("In"),
      Field<C, &C::FauthorizationUrl>("authorizationUrl"),
      Field<C, &C::Fflow>("flow"),
      Field<C, &C::FSecurityname>("Securityname"),
  };
  static constexpr ModelClass info = Describe<C>("TSecurityDefinition", fields);
};

template <>
struct Model<TSecurityDefinitions> {
  using C = TSecurityDefinitions;
  static constexpr FieldRow fields[] = {
      Field<C, &C::FItems>("Items"),
  };
  static constexpr ModelClass info = Describe<C>("TSecurityDefinitions", fields);
};

template <>
struct Model<TSwagger> {
  using C = TSwagger;
  static constexpr FieldRow fields[] = {
      Field<C, &C::FSwagger>("Swagger"),
      Field<C, &C::Finfo>("info"),
      Field<C, &C::Fhost>("host"),
      Field<C, &C::FbasePath>("basePath"),
      Field<C, &C::Fschemes>("schemes"),
      Field<C, &C::Fconsumes>("consumes"),
      Field<C, &C::Fproduces>("produces"),
      Field<C, &C::Fpaths>("paths"),
      Field<C, &C::Ftags>("tags"),
      Field<C, &C::FsecurityDefinitions>("securityDefinitions"),
      Field<C, &C::Fdefinitions>("definitions"),
  };
  static constexpr ModelClass info = Describe<C>("TSwagger", fields);
};

// ---------------------------------------------------------------------------
// Looking up the field of a member

bool EqualIgnoringCase(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i) {
    char a = A[i];
    char b = B[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + ('a' - 'A'));
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + ('a' - 'A'));
    if (a != b) return false;
  }
  return true;
}

// The field that a member with this key fills, or null. A key equal to a
// field's fixed key fills it; otherwise the key names a field ignoring case,
// unless that field carries a fixed key.
// Only rows of the key's length can match, and at most one does (checked
// when the index is built), so looking at those rows alone answers as a scan
// of the whole table would.
const FieldRow* FindField(const ModelClass& AClass, std::string_view AKey) {
  if (AKey.size() > kMaxKeyLength) return nullptr;
  const FieldIndex& index = AClass.index;
  for (size_t i = index.start[AKey.size()]; i < index.start[AKey.size() + 1]; ++i) {
    const FieldRow& row = AClass.fields[index.rows[i]];
    if (row.has_fixed_key && AKey == row.fixed_key) return &row;
    if (KeyNamesField(AKey, row.name)) return row.has_fixed_key ? nullptr : &row;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// The four failures

[[noreturn]] void ThrowNotConvertible(std::string_view AValue, std::string_view AKey,
                                      const ModelClass& AClass) {
  throw EConversionError("Intern: Wert " + std::string(AValue) +
                         " kann nicht für eine Zuweisung zu Feld " + std::string(AKey) +
                         " in Typ " + std::string(AClass.name) + " konvertiert werden");
}

[[noreturn]] void ThrowArrayInstead(std::string_view AKey, std::string_view AType) {
  throw EConversionError("Wert für Feld " + std::string(AKey) +
                         " kann nicht gesetzt werden; Array anstatt " + std::string(AType) +
                         " erwartet");
}

[[noreturn]] void ThrowInvalidCast() { throw EInvalidCast("Ungültige Typumwandlung"); }

[[noreturn]] void ThrowElementNotConvertible(std::string_view AText, const ModelClass& AItem) {
  throw EConversionError("Wert " + std::string(AText) + " kann nicht in " +
                         std::string(AItem.name) +
                         " konvertiert werden. Verwenden Sie evtl. ein benutzerdefiniertes "
                         "Reversions-Tool");
}

// ---------------------------------------------------------------------------
// Conversions of texts

// A whole decimal number in the range of Integer, or 0.
int32_t TextToInteger(std::string_view AText) {
  if (AText.size() > 1 && AText[0] == '+' && AText[1] != '-') AText.remove_prefix(1);
  int32_t value = 0;
  const auto [end, error] = std::from_chars(AText.data(), AText.data() + AText.size(), value);
  if (error != std::errc() || end != AText.data() + AText.size()) return 0;
  return value;
}

// A decimal number with "." as the separator and an optional exponent, or 0.
double TextToDouble(std::string_view AText) {
  size_t i = 0;
  const auto digits = [&] {
    const size_t start = i;
    while (i < AText.size() && AText[i] >= '0' && AText[i] <= '9') ++i;
    return i - start;
  };
  if (i < AText.size() && (AText[i] == '+' || AText[i] == '-')) ++i;
  const size_t number_start = AText[0] == '+' ? 1 : 0;
  size_t mantissa = digits();
  if (i < AText.size() && AText[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return 0;
  if (i < AText.size() && (AText[i] == 'e' || AText[i] == 'E')) {
    ++i;
    if (i < AText.size() && (AText[i] == '+' || AText[i] == '-')) ++i;
    if (digits() == 0) return 0;
  }
  if (i != AText.size()) return 0;
  double value = 0;
  const auto [end, error] =
      std::from_chars(AText.data() + number_start, AText.data() + AText.size(), value);
  if (error != std::errc() || end != AText.data() + AText.size() || !std::isfinite(value)) {
    return 0;
  }
  return value;
}

// ---------------------------------------------------------------------------
// Filling

void Fill(const ModelClass& AClass, void* AObject, const JsonValue& AJson);

void FillStringArray(std::vector<std::string_view>& AField, const JsonValue& AArray) {
  AField.clear();
  AField.reserve(AArray.Count());
  for (const JsonValue element : AArray.Elements()) {
    switch (element.Kind()) {
      case JsonKind::String:
      case JsonKind::Number:
        AField.emplace_back(element.Text());
        break;
      case JsonKind::Null:
      case JsonKind::Array:
        AField.emplace_back();
        break;
      default:  // true, false, object
        ThrowInvalidCast();
    }
  }
}

void FillObjectArray(const ModelClass& AItem, void* AField, const JsonValue& AArray) {
  AItem.clear(AField, AArray.Count());
  for (const JsonValue element : AArray.Elements()) {
    switch (element.Kind()) {
      case JsonKind::Object:
        // A failure inside an element is not absorbed: it ends the filling of
        // the object that holds the array.
        Fill(AItem, AItem.append(AField), element);
        break;
      case JsonKind::String:
      case JsonKind::Number:
        ThrowElementNotConvertible(element.Text(), AItem);
      case JsonKind::Array:
        ThrowElementNotConvertible("", AItem);
      case JsonKind::Null:  // skipped: the array holds no empty entries
        break;
      default:  // true, false
        ThrowInvalidCast();
    }
  }
}

// Fills one field from one member's value.
void FillField(const ModelClass& AClass, const FieldRow& ARow, void* AField,
               std::string_view AKey, const JsonValue& AValue) {
  const JsonKind kind = AValue.Kind();
  // An object given to a field that holds no single model object leaves the
  // field as it is.
  if (kind == JsonKind::Object && ARow.kind != FieldKind::Object) return;
  switch (ARow.kind) {
    case FieldKind::String: {
      auto& field = *static_cast<std::string_view*>(AField);
      if (kind == JsonKind::String || kind == JsonKind::Number) {
        field = AValue.Text();
      } else if (kind == JsonKind::Null) {
        field = {};
      } else if (kind == JsonKind::Array) {
        ThrowArrayInstead(AKey, "string");
      } else {
        ThrowInvalidCast();
      }
      return;
    }
    case FieldKind::Boolean: {
      auto& field = *static_cast<bool*>(AField);
      if (kind == JsonKind::True || kind == JsonKind::False) {
        field = kind == JsonKind::True;
      } else if (kind == JsonKind::String) {
        field = EqualIgnoringCase(AValue.Text(), "true");
      } else if (kind == JsonKind::Array) {
        ThrowArrayInstead(AKey, "Boolean");
      } else {  // number, null
        field = false;
      }
      return;
    }
    case FieldKind::Integer: {
      auto& field = *static_cast<int32_t*>(AField);
      if (kind == JsonKind::String || kind == JsonKind::Number) {
        field = TextToInteger(AValue.Text());
      } else if (kind == JsonKind::Null) {
        field = 0;
      } else if (kind == JsonKind::Array) {
        ThrowArrayInstead(AKey, "Integer");
      } else {
        ThrowInvalidCast();
      }
      return;
    }
    case FieldKind::Double: {
      auto& field = *static_cast<double*>(AField);
      if (kind == JsonKind::String || kind == JsonKind::Number) {
        field = TextToDouble(AValue.Text());
      } else if (kind == JsonKind::Null) {
        field = 0;
      } else if (kind == JsonKind::Array) {
        ThrowArrayInstead(AKey, "Double");
      } else {
        ThrowInvalidCast();
      }
      return;
    }
    case FieldKind::StringArray: {
      auto& field = *static_cast<std::vector<std::string_view>*>(AField);
      if (kind == JsonKind::Array) {
        FillStringArray(field, AValue);
      } else if (kind == JsonKind::Null) {
        field.clear();
      } else if (kind == JsonKind::String || kind == JsonKind::Number) {
        ThrowNotConvertible(AValue.Text(), AKey, AClass);
      } else {
        ThrowInvalidCast();
      }
      return;
    }
    case FieldKind::ObjectArray: {
      if (kind == JsonKind::Array) {
        FillObjectArray(*ARow.item, AField, AValue);
      } else if (kind == JsonKind::Null) {
        ARow.item->clear(AField, 0);
      } else if (kind == JsonKind::String || kind == JsonKind::Number) {
        ThrowNotConvertible(AValue.Text(), AKey, AClass);
      } else {
        ThrowInvalidCast();
      }
      return;
    }
    case FieldKind::Object: {
      if (kind == JsonKind::Object) {
        // Replaces what the field held. A failure anywhere inside is absorbed
        // here: the field is left absent.
        void* object = ARow.item->emplace(AField);
        try {
          Fill(*ARow.item, object, AValue);
        } catch (const EConversionError&) {
          ARow.item->reset(AField);
        } catch (const EInvalidCast&) {
          ARow.item->reset(AField);
        }
      } else if (kind == JsonKind::Null) {
        ARow.item->reset(AField);
      } else if (kind == JsonKind::Array) {
        ThrowArrayInstead(AKey, ARow.item->name);
      } else if (kind == JsonKind::String || kind == JsonKind::Number) {
        ThrowNotConvertible(AValue.Text(), AKey, AClass);
      } else {
        ThrowInvalidCast();
      }
      return;
    }
  }
}

void Fill(const ModelClass& AClass, void* AObject, const JsonValue& AJson) {
  for (const JsonMember member : AJson.Members()) {
    const FieldRow* row = FindField(AClass, member.key);
    if (row == nullptr) continue;
    FillField(AClass, *row, row->address(AObject), member.key, member.value());
  }
}

}  // namespace

void ThrowNotAnObject() { throw EConversionError("Der Eingabewert ist kein gültiges Objekt"); }

template <typename T>
std::unique_ptr<T> JsonToObject(const JsonValue& AObject) {
  if (!AObject.IsObject()) ThrowNotAnObject();
  auto object = std::make_unique<T>();
  Fill(Model<T>::info, object.get(), AObject);
  return object;
}

template <typename T>
TFilledObject<T> JsonToObject(std::string AText) {
  // Parsed in its place on the heap: the object's texts view the tree's text.
  auto tree = std::make_unique<const JsonTree>(JsonTree::Parse(std::move(AText)));
  std::unique_ptr<T> object = JsonToObject<T>(tree->Root());
  return {std::move(tree), std::move(object)};
}

#define TOLVANE_JSON_TO_OBJECT(T)                                        \
  template std::unique_ptr<T> JsonToObject<T>(const JsonValue& AObject); \
  template TFilledObject<T> JsonToObject<T>(std::string AText);

TOLVANE_JSON_TO_OBJECT(TSwagger)
TOLVANE_JSON_TO_OBJECT(TInfo)
TOLVANE_JSON_TO_OBJECT(TContact)
TOLVANE_JSON_TO_OBJECT(TLicense)
TOLVANE_JSON_TO_OBJECT(TTag)
TOLVANE_JSON_TO_OBJECT(TExternalDocs)
TOLVANE_JSON_TO_OBJECT(TItems)
TOLVANE_JSON_TO_OBJECT(TSchema)
TOLVANE_JSON_TO_OBJECT(TParameter)
TOLVANE_JSON_TO_OBJECT(TResponse)
TOLVANE_JSON_TO_OBJECT(TResponses)
TOLVANE_JSON_TO_OBJECT(TSecurity)
TOLVANE_JSON_TO_OBJECT(TOperation)
TOLVANE_JSON_TO_OBJECT(TPath)
TOLVANE_JSON_TO_OBJECT(TPaths)
TOLVANE_JSON_TO_OBJECT(TProperty)
TOLVANE_JSON_TO_OBJECT(TDefinition)
TOLVANE_JSON_TO_OBJECT(TDefinitions)
TOLVANE_JSON_TO_OBJECT(TSecurityDefinition)
TOLVANE_JSON_TO_OBJECT(TSecurityDefinitions)

#undef TOLVANE_JSON_TO_OBJECT

// Field names consist of ASCII letters only (checked when the tables are
// built), so setting the 0x20 bit folds both sides exactly: no other byte
// folds onto a letter.
bool KeyNamesField(std::string_view AKey, std::string_view AName) {
  if (AKey.size() != AName.size()) return false;
  for (size_t i = 0; i < AKey.size(); ++i) {
    if ((AKey[i] | 0x20) != (AName[i] | 0x20)) return false;
  }
  return true;
}

}  // namespace tolvane
