#include "unitdef/unit_definition.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/local_time.h"
#include "unitdef/identifiers.h"
#include "unitdef/delphi_limits.h"
#include "unitdef/line_text.h"
#include "unitdef/name_plan.h"
#include "unitdef/sanitize.h"

namespace tolvane {

namespace {

// The program's own version, major in the high and minor in the low 16 bits.
constexpr uint32_t kProgramVersion = (1u << 16) | 3u;

constexpr std::string_view kPascalExtension = ".pas";

// A unit this short holds no class, or one class with a single property.
constexpr size_t kShortUnitLines = 24;

// True when every byte is below 0x80; such a text is the same in UTF-8 and
// in Windows-1252. Looks at eight bytes at a time.
bool IsAscii(std::string_view text) {
  size_t pos = 0;
  for (; pos + 8 <= text.size(); pos += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + pos, 8);
    if ((word & 0x8080808080808080ull) != 0) return false;
  }
  for (; pos < text.size(); ++pos) {
    if (static_cast<unsigned char>(text[pos]) >= 0x80) return false;
  }
  return true;
}

// The file's bytes: every line in Windows-1252 followed by CR LF. Each line
// is released once its bytes are copied, so a unit with huge lines is not
// held twice in full.
std::string EncodeLines(TLineList& ALines) {
  size_t length = 0;
  for (const std::string& line : ALines) length += line.size() + 2;
  std::string bytes;
  bytes.reserve(length);
  for (std::string& line : ALines) {
    // Each line holds whole characters, so encoding line by line gives the
    // same bytes as encoding the whole text.
    if (IsAscii(line)) {
      bytes.append(line);
    } else {
      bytes.append(Utf8ToWindows1252(line));
    }
    bytes.append("\r\n", 2);
    std::string().swap(line);
  }
  return bytes;
}

}  // namespace

std::string TOutputName::UnitName() const {
  if (FileName.size() >= kPascalExtension.size() &&
      std::string_view(FileName).substr(FileName.size() - kPascalExtension.size()) == kPascalExtension) {
    return FileName.substr(0, FileName.size() - kPascalExtension.size());
  }
  return FileName;
}

TOutputName MakeOutputName(const std::string& AName) {
  // The unit goes next to the document; only the file-name part is made an
  // identifier, so directory names stay as they are.
  TOutputName result;
  const size_t slash = AName.rfind('/');
  const size_t file_start = slash == std::string::npos ? 0 : slash + 1;
  result.Directory = AName.substr(0, file_start);
  std::string file = AName.substr(file_start);

  // The extension separator is the last "." that no directory separator
  // follows; everything after it is replaced.
  const size_t separator = file.find_last_of(".\\");
  if (separator != std::string::npos && file[separator] == '.') {
    file.resize(separator);
  }
  file.append(kPascalExtension);
  result.FileName = MakeIdentifier(file, true);
  return result;
}

std::string VersionString(uint32_t AVersion) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u", AVersion >> 16, AVersion & 0xFFFFu);
  return text;
}

TUnitDefinition::TUnitDefinition() = default;
TUnitDefinition::~TUnitDefinition() = default;

TObjectDefinition* TUnitDefinition::AddObject(const std::string& AName, const std::string& AType) {
  auto object = std::make_unique<TObjectDefinition>();
  object->SetName(AName);
  object->SetType(AType);
  FObjects.push_back(std::move(object));
  return FObjects.back().get();
}

void TUnitDefinition::Log(const std::string& AMessage) {
  if (FLogProcedure) FLogProcedure(AMessage);
}

void TUnitDefinition::LogFmt(std::string_view AFormat, std::initializer_list<std::string_view> AArgs) {
  std::string message;
  message.reserve(AFormat.size() + 64);
  auto argument = AArgs.begin();
  size_t pos = 0;
  while (pos < AFormat.size()) {
    if (AFormat.compare(pos, 2, "%s") == 0 && argument != AArgs.end()) {
      message.append(*argument++);
      pos += 2;
    } else {
      message += AFormat[pos++];
    }
  }
  Log(message);
}

void TUnitDefinition::AddComment(TLineList& ALines, std::string_view AText, int AIndent) {
  const std::string prefix = std::string(static_cast<size_t>(std::max(AIndent, 0)), ' ') + "// ";
  size_t start = 0;
  while (start < AText.size()) {
    size_t end = start;
    while (end < AText.size() && AText[end] != '\r' && AText[end] != '\n') ++end;
    ALines.push_back(JoinLine({prefix, AText.substr(start, end - start)}));
    // A CR LF pair is one break; a lone CR or LF is one break too.
    if (end + 1 < AText.size() && AText[end] == '\r' && AText[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

void TUnitDefinition::WriteUnitHeader(TLineList& ALines, const std::string& AUnitName) {
  ALines.push_back("(*");
  ALines.push_back("  Created by Tolvane v" + VersionString(kProgramVersion) + " " + LocalTimeStamp());
  ALines.push_back("*)");
  ALines.push_back("");
  ALines.push_back("unit " + AUnitName + ";");
  ALines.push_back("");
}

void TUnitDefinition::WriteInterfaceStart(TLineList& ALines) {
  ALines.push_back("interface");
  ALines.push_back("");
  ALines.push_back("uses");
  ALines.push_back("  System.JSON;");
  ALines.push_back("");
  ALines.push_back("type");
}

void TUnitDefinition::WriteImplementationUses(TLineList& ALines) {
  ALines.push_back("uses");
  ALines.push_back("  REST.Types,");
  ALines.push_back("  REST.JSON,");
  ALines.push_back("  REST.Client,");
  ALines.push_back("  SOAP.XSBuiltins,");
  ALines.push_back("  System.Generics.Collections,");
  ALines.push_back("  System.SysUtils,");
  ALines.push_back("  System.DateUtils;");
}

std::string TUnitDefinition::WriteIdentifier(std::string_view AText) const {
  if (!FConfig.SanitizeNames) return std::string(AText);
  return SanitizeIdentifier(AText);
}

std::string TUnitDefinition::WriteTypeText(std::string_view AText) const {
  if (!FConfig.SanitizeNames) return std::string(AText);
  return SanitizeTypeText(AText);
}

std::string_view TUnitDefinition::IdentifierView(std::string_view AText, std::string& AStorage) const {
  if (!FConfig.SanitizeNames || IsCleanIdentifier(AText)) return AText;
  AStorage = SanitizeIdentifier(AText);
  return AStorage;
}

std::string_view TUnitDefinition::TypeTextView(std::string_view AText, std::string& AStorage) const {
  if (!FConfig.SanitizeNames || IsCleanTypeText(AText)) return AText;
  AStorage = SanitizeTypeText(AText);
  return AStorage;
}

void TUnitDefinition::Save() {
  MakeNamesUnique();
  LogFmt("Processing %s", {FName});
  if (FConfig.Compilable) FPlan = std::make_unique<TNamePlan>(*this);
  const TOutputName output = FPlan ? FPlan->Output() : MakeOutputName(FName);
  // The line list lives in this frame only, so it is freed on every way out.
  // Room for the fixed sections and about three lines per property.
  size_t properties = 0;
  for (const auto& object : FObjects) properties += object->Properties().size();
  TLineList lines;
  lines.reserve(64 + FObjects.size() * 12 + properties * 3);
  Log("Checking  references");
  ResolveDependencies();
  LogFmt("Creating source unit %s", {output.Path()});
  WriteUnitHeader(lines, output.UnitName());
  WriteInterfaceStart(lines);
  WriteClassDeclarations(lines);
  if (FConfig.WriteOperations) WriteClientClass(lines);
  lines.push_back("");
  lines.push_back("implementation");
  lines.push_back("");
  if (FConfig.WriteOperations) WriteImplementationUses(lines);
  WriteDestructors(lines);
  if (FConfig.WriteOperations) {
    if (FSchemes.empty()) {
      Log("Missing scheme, using http as default");
      FSchemes.push_back("http");
    }
    WriteClientMethods(lines);
  }
  lines.push_back("");
  lines.push_back("end.");
  if (FPlan) FitDelphiLimits(lines);
  Log(lines.size() > kShortUnitLines ? "Writing source file" : "Nothing to write");

  std::string bytes = EncodeLines(lines);
  TLineList().swap(lines);
  WriteFileAtomically(output.Path(), bytes);
  Log("Done");
}

}  // namespace tolvane
