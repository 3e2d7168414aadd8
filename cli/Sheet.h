#pragma once
// Loading parameter files as if just read from a controller, and printing what they hold.
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "GridPasses.h"
#include "Json.h"
#include "ParameterFiles.h"
#include "ToolState.h"

namespace dt::cli {

enum class LoadStatus { Ok, Missing, UnknownExtension, TooShort };

// Puts a .foc or .ged file into the state as an upload would leave it (identity, variant, list 0).
// A file that cannot be read leaves the system's reason in *why ("Is a directory").
// "-" reads standard input (`in`, std::cin when null): a set of 1024 bytes or more is a .foc one,
// a shorter one a .ged one.
LoadStatus LoadParameterFile(ToolState& s, const std::string& path, std::string* why = nullptr,
                             std::istream* in = nullptr);
// Standard input as a parameter file: no further than a file would be read.
std::vector<unsigned char> ReadParameterInput(std::istream& in);
// The same with the file's content held in memory.
LoadStatus LoadParameterBytes(ToolState& s, const ControllerProfile* file, const std::vector<unsigned char>& content);
// Human-readable reason for a failed load, in English (usage errors are the tool's own texts).
std::string LoadError(LoadStatus status, const std::string& path, const std::string& why = "");
// LoadParameterFile; a failure is reported on err ("drivetune-cli: cannot read x.foc: Is a directory").
bool LoadOrReport(ToolState& s, const std::string& path, std::ostream& err, std::istream* in = nullptr);

// Readable sheet: tables and groups as headings, one aligned "name  value" line per record.
void PrintSheet(std::ostream& out, const ToolState& s, const ValueCells& cells);
// The machine-readable form of the same values.
Json SheetJson(const ToolState& s, const ValueCells& cells);

// The check's JSON: {"file", "accepted", "message", "rows": [the refused rows with their bounds]}.
Json CheckJson(const ToolState& s, const ValueCells& cells, const ValidationResult& v, const std::string& file);

// Set name of a grid row as the JSON output names it.
const char* SetName(GridSet set);
// A row's id in JSON and in ID=VALUE: "ParameterSettings.3", the same in every language.
std::string RowIdOf(const GridRow& row);
// Display width of UTF-8 text in a terminal (wide CJK characters count two).
int DisplayWidth(const std::string& text);
// The longest start of text that fits in columns, never half a character.
std::string CutToWidth(const std::string& text, int columns);

}  // namespace dt::cli
