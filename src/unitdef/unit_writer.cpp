// The unit writer. Each function appends its section's lines in the order
// they stand in the unit, so it reads like the Delphi it writes.
//
// The generated text is byte-compatible with what this tool has always
// written, on purpose: odd blanks included ("FAuthorization , ",
// "Count -1", "ReturnArray: TJSONArray", "limit<> 0"). Do not tidy them.
#include "unitdef/unit_writer.h"

#include "unitdef/version.h"

namespace tolvane {

namespace {

// "uses", then the units, one a line, the last one ending the clause.
void WriteUses(const std::vector<std::string>& AUnits, TCodePrinter& APrinter) {
  if (AUnits.empty()) return;
  APrinter.Line("uses");
  const TIndented units(APrinter);
  for (size_t i = 0; i < AUnits.size(); ++i) {
    APrinter.Line({AUnits[i], i + 1 < AUnits.size() ? "," : ";"});
  }
}

void WriteClassBlock(const TResolvedClass& AClass, TCodePrinter& APrinter) {
  APrinter.Blank();
  const TIndented type_section(APrinter);
  APrinter.Comment(AClass.Description);
  APrinter.Comments(AClass.Comments);
  if (AClass.Ancestor.empty()) {
    APrinter.Line({AClass.Identifier, " = class"});
  } else {
    APrinter.Line({AClass.Identifier, " = class(", AClass.Ancestor, ")"});
  }
  APrinter.Line("private");
  {
    const TIndented members(APrinter);
    for (const TResolvedField& field : AClass.Fields) {
      APrinter.Comment(field.Description);
      APrinter.Comments(field.Comments);
      if (!field.JsonKey.empty()) APrinter.Line({"[JSONName(", field.JsonKey, ")]"});
      APrinter.Line({field.Field, " : ", field.Type, ";"});
    }
  }
  APrinter.Line("public");
  {
    const TIndented members(APrinter);
    if (AClass.HasDestructor()) APrinter.Line("destructor Destroy; override;");
    for (const TResolvedField& field : AClass.Fields) {
      APrinter.Line({"property ", field.Property, " : ", field.Type, " read ", field.Field, " write ",
                     field.Field, ";"});
    }
  }
  APrinter.Line("end;");
}

void WriteDestructor(const TResolvedClass& AClass, TCodePrinter& APrinter) {
  APrinter.Blank();
  APrinter.Line({"{ ", AClass.Identifier, " }"});
  APrinter.Blank();
  APrinter.Line({"destructor ", AClass.Identifier, ".Destroy;"});
  if (AClass.OwnsArrays()) {
    APrinter.Line("var");
    APrinter.Line("  T : TObject;");
  }
  APrinter.Line("begin");
  {
    const TIndented body(APrinter);
    for (const TResolvedField& field : AClass.Fields) {
      if (field.Ownership == TOwnership::ObjectArray) {
        APrinter.Line({"for T in ", field.Field, " do"});
        APrinter.Line("  T.Free;");
      } else if (field.Ownership == TOwnership::Object) {
        APrinter.Line({"if Assigned(", field.Field, ") then"});
        APrinter.Line({"  ", field.Field, ".Free;"});
      }
    }
    APrinter.Line("inherited;");
  }
  APrinter.Line("end;");
}

// "if <condition> then begin <lines> end;", or the lines alone without a
// condition.
void WriteGuarded(const std::string& ACondition, const std::vector<std::string>& ALines,
                  TCodePrinter& APrinter) {
  if (ACondition.empty()) {
    APrinter.Lines(ALines);
    return;
  }
  APrinter.Line({"if ", ACondition, " then"});
  APrinter.Line("begin");
  {
    const TIndented block(APrinter);
    APrinter.Lines(ALines);
  }
  APrinter.Line("end;");
}

void WriteCredentials(const TResolvedCredentials& ACredentials, TCodePrinter& APrinter) {
  APrinter.Comments(ACredentials.Comments);
  if (ACredentials.Name.empty()) return;
  APrinter.Line("if FAuthorization <> '' then");
  APrinter.Line({"  Request.AddParameter(", ACredentials.Name, ", FAuthorization , ", ACredentials.Kind,
                 ", [poDoNotEncode]);"});
}

// AHeading is a buffer kept from method to method.
void WriteClientMethod(const TResolvedUnit& AUnit, const TResolvedMethod& AMethod, std::string& AHeading,
                       TCodePrinter& APrinter) {
  AHeading.clear();
  AppendMethodHeading(AHeading, AMethod, AUnit.ClientClass);
  APrinter.Line(AHeading);
  APrinter.Line("var");
  {
    const TIndented locals(APrinter);
    APrinter.Line("Client   : TRestClient;");
    APrinter.Line("Request  : TRestRequest;");
    APrinter.Line("Response : TRestResponse;");
    APrinter.Lines(AMethod.Locals);
  }
  APrinter.Line("begin");
  {
    const TIndented body(APrinter);
    if (AMethod.ClearsResult) APrinter.Line("Result           := nil;");
    APrinter.Line({"Client           := TRestClient.Create(", AUnit.BaseUrl, ");"});
    APrinter.Line("Request          := TRestRequest.Create(nil);");
    APrinter.Line("Response         := TRestResponse.Create(nil);");
    APrinter.Lines(AMethod.Creations);
    APrinter.Line("try");
    {
      const TIndented request(APrinter);
      APrinter.Line("Request.Client   := Client;");
      APrinter.Line("Request.Response := Response;");
      APrinter.Line("Request.HandleRedirects := True;");
      APrinter.Line({"Request.Method := ", AMethod.RequestMethod, ";"});
      if (!AMethod.Accept.empty()) APrinter.Line({"Request.Accept := ", AMethod.Accept, ";"});
      APrinter.Line({"Request.Resource := ", AMethod.Resource, ";"});
      WriteCredentials(AMethod.Credentials, APrinter);
      for (const TResolvedArgument& argument : AMethod.Arguments) {
        WriteGuarded(argument.Condition, argument.RequestLines, APrinter);
      }
      APrinter.Line("Request.Execute;");
      APrinter.Lines(AUnit.StatusCheck);
      if (!AMethod.ResultLines.empty()) WriteGuarded(AMethod.ResultCondition, AMethod.ResultLines, APrinter);
    }
    APrinter.Line("finally");
    {
      const TIndented cleanup(APrinter);
      APrinter.Line("Client.Free;");
      APrinter.Line("Request.Free;");
      APrinter.Line("Response.Free;");
    }
    APrinter.Line("end;");
  }
  APrinter.Line("end;");
  APrinter.Blank();
}

}  // namespace

bool TResolvedClass::HasDestructor() const {
  for (const TResolvedField& field : Fields) {
    if (field.Ownership != TOwnership::None) return true;
  }
  return false;
}

bool TResolvedClass::OwnsArrays() const {
  for (const TResolvedField& field : Fields) {
    if (field.Ownership == TOwnership::ObjectArray) return true;
  }
  return false;
}

void AppendMethodHeading(std::string& AOut, const TResolvedMethod& AMethod, std::string_view AOwner) {
  AOut.append(AMethod.ResultType.empty() ? "procedure " : "function ");
  if (!AOwner.empty()) AOut.append(AOwner).append(".");
  AOut.append(AMethod.Name);
  if (!AMethod.Arguments.empty()) {
    AOut += '(';
    for (size_t i = 0; i < AMethod.Arguments.size(); ++i) {
      const TResolvedArgument& argument = AMethod.Arguments[i];
      if (i > 0) AOut.append("; ");
      AOut.append(argument.Name).append(" : ").append(argument.Type);
    }
    AOut += ')';
  }
  if (!AMethod.ResultType.empty()) AOut.append(" : ").append(AMethod.ResultType);
  AOut += ';';
}

std::string MethodHeading(const TResolvedMethod& AMethod, std::string_view AOwner) {
  std::string heading;
  AppendMethodHeading(heading, AMethod, AOwner);
  return heading;
}

void WriteUnitHeader(const TResolvedUnit& AUnit, TCodePrinter& APrinter) {
  APrinter.Line("(*");
  APrinter.Line({"  Created by Tolvane v", kProgramVersion, " ", AUnit.TimeStamp});
  APrinter.Line("*)");
  APrinter.Blank();
  APrinter.Line({"unit ", AUnit.Output.UnitName(), ";"});
  APrinter.Blank();
}

void WriteInterfaceStart(const TResolvedUnit& AUnit, TCodePrinter& APrinter) {
  APrinter.Line("interface");
  APrinter.Blank();
  WriteUses(AUnit.InterfaceUses, APrinter);
  APrinter.Blank();
  APrinter.Line("type");
}

void WriteClassDeclarations(const TResolvedUnit& AUnit, TCodePrinter& APrinter) {
  if (!AUnit.ForwardDeclarations.empty()) {
    APrinter.Blank();
    const TIndented type_section(APrinter);
    for (const std::string& identifier : AUnit.ForwardDeclarations) APrinter.Line({identifier, " = class;"});
  }
  for (const TResolvedClass& clazz : AUnit.Classes) WriteClassBlock(clazz, APrinter);
  for (const TSupportCode& support : AUnit.Support) APrinter.Lines(support.Declaration);
}

void WriteClientClass(const TResolvedUnit& AUnit, TCodePrinter& APrinter) {
  if (!AUnit.HasClient) return;
  APrinter.Blank();
  const TIndented type_section(APrinter);
  APrinter.Comments(AUnit.ClientComments);
  APrinter.Line({AUnit.ClientClass, " = class"});
  APrinter.Line("private");
  APrinter.Line("  FAuthorization : string;");
  APrinter.Line("public");
  {
    const TIndented members(APrinter);
    APrinter.Line("property Authorization : string read FAuthorization write FAuthorization;");
    std::string heading;
    for (const TResolvedMethod& method : AUnit.Methods) {
      heading.clear();
      AppendMethodHeading(heading, method, "");
      APrinter.Line(heading);
    }
  }
  APrinter.Line("end;");
}

void WriteImplementationStart(const TResolvedUnit& AUnit, TCodePrinter& APrinter) {
  APrinter.Blank();
  APrinter.Line("implementation");
  APrinter.Blank();
  WriteUses(AUnit.ImplementationUses, APrinter);
}

void WriteDestructors(const TResolvedUnit& AUnit, TCodePrinter& APrinter) {
  for (const TResolvedClass& clazz : AUnit.Classes) {
    if (clazz.HasDestructor()) WriteDestructor(clazz, APrinter);
  }
  for (const TSupportCode& support : AUnit.Support) APrinter.Lines(support.Implementation);
}

void WriteClientMethods(const TResolvedUnit& AUnit, TCodePrinter& APrinter) {
  if (!AUnit.HasClient) return;
  APrinter.Blank();
  std::string heading;
  for (const TResolvedMethod& method : AUnit.Methods) WriteClientMethod(AUnit, method, heading, APrinter);
}

void WriteUnit(const TResolvedUnit& AUnit, TLineSink& ASink) {
  TCodePrinter printer(ASink);
  WriteUnitHeader(AUnit, printer);
  WriteInterfaceStart(AUnit, printer);
  WriteClassDeclarations(AUnit, printer);
  WriteClientClass(AUnit, printer);
  WriteImplementationStart(AUnit, printer);
  WriteDestructors(AUnit, printer);
  WriteClientMethods(AUnit, printer);
  printer.Blank();
  printer.Line("end.");
}

}  // namespace tolvane
