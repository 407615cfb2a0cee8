#pragma once

// The unit writer: the lines of a resolved unit, section by section, top to
// bottom. It prints what the resolved unit says and decides nothing.

#include "unitdef/code_printer.h"
#include "unitdef/resolved_unit.h"

namespace tolvane {

// Every line of the unit, in order.
void WriteUnit(const TResolvedUnit& AUnit, TLineSink& ASink);

// The sections, in the order WriteUnit writes them.
void WriteUnitHeader(const TResolvedUnit& AUnit, TCodePrinter& APrinter);
void WriteInterfaceStart(const TResolvedUnit& AUnit, TCodePrinter& APrinter);
void WriteClassDeclarations(const TResolvedUnit& AUnit, TCodePrinter& APrinter);
void WriteClientClass(const TResolvedUnit& AUnit, TCodePrinter& APrinter);
void WriteImplementationStart(const TResolvedUnit& AUnit, TCodePrinter& APrinter);
void WriteDestructors(const TResolvedUnit& AUnit, TCodePrinter& APrinter);
void WriteClientMethods(const TResolvedUnit& AUnit, TCodePrinter& APrinter);

// "function name(a : T; b : U) : R;" or "procedure name;", with AOwner + "."
// before the name when AOwner is not empty.
std::string MethodHeading(const TResolvedMethod& AMethod, std::string_view AOwner);
void AppendMethodHeading(std::string& AOut, const TResolvedMethod& AMethod, std::string_view AOwner);

}  // namespace tolvane
