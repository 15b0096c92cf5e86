#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "chips/ChipSet.h"
#include "grid/CellGridScreen.h"
#include "platform/VirtualKey.h"

class CNxSprite;
class CNxSurface;

// The chip window ("chipview"): the palette from which the user picks the chips to paint. It
// shows the chip image cut into chips, with a grid, a cursor on the current chip and, while the
// user drags or holds Shift, a rectangle of chips; the map window asks it which chip or block of
// chips is chosen and draws its cells from its image. It owns the chip image (ChipSet).
class ChipScreen : public CellGridScreen {
public:
    static constexpr int kDefaultWindowWidth = 1280;
    static constexpr int kDefaultWindowHeight = 1024;

    explicit ChipScreen(platform::Host& host);
    ~ChipScreen() override;

    // The map window: owner of this window's message boxes.
    void setOwnerWindow(platform::NativeWindow* owner) { m_owner = owner; }

    // Decodes the image file once and takes it as the chip image (setChipImage). The decoder's
    // notices (libpng's errors and warnings) are shown first, owned by the map window. False,
    // with nothing changed, when the file cannot be decoded.
    bool loadChipImage(const std::string& path, int& chipWidth, int& chipHeight);
    // Takes a decoded image: an image under 16 × 16 pixels is refused with a message box and
    // changes nothing. Otherwise the window is fitted to it, the chip size (in/out, normally the
    // map's) clamped to it and written back, and cursor, view and selection start afresh.
    bool setChipImage(std::unique_ptr<CNxSurface> image, int& chipWidth, int& chipHeight);
    // A new version of the image in use (its file changed): the chip size (in/out) as far as
    // the image allows, the cursor, the selection and the window stay; what no longer lies on
    // the image goes back onto it. False, with nothing changed and nothing said, for an image
    // under 16 × 16 pixels or without an image before.
    bool replaceImage(std::unique_ptr<CNxSurface> image, int& chipWidth, int& chipHeight);
    // Clamps the size to the image and to 16 … 64 and writes it back; only with an image.
    void setChipSize(int& chipWidth, int& chipHeight);
    // 320 … 1280 × 200 … 1024, else the range message (owned by the owner window) and nothing
    // changes.
    bool setWindowSize(int width, int height);

    // What the map paints: the chip under the cursor, or the selected block.
    int selectedChipNumber() const;
    int chipNumberAt(int column, int row) const { return m_chipSet.chipNumberAt(column, row); }
    Selection selection() const { return selectionCorners(); }
    // A selection of more than one chip.
    bool isMultiSelection() const;

    const ChipSet& chipSet() const { return m_chipSet; }
    bool isLoaded() const { return m_loaded; }
    const CNxSurface* chipImage() const { return m_chipSet.image(); }
    int columns() const { return m_chipSet.columns(); }
    int chipCount() const { return m_chipSet.count(); }
    platform::Size chipSize() const { return cellSize(); }

    // Acts only with an image (menu 40020).
    void setScrollBarsVisible(bool visible);
    // Key S: flips the switch even without an image; the bars appear once there is one.
    void toggleScrollBars();

    // The idle pass: one auto-scroll step while a left drag rests near an edge, then presents
    // what changed. Returns whether a drag goes on (more idle work).
    bool refresh();
    void updateTitle() override;

    // Keys with the modifiers held at their press (a release acts with those, not with what is
    // held at the release).
    void onKeyDown(int key, platform::KeyModifiers held);
    void onKeyUp(int key, platform::KeyModifiers held);

protected:
    int extent(Axis axis) const override;
    bool acceptsInput() const override { return m_loaded; }
    void drawCells() override;

private:
    void cancelSelection();

    ChipSet m_chipSet;
    std::unique_ptr<CNxSurface> m_viewSurface;
    CNxSprite* m_viewSprite = nullptr;  // owned by layer 0
    platform::NativeWindow* m_owner = nullptr;
    bool m_loaded = false;
};
