#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "map/EditHistory.h"
#include "map/EditPlace.h"
#include "map/EditResult.h"
#include "map/MapChangeListener.h"
#include "map/MapGrid.h"
#include "platform/FileIo.h"
#include "platform/Outcome.h"

struct ChipBlock;

// The map being edited: its cells, its copy buffers, its edit history and whether it holds
// changes that its file does not. Every change of the cells goes through here, is recorded here
// and is told to the listener (the recovery journal) from here. What the user sees of it (the
// cursor, the selection, the view and the zoom) is the map window's, map/MapScreen.
//
// Edits take the place they act on (the layer, the cursor, the selection and the view, which
// the window knows) and return what the window has to follow up with; the step they made is
// recorded by record() once the window has done its part, so that the step keeps the view the
// window ends with.
class MapDocument {
public:
    static constexpr int kNewMapSize = 40;

    const MapGrid& grid() const { return m_grid; }
    bool hasSize() const { return m_grid.hasSize(); }
    bool isFileBacked() const { return m_grid.fileBacked(); }

    // --- Whole maps. Each starts the map afresh: the copy buffers and the history are emptied
    // and the map is a state of its own.
    // Reads a map file (binary, else text); on failure nothing changes and the notice says why,
    // worded in language. The map is then file-backed and saved.
    platform::Outcome<bool> load(const std::string& path, const platform::Language& language,
                                 const platform::Progress& progress);
    // Forces ".map" on path (written back) and writes the map, which is then saved (the history
    // stays). A failed write changes nothing and its notice says why, worded in language.
    platform::Outcome<bool> save(std::string& path, const platform::Language& language,
                                 const platform::Progress& progress);
    // Empty chips and default attributes, 40 × 40 when the map has no size yet, else its size.
    void makeNew();
    // Takes grid as the map with the chip size in use. The map is unsaved; path is its file, if
    // it has one.
    void take(MapGrid grid, const std::string& path = std::string());

    // The chip size is the editor's: the cells stay as they were and so does the saved state,
    // but the copy buffers and the history go.
    void setChipSize(int width, int height);

    // --- Editing. Each edit empties the copy buffers when rows or columns came or went.
    EditResult put(const EditPlace& place, std::int32_t value, const ChipBlock* block = nullptr);
    EditResult erase(const EditPlace& place);
    EditResult paste(const EditPlace& place);
    EditResult insertOrDeleteLines(const EditPlace& place, bool deleting, bool rows, bool columns);
    EditResult replace(const EditPlace& place, std::int32_t from, std::int32_t to, int sourceLayer,
                       int targetLayer, const platform::Progress& progress);
    // A new canvas size: on success the copy buffers and the history start afresh. The result
    // carries the range message when the size is refused.
    EditResult setCanvasSize(int columns, int rows);
    // Records the step an edit made and tells the listener what it changed.
    void record(EditStep step);

    // The selection (or the cursor's cell) of place's layer into that layer's copy buffer.
    void copy(const EditPlace& place);
    bool canPaste(int layer) const;
    const MapGrid::Layer& copyBuffer(int layer) const { return m_copyBuffers[layer]; }

    // --- History.
    std::optional<EditHistory::Restore> undo();
    std::optional<EditHistory::Restore> redo();
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    void clearHistory() { m_history.clearHistory(); }
    const EditHistory& history() const { return m_history; }

    // --- Unsaved work.
    // Whether the map differs from the file it was loaded from or saved to, or from the new map
    // it was made as. An undo back to that state counts as saved.
    bool isModified() const { return m_history.stateId() != m_savedState; }
    // Told of every change of the map from now on (null: nobody).
    void setChangeListener(MapChangeListener* listener) { m_listener = listener; }

private:
    // The one way a whole map begins (origin): the copy buffers go and the map is a state of its
    // own, saved unless taken. A save keeps the history.
    void start(MapChange::Origin origin, const std::string& path);
    EditResult edited(EditResult result);
    void emptyCopyBuffers();
    std::optional<EditHistory::Restore> restored(std::optional<EditHistory::Restore> restore,
                                                 bool undone);
    void report(const MapChange& change);
    void reportCells(int layer, int left, int top, int width, int height);
    void reportLines(bool columns, bool inserted, int at, int count);
    // What a step changed when it was done (or redone), or undone.
    void reportStep(const EditStep& step, bool undone);

    MapGrid m_grid;
    MapGrid::Layer m_copyBuffers[2];
    EditHistory m_history;
    MapChangeListener* m_listener = nullptr;
    std::uint64_t m_savedState = 0;
};
