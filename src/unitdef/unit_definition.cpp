#include "unitdef/unit_definition.h"

#include "platform/file_system.h"
#include "platform/keep_until_exit.h"
#include "unitdef/delphi_limits.h"
#include "unitdef/identifiers.h"
#include "unitdef/unit_resolver.h"
#include "unitdef/unit_text.h"
#include "unitdef/unit_writer.h"

namespace tolvane {

namespace {

constexpr std::string_view kPascalExtension = ".pas";

// A unit this short holds no class, or one class with a single property.
constexpr size_t kShortUnitLines = 24;

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

TUnitDefinition::TUnitDefinition() = default;
TUnitDefinition::~TUnitDefinition() = default;

TObjectDefinition* TUnitDefinition::AddObject(std::string AName, std::string AType) {
  auto object = std::make_unique<TObjectDefinition>();
  object->SetName(std::move(AName));
  object->SetType(std::move(AType));
  FObjects.push_back(std::move(object));
  return FObjects.back().get();
}

void TUnitDefinition::Log(const std::string& AMessage) const {
  if (FLogProcedure) FLogProcedure(AMessage);
}

void TUnitDefinition::LogFmt(std::string_view AFormat, std::initializer_list<std::string_view> AArgs) const {
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

void TUnitDefinition::Save() {
  MakeNamesUnique();
  LogFmt("Processing %s", {FName});
  const std::unique_ptr<TUnitResolver> resolver = MakePlainResolver(*this);
  Log("Checking  references");
  ResolveDependencies();
  LogFmt("Creating source unit %s", {resolver->Output().Path()});
  SaveResolvedUnit(resolver->Resolve(*this), FLogProcedure);
}

void SaveResolvedUnit(TResolvedUnit AUnit, const TLogProc& ALog) {
  const auto log = [&ALog](const std::string& ALine) {
    if (ALog) ALog(ALine);
  };
  const std::string path = AUnit.Output.Path();
  // The unit's bytes go to the file as they are made; a failure to write is
  // reported after the lines that come before the file is written.
  TAtomicFile file(path);
  TUnitText text(file);
  {
    auto unit = std::make_unique<TResolvedUnit>(std::move(AUnit));
    TDelphiLimitsFilter fitted(text);
    WriteUnit(*unit, unit->FitsDelphiLimits ? static_cast<TLineSink&>(fitted) : text);
    // Freed, or kept to the end of the process, before the rest of the file
    // is written.
    Discard(std::move(unit));
  }
  log(text.LineCount() > kShortUnitLines ? "Writing source file" : "Nothing to write");
  text.Flush();
  file.Commit();
  log("Done");
}

}  // namespace tolvane
