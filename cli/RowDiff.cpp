#include "RowDiff.h"

#include <algorithm>
#include <map>
#include <utility>

#include "GridPasses.h"
#include "Json.h"
#include "Sheet.h"
#include "ValueCodec.h"
#include "ValueJson.h"

namespace dt::cli {

namespace {

// Set, name and which of the rows of that name: a name repeated within a set still pairs
// first with first, second with second.
using PairKey = std::pair<std::pair<std::string, std::string>, int>;

std::map<PairKey, const ShownRow*> ByKey(const std::vector<ShownRow>& rows) {
    std::map<PairKey, const ShownRow*> keyed;
    std::map<std::pair<std::string, std::string>, int> seen;
    for (const ShownRow& r : rows) keyed[{{r.set, r.name}, seen[{r.set, r.name}]++}] = &r;
    return keyed;
}

Json Side(const ShownRow* r) {
    if (!r) return nullptr;
    return {{"id", r->id}, {"row", r->row}, {"name", r->name}, {"value", r->value}, {"detail", r->detail}};
}

}  // namespace

std::vector<ShownRow> ShownRows(ToolState& s) {
    std::vector<ShownRow> rows;
    const ValueCells cells = ShowValues(s);
    const std::vector<GridRow> layout = GridLayout(s);
    for (size_t i = 0; i < layout.size(); ++i) {
        if (layout[i].desc->kind == 0) continue;
        rows.push_back({RowIdOf(layout[i]), SetName(layout[i].set), layout[i].record, layout[i].desc->Name(s.language),
                        i < cells.size() ? TrimLeft(cells[i]) : std::string(),
                        ValueJson(s, cells, static_cast<int>(i))});
    }
    return rows;
}

std::vector<RowChange> ChangedRows(const std::vector<ShownRow>& a, const std::vector<ShownRow>& b) {
    const auto keyedA = ByKey(a);
    auto keyedB = ByKey(b);
    std::vector<RowChange> changes;
    std::map<std::pair<std::string, std::string>, int> seen;
    for (const ShownRow& r : a) {
        auto other = keyedB.find({{r.set, r.name}, seen[{r.set, r.name}]++});
        const ShownRow* rb = other == keyedB.end() ? nullptr : other->second;
        if (rb) keyedB.erase(other);
        if (!rb || rb->value != r.value) changes.push_back({&r, rb});
    }
    // What is left of b has no partner; list it in b's own order.
    std::vector<const ShownRow*> onlyB;
    for (const auto& kv : keyedB) onlyB.push_back(kv.second);
    std::sort(onlyB.begin(), onlyB.end());
    for (const ShownRow* r : onlyB) changes.push_back({nullptr, r});
    // Rows only b has go to the end of their own set.
    auto rank = [](const RowChange& c) {
        const std::string& set = (c.a ? c.a : c.b)->set;
        return set == SetName(GridSet::Parameter) ? 0 : set == SetName(GridSet::Function) ? 1 : 2;
    };
    std::stable_sort(changes.begin(), changes.end(),
                     [&](const RowChange& x, const RowChange& y) { return rank(x) < rank(y); });
    return changes;
}

void PrintChanges(std::ostream& out, const std::vector<RowChange>& changes) {
    int width = 0;
    for (const RowChange& c : changes) width = std::max(width, DisplayWidth((c.a ? c.a : c.b)->name));
    for (const RowChange& c : changes) {
        const std::string& name = (c.a ? c.a : c.b)->name;
        out << name << std::string(width - DisplayWidth(name), ' ') << "  " << (c.a ? c.a->value : "(none)")
            << "  ->  " << (c.b ? c.b->value : "(none)") << "\n";
    }
}

void PrintChangesJson(std::ostream& out, const std::vector<RowChange>& changes, SideNames sides) {
    Json rows = Json::array();
    for (const RowChange& c : changes) {
        const ShownRow& any = c.a ? *c.a : *c.b;
        rows.push_back({{"set", any.set}, {"name", any.name}, {sides.a, Side(c.a)}, {sides.b, Side(c.b)}});
    }
    Json document = Document();
    document["rows"] = std::move(rows);
    PrintJson(out, document);
}

}  // namespace dt::cli
