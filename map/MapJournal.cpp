#include "map/MapJournal.h"

#include <cstring>

namespace mapjournal {

namespace {

using platform::record::Fields;

constexpr std::size_t kMaxPath = 4096;

bool validCanvas(std::int64_t columns, std::int64_t rows) {
    return columns >= MapGrid::kMinCanvas && columns <= MapGrid::kMaxCanvas &&
           rows >= MapGrid::kMinCanvas && rows <= MapGrid::kMaxCanvas;
}

bool validChipSize(std::int64_t width, std::int64_t height) {
    return width >= MapGrid::kMinChipSize && width <= MapGrid::kMaxChipSize &&
           height >= MapGrid::kMinChipSize && height <= MapGrid::kMaxChipSize;
}

// The start of an op record's payload.
void opHeader(std::vector<std::uint8_t>& payload, Op op, bool modified, std::int64_t timeMs) {
    using namespace platform::record;
    putU8(payload, static_cast<std::uint8_t>(op));
    putU8(payload, modified ? 1 : 0);
    putI64(payload, timeMs);
}

bool applyCells(Fields& fields, MapGrid& grid) {
    const int layer = fields.u8();
    const std::int64_t left = fields.i32(), top = fields.i32();
    const std::int64_t width = fields.i32(), height = fields.i32();
    if (!fields.ok() || !MapGrid::isLayer(layer) || left < 0 || top < 0 || width < 1 ||
        height < 1 || left + width > grid.columns() || top + height > grid.rows() ||
        static_cast<std::uint64_t>(fields.remaining()) !=
            static_cast<std::uint64_t>(width * height) * 4) {
        return false;
    }
    const std::uint8_t* cells = fields.bytes(fields.remaining());
    for (std::int64_t r = 0; r < height; ++r) {
        std::memcpy(grid.rowCells(layer, static_cast<int>(top + r)) + left,
                    cells + static_cast<std::size_t>(r * width * 4),
                    static_cast<std::size_t>(width) * 4);
    }
    return true;
}

bool applyLines(Op op, std::int64_t at, std::int64_t count, MapGrid& grid) {
    const bool columns = op == Op::InsertColumns || op == Op::RemoveColumns;
    const bool inserting = op == Op::InsertRows || op == Op::InsertColumns;
    const std::int64_t size = columns ? grid.columns() : grid.rows();
    if (count < 1 || at < 0 ||
        (inserting ? at > size || size + count > MapGrid::kMaxCanvas
                   : at + count > size || size - count < 1)) {
        return false;
    }
    const int first = static_cast<int>(at), n = static_cast<int>(count);
    if (columns) {
        return inserting ? grid.insertColumns(first, n) : grid.removeColumns(first, n);
    }
    return inserting ? grid.insertRows(first, n) : grid.removeRows(first, n);
}

}  // namespace

void putBaseInfo(std::vector<std::uint8_t>& out, const BaseInfo& info) {
    using namespace platform::record;
    putU64(out, info.generation);
    putU8(out, static_cast<std::uint8_t>(info.type));
    putU8(out, info.modified ? 1 : 0);
    putI64(out, info.timeMs);
    putI32(out, info.columns);
    putI32(out, info.rows);
    putI32(out, info.chipWidth);
    putI32(out, info.chipHeight);
    putText(out, info.path);
    putStamp(out, info.stamp);
}

bool readBaseInfo(Fields& fields, BaseInfo& info) {
    info.generation = fields.u64();
    const std::uint8_t type = fields.u8();
    info.modified = fields.u8() != 0;
    info.timeMs = fields.i64();
    info.columns = fields.i32();
    info.rows = fields.i32();
    info.chipWidth = fields.i32();
    info.chipHeight = fields.i32();
    info.path = fields.text(kMaxPath);
    info.stamp = fields.stamp();
    info.type = static_cast<BaseType>(type);
    return fields.ok() && type <= static_cast<std::uint8_t>(BaseType::Snapshot) &&
           validCanvas(info.columns, info.rows) && validChipSize(info.chipWidth, info.chipHeight) &&
           (info.type != BaseType::File || !info.path.empty());
}

std::uint64_t snapshotCellBytes(const BaseInfo& info) {
    return static_cast<std::uint64_t>(info.columns) * static_cast<std::uint64_t>(info.rows) * 8;
}

void appendHead(std::vector<std::uint8_t>& out, std::uint64_t generation, bool continues,
                std::int64_t timeMs) {
    using namespace platform::record;
    std::vector<std::uint8_t> payload;
    putU64(payload, generation);
    putU8(payload, continues ? 1 : 0);
    putI64(payload, timeMs);
    append(out, kHead, {{payload.data(), payload.size()}});
}

void appendCells(std::vector<std::uint8_t>& out, const MapGrid& grid, int layer, int left, int top,
                 int width, int height, bool modified, std::int64_t timeMs) {
    using namespace platform::record;
    std::vector<std::uint8_t> fields;
    opHeader(fields, Op::Cells, modified, timeMs);
    putU8(fields, static_cast<std::uint8_t>(layer));
    putI32(fields, left);
    putI32(fields, top);
    putI32(fields, width);
    putI32(fields, height);
    std::vector<platform::ByteSpan> payload{{fields.data(), fields.size()}};
    payload.reserve(1 + static_cast<std::size_t>(height));
    for (int r = 0; r < height; ++r) {
        payload.push_back(
            {grid.rowCells(layer, top + r) + left, static_cast<std::size_t>(width) * 4});
    }
    append(out, kOp, payload);
}

void appendOp(std::vector<std::uint8_t>& out, Op op, std::int32_t a, std::int32_t b, bool modified,
              std::int64_t timeMs) {
    using namespace platform::record;
    std::vector<std::uint8_t> payload;
    opHeader(payload, op, modified, timeMs);
    putI32(payload, a);
    putI32(payload, b);
    append(out, kOp, {{payload.data(), payload.size()}});
}

bool readHead(const std::vector<std::uint8_t>& payload, Head& head) {
    Fields fields(payload);
    head.generation = fields.u64();
    head.continues = fields.u8() != 0;
    fields.i64();
    return fields.atEnd();
}

bool applyOp(const std::vector<std::uint8_t>& payload, MapGrid& grid, OpInfo& info) {
    Fields fields(payload);
    const Op op = static_cast<Op>(fields.u8());
    const bool modified = fields.u8() != 0;
    const std::int64_t time = fields.i64();
    if (!fields.ok()) {
        return false;
    }
    bool applied = false;
    if (op == Op::Cells) {
        applied = applyCells(fields, grid);
    } else {
        const std::int64_t a = fields.i32(), b = fields.i32();
        if (!fields.atEnd()) {
            return false;
        }
        switch (op) {
            case Op::InsertRows:
            case Op::RemoveRows:
            case Op::InsertColumns:
            case Op::RemoveColumns:
                applied = applyLines(op, a, b, grid);
                break;
            case Op::Resize:
                applied = validCanvas(a, b) &&
                          grid.resizeCanvas(static_cast<int>(a), static_cast<int>(b));
                break;
            case Op::ChipSize:
                applied = validChipSize(a, b);
                if (applied) {
                    grid.setChipSize(static_cast<int>(a), static_cast<int>(b));
                }
                break;
            default:
                break;
        }
    }
    if (applied) {
        info.modified = modified;
        info.timeMs = time;
    }
    return applied;
}

std::string baseName(std::uint64_t generation) {
    return "map-" + std::to_string(generation) + ".base";
}

std::string journalName(std::uint64_t generation) {
    return "map-" + std::to_string(generation) + ".journal";
}

bool generationOf(const std::string& name, std::uint64_t& generation, bool& isBase) {
    const std::string prefix = "map-";
    if (name.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    std::size_t at = prefix.size();
    std::uint64_t value = 0;
    const std::size_t digits = at;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9' && at - digits < 18) {
        value = value * 10 + static_cast<std::uint64_t>(name[at] - '0');
        ++at;
    }
    if (at == digits) {
        return false;
    }
    const std::string rest = name.substr(at);
    if (rest != ".base" && rest != ".journal") {
        return false;
    }
    generation = value;
    isBase = rest == ".base";
    return true;
}

}  // namespace mapjournal
