#include "map/MapRecovery.h"

#include <algorithm>
#include <set>

#include "map/MapFile.h"
#include "map/MapJournal.h"
#include "platform/MessagePort.h"
#include "platform/RecordFile.h"

namespace {

using platform::RecordReader;
using Status = RecordReader::Status;

constexpr std::uint64_t kMaxInfoBytes = 64u << 10;
constexpr std::uint64_t kMaxCells =
    static_cast<std::uint64_t>(MapGrid::kMaxCanvas) * MapGrid::kMaxCanvas;
// A base: its fields and both layers of the largest map.
constexpr std::uint64_t kMaxBaseBytes = kMaxCells * 8 + kMaxInfoBytes + 64;
// A journal record: at most one layer of the largest map, and its fields.
constexpr std::uint64_t kMaxOpBytes = kMaxCells * 4 + 1024;
constexpr std::uint64_t kMaxJournalBytes = 1ull << 30;

bool readLayers(RecordReader& reader, const mapjournal::BaseInfo& info, MapGrid& grid) {
    MapGrid::Layer layers[2];
    const std::size_t rowBytes = static_cast<std::size_t>(info.columns) * 4;
    for (MapGrid::Layer& layer : layers) {
        layer.resize(info.rows);
        for (MapGrid::Row& row : layer) {
            row.resize(info.columns);  // left unset: the read fills every cell
            if (!reader.readPart(row.data(), rowBytes)) {
                return false;
            }
        }
    }
    return reader.finishPayload() == Status::Record &&
           grid.assign(std::move(layers[0]), std::move(layers[1]), info.columns, info.rows);
}

// A base on a file that has changed since is read as a blank map, and baseLost says so.
bool readBase(const std::string& path, RecoveredMap& map, std::string& problem, bool& baseLost) {
    RecordReader reader;
    const platform::Outcome<bool> opened = reader.open(path, kMaxBaseBytes);
    if (!opened.value) {
        problem = opened.why();
        return false;
    }
    std::uint32_t kind = 0;
    std::uint64_t length = 0;
    std::vector<std::uint8_t> sizeField(4);
    if (reader.next(kind, length) != Status::Record || kind != mapjournal::kBase ||
        !reader.readPart(sizeField.data(), 4)) {
        problem = path + ": not a whole base record";
        return false;
    }
    platform::record::Fields size(sizeField);
    const std::uint64_t infoBytes = size.u32();
    std::vector<std::uint8_t> info(infoBytes <= kMaxInfoBytes && infoBytes <= length - 4
                                       ? static_cast<std::size_t>(infoBytes)
                                       : 0);
    mapjournal::BaseInfo base;
    platform::record::Fields fields(info);
    if (info.size() != infoBytes || !reader.readPart(info.data(), info.size()) ||
        !mapjournal::readBaseInfo(fields, base) || !fields.atEnd()) {
        problem = path + ": its fields are damaged";
        return false;
    }
    MapGrid grid;
    grid.setChipSize(base.chipWidth, base.chipHeight);
    bool ok = false;
    switch (base.type) {
        case mapjournal::BaseType::Blank:
            ok = length == 4 + infoBytes && reader.finishPayload() == Status::Record;
            if (ok) {
                grid.reset(base.columns, base.rows);
            }
            break;
        case mapjournal::BaseType::Snapshot:
            ok = length == 4 + infoBytes + mapjournal::snapshotCellBytes(base) &&
                 readLayers(reader, base, grid);
            break;
        case mapjournal::BaseType::File: {
            if (length != 4 + infoBytes || reader.finishPayload() != Status::Record) {
                break;
            }
            if (platform::FileStamp::of(base.path) != base.stamp) {
                // The journal is replayed over a blank map all the same, to learn whether it
                // holds unsaved work and to keep the records beside the map.
                baseLost = true;
                grid.reset(base.columns, base.rows);
                ok = true;
                break;
            }
            // The file is read for its cells only; what is wrong with it is said below.
            ok = MapFile::load(base.path, grid, platform::Language()).value !=
                     MapFile::Format::None &&
                 grid.columns() == base.columns && grid.rows() == base.rows;
            grid.setChipSize(base.chipWidth, base.chipHeight);
            if (!ok) {
                problem = base.path + ": the map's file cannot be read as it was";
                return false;
            }
            break;
        }
    }
    if (!ok) {
        problem = path + ": damaged";
        return false;
    }
    grid.setFileBacked(!base.path.empty());
    map.grid = std::move(grid);
    map.modified = base.modified;
    map.path = base.path;
    map.stamp = base.stamp;
    map.timeMs = base.timeMs;
    return true;
}

// Replays journal generation over map. Returns whether the next generation may follow.
bool replay(const std::string& path, std::uint64_t generation, bool first, RecoveredMap& map) {
    RecordReader reader;
    const platform::Outcome<bool> opened = reader.open(path, kMaxJournalBytes);
    if (!opened.value) {
        map.problems.push_back(opened.why());
        return false;
    }
    std::uint32_t kind = 0;
    std::uint64_t length = 0;
    std::vector<std::uint8_t> payload;
    mapjournal::Head head;
    if (reader.next(kind, length) != Status::Record || kind != mapjournal::kHead ||
        reader.readPayload(payload, 1024) != Status::Record ||
        !mapjournal::readHead(payload, head) || head.generation != generation) {
        // A journal whose head was never written whole holds nothing yet.
        return false;
    }
    if (!first && !head.continues) {
        return false;
    }
    for (;;) {
        const Status status = reader.next(kind, length);
        if (status == Status::End || status == Status::Torn) {
            return true;
        }
        mapjournal::OpInfo info;
        if (status != Status::Record || kind == mapjournal::kHead ||
            reader.readPayload(payload, kMaxOpBytes) != Status::Record) {
            map.problems.push_back(path + ": a damaged record; the work after it is lost");
            return false;
        }
        if (kind != mapjournal::kOp) {
            map.items[kind] = payload;
            continue;
        }
        if (!mapjournal::applyOp(payload, map.grid, info)) {
            map.problems.push_back(
                path + ": a record that does not fit the map; the work after it is lost");
            return false;
        }
        map.modified = info.modified;
        map.timeMs = info.timeMs;
    }
}

}  // namespace

bool RecoveredMap::fileChanged() const {
    return !path.empty() && platform::FileStamp::of(path) != stamp;
}

RecoveredMap readRecoveredMap(const std::string& folder, const std::vector<std::string>& names) {
    RecoveredMap map;
    std::set<std::uint64_t> bases, journals;
    for (const std::string& name : names) {
        std::uint64_t generation = 0;
        bool isBase = false;
        if (mapjournal::generationOf(name, generation, isBase)) {
            (isBase ? bases : journals).insert(generation);
            map.newestGeneration = std::max(map.newestGeneration, generation);
        }
    }
    std::uint64_t from = 0;
    bool baseLost = false;
    for (auto g = bases.rbegin(); g != bases.rend() && !map.found; ++g) {
        std::string problem;
        if (readBase(folder + "/" + mapjournal::baseName(*g), map, problem, baseLost)) {
            map.found = true;
            from = *g;
        } else if (!problem.empty()) {
            map.problems.push_back(problem);
        }
    }
    if (!map.found) {
        return map;
    }
    for (std::uint64_t g = from; journals.count(g) != 0; ++g) {
        if (!replay(folder + "/" + mapjournal::journalName(g), g, g == from, map)) {
            break;
        }
    }
    if (baseLost) {
        // Without its file the map cannot be rebuilt. A map that was saved when the editor
        // ended had nothing to lose.
        if (map.modified) {
            map.problems.push_back(map.path +
                                   ": the map's file changed since, and the unsaved changes "
                                   "were kept against the file as it was");
        }
        map.found = false;
        map.grid = MapGrid();
    }
    return map;
}
