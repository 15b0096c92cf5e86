#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "map/MapGrid.h"
#include "platform/FileStamp.h"
#include "platform/RecordFile.h"

// The records that keep a map's unsaved state in a recovery folder (platform/RecordFile frames
// them). The state is kept in generations: generation G is a base, "map-G.base", and a journal,
// "map-G.journal", of the edits made since the base was taken, each an absolute change (these
// cells now hold these values; these rows were inserted), so that replaying the journal over the
// base gives the map as it was at the journal's last record.
//
// A base is a new map (its size only), a map file (its path and stamp: the file itself is the
// base while it is unchanged) or a snapshot of every cell. A journal starts with a head that says
// whether it continues the generation before it: then the older base with both journals gives
// the same map, which is what a reader uses while the newer base is still being written.
namespace mapjournal {

constexpr std::uint32_t kBase = platform::record::kind("MBAS");
constexpr std::uint32_t kHead = platform::record::kind("MJHD");
constexpr std::uint32_t kOp = platform::record::kind("MJOP");

enum class BaseType : std::uint8_t { Blank = 0, File = 1, Snapshot = 2 };

enum class Op : std::uint8_t {
    Cells = 1,  // layer, left, top, width, height, then the cells row by row
    InsertRows,
    RemoveRows,
    InsertColumns,
    RemoveColumns,  // at, count
    Resize,         // columns, rows
    ChipSize,       // width, height
};

// What a base says of the map beside its cells.
struct BaseInfo {
    std::uint64_t generation = 0;
    BaseType type = BaseType::Blank;
    bool modified = false;  // the map differs from its file (or the new map it was)
    std::int64_t timeMs = 0;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::int32_t chipWidth = MapGrid::kDefaultChipSize;
    std::int32_t chipHeight = MapGrid::kDefaultChipSize;
    std::string path;           // the map's file: where saving goes; empty for a new map
    platform::FileStamp stamp;  // of that file when it was last read or written
};

// The fields of a base; a snapshot's cells follow them, layer by layer, row by row.
void putBaseInfo(std::vector<std::uint8_t>& out, const BaseInfo& info);
bool readBaseInfo(platform::record::Fields& fields, BaseInfo& info);
// The payload bytes of a snapshot's cells.
std::uint64_t snapshotCellBytes(const BaseInfo& info);

// Whole records appended to out.
void appendHead(std::vector<std::uint8_t>& out, std::uint64_t generation, bool continues,
                std::int64_t timeMs);
void appendCells(std::vector<std::uint8_t>& out, const MapGrid& grid, int layer, int left, int top,
                 int width, int height, bool modified, std::int64_t timeMs);
void appendOp(std::vector<std::uint8_t>& out, Op op, std::int32_t a, std::int32_t b,
              bool modified, std::int64_t timeMs);

struct Head {
    std::uint64_t generation = 0;
    bool continues = false;
};
bool readHead(const std::vector<std::uint8_t>& payload, Head& head);

// Replays one op record's payload on grid (and its chip size). False, with grid unchanged, when
// the payload is malformed or does not fit the map (cells outside it, a size out of range).
struct OpInfo {
    bool modified = false;
    std::int64_t timeMs = 0;
};
bool applyOp(const std::vector<std::uint8_t>& payload, MapGrid& grid, OpInfo& info);

// File names of generation g, and the generation a name belongs to (false: not a map file).
std::string baseName(std::uint64_t generation);
std::string journalName(std::uint64_t generation);
bool generationOf(const std::string& name, std::uint64_t& generation, bool& isBase);

}  // namespace mapjournal
