#include "tools/MapJson.h"

#include <algorithm>
#include <cstring>

#include "tools/DecimalRows.h"

namespace mapjson {

namespace {

// A layer as an array of rows, each an array of integers.
const decimal::Layout kJsonRows{"", "[", "]", ",", ""};

decimal::Extent extentOf(const MapGrid::Layer& layer) {
    decimal::Extent extent;
    for (const MapGrid::Row& row : layer) {
        extent.take(row.data(), row.size());
    }
    return extent;
}

// One layer: an array of rows, each an array of 32-bit integers, all of one length.
bool layerFromJson(const json::Value& value, const char* name, MapGrid::Layer& layer,
                   std::string& error) {
    if (!value.is_array()) {
        error = std::string("\"") + name + "\" must be an array of rows";
        return false;
    }
    layer.clear();
    layer.reserve(value.size());
    for (std::size_t r = 0; r < value.size(); ++r) {
        const json::Value& row = value[r];
        const std::string where = std::string(name) + "[" + std::to_string(r) + "]";
        if (!row.is_array()) {
            error = where + " must be an array of integers";
            return false;
        }
        if (r > 0 && row.size() != layer[0].size()) {
            error = where + " has " + std::to_string(row.size()) + " values where " + name +
                    "[0] has " + std::to_string(layer[0].size()) +
                    "; all rows must be of equal length";
            return false;
        }
        MapGrid::Row cells(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c) {
            std::int64_t cell = 0;
            if (!json::integerIn(row[c], INT32_MIN, INT32_MAX, cell)) {
                error = where + "[" + std::to_string(c) + "] is not a 32-bit integer" +
                        (row[c].is_number() ? " (" + row[c].dump() + ")" : "");
                return false;
            }
            cells[c] = static_cast<std::int32_t>(cell);
        }
        layer.push_back(std::move(cells));
    }
    return true;
}

}  // namespace

std::string write(const MapGrid& grid) {
    json::OrderedValue root;
    root["columns"] = grid.columns();
    root["rows"] = grid.rows();
    root["chips"] = json::OrderedValue::array();
    root["attributes"] = json::OrderedValue::array();
    // The layers' cells go straight into the text, where the empty arrays stand: a tree of
    // millions of values would cost many times their text.
    const std::string skeleton = json::write(root);
    const MapGrid::Layer* const layers[] = {&grid.chipLayer(), &grid.kindLayer()};
    const char* const markers[] = {"\"chips\":[", "\"attributes\":["};
    decimal::Extent extents[2];
    std::size_t total = skeleton.size() + 1;
    for (int i = 0; i < 2; ++i) {
        extents[i] = extentOf(*layers[i]);
        total += decimal::bound(extents[i], layers[i]->size(), kJsonRows);
    }
    std::string out;
    out.reserve(total);
    std::size_t from = 0;
    for (int i = 0; i < 2; ++i) {
        const std::size_t at = skeleton.find(markers[i], from) + std::strlen(markers[i]);
        out.append(skeleton, from, at - from);
        const MapGrid::Layer& layer = *layers[i];
        decimal::appendRows<std::int32_t>(
            out, extents[i], layer.size(), static_cast<std::size_t>(grid.columns()),
            [&](std::size_t r) { return layer[r].data(); }, kJsonRows);
        from = at;
    }
    out.append(skeleton, from, std::string::npos);
    out += '\n';
    return out;
}

static bool readGrid(const json::Value& root, MapGrid& grid, std::string& error) {
    if (!root.is_object()) {
        error = "the map must be a JSON object";
        return false;
    }
    const auto chipsValue = root.find("chips");
    if (chipsValue == root.end()) {
        error = "\"chips\" is missing";
        return false;
    }
    MapGrid::Layer chips, kinds;
    if (!layerFromJson(*chipsValue, "chips", chips, error)) {
        return false;
    }
    const int rows = static_cast<int>(std::min<std::size_t>(chips.size(), INT32_MAX));
    const int columns = chips.empty() ? 0 : static_cast<int>(chips[0].size());
    const auto kindsValue = root.find("attributes");
    if (kindsValue != root.end()) {
        if (!layerFromJson(*kindsValue, "attributes", kinds, error)) {
            return false;
        }
        if (kinds.size() != chips.size() ||
            (!kinds.empty() && kinds[0].size() != chips[0].size())) {
            error = "\"attributes\" must have the shape of \"chips\"";
            return false;
        }
    } else {
        kinds.assign(rows, MapGrid::Row(columns, MapGrid::kDefaultKind));
    }

    std::int64_t declaredColumns = columns, declaredRows = rows;
    std::int64_t chipWidth = MapGrid::kDefaultChipSize, chipHeight = MapGrid::kDefaultChipSize;
    if (!json::integerMember(root, "columns", 0, INT32_MAX, declaredColumns, error, "") ||
        !json::integerMember(root, "rows", 0, INT32_MAX, declaredRows, error, "") ||
        !json::integerMember(root, "chipWidth", MapGrid::kMinChipSize, MapGrid::kMaxChipSize,
                             chipWidth, error, "") ||
        !json::integerMember(root, "chipHeight", MapGrid::kMinChipSize, MapGrid::kMaxChipSize,
                             chipHeight, error, "")) {
        return false;
    }
    if (declaredColumns != columns || declaredRows != rows) {
        error = "\"columns\" and \"rows\" say " + std::to_string(declaredColumns) + " x " +
                std::to_string(declaredRows) + " but \"chips\" holds " + std::to_string(columns) +
                " x " + std::to_string(rows);
        return false;
    }
    if (columns < MapGrid::kMinCanvas || rows < MapGrid::kMinCanvas ||
        columns > MapGrid::kMaxCanvas || rows > MapGrid::kMaxCanvas) {
        error = "a map has 1 to 5000 columns and 1 to 5000 rows, not " + std::to_string(columns) +
                " x " + std::to_string(rows);
        return false;
    }
    grid.setChipSize(static_cast<int>(chipWidth), static_cast<int>(chipHeight));
    grid.assign(std::move(chips), std::move(kinds), columns, rows);
    return true;
}

platform::Outcome<bool> read(const json::Value& root, MapGrid& grid) {
    return platform::outcomeOf([&](std::string& why) { return readGrid(root, grid, why); });
}

}  // namespace mapjson
