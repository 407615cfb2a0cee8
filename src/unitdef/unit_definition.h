#pragma once

// The model of the one unit a run produces, and its writer.

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "unitdef/config.h"
#include "unitdef/object_definition.h"
#include "unitdef/output_name.h"

namespace tolvane {

struct TPaths;
struct TPath;
struct TOperation;
struct TSecurityDefinition;
class TNamePlan;

// The unit's lines in order, without line breaks; writers only append.
using TLineList = std::vector<std::string>;


// "%d.%d" of the high and low 16 bits.
std::string VersionString(uint32_t AVersion);

class TUnitDefinition {
 public:
  class TParam;
  class TParamList;
  class TSignature;

  TUnitDefinition();
  ~TUnitDefinition();
  TUnitDefinition(const TUnitDefinition&) = delete;
  TUnitDefinition& operator=(const TUnitDefinition&) = delete;

  TObjectDefinition* AddObject(const std::string& AName, const std::string& AType);
  // Orders the classes, builds the whole unit in memory and writes it once.
  void Save();

  // Properties; each reads and writes its field directly.
  TLogProc FLogProcedure;
  std::string FClassnameFilter;
  std::string FName;
  std::string FHost;
  std::string FBasePath;
  TObjectDefinitionList FObjects;
  const TPaths* FPaths = nullptr;  // borrowed from the loaded document
  std::vector<std::string> FSchemes;
  std::vector<const TSecurityDefinition*> FSecurityDefinitions;  // items borrowed
  TConfig FConfig;
  // Filled by ResolveDependencies: the classes that a class declared before
  // them refers to (possible only inside reference cycles), in declaration
  // order. Without a class filter they are declared forward ("  TX = class;")
  // before the first class block.
  std::vector<const TObjectDefinition*> FForwardDeclarations;
  // With FConfig.Compilable: the names and types the writers write, worked
  // out once by Save. Null otherwise.
  std::unique_ptr<TNamePlan> FPlan;

  // The writer's steps, public so that tests can run them one by one.
  void Log(const std::string& AMessage);
  // Replaces each "%s" of AFormat with the next argument.
  void LogFmt(std::string_view AFormat, std::initializer_list<std::string_view> AArgs);
  void AddComment(TLineList& ALines, std::string_view AText, int AIndent);

  void MakeNamesUnique();
  void ResolveDependencies();

  void WriteUnitHeader(TLineList& ALines, const std::string& AUnitName);
  void WriteInterfaceStart(TLineList& ALines);
  void WriteClassDeclarations(TLineList& ALines);
  void WriteClientClass(TLineList& ALines);
  void WriteImplementationUses(TLineList& ALines);
  void WriteDestructors(TLineList& ALines);
  void WriteClientMethods(TLineList& ALines);

  std::unique_ptr<TSignature> CreateSignature(const std::string& AClazz, const TOperation& AOperation);

  // Texts from the document as they are written into a line: cleaned when
  // FConfig.SanitizeNames is on, unchanged otherwise.
  std::string WriteIdentifier(std::string_view AText) const;
  std::string WriteTypeText(std::string_view AText) const;
  // The same without a copy where nothing changes: AText itself, or the
  // cleaned text kept in AStorage.
  std::string_view IdentifierView(std::string_view AText, std::string& AStorage) const;
  std::string_view TypeTextView(std::string_view AText, std::string& AStorage) const;
};

}  // namespace tolvane
