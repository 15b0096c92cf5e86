#include "map/MapScreen.h"

#include <algorithm>

#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"
#include "gfx/CNxBlitParams.h"
#include "gfx/CNxSprite.h"
#include "gfx/CNxSurface.h"
#include "map/ChipBlock.h"
#include "map/EditMessages.h"
#include "map/MapFile.h"
#include "map/MapRenderer.h"
#include "platform/Host.h"
#include "platform/NativeWindow.h"
#include "platform/Texts.h"
#include "platform/VirtualKey.h"

namespace {

constexpr const char* kTitle = PELORIN_TEXT(
    "Pelorin  マップ位置:(%d,%d) 視点座標:(%d,%d) チップ総数:(横%d個,縦%d行) "
    "選択範囲:(%d:%d～%d:%d)");
constexpr const char* kChipSizeText = PELORIN_TEXT("不正な値が指定されました");
constexpr const char* kChipSizeTitle = PELORIN_TEXT("チップサイズ変更エラー");

constexpr int kSurfaceWidth = CellGridScreen::kMaxWindowWidth;
constexpr int kSurfaceHeight = CellGridScreen::kMaxWindowHeight;

}  // namespace

// Layers: the map in 0, the player's sprites in 2 (later), the selection in 3, grid and cursor
// in 4.
MapScreen::MapScreen(platform::Host& host, MapDocument& document)
    : CellGridScreen(host, LayerPlan{5, 0, 3, 3, 4, 4}, kDefaultWindowWidth, kDefaultWindowHeight),
      m_document(document) {
    m_mapSurface = std::make_unique<CNxSurface>(32);
    m_mapSurface->Create(kSurfaceWidth, -kSurfaceHeight);
    m_mapSprite = &layer(0)->AddChild<CNxSprite>(m_mapSurface.get());
    CNxBlitParams params;
    params.m_flags = NxBlt_SourceAlpha;
    m_mapSprite->SetParams(&params);
    m_mapSprite->SetZOrder(255);
}

MapScreen::~MapScreen() = default;

void MapScreen::setCompanions(ChipScreen* chips, KindScreen* kinds) {
    m_chipScreen = chips;
    m_kindScreen = kinds;
}

bool MapScreen::isChipSetLoaded() const {
    return m_chipScreen != nullptr && m_chipScreen->isLoaded();
}

int MapScreen::extent(Axis axis) const {
    return axis == X ? m_document.grid().columns() : m_document.grid().rows();
}

void MapScreen::showError(const std::string& text, const std::string& title) {
    host().showError(GetWindow(), text, title);
}

void MapScreen::updateTitle() {
    const Selection s = selectionCorners();
    const platform::Point view = viewPosition();
    const MapGrid& grid = m_document.grid();
    setTitle(host().formatText(kTitle, cursorColumn(), cursorRow(), view.x, view.y, grid.columns(),
                               grid.rows(), s.x1, s.y1, s.x2, s.y2) +
             (zoom().isOne()
                  ? ""
                  : host().formatText(PELORIN_TEXT("  倍率:%s"), zoom().percentText().c_str())) +
             ((m_unsavedWork ? m_unsavedWork() : m_document.isModified()) ? " *" : ""));
}

// --- Files.

void MapScreen::startAfresh() {
    resetView();  // the title follows
    layout();
    redraw();
}

bool MapScreen::loadMap(const std::string& path) {
    platform::BusyWork busy(host(), GetWindow(), PELORIN_TEXT("マップを読み込んでいます…"));
    const platform::Outcome<bool> loaded = m_document.load(path, host(), busy.progress());
    platform::show(host(), GetWindow(), loaded.notices);
    if (loaded.value) {
        startAfresh();
    }
    return loaded.value;
}

bool MapScreen::saveMap(std::string& path) {
    platform::BusyWork busy(host(), GetWindow(), PELORIN_TEXT("マップを保存しています…"));
    const platform::Outcome<bool> saved = m_document.save(path, host(), busy.progress());
    platform::show(host(), GetWindow(), saved.notices);
    if (saved.value) {
        updateTitle();
    }
    return saved.value;
}

void MapScreen::newMap() {
    m_document.makeNew();
    startAfresh();
}

void MapScreen::takeMap(MapGrid grid, const std::string& path) {
    m_document.take(std::move(grid), path);
    startAfresh();
}

bool MapScreen::loadChipImage(const std::string& path) {
    if (m_chipScreen == nullptr) {
        return false;
    }
    const platform::Size chip = chipSize();
    int width = chip.width, height = chip.height;
    if (!m_chipScreen->loadChipImage(path, width, height)) {
        return false;
    }
    // The image may be smaller than a chip of the map's size; the map takes what it allows.
    if (width != chip.width || height != chip.height) {
        changeChipSize(width, height);
    }
    redraw();
    m_document.clearHistory();
    return true;
}

bool MapScreen::replaceChipImage(std::unique_ptr<CNxSurface> image) {
    const platform::Size chip = chipSize();
    int width = chip.width, height = chip.height;
    if (m_chipScreen == nullptr || !m_chipScreen->replaceImage(std::move(image), width, height)) {
        return false;
    }
    if (width != chip.width || height != chip.height) {
        changeChipSize(width, height);
    }
    redraw();
    return true;
}

// --- View and display.

void MapScreen::changeChipSize(int width, int height) {
    setCellSize(width, height);
    m_document.setChipSize(width, height);
    resetView();
    layout();
}

bool MapScreen::setChipSize(int width, int height) {
    if (width < MapGrid::kMinChipSize || width > MapGrid::kMaxChipSize ||
        height < MapGrid::kMinChipSize || height > MapGrid::kMaxChipSize) {
        showError(kChipSizeText, kChipSizeTitle);
        return false;
    }
    if (isChipSetLoaded()) {
        m_chipScreen->setChipSize(width, height);
    }
    changeChipSize(width, height);
    redraw();
    return true;
}

bool MapScreen::setWindowSize(int width, int height) {
    if (!checkWindowSize(width, height, GetWindow())) {
        return false;
    }
    applyWindowSize(width, height);
    resetView();
    layout();
    redraw();
    dockAttributeWindow();
    m_document.clearHistory();
    return true;
}

void MapScreen::setEditLayer(int layer) {
    if (hasSize() && MapGrid::isLayer(layer)) {
        m_editLayer = layer;
        redraw();
    }
}

void MapScreen::toggleScrollBars() {
    setScrollBarsShown(!areScrollBarsShown());
}

// --- Drawing.

void MapScreen::drawCells() {
    const platform::Point view = viewPosition();
    const platform::Size cell = cellSize();
    const platform::Size window = windowSize();
    const MapRenderer::View area{view.x,       view.y,        cell.width, cell.height,
                                 window.width, window.height, zoom()};
    if (m_editLayer == MapGrid::kKindLayer) {
        MapRenderer::drawAttributes(*m_mapSurface, m_document.grid(),
                                    m_kindScreen ? &m_kindScreen->table() : nullptr, area);
    } else {
        MapRenderer::drawChips(*m_mapSurface, m_document.grid(),
                               isChipSetLoaded() ? &m_chipScreen->chipSet() : nullptr, area);
    }
    m_mapSprite->Invalidate();
}

// --- Link with the attribute window.

void MapScreen::toggleLink() {
    m_linked = !m_linked;
    dockAttributeWindow();
}

void MapScreen::dockAttributeWindow() {
    dock(true);
}

void MapScreen::dockToAttributeWindow() {
    dock(false);
}

void MapScreen::dock(bool attributeWindowMoves) {
    platform::NativeWindow* map = GetWindow();
    platform::NativeWindow* kind = m_kindScreen ? m_kindScreen->GetWindow() : nullptr;
    if (!m_linked || m_docking || map == nullptr || kind == nullptr) {
        return;
    }
    // Each move reports back through the other window's handler; the guard ends the echo.
    m_docking = true;
    if (attributeWindowMoves) {
        const platform::Rect outer = map->outerRect();
        kind->move({outer.left, outer.bottom});
        kind->placeBehind(*map);
    } else {
        const platform::Rect attribute = kind->outerRect();
        map->move({attribute.left, attribute.top - map->outerRect().height()});
        map->placeBehind(*kind);
    }
    m_docking = false;
}

// --- Editing.

EditPlace MapScreen::editPlace() const {
    EditPlace place;
    place.layer = m_editLayer;
    place.cursorColumn = cursorColumn();
    place.cursorRow = cursorRow();
    if (isSelectionShown()) {
        place.selection = selectionCorners();
    }
    place.viewX = viewPosition().x;
    place.viewY = viewPosition().y;
    return place;
}

void MapScreen::applyEdit(EditResult result) {
    if (result.switchToLayer >= 0) {
        setEditLayer(result.switchToLayer);
    }
    if (result.message != EditMessage::None) {
        showError(EditMessages::text(result.message, host(), result.count),
                  EditMessages::title(result.message));
    }
    if (result.shapeChanged) {
        // Rows or columns came or went: the view stays where it was as far as the new shape
        // allows, and the cursor goes to the first changed line.
        const platform::Point view = viewPosition();
        resetView();
        layout();
        setCursorAndView(result.cursorColumn, result.cursorRow, view.x, view.y);
        redraw();
        updateScrollPositions();
        updateTitle();
        if (result.step) {
            result.step->viewX = viewPosition().x;
            result.step->viewY = viewPosition().y;
        }
    } else if (result.changed) {
        redraw();
    }
    if (result.step) {
        m_document.record(std::move(*result.step));
        updateTitle();
    }
}

void MapScreen::put() {
    if (!hasSize()) {
        return;
    }
    std::int32_t value = 0;
    if (m_editLayer == MapGrid::kChipLayer) {
        if (!isChipSetLoaded()) {
            return;
        }
        if (m_chipScreen->isMultiSelection()) {
            const ChipBlock block{m_chipScreen->selection(), m_chipScreen->columns()};
            applyEdit(m_document.put(editPlace(), 0, &block));
            return;
        }
        value = m_chipScreen->selectedChipNumber();
    } else {
        if (m_kindScreen == nullptr) {
            return;
        }
        value = m_kindScreen->selectedKindNumber();
    }
    applyEdit(m_document.put(editPlace(), value));
}

void MapScreen::erase() {
    if (hasSize()) {
        applyEdit(m_document.erase(editPlace()));
    }
}

void MapScreen::copySelection() {
    if (!hasSize()) {
        return;
    }
    m_document.copy(editPlace());
    // A held Ctrl+C copies once, not once per key repeat.
    if (host().isKeyDown('C')) {
        m_copyLatch = true;
    }
}

void MapScreen::paste() {
    if (!canPaste()) {
        return;
    }
    applyEdit(m_document.paste(editPlace()));
    if (host().isKeyDown('V')) {
        m_copyLatch = true;
    }
}

void MapScreen::insertOrDeleteLines(bool deleting, bool rows, bool columns) {
    if (hasSize()) {
        applyEdit(m_document.insertOrDeleteLines(editPlace(), deleting, rows, columns));
    }
}

void MapScreen::replace(std::int32_t from, std::int32_t to, int sourceLayer, int targetLayer) {
    if (hasSize()) {
        EditResult result;
        {
            platform::BusyWork busy(host(), GetWindow(), PELORIN_TEXT("置換しています…"));
            result = m_document.replace(editPlace(), from, to, sourceLayer, targetLayer,
                                        busy.progress());
        }
        applyEdit(std::move(result));
    }
}

bool MapScreen::setCanvasSize(int columns, int rows) {
    const EditResult result = m_document.setCanvasSize(columns, rows);
    if (result.message != EditMessage::None) {
        showError(EditMessages::text(result.message, host()), EditMessages::title(result.message));
        return false;
    }
    startAfresh();
    return true;
}

void MapScreen::undo() {
    if (auto restore = m_document.undo()) {
        applyRestore(*restore);
    }
}

void MapScreen::redo() {
    if (auto restore = m_document.redo()) {
        applyRestore(*restore);
    }
}

void MapScreen::applyRestore(const EditHistory::Restore& restore) {
    if (MapGrid::isLayer(restore.editLayer)) {
        m_editLayer = restore.editLayer;
    }
    if (restore.shapeChanged) {
        layout();
    }
    clearSelection();
    const MapGrid& grid = m_document.grid();
    setCursorAndView(std::clamp(restore.cursorColumn, 0, std::max(grid.columns() - 1, 0)),
                     std::clamp(restore.cursorRow, 0, std::max(grid.rows() - 1, 0)), restore.viewX,
                     restore.viewY);
    if (const auto& s = restore.selection) {
        setSelection(*s);
    }
    redraw();
    updateScrollPositions();
    updateTitle();
}

// --- Idle pass and input.

bool MapScreen::idleStep() {
    autoScrollStep();
    Update();
    return isLeftDragActive();
}

void MapScreen::onLeftDoubleClick(int x, int y) {
    if (hasSize() && isChipSetLoaded() && containsCell(cellAt(X, x), cellAt(Y, y))) {
        put();
    }
}
