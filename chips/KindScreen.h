#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "chips/KindTable.h"
#include "gfx/CNxFrameWindow.h"

class CNxLayer;
class CNxSprite;
class CNxSurface;

namespace platform {
class Host;
class MessageHandler;
class NativeWindow;
}  // namespace platform

// The attribute window ("kindview"): the 100 attributes of the table as a palette of 32 × 32
// colour cells, 25 across and 4 down, with a grid and a cursor on the selected attribute, whose
// properties the title shows. It owns the attribute table.
class KindScreen : public CNxFrameWindow {
public:
    static constexpr int kColumns = 25;
    static constexpr int kRows = 4;
    static constexpr int kCellSize = 32;

    struct Colours {
        std::uint32_t grid;
        std::uint32_t cursor;
    };

    // The default table, grid and cursor; nothing is drawn until attach.
    explicit KindScreen(platform::Host& host);
    ~KindScreen() override;

    // Binds to the attribute window (messages pass on to next), sizes its client area to
    // 800 × 128, builds the cells, grid and cursor, and places it below the main window.
    bool attach(platform::NativeWindow* window, platform::MessageHandler* next = nullptr);
    // The map window: where attach places this window, and the owner of message boxes.
    void setMainWindow(platform::NativeWindow* mainWindow);

    // Reads an attribute file into the table; on success redraws cells and title and marks a
    // file as loaded. The table is unchanged on failure; a file too large to hold attributes
    // is reported as such.
    bool loadFile(const std::string& path);
    bool isFileLoaded() const;
    KindTable& table();
    const KindTable& table() const;

    // cursor row × 25 + cursor column.
    int selectedKindNumber() const;
    void drawCells();
    void updateTitle();
    void refresh();  // presents the window

    void setGridColour(std::uint32_t colour);
    void setCursorColour(std::uint32_t colour);
    void setColours(const Colours& colours);
    Colours colours() const;
    void toggleGrid();
    bool isGridShown() const;

    // Input from the attribute window's messages.
    void onKeyDown(int key);
    void onKeyUp(int key);
    void onLeftButtonDown(int x, int y);

private:
    static constexpr int kLayerCount = 3;

    std::string titleText() const;
    // The sprite of layer showing surface with per-pixel alpha; existing is reused.
    CNxSprite* makeSprite(CNxSprite* existing, int layer, const CNxSurface* surface,
                          std::int32_t z);
    void placeCursorSprite();
    // The cursor colour with the inner rectangle from the frame thickness to (innerRight,
    // innerBottom) cleared.
    void drawCursorFrame(std::int32_t innerRight, std::int32_t innerBottom);
    void drawGridLines();

    platform::Host& m_host;                // for its messages and the dialogs this window opens
    CNxLayer* m_layers[kLayerCount] = {};  // owned by the drawing tree, z 0 to 2
    std::uint32_t m_cursorColour = 0xFFFF0000;
    std::uint32_t m_gridColour = 0xFF000000;
    std::unique_ptr<CNxSurface> m_cellSurface;
    CNxSprite* m_cellSprite = nullptr;
    std::unique_ptr<CNxSurface> m_cursorSurface;
    CNxSprite* m_cursorSprite = nullptr;
    std::unique_ptr<CNxSurface> m_gridSurface;
    CNxSprite* m_gridSprite = nullptr;
    platform::NativeWindow* m_mainWindow = nullptr;
    std::int32_t m_cellWidth = kCellSize;
    std::int32_t m_cellHeight = kCellSize;
    std::int32_t m_columns = kColumns;
    std::int32_t m_rows = kRows;
    std::int32_t m_frameX = 3;
    std::int32_t m_frameY = 3;
    std::int32_t m_width = kColumns * kCellSize;
    std::int32_t m_height = kRows * kCellSize;
    std::int32_t m_cursorColumn = 0;
    std::int32_t m_cursorRow = 0;
    bool m_gridShown = true;
    bool m_fileLoaded = false;
    KindTable m_table;
};
