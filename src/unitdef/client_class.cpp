// The declaration of the REST client class: an authorization value and one
// method per served operation.
#include <memory>

#include "swagger/swagger_classes.h"
#include "unitdef/client_lines.h"
#include "unitdef/identifiers.h"
#include "unitdef/name_plan.h"
#include "unitdef/signature.h"
#include "unitdef/unit_definition.h"

namespace tolvane {

void TUnitDefinition::WriteClientClass(TLineList& ALines) {
  const std::string suffix = MakeIdentifier(FBasePath, false);

  ALines.emplace_back("");
  if (FPlan) {
    AppendLine(ALines, {"  ", FPlan->ClientClass(), " = class"});
  } else {
    AppendLine(ALines, {"  T", WriteIdentifier(suffix), " = class"});
  }
  ALines.emplace_back("  private");
  ALines.emplace_back("    FAuthorization : string;");
  ALines.emplace_back("  public");
  ALines.emplace_back(
      "    property Authorization : string read FAuthorization write FAuthorization;");
  if (FPaths != nullptr) {
    for (const auto& path : FPaths->FItems) {
      for (const TOperation* operation : path->SupportedOperations()) {
        if (operation == nullptr) continue;
        const std::unique_ptr<TSignature> signature = CreateSignature(suffix, *operation);
        AppendLine(ALines, {"    ", signature->GetInterface(*this)});
      }
    }
  }
  ALines.emplace_back("  end;");
}

}  // namespace tolvane
