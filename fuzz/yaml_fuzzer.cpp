// Fuzz target: the whole conversion, in-process, on the fuzzer's bytes taken
// as a YAML document file ("doc.yaml"), with the invariants of
// conversion_check.h. A text that is valid JSON must moreover convert as it
// does under a JSON name: the same status, last line and unit (its time
// stamp aside).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "conversion_check.h"
#include "platform/code_page.h"
#include "swagger/json_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* AData, size_t ASize) {
  const std::string_view document(reinterpret_cast<const char*>(AData), ASize);
  const tolvane::fuzzing::RunResult yaml =
      tolvane::fuzzing::CheckConversion(document, "Pet", "doc.yaml");
  const auto decoded = [&] { return tolvane::DecodeDocument(std::string(document)); };
  if (!tolvane::JsonTree::TryParse(decoded(), decoded)) return 0;
  const tolvane::fuzzing::RunResult json = tolvane::fuzzing::CheckConversion(document, "Pet");
  // The unit without its first two lines, the second holding the time stamp.
  const auto body = [](const std::string& AUnit) {
    const size_t first = AUnit.find("\r\n");
    const size_t second = first == std::string::npos ? first : AUnit.find("\r\n", first + 2);
    return second == std::string::npos ? AUnit : AUnit.substr(second);
  };
  if (yaml.status != json.status || yaml.lines.size() != json.lines.size() ||
      yaml.lines.back() != json.lines.back() || body(yaml.unit) != body(json.unit)) {
    tolvane::fuzzing::Fail("a JSON text converts otherwise under a YAML name", yaml.lines);
  }
  return 0;
}
