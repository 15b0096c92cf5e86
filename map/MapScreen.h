#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "grid/CellGridScreen.h"
#include "map/EditHistory.h"
#include "map/EditPlace.h"
#include "map/EditResult.h"
#include "map/MapChangeListener.h"
#include "map/MapGrid.h"
#include "preview/PlayerDefinition.h"

class ChipScreen;
class KindScreen;
class CNxSprite;
class CNxSurface;

// The map window ("mapeditor"): the map seen through a view, drawn either as chips from the
// chip image or as the colours of the cells' attributes, with a grid, the cursor and the
// selected rectangle on top. It holds the map, its copy buffers and edit history, and owns the
// chip window's and the attribute window's screens. Mouse, wheel and scroll bars move the
// cursor, the selection and the view; what each key does is the map window's key table
// (app/core/MapKeys); editing goes to MapEditor and EditHistory.
//
// Nothing here presents by itself: changes mark what they touch, and idleStep presents the
// three windows (the shell runs it after every message while there is idle work).
class MapScreen : public CellGridScreen {
public:
    static constexpr int kDefaultWindowWidth = 800;
    static constexpr int kDefaultWindowHeight = 600;
    static constexpr int kNewMapSize = 40;

    explicit MapScreen(platform::Host& host);
    ~MapScreen() override;

    // Binds to the map window (messages then pass on to next) with a black background and
    // makes its client area width × height.
    bool attach(platform::NativeWindow* window, int width, int height,
                platform::MessageHandler* next = nullptr);
    // The chip and attribute windows' screens, attached to their windows; false (and no
    // screen) when attaching fails.
    bool createChipScreen(platform::NativeWindow* window, int width, int height,
                          platform::MessageHandler* next = nullptr);
    bool createKindScreen(platform::NativeWindow* window, platform::MessageHandler* next = nullptr);
    ChipScreen* chipScreen() const { return m_chipScreen.get(); }
    KindScreen* kindScreen() const { return m_kindScreen.get(); }
    // The player's frames, kept with the map screen for the whole run.
    PlayerDefinition& playerDefinition() { return m_playerDefinition; }

    // --- The map and its files.
    const MapGrid& grid() const { return m_grid; }
    bool hasSize() const { return m_grid.hasSize(); }
    bool isFileBacked() const { return m_grid.fileBacked(); }
    // Reads a map file (binary, else text; the readers report their own errors). On success
    // the view starts afresh, the map is file-backed, and the copy buffers and the history are
    // emptied; on failure nothing changes.
    bool loadMap(const std::string& path);
    // Forces ".map" on path (written back) and writes the map; the map is file-backed after
    // the attempt.
    bool saveMap(std::string& path);
    // Empty chips and default attributes, 40 × 40 when the map has no size yet, else its size.
    void newMap();
    // Takes grid as the map, as a load does but without reading a file: the view starts afresh
    // and the copy buffers and the history are emptied. The chip size stays the screen's. The map
    // is unsaved; path is its file, if it has one.
    void takeMap(MapGrid grid, const std::string& path = std::string());

    // Loads the chip image into the chip window with the map's chip size, which takes what the
    // image allows; then redraws and empties the history. False when the image was not taken
    // (the too-small message is the chip window's; the shell reports the failure).
    bool loadChipImage(const std::string& path);

    // --- Unsaved work.
    // Whether the map differs from the file it was loaded from or saved to, or from the new map
    // it was made as. An undo back to that state counts as saved.
    bool isMapModified() const { return m_history.stateId() != m_savedState; }
    // The map, the attribute table or the player's frames hold changes that no file has; the
    // title then ends with " *".
    bool hasUnsavedWork() const;
    // Told of every change of the map from now on (null: nobody).
    void setChangeListener(MapChangeListener* listener) { m_listener = listener; }

    // A new version of the chip image (its file changed), decoded by the caller: the chip size,
    // the cursors, the selections and the history stay (the chip size only shrinks when the
    // image has become smaller than a chip). False when the chip window refuses it.
    bool replaceChipImage(std::unique_ptr<CNxSurface> image);

    // --- View and display.
    // 16 … 64 each, else "不正な値が指定されました" and nothing changes.
    bool setChipSize(int width, int height);
    // 320 … 1280 × 200 … 1024, else the range message and nothing changes.
    bool setWindowSize(int width, int height);
    platform::Size chipSize() const { return cellSize(); }
    // 0: chips (edits go to the chip layer); 1: attributes. Only with a map that has a size.
    void setEditLayer(int layer);
    int editLayer() const { return m_editLayer; }
    void toggleScrollBars();
    void redraw() { refreshView(); }
    void resetView() { CellGridScreen::resetView(); }
    void layout() { CellGridScreen::layout(); }
    void updateTitle() override;

    // --- The attribute window's link.
    void toggleLink();
    bool isLinked() const { return m_linked; }
    // The map window moved or was resized: the attribute window goes below it.
    void dockAttributeWindow();
    // The attribute window moved: the map window goes above it.
    void dockToAttributeWindow();

    // --- Editing.
    void put();
    void erase();
    void copySelection();
    void paste();
    void insertOrDeleteLines(bool deleting, bool rows, bool columns);
    void replace(std::int32_t from, std::int32_t to, int sourceLayer, int targetLayer);
    bool setCanvasSize(int columns, int rows);
    void undo();
    void redo();
    bool canPaste() const;
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    void clearHistory() { m_history.clearHistory(); }
    const EditHistory& history() const { return m_history; }
    const MapGrid::Layer& copyBuffer(int layer) const { return m_copyBuffers[layer]; }

    // --- The idle pass: auto-scroll while dragging, then present the map, attribute and chip
    // windows. Returns whether a drag goes on in the map or the chip window.
    bool idleStep();

    // --- Input from the map window's messages (its keys are app/core's MapKeys).
    // Keys act only on a map with a size and a chip image.
    bool takesKeys() const { return hasSize() && isChipSetLoaded(); }
    // A held Ctrl+C or Ctrl+V acts once, not once per key repeat, until C or V is let go.
    bool isCopyLatched() const { return m_copyLatch; }
    void releaseCopyLatch() { m_copyLatch = false; }
    void onLeftDoubleClick(int x, int y);

protected:
    int extent(Axis axis) const override;
    bool acceptsInput() const override { return m_grid.hasSize(); }
    void drawCells() override;

private:
    bool isChipSetLoaded() const;
    EditPlace editPlace() const;
    void applyEdit(EditResult result);
    void applyRestore(const EditHistory::Restore& restore);
    void emptyCopyBuffers();
    void changeChipSize(int width, int height);
    void showError(const std::string& text, const std::string& title);
    // The map became a whole new one (origin): a state of its own, saved unless taken.
    void startMap(MapChange::Origin origin, const std::string& path);
    void report(const MapChange& change);
    void reportCells(int layer, int left, int top, int width, int height);
    void reportLines(bool columns, bool inserted, int at, int count);
    // What a step changed when it was done (or redone), or undone.
    void reportStep(const EditStep& step, bool undone);

    MapGrid m_grid;
    MapGrid::Layer m_copyBuffers[2];
    EditHistory m_history;
    std::unique_ptr<CNxSurface> m_mapSurface;
    CNxSprite* m_mapSprite = nullptr;  // owned by layer 0
    std::unique_ptr<ChipScreen> m_chipScreen;
    std::unique_ptr<KindScreen> m_kindScreen;
    PlayerDefinition m_playerDefinition;
    int m_editLayer = MapGrid::kChipLayer;
    bool m_copyLatch = false;
    bool m_linked = true;
    bool m_docking = false;
    MapChangeListener* m_listener = nullptr;
    std::uint64_t m_savedState = 0;
};
