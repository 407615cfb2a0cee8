#include "main/command_line.h"

#include <memory>
#include <new>
#include <string_view>

#include "platform/exceptions.h"
#include "platform/file_system.h"
#include "platform/keep_until_exit.h"
#include "swagger/convert_swagger.h"
#include "unitdef/unit_definition.h"
#include "unitdef/version.h"

namespace tolvane {
namespace {

constexpr const char* kUsage[] = {
    "Usage: tolvane DOCUMENT [-c:CLASS] [--compilable]",
    "Turns a Swagger 2.0 JSON or YAML document into one Delphi unit.",
    "  DOCUMENT      path of the Swagger 2.0 document; the first argument other than",
    "                --compilable. A file named *.yaml or *.yml whose text is not JSON",
    "                is read as YAML",
    "  -c:CLASS      write only the class made from the definition CLASS, without the",
    "                REST client (also /c:CLASS, -cCLASS, -c CLASS; -c: means no filter)",
    "  --compilable  read every Swagger 2.0 document (skipping what cannot be read,",
    "                with a line each) and write a unit that compiles and serves every",
    "                operation: names made unique identifiers, unknown types as",
    "                TJSONValue, values converted to and from text, a status outside",
    "                2xx raised as EApiError, long lines and literals split; a filter",
    "                that names no definition is a failure. A unit made with -c:",
    "                still refers to the other classes of the document and compiles",
    "                only next to them",
    "The unit is written next to the document as <name>.pas (pet-store.yaml gives",
    "pet_store.pas).",
    "Exit status: 0 when the unit was written, 1 after a failure line.",
};

constexpr std::string_view kCompilableSwitch = "--compilable";

bool StartsSwitch(const std::string& AArgument) {
  return !AArgument.empty() && (AArgument[0] == '-' || AArgument[0] == '/');
}

// A failure message can quote keys and values of the document; control
// characters among them are written as escapes so that the failure stays
// one line. Other texts pass unchanged.
std::string OneLine(std::string_view AText) {
  std::string line;
  line.reserve(AText.size());
  for (const char c : AText) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      line += c;
      continue;
    }
    switch (c) {
      case '\n':
        line += "\\n";
        break;
      case '\r':
        line += "\\r";
        break;
      case '\t':
        line += "\\t";
        break;
      default: {
        static constexpr char kHex[] = "0123456789ABCDEF";
        line += "\\u00";
        line += kHex[byte >> 4];
        line += kHex[byte & 0xF];
      }
    }
  }
  return line;
}

bool IsHelpRequest(const std::string& AArgument) {
  return AArgument == "--help" || AArgument == "-h" || AArgument == "-?" || AArgument == "/?";
}

}  // namespace

std::optional<std::string> FindClassSwitch(const std::vector<std::string>& AArgs) {
  for (size_t i = 0; i < AArgs.size(); ++i) {
    const std::string& argument = AArgs[i];
    if (!StartsSwitch(argument) || argument.size() < 2) continue;
    if (argument[1] != 'c' && argument[1] != 'C') continue;
    if (argument.size() > 2) {
      const size_t value_start = argument[2] == ':' ? 3 : 2;
      return argument.substr(value_start);
    }
    if (i + 1 < AArgs.size() && !StartsSwitch(AArgs[i + 1])) return AArgs[i + 1];
    return std::string();
  }
  return std::nullopt;
}

// Every failure ends here as one line and exit status 1. The program's own
// failures print their class name and message; running out of memory prints
// the line of the out-of-memory class, and any other C++ exception the line
// of the base class with its text.
int RunCommandLine(const std::vector<std::string>& AArgs, const TLogProc& AWriteLine) {
  // The switch --compilable may stand anywhere; the document is the first
  // argument besides it.
  bool compilable = false;
  const std::string* first = nullptr;
  for (const std::string& argument : AArgs) {
    if (argument == kCompilableSwitch) {
      compilable = true;
    } else if (first == nullptr) {
      first = &argument;
    }
  }
  const std::string document = first == nullptr ? std::string() : *first;
  if (first != nullptr && !IsExistingFile(document)) {
    if (IsHelpRequest(document)) {
      for (const char* line : kUsage) AWriteLine(line);
      return 0;
    }
    if (document == "--version") {
      AWriteLine("Tolvane " + std::string(kProgramVersion));
      return 0;
    }
  }
  try {
    auto converter = std::make_unique<TSwaggerConverter>(AWriteLine);
    if (const std::optional<std::string> filter = FindClassSwitch(AArgs)) {
      converter->SetClassnameFilter(*filter);
    }
    converter->UnitDefinition().FConfig.Compilable = compilable;
    if (!IsExistingFile(document)) {
      AWriteLine("File " + document + " not found");
      return 1;
    }
    converter->SetFileName(document);
    Discard(std::move(converter));
    return 0;
  } catch (const Exception& failure) {
    AWriteLine(std::string(failure.ClassName()) + ": " + OneLine(failure.Message()));
  } catch (const std::bad_alloc&) {
    AWriteLine("EOutOfMemory: Zu wenig Arbeitsspeicher");
  } catch (const std::exception& failure) {
    AWriteLine("Exception: " + OneLine(failure.what()));
  }
  return 1;
}

}  // namespace tolvane
