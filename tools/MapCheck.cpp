#include "tools/MapCheck.h"

#include <algorithm>

#include "chips/ChipSet.h"
#include "chips/KindTable.h"
#include "map/MapGrid.h"
#include "tools/ToolSupport.h"

namespace mapcheck {

namespace {

constexpr int kEditorAttributes = 100;  // the attributes 0 … 99 the editor gives

std::string size(int width, int height) {
    return std::to_string(width) + " × " + std::to_string(height);
}

void storedChipSize(const MapFile::Header& header, const Sheet& sheet, int& width, int& height,
                    Report& report) {
    width = header.chipWidth;
    height = header.chipHeight;
    if (!tool::storedChipSizeAllowed(width, height)) {
        if (report.wants("chip-size")) {
            report.add("chip-size", 0, 0,
                       "the stored chip size " + size(width, height) +
                           " is outside 16 … 64; the editor uses 32 × 32");
        }
        width = height = MapGrid::kDefaultChipSize;
    }
    if (!sheet.given()) {
        return;
    }
    if ((width > sheet.width || height > sheet.height) && report.wants("chip-size")) {
        report.add("chip-size", 0, 0,
                   "chips of " + size(width, height) + " do not fit the chip image of " +
                       size(sheet.width, sheet.height) + " pixels");
    }
    // Cut as the chip window cuts the sheet.
    width = ChipSet::clampChipSide(width, sheet.width);
    height = ChipSet::clampChipSide(height, sheet.height);
    if ((sheet.width % width != 0 || sheet.height % height != 0) && report.wants("sheet-edge")) {
        report.add("sheet-edge", 0, 0,
                   "the chip image of " + size(sheet.width, sheet.height) +
                       " pixels is not a whole number of " + size(width, height) +
                       " chips; its last " + size(sheet.width % width, sheet.height % height) +
                       " pixels are never shown");
    }
}

}  // namespace

const std::vector<Check>& checks() {
    static const std::vector<Check> all = {
        {"unreadable", "the map cannot be read (damaged, truncated, no map)"},
        {"chip-size", "the stored chip size is outside 16 … 64, or larger than the chip image"},
        {"sheet-edge",
         "the chip image is not a whole number of chips, so its right or bottom "
         "edge is never shown"},
        {"chip-range", "a cell holds a chip the chip image does not have"},
        {"kind-missing", "a cell's attribute has no record in the attribute file"},
        {"attribute-range", "without --kinds: a cell's attribute is outside 0 … 99"},
        {"empty-map", "no cell of the map holds a chip"},
    };
    return all;
}

bool isCheck(const std::string& name) {
    const auto& all = checks();
    return std::any_of(all.begin(), all.end(),
                       [&](const Check& check) { return name == check.name; });
}

void Report::add(const char* check, int row, int column, std::string message) {
    if (!keepsMore()) {
        count(check);
        return;
    }
    m_shown.push_back({row, column, check, std::move(message)});
    count(check);
}

void Report::count(const char* check) {
    ++m_counts[check];
    ++m_total;
}

void unreadable(const std::string& message, Report& report) {
    if (report.wants("unreadable")) {
        report.add("unreadable", 0, 0, message);
    }
}

void checkMap(const MapGrid& grid, const MapFile::Header& header, const Sheet& sheet,
              const KindTable* kinds, const std::string& kindsName, Report& report) {
    int chipWidth = 0, chipHeight = 0;
    storedChipSize(header, sheet, chipWidth, chipHeight, report);
    const std::int64_t chips =
        sheet.given() ? std::int64_t(sheet.width / chipWidth) * (sheet.height / chipHeight) : 0;
    const std::int64_t records = kinds != nullptr ? kinds->count() : kEditorAttributes;
    const char* const kindCheck = kinds != nullptr ? "kind-missing" : "attribute-range";
    const bool checkChips = sheet.given() && report.wants("chip-range");
    const bool checkKinds = report.wants(kindCheck);
    const std::string sheetText = "the chip image's " + std::to_string(chips) + " chips";
    const std::string kindText =
        kinds != nullptr ? "a record in " + kindsName + " (" + std::to_string(records) + " records)"
                         : "one of the editor's attributes 0 … 99";
    if (grid.hasSize() && report.wants("empty-map")) {
        bool anyChip = false;
        for (int r = 0; r < grid.rows() && !anyChip; ++r) {
            const std::int32_t* row = grid.rowCells(MapGrid::kChipLayer, r);
            anyChip = std::any_of(row, row + grid.columns(),
                                  [](std::int32_t chip) { return chip != MapGrid::kEmptyChip; });
        }
        if (!anyChip) {
            report.add("empty-map", 0, 0, "no cell of the map holds a chip");
        }
    }
    // One pass over each row: the common, clean cell costs two comparisons a layer.
    for (int r = 0; r < grid.rows(); ++r) {
        const std::int32_t* chipRow = grid.rowCells(MapGrid::kChipLayer, r);
        const std::int32_t* kindRow = grid.rowCells(MapGrid::kKindLayer, r);
        for (int c = 0; c < grid.columns(); ++c) {
            const std::int32_t chip = chipRow[c], kind = kindRow[c];
            if (checkChips && chip != MapGrid::kEmptyChip && (chip < 0 || chip >= chips)) {
                if (report.keepsMore()) {
                    report.add(
                        "chip-range", r + 1, c + 1,
                        chip < 0
                            ? "chip " + std::to_string(chip) + " is no chip (-1 is the empty cell)"
                            : "chip " + std::to_string(chip) + " is beyond " + sheetText);
                } else {
                    report.count("chip-range");
                }
            }
            if (checkKinds && (kind < 0 || kind >= records)) {
                if (report.keepsMore()) {
                    report.add(kindCheck, r + 1, c + 1,
                               "attribute " + std::to_string(kind) + " is not " + kindText);
                } else {
                    report.count(kindCheck);
                }
            }
        }
    }
}

}  // namespace mapcheck
