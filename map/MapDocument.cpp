#include "map/MapDocument.h"

#include <algorithm>

#include "map/ChipBlock.h"
#include "map/MapEditor.h"
#include "map/MapFile.h"
#include "platform/FileIo.h"

// --- Whole maps.

void MapDocument::start(MapChange::Origin origin, const std::string& path) {
    if (origin != MapChange::Origin::Saved) {
        emptyCopyBuffers();
        m_history.restart();
    }
    if (origin != MapChange::Origin::Taken) {
        m_savedState = m_history.stateId();
    }
    MapChange change;
    change.kind = MapChange::Kind::Started;
    change.origin = origin;
    change.path = path;
    report(change);
}

platform::Outcome<bool> MapDocument::load(const std::string& path,
                                          const platform::Language& language,
                                          const platform::Progress& progress) {
    platform::Outcome<MapFile::Format> read =
        MapFile::load(path, m_grid, language, nullptr, progress);
    if (read.value == MapFile::Format::None) {
        return {false, std::move(read.notices)};
    }
    m_grid.setFileBacked(true);
    start(MapChange::Origin::Loaded, path);
    return {true, std::move(read.notices)};
}

platform::Outcome<bool> MapDocument::save(std::string& path, const platform::Language& language,
                                          const platform::Progress& progress) {
    platform::Outcome<bool> saved = MapFile::save(path, m_grid, language, progress);
    if (saved.value) {
        start(MapChange::Origin::Saved, path);
    }
    return saved;
}

void MapDocument::makeNew() {
    const int columns = hasSize() ? m_grid.columns() : kNewMapSize;
    const int rows = hasSize() ? m_grid.rows() : kNewMapSize;
    m_grid.reset(columns, rows);
    m_grid.setFileBacked(false);
    start(MapChange::Origin::New, std::string());
}

void MapDocument::take(MapGrid grid, const std::string& path) {
    const int chipWidth = m_grid.chipWidth();
    const int chipHeight = m_grid.chipHeight();
    m_grid = std::move(grid);
    m_grid.setChipSize(chipWidth, chipHeight);
    start(MapChange::Origin::Taken, path);
}

void MapDocument::setChipSize(int width, int height) {
    m_grid.setChipSize(width, height);
    emptyCopyBuffers();
    clearHistory();
    MapChange change;
    change.kind = MapChange::Kind::ChipSize;
    report(change);
}

// --- Editing.

void MapDocument::emptyCopyBuffers() {
    MapGrid::Layer().swap(m_copyBuffers[MapGrid::kChipLayer]);
    MapGrid::Layer().swap(m_copyBuffers[MapGrid::kKindLayer]);
}

EditResult MapDocument::edited(EditResult result) {
    if (result.shapeChanged) {
        emptyCopyBuffers();
    }
    return result;
}

EditResult MapDocument::put(const EditPlace& place, std::int32_t value, const ChipBlock* block) {
    return edited(MapEditor::put(m_grid, place, value, block));
}

EditResult MapDocument::erase(const EditPlace& place) {
    return edited(MapEditor::erase(m_grid, place));
}

EditResult MapDocument::paste(const EditPlace& place) {
    if (!canPaste(place.layer)) {
        return {};
    }
    return edited(MapEditor::paste(m_grid, place, m_copyBuffers[place.layer]));
}

EditResult MapDocument::insertOrDeleteLines(const EditPlace& place, bool deleting, bool rows,
                                            bool columns) {
    return edited(MapEditor::insertOrDeleteLines(m_grid, place, deleting, rows, columns));
}

EditResult MapDocument::replace(const EditPlace& place, std::int32_t from, std::int32_t to,
                                int sourceLayer, int targetLayer,
                                const platform::Progress& progress) {
    return edited(MapEditor::replace(m_grid, place, from, to, sourceLayer, targetLayer, progress));
}

EditResult MapDocument::setCanvasSize(int columns, int rows) {
    EditResult result = MapEditor::setCanvasSize(m_grid, columns, rows);
    if (result.message == EditMessage::None) {
        emptyCopyBuffers();
        m_history.restart();
        MapChange change;
        change.kind = MapChange::Kind::Resized;
        report(change);
    }
    return result;
}

void MapDocument::record(EditStep step) {
    m_history.recordStep(std::move(step));
    reportStep(*m_history.currentStep(), false);
}

void MapDocument::copy(const EditPlace& place) {
    if (hasSize() && MapGrid::isLayer(place.layer)) {
        m_copyBuffers[place.layer] = MapEditor::copySelection(m_grid, place);
    }
}

bool MapDocument::canPaste(int layer) const {
    return hasSize() && MapGrid::isLayer(layer) && MapEditor::canPaste(m_copyBuffers[layer]);
}

// --- History.

std::optional<EditHistory::Restore> MapDocument::restored(
    std::optional<EditHistory::Restore> restore, bool undone) {
    if (restore) {
        reportStep(*restore->step, undone);
        if (restore->shapeChanged) {
            emptyCopyBuffers();
        }
    }
    return restore;
}

std::optional<EditHistory::Restore> MapDocument::undo() {
    return restored(m_history.undo(m_grid), true);
}

std::optional<EditHistory::Restore> MapDocument::redo() {
    return restored(m_history.redo(m_grid), false);
}

// --- The listener.

void MapDocument::report(const MapChange& change) {
    if (m_listener != nullptr) {
        m_listener->mapChanged(m_grid, change, isModified());
    }
}

void MapDocument::reportCells(int layer, int left, int top, int width, int height) {
    // Steps keep the rectangle the user chose; the cells are those of it within the map.
    const int right = std::min(left + width, m_grid.columns());
    const int bottom = std::min(top + height, m_grid.rows());
    left = std::max(left, 0);
    top = std::max(top, 0);
    if (right <= left || bottom <= top || !MapGrid::isLayer(layer)) {
        return;
    }
    MapChange change;
    change.kind = MapChange::Kind::Cells;
    change.layer = layer;
    change.left = left;
    change.top = top;
    change.width = right - left;
    change.height = bottom - top;
    report(change);
}

void MapDocument::reportLines(bool columns, bool inserted, int at, int count) {
    using Kind = MapChange::Kind;
    MapChange change;
    change.kind = columns ? (inserted ? Kind::InsertColumns : Kind::RemoveColumns)
                          : (inserted ? Kind::InsertRows : Kind::RemoveRows);
    change.at = at;
    change.count = count;
    report(change);
}

void MapDocument::reportStep(const EditStep& step, bool undone) {
    if (m_listener == nullptr) {
        return;
    }
    if (const auto* cells = std::get_if<CellsStep>(&step.change)) {
        const SelectionRect& r = cells->cells;
        reportCells(step.layer, r.left(), r.top(), r.width(), r.height());
    } else if (const auto* lines = std::get_if<LinesStep>(&step.change)) {
        // Undoing a deletion puts the lines back with their cells.
        const bool inserted = lines->deleted == undone;
        reportLines(lines->columns, inserted, lines->first, lines->count);
        if (inserted && lines->deleted) {
            for (int layer : {MapGrid::kChipLayer, MapGrid::kKindLayer}) {
                if (lines->columns) {
                    reportCells(layer, lines->first, 0, lines->count, m_grid.rows());
                } else {
                    reportCells(layer, 0, lines->first, m_grid.columns(), lines->count);
                }
            }
        }
    } else if (const auto* replace = std::get_if<ReplaceStep>(&step.change)) {
        replace->changes.forEachSpan([&](int row, int first, int last) {
            reportCells(step.layer, first, row, last - first + 1, 1);
        });
    }
}
