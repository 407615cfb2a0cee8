#pragma once

// The filling rule: builds an object of a model class (swagger_classes.h)
// from a JSON object. Each member fills the field named "F" + its key
// (letters compared ignoring case; "$ref" and the empty key only fill the
// fields reserved for them), converted to the field's type; members without
// a field are skipped. A key written twice leaves its last value.
//
// Failures (EConversionError, EInvalidCast) end the filling of the object
// being filled. Inside a field that holds one model object ("info",
// "schema", "get" ...) they are absorbed: the field is left absent and the
// filling goes on with the next member. Everywhere else they travel up to
// the nearest such field or out of JsonToObject.

#include <memory>
#include <string>

#include "swagger/json_tree.h"

namespace tolvane {

// AObject must be a JSON object; any other value, null included, fails with
// EConversionError "Der Eingabewert ist kein gültiges Objekt".
template <typename T>
std::unique_ptr<T> JsonToObject(const JsonValue& AObject);

// An object filled from a text of its own, with the parsed text that the
// object's texts view.
template <typename T>
struct TFilledObject {
  std::unique_ptr<const JsonTree> tree;
  std::unique_ptr<T> object;
  T* operator->() const { return object.get(); }
  T& operator*() const { return *object; }
};

// Parses AText first (EJSONException when it is not valid JSON).
template <typename T>
TFilledObject<T> JsonToObject(std::string AText);

// Whether a member's key names the field AName (ASCII letters) as the
// filling rule matches them: ignoring the case of ASCII letters.
bool KeyNamesField(std::string_view AKey, std::string_view AName);

// EConversionError "Der Eingabewert ist kein gültiges Objekt".
[[noreturn]] void ThrowNotAnObject();

}  // namespace tolvane
