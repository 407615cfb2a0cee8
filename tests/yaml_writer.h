#pragma once

// Writes a JSON tree as a YAML document in block style that reads back into
// the same tree: every string and key double-quoted (so nothing changes its
// type), numbers as written, empty containers as {} and []. Used by the
// tests and the benchmarks to make YAML twins of JSON documents.

#include <string>

#include "swagger/json_tree.h"

namespace tolvane::testing {

inline void AppendYamlQuoted(std::string_view AText, std::string& AOut) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  AOut += '"';
  for (size_t i = 0; i < AText.size(); ++i) {
    const auto byte = static_cast<unsigned char>(AText[i]);
    if (byte == '"' || byte == '\\') {
      AOut += '\\';
      AOut += AText[i];
    } else if (byte < 0x20 || byte == 0x7F) {
      AOut += "\\x";
      AOut += kHex[byte >> 4];
      AOut += kHex[byte & 0xF];
    } else if (byte == 0xC2 && i + 1 < AText.size() &&
               static_cast<unsigned char>(AText[i + 1]) <= 0x9F) {
      // U+0080 ... U+009F are not printable in YAML.
      AOut += "\\x";
      AOut += kHex[static_cast<unsigned char>(AText[i + 1]) >> 4];
      AOut += kHex[AText[i + 1] & 0xF];
      ++i;
    } else if (AText.substr(i, 3) == "\xEF\xBB\xBF" || AText.substr(i, 3) == "\xEF\xBF\xBE" ||
               AText.substr(i, 3) == "\xEF\xBF\xBF") {
      // U+FEFF, U+FFFE and U+FFFF are not printable either.
      AOut += "\\u";
      AOut += AText[i + 1] == '\xBB' ? "FEFF" : AText[i + 2] == '\xBE' ? "FFFE" : "FFFF";
      i += 2;
    } else {
      AOut += AText[i];
    }
  }
  AOut += '"';
}

inline void AppendYamlBlock(const JsonValue& AValue, size_t AIndent, std::string& AOut);

// A value after "key:" or "-": on the same line when it is a scalar or an
// empty container, else as a block below, indented further.
inline void AppendYamlValue(const JsonValue& AValue, size_t AIndent, std::string& AOut) {
  switch (AValue.Kind()) {
    case JsonKind::Object:
    case JsonKind::Array:
      if (AValue.Count() == 0) {
        AOut += AValue.IsObject() ? " {}\n" : " []\n";
      } else {
        AOut += '\n';
        AppendYamlBlock(AValue, AIndent + 2, AOut);
      }
      return;
    case JsonKind::String:
      AOut += ' ';
      AppendYamlQuoted(AValue.Text(), AOut);
      AOut += '\n';
      return;
    case JsonKind::Number:
      AOut += ' ';
      AOut += AValue.Text();
      AOut += '\n';
      return;
    default:
      AOut += AValue.Kind() == JsonKind::Null ? " null\n" : AValue.Kind() == JsonKind::True ? " true\n"
                                                                                         : " false\n";
  }
}

inline void AppendYamlBlock(const JsonValue& AValue, size_t AIndent, std::string& AOut) {
  if (AValue.IsObject()) {
    for (const JsonMember member : AValue.Members()) {
      AOut.append(AIndent, ' ');
      // Keys on one line with their ":" may be 1024 characters long at most;
      // longer ones are written as explicit keys.
      if (member.key.size() > 1000) {
        AOut += "? ";
        AppendYamlQuoted(member.key, AOut);
        AOut += '\n';
        AOut.append(AIndent, ' ');
      } else {
        AppendYamlQuoted(member.key, AOut);
      }
      AOut += ':';
      AppendYamlValue(member.value(), AIndent, AOut);
    }
  } else {
    for (const JsonValue element : AValue.Elements()) {
      AOut.append(AIndent, ' ');
      AOut += '-';
      AppendYamlValue(element, AIndent, AOut);
    }
  }
}

// The document: a block for a non-empty container, else the value alone.
inline std::string ToYaml(const JsonValue& ARoot) {
  std::string text;
  if ((ARoot.IsObject() || ARoot.IsArray()) && ARoot.Count() > 0) {
    AppendYamlBlock(ARoot, 0, text);
  } else {
    AppendYamlValue(ARoot, 0, text);
  }
  return text;
}

}  // namespace tolvane::testing
