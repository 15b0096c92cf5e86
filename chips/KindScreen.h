#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "chips/KindTable.h"
#include "gfx/CNxFrameWindow.h"

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
    // file as loaded. The table is unchanged on failure.
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
};
