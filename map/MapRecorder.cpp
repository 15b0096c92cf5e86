#include "map/MapRecorder.h"

#include <algorithm>
#include <chrono>

#include "platform/RecordStore.h"

namespace {

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

bool changesShape(MapChange::Kind kind) {
    using Kind = MapChange::Kind;
    return kind == Kind::InsertRows || kind == Kind::RemoveRows || kind == Kind::InsertColumns ||
           kind == Kind::RemoveColumns || kind == Kind::Resized;
}

// The map's files of generations before generation, part files included.
platform::RecordStore::Needless olderThan(std::uint64_t generation) {
    return [generation](const std::string& name) {
        std::string plain = name;
        const std::string part = ".part";
        if (plain.size() > part.size() + 1 && plain[0] == '.' &&
            plain.compare(plain.size() - part.size(), part.size(), part) == 0) {
            plain = plain.substr(1, plain.size() - part.size() - 1);
        }
        std::uint64_t g = 0;
        bool isBase = false;
        return mapjournal::generationOf(plain, g, isBase) && g < generation;
    };
}

// The base's account of the map as it stands now.
void describe(mapjournal::BaseInfo& base, const MapGrid& grid, bool modified) {
    base.modified = modified;
    base.timeMs = nowMs();
    base.columns = grid.columns();
    base.rows = grid.rows();
    base.chipWidth = grid.chipWidth();
    base.chipHeight = grid.chipHeight();
}

std::uint64_t mapBytes(const MapGrid& grid) {
    return static_cast<std::uint64_t>(grid.columns()) * static_cast<std::uint64_t>(grid.rows()) * 8;
}

}  // namespace

MapRecorder::MapRecorder(platform::RecordStore& store, std::uint64_t lastGeneration)
    : MapRecorder(store, lastGeneration, Limits{}) {}

MapRecorder::MapRecorder(platform::RecordStore& store, std::uint64_t lastGeneration, Limits limits)
    : m_store(store),
      m_limits(limits),
      m_generation(lastGeneration),
      m_knownFailures(store.failures()) {}

void MapRecorder::startGeneration(bool continues) {
    ++m_generation;
    m_head.clear();
    mapjournal::appendHead(m_head, m_generation, continues, nowMs());
    for (const auto& item : m_items) {
        platform::record::append(m_head, item.first, {{item.second.data(), item.second.size()}});
    }
    m_journalBytes = 0;
}

void MapRecorder::recordItem(std::uint32_t kind, std::vector<std::uint8_t> payload) {
    if (m_started && !m_dropping) {
        const std::size_t before = m_waiting.size();
        platform::record::append(m_waiting, kind, {{payload.data(), payload.size()}});
        m_journalBytes += m_waiting.size() - before;
    }
    m_items[kind] = std::move(payload);
}

void MapRecorder::record(const MapGrid& grid, const MapChange& change, bool modified) {
    using Kind = MapChange::Kind;
    using mapjournal::Op;
    m_modified = modified;
    if (change.kind == Kind::Started) {
        // A whole new map: what waits, and any snapshot of the one before, are of no use now.
        m_started = true;
        abortSnapshot();
        m_waiting.clear();
        m_snapshotDue = false;
        m_dropping = false;
        m_baseWaiting = false;
        m_head.clear();
        m_base = mapjournal::BaseInfo{};
        describe(m_base, grid, modified);
        m_base.path = change.path;
        m_base.stamp = platform::FileStamp::of(change.path);
        if (change.origin == MapChange::Origin::Taken) {
            m_base.type = mapjournal::BaseType::Snapshot;
            m_snapshotDue = true;
            m_dueContinues = false;
            m_dropping = true;
        } else {
            m_base.type = change.origin == MapChange::Origin::New ? mapjournal::BaseType::Blank
                                                                  : mapjournal::BaseType::File;
            startGeneration(false);
            m_base.generation = m_generation;
            m_baseWaiting = true;
        }
        return;
    }
    if (m_dropping || !m_started) {
        return;  // the snapshot about to be taken holds this change (or nothing is kept yet)
    }
    const std::size_t before = m_waiting.size();
    const std::int64_t time = nowMs();
    switch (change.kind) {
        case Kind::Cells:
            mapjournal::appendCells(m_waiting, grid, change.layer, change.left, change.top,
                                    change.width, change.height, modified, time);
            break;
        case Kind::InsertRows:
        case Kind::RemoveRows:
        case Kind::InsertColumns:
        case Kind::RemoveColumns: {
            const Op op = change.kind == Kind::InsertRows      ? Op::InsertRows
                          : change.kind == Kind::RemoveRows    ? Op::RemoveRows
                          : change.kind == Kind::InsertColumns ? Op::InsertColumns
                                                               : Op::RemoveColumns;
            mapjournal::appendOp(m_waiting, op, change.at, change.count, modified, time);
            break;
        }
        case Kind::Resized:
            mapjournal::appendOp(m_waiting, Op::Resize, grid.columns(), grid.rows(), modified,
                                 time);
            break;
        case Kind::ChipSize:
            mapjournal::appendOp(m_waiting, Op::ChipSize, grid.chipWidth(), grid.chipHeight(),
                                 modified, time);
            break;
        case Kind::Started:
            break;
    }
    m_journalBytes += m_waiting.size() - before;
    if (changesShape(change.kind) && m_capturing) {
        // The rows the snapshot has yet to copy are no longer where it expects them.
        abortSnapshot();
        m_snapshotDue = true;
        m_dueContinues = true;
    }
    const std::uint64_t size = mapBytes(grid);
    if (m_waiting.size() > std::max<std::uint64_t>(m_limits.minWaitingBytes, size / 32)) {
        drop();
    } else if (!m_capturing &&
               m_journalBytes > std::max<std::uint64_t>(m_limits.minJournalBytes, size / 4)) {
        m_snapshotDue = true;
        m_dueContinues = true;
    }
}

// What waits is given up: a snapshot of the map as it will then be takes its place. Until it is
// written, the records on disk give the map as it was before the records given up.
void MapRecorder::drop() {
    m_waiting.clear();
    m_waiting.shrink_to_fit();
    abortSnapshot();
    m_snapshotDue = true;
    m_dueContinues = false;
    m_dropping = true;
}

bool MapRecorder::hasWaiting() const {
    return !m_waiting.empty() || !m_head.empty() || m_baseWaiting || m_snapshotDue;
}

void MapRecorder::flush(const MapGrid& grid) {
    if (m_store.failures() != m_knownFailures) {
        // A write failed: the journal on disk ends before it, and a snapshot starts again.
        m_knownFailures = m_store.failures();
        drop();
    }
    if (m_base.type == mapjournal::BaseType::File && m_modified && !m_capturing && !m_snapshotDue &&
        platform::FileStamp::of(m_base.path) != m_base.stamp) {
        // The file the journal builds on changed: only a snapshot keeps the work now.
        m_snapshotDue = true;
        m_dueContinues = true;
    }
    if (!m_head.empty()) {
        m_store.startJournal(mapjournal::journalName(m_generation), std::move(m_head));
        m_head.clear();
    }
    if (m_baseWaiting) {
        std::vector<std::uint8_t> info;
        mapjournal::putBaseInfo(info, m_base);
        std::vector<std::uint8_t> payload;
        platform::record::putU32(payload, static_cast<std::uint32_t>(info.size()));
        payload.insert(payload.end(), info.begin(), info.end());
        m_store.writeRecord(mapjournal::baseName(m_generation), mapjournal::kBase,
                            std::move(payload), olderThan(m_generation));
        m_baseWaiting = false;
    }
    if (!m_waiting.empty()) {
        m_store.appendJournal(std::move(m_waiting));
        m_waiting = {};
    }
    if (m_snapshotDue && !m_capturing) {
        beginSnapshot(grid, m_dueContinues);
    }
}

void MapRecorder::beginSnapshot(const MapGrid& grid, bool continues) {
    startGeneration(continues);
    m_store.startJournal(mapjournal::journalName(m_generation), std::move(m_head));
    m_head.clear();
    m_base.generation = m_generation;
    m_base.type = mapjournal::BaseType::Snapshot;
    describe(m_base, grid, m_modified);
    std::vector<std::uint8_t> info;
    mapjournal::putBaseInfo(info, m_base);
    std::vector<std::uint8_t> first;
    platform::record::putU32(first, static_cast<std::uint32_t>(info.size()));
    first.insert(first.end(), info.begin(), info.end());
    m_store.beginStream(mapjournal::baseName(m_generation), mapjournal::kBase,
                        first.size() + mapjournal::snapshotCellBytes(m_base));
    m_store.streamPart(std::move(first));
    m_capturing = true;
    m_captureLayer = 0;
    m_captureRow = 0;
    m_snapshotDue = false;
    m_dropping = false;
}

void MapRecorder::abortSnapshot() {
    if (m_capturing) {
        m_store.abortStream();
        m_capturing = false;
    }
}

bool MapRecorder::captureStep(const MapGrid& grid) {
    if (!m_capturing) {
        return false;
    }
    if (grid.columns() != m_base.columns || grid.rows() != m_base.rows) {
        abortSnapshot();  // not expected: shape changes end the snapshot when they happen
        m_snapshotDue = true;
        m_dueContinues = true;
        return false;
    }
    if (m_store.backlog() > 1) {
        return true;  // the disk is behind: no more slices in memory until it catches up
    }
    const std::size_t rowBytes = static_cast<std::size_t>(grid.columns()) * 4;
    std::vector<std::uint8_t> slice;
    slice.reserve(std::max(rowBytes, m_limits.sliceBytes / rowBytes * rowBytes));
    while (m_captureLayer < 2 &&
           (slice.empty() || slice.size() + rowBytes <= m_limits.sliceBytes)) {
        const auto* row =
            reinterpret_cast<const std::uint8_t*>(grid.rowCells(m_captureLayer, m_captureRow));
        slice.insert(slice.end(), row, row + rowBytes);
        if (++m_captureRow == grid.rows()) {
            m_captureRow = 0;
            ++m_captureLayer;
        }
    }
    m_store.streamPart(std::move(slice));
    if (m_captureLayer == 2) {
        // The rows were copied at different moments; the base counts only together with the
        // records of every change made until the last of them, written first.
        if (!m_waiting.empty()) {
            m_store.appendJournal(std::move(m_waiting));
            m_waiting = {};
        }
        m_store.finishStream(olderThan(m_generation));
        m_capturing = false;
    }
    return m_capturing;
}
