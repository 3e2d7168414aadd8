#include "Sheet.h"

#include <algorithm>
#include <iostream>
#include <vector>

#include "ControllerProfile.h"
#include "GridPasses.h"
#include "ParamTables.h"
#include "ParameterFiles.h"
#include "RangeRules.h"
#include "ValueCodec.h"
#include "ValueJson.h"

namespace dt::cli {

namespace {
bool IsWide(unsigned cp) {
    return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) || (cp >= 0xAC00 && cp <= 0xD7A3) ||
           (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
           (cp >= 0xFFE0 && cp <= 0xFFE6);
}

std::string Pad(const std::string& text, int width) {
    int w = DisplayWidth(text);
    return text + std::string(w < width ? width - w : 0, ' ');
}

}  // namespace

namespace {
// The columns of the UTF-8 character at text[i]; len is set to its bytes.
int CharWidth(const std::string& text, size_t i, int& len) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    unsigned cp = c;
    len = 1;
    if (c >= 0xF0) {
        cp = c & 0x07;
        len = 4;
    } else if (c >= 0xE0) {
        cp = c & 0x0F;
        len = 3;
    } else if (c >= 0xC0) {
        cp = c & 0x1F;
        len = 2;
    }
    for (int k = 1; k < len && i + k < text.size(); ++k) cp = (cp << 6) | (text[i + k] & 0x3F);
    return IsWide(cp) ? 2 : 1;
}
}  // namespace

int DisplayWidth(const std::string& text) {
    int width = 0;
    int len = 1;
    for (size_t i = 0; i < text.size(); i += len) width += CharWidth(text, i, len);
    return width;
}

std::string CutToWidth(const std::string& text, int columns) {
    int width = 0;
    int len = 1;
    for (size_t i = 0; i < text.size(); i += len) {
        width += CharWidth(text, i, len);
        if (width > columns) return text.substr(0, i);
    }
    return text;
}

const char* SetName(GridSet set) {
    switch (set) {
        case GridSet::Parameter: return "ParameterSettings";
        case GridSet::Function: return "FunctionSettings";
        case GridSet::Foc: return "FocSettings";
    }
    return "";
}

std::string RowIdOf(const GridRow& row) { return std::string(SetName(row.set)) + "." + std::to_string(row.record); }

std::vector<unsigned char> ReadParameterInput(std::istream& in) {
    std::vector<unsigned char> content(kParameterFileReadLimit);
    in.read(reinterpret_cast<char*>(content.data()), static_cast<std::streamsize>(content.size()));
    content.resize(static_cast<size_t>(in.gcount()));
    return content;
}

LoadStatus LoadParameterFile(ToolState& s, const std::string& path, std::string* why, std::istream* in) {
    if (path == "-") {
        const std::vector<unsigned char> content = ReadParameterInput(in ? *in : std::cin);
        return LoadParameterBytes(s, &ProfileOfContent(content.size()), content);
    }
    const ControllerProfile* file = ProfileOfFileAnyCase(path);
    std::vector<unsigned char> content;
    std::string reason;
    if (!ReadParameterFile(path, content, reason)) {
        if (why) *why = reason;
        return LoadStatus::Missing;
    }
    return LoadParameterBytes(s, file, content);
}

LoadStatus LoadParameterBytes(ToolState& s, const ControllerProfile* file, const std::vector<unsigned char>& content) {
    if (!file) return LoadStatus::UnknownExtension;
    if (content.size() < file->Facts().fileSize) return LoadStatus::TooShort;
    file->Adopt(s, content);
    // The range rules read the voltage class the loaded set's values give.
    FollowValues(s);
    return LoadStatus::Ok;
}

std::string LoadError(LoadStatus status, const std::string& path, const std::string& why) {
    switch (status) {
        case LoadStatus::Ok: return std::string();
        case LoadStatus::Missing: return "cannot read " + path + (why.empty() ? "" : ": " + why);
        case LoadStatus::UnknownExtension:
            return path + ": unknown file type (the name must end in .foc or .ged)";
        case LoadStatus::TooShort:
            return path + ": file too short (a .foc file holds 1024 bytes, a .ged file 32)";
    }
    return std::string();
}

bool LoadOrReport(ToolState& s, const std::string& path, std::ostream& err, std::istream* in) {
    std::string why;
    const LoadStatus status = LoadParameterFile(s, path, &why, in);
    if (status == LoadStatus::Ok) return true;
    err << "drivetune-cli: " << LoadError(status, path, why) << "\n";
    return false;
}

void PrintSheet(std::ostream& out, const ToolState& s, const ValueCells& cells) {
    const std::vector<GridRow> layout = GridLayout(s);
    const std::vector<GridHeading> headings = ProfileOf(s).Headings(s);
    int nameWidth = 0;
    for (const GridRow& r : layout)
        if (r.desc->kind != 0) nameWidth = std::max(nameWidth, DisplayWidth(r.desc->Name(s.language)));
    size_t next = 0;
    for (size_t row = 0; row < layout.size(); ++row) {
        while (next < headings.size() && headings[next].row == static_cast<int>(row)) {
            const GridHeading& h = headings[next++];
            if (h.level == 0) out << (row == 0 ? "" : "\n") << "== " << h.text << " ==\n";
            else out << "\n[" << h.text << "]\n";
        }
        const ParamDescriptor& d = *layout[row].desc;
        if (d.kind == 0) continue;
        const std::string value = row < cells.size() ? TrimLeft(cells[row]) : std::string();
        if (value.empty()) out << "  " << d.Name(s.language) << "\n";
        else out << "  " << Pad(d.Name(s.language), nameWidth) << "  " << value << "\n";
    }
}

Json SheetJson(const ToolState& s, const ValueCells& cells) {
    const std::vector<GridRow> layout = GridLayout(s);
    Json sheet = Document();
    const ControllerProfile& profile = ProfileOf(s);
    sheet["kind"] = profile.KindName();
    // An FOC controller is identified by its kind alone, however its set arrived.
    sheet["modelWord"] = profile.ModelWord(s);
    const std::string variant = profile.Variant(s);
    if (variant.empty()) sheet["variant"] = nullptr;
    else sheet["variant"] = variant;
    sheet["dataValid"] = s.dataValid;
    Json rows = Json::array();
    for (size_t row = 0; row < layout.size(); ++row) {
        const ParamDescriptor& d = *layout[row].desc;
        if (d.kind == 0) continue;
        rows.push_back({{"id", RowIdOf(layout[row])},
                        {"set", SetName(layout[row].set)},
                        {"row", layout[row].record},
                        {"name", d.Name(s.language)},
                        {"value", row < cells.size() ? TrimLeft(cells[row]) : std::string()},
                        {"readOnly", d.read_only == 1},
                        {"detail", ValueJson(s, cells, static_cast<int>(row))}});
    }
    sheet["rows"] = std::move(rows);
    return sheet;
}

Json CheckJson(const ToolState& s, const ValueCells& cells, const ValidationResult& v, const std::string& file) {
    const std::vector<GridRow> layout = GridLayout(s);
    Json rows = Json::array();
    for (int row : v.refusedRows) {
        const GridRow& r = layout.at(static_cast<size_t>(row));
        Json value = ValueJson(s, cells, row);
        rows.push_back({{"id", RowIdOf(r)},
                        {"set", SetName(r.set)},
                        {"row", r.record},
                        {"name", r.desc->Name(s.language)},
                        {"value", value.at("text")},
                        {"min", value.at("min")},
                        {"max", value.at("max")},
                        {"detail", std::move(value)}});
    }
    return {{"file", file},
            {"accepted", !v.refused},
            {"message", v.refused ? Json(v.message) : Json(nullptr)},
            {"rows", std::move(rows)}};
}

}  // namespace dt::cli
