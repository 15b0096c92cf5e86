#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "grid/CellGridScreen.h"
#include "map/MapDocument.h"

class ChipScreen;
class KindScreen;
class CNxSprite;
class CNxSurface;

// The map window ("mapeditor"): what the user sees of the map document (map/MapDocument), drawn
// either as chips from the chip image or as the colours of the cells' attributes, with a grid,
// the cursor and the selected rectangle on top. Mouse, wheel and scroll bars move the cursor,
// the selection and the view; what each key does is the map window's key table
// (app/core/MapKeys). Edits take their place (layer, cursor, selection, view) from here and go
// to the document; what they did to the view (a new shape, a message, another layer) is
// followed up here.
//
// The chip window's and the attribute window's screens are its companions, owned by the shell:
// the chip window gives the chips to put and draw, the attribute window the attributes.
//
// Nothing here presents by itself: changes mark what they touch, and idleStep presents the
// window (the shell runs it after every message while there is idle work).
class MapScreen : public CellGridScreen {
public:
    static constexpr int kDefaultWindowWidth = 800;
    static constexpr int kDefaultWindowHeight = 600;

    MapScreen(platform::Host& host, MapDocument& document);
    ~MapScreen() override;

    // The chip and attribute windows' screens (null: none yet), which outlive this screen's use
    // of them.
    void setCompanions(ChipScreen* chips, KindScreen* kinds);
    ChipScreen* chipScreen() const { return m_chipScreen; }
    KindScreen* kindScreen() const { return m_kindScreen; }
    // What the title's " *" asks: whether anything holds changes that no file has. Without
    // it, whether the map does.
    void setUnsavedWorkQuery(std::function<bool()> query) { m_unsavedWork = std::move(query); }

    // --- The map and its files, as the user asks for them: the document does the work, and
    // the view then starts afresh (cursor and view at the top-left, no selection).
    MapDocument& document() { return m_document; }
    const MapDocument& document() const { return m_document; }
    bool hasSize() const { return m_document.hasSize(); }
    // Reads a map file (binary, else text). On failure nothing changes and the reader's notice
    // is shown.
    bool loadMap(const std::string& path);
    // Forces ".map" on path (written back) and writes the map.
    bool saveMap(std::string& path);
    void newMap();
    // The document takes grid with the chip size in use (see MapDocument::take).
    void takeMap(MapGrid grid, const std::string& path = std::string());

    // Loads the chip image into the chip window with the map's chip size, which takes what the
    // image allows; then redraws and empties the history. False when the image was not taken
    // (the too-small message is the chip window's; the shell reports the failure).
    bool loadChipImage(const std::string& path);
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

    // --- Editing, at the cursor and the selection of the layer shown.
    void put();
    void erase();
    void copySelection();
    void paste();
    void insertOrDeleteLines(bool deleting, bool rows, bool columns);
    void replace(std::int32_t from, std::int32_t to, int sourceLayer, int targetLayer);
    bool setCanvasSize(int columns, int rows);
    void undo();
    void redo();
    bool canPaste() const { return m_document.canPaste(m_editLayer); }

    // --- The idle pass: auto-scroll while dragging, then present the map window. Returns
    // whether a drag goes on.
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
    bool acceptsInput() const override { return m_document.hasSize(); }
    void drawCells() override;

private:
    // With the link on: the attribute window goes below the map window, or the map window
    // above the attribute window.
    void dock(bool attributeWindowMoves);
    bool isChipSetLoaded() const;
    EditPlace editPlace() const;
    void applyEdit(EditResult result);
    void applyRestore(const EditHistory::Restore& restore);
    void changeChipSize(int width, int height);
    void showError(const std::string& text, const std::string& title);
    // The one way the view follows a whole new map: cursor and view at the top-left, no
    // selection, drawn anew.
    void startAfresh();

    MapDocument& m_document;
    std::unique_ptr<CNxSurface> m_mapSurface;
    CNxSprite* m_mapSprite = nullptr;  // owned by layer 0
    ChipScreen* m_chipScreen = nullptr;
    KindScreen* m_kindScreen = nullptr;
    std::function<bool()> m_unsavedWork;
    int m_editLayer = MapGrid::kChipLayer;
    bool m_copyLatch = false;
    bool m_linked = true;
    bool m_docking = false;
};
