#include "map/MapScreen.h"

#include <algorithm>

#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"
#include "gfx/CNxBlitParams.h"
#include "gfx/CNxSprite.h"
#include "gfx/CNxSurface.h"
#include "map/ChipBlock.h"
#include "map/EditMessages.h"
#include "map/MapEditor.h"
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
MapScreen::MapScreen(platform::Host& host)
    : CellGridScreen(host, LayerPlan{5, 0, 3, 3, 4, 4}, kDefaultWindowWidth, kDefaultWindowHeight) {
    m_mapSurface = std::make_unique<CNxSurface>(32);
    m_mapSurface->Create(kSurfaceWidth, -kSurfaceHeight);
    m_mapSprite = new CNxSprite(layer(0), m_mapSurface.get());
    CNxBlitParams params;
    params.m_flags = NxBlt_SourceAlpha;
    m_mapSprite->SetParams(&params);
    m_mapSprite->SetZOrder(255);
}

MapScreen::~MapScreen() {
    m_chipScreen.reset();
    m_kindScreen.reset();
}

bool MapScreen::attach(platform::NativeWindow* window, int width, int height,
                       platform::MessageHandler* next) {
    if (!bindWindow(window, width, height, next)) {
        return false;
    }
    layout();
    return true;
}

bool MapScreen::createChipScreen(platform::NativeWindow* window, int width, int height,
                                 platform::MessageHandler* next) {
    auto screen = std::make_unique<ChipScreen>(host());
    if (!screen->attach(window, width, height, next)) {
        return false;
    }
    screen->setOwnerWindow(GetWindow());
    m_chipScreen = std::move(screen);
    return true;
}

bool MapScreen::createKindScreen(platform::NativeWindow* window, platform::MessageHandler* next) {
    auto screen = std::make_unique<KindScreen>(host());
    screen->setMainWindow(GetWindow());
    if (!screen->attach(window, next)) {
        return false;
    }
    m_kindScreen = std::move(screen);
    return true;
}

bool MapScreen::isChipSetLoaded() const {
    return m_chipScreen != nullptr && m_chipScreen->isLoaded();
}

int MapScreen::extent(Axis axis) const {
    return axis == X ? m_grid.columns() : m_grid.rows();
}

void MapScreen::showError(const std::string& text, const std::string& title) {
    host().showError(GetWindow(), text, title);
}

void MapScreen::updateTitle() {
    const Selection s = selectionCorners();
    const platform::Point view = viewPosition();
    setTitle(host().formatText(kTitle, cursorColumn(), cursorRow(), view.x, view.y,
                               m_grid.columns(), m_grid.rows(), s.x1, s.y1, s.x2, s.y2) +
             (zoom().isOne()
                  ? ""
                  : host().formatText(PELORIN_TEXT("  倍率:%s"), zoom().percentText().c_str())) +
             (hasUnsavedWork() ? " *" : ""));
}

// --- Unsaved work and the listener.

bool MapScreen::hasUnsavedWork() const {
    return isMapModified() || (m_kindScreen && m_kindScreen->table().isModified()) ||
           m_playerDefinition.isModified();
}

void MapScreen::startMap(MapChange::Origin origin, const std::string& path) {
    if (origin != MapChange::Origin::Saved) {
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

void MapScreen::report(const MapChange& change) {
    if (m_listener != nullptr) {
        m_listener->mapChanged(m_grid, change, isMapModified());
    }
}

void MapScreen::reportCells(int layer, int left, int top, int width, int height) {
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

void MapScreen::reportLines(bool columns, bool inserted, int at, int count) {
    using Kind = MapChange::Kind;
    MapChange change;
    change.kind = columns ? (inserted ? Kind::InsertColumns : Kind::RemoveColumns)
                          : (inserted ? Kind::InsertRows : Kind::RemoveRows);
    change.at = at;
    change.count = count;
    report(change);
}

void MapScreen::reportStep(const EditStep& step, bool undone) {
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

// --- Files.

bool MapScreen::loadMap(const std::string& path) {
    platform::BusyWork busy(host(), GetWindow(), PELORIN_TEXT("マップを読み込んでいます…"));
    if (MapFile::load(path, m_grid, host(), GetWindow(), nullptr, busy.progress()) ==
        MapFile::Format::None) {
        return false;
    }
    m_grid.setFileBacked(true);
    resetView();
    layout();
    emptyCopyBuffers();
    startMap(MapChange::Origin::Loaded, path);
    redraw();
    updateTitle();
    return true;
}

bool MapScreen::saveMap(std::string& path) {
    platform::BusyWork busy(host(), GetWindow(), PELORIN_TEXT("マップを保存しています…"));
    if (!MapFile::save(path, m_grid, busy.progress())) {
        return false;
    }
    startMap(MapChange::Origin::Saved, path);
    updateTitle();
    return true;
}

void MapScreen::newMap() {
    const int columns = hasSize() ? m_grid.columns() : kNewMapSize;
    const int rows = hasSize() ? m_grid.rows() : kNewMapSize;
    m_grid.reset(columns, rows);
    m_grid.setFileBacked(false);
    emptyCopyBuffers();
    resetView();
    layout();
    startMap(MapChange::Origin::New, std::string());
    redraw();
    updateTitle();
}

void MapScreen::takeMap(MapGrid grid, const std::string& path) {
    const platform::Size chip = chipSize();
    m_grid = std::move(grid);
    m_grid.setChipSize(chip.width, chip.height);
    resetView();
    layout();
    emptyCopyBuffers();
    startMap(MapChange::Origin::Taken, path);
    redraw();
    updateTitle();
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
    clearHistory();
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
    m_grid.setChipSize(width, height);
    resetView();
    layout();
    emptyCopyBuffers();
    // The chip size is the editor's: the cells stay as they were, and so does the saved state.
    clearHistory();
    MapChange change;
    change.kind = MapChange::Kind::ChipSize;
    report(change);
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
    clearHistory();
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
        MapRenderer::drawAttributes(*m_mapSurface, m_grid,
                                    m_kindScreen ? &m_kindScreen->table() : nullptr, area);
    } else {
        MapRenderer::drawChips(*m_mapSurface, m_grid,
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
    platform::NativeWindow* map = GetWindow();
    platform::NativeWindow* kind = m_kindScreen ? m_kindScreen->GetWindow() : nullptr;
    if (!m_linked || m_docking || map == nullptr || kind == nullptr) {
        return;
    }
    // Each move reports back through the other window's handler; the guard ends the echo.
    m_docking = true;
    const platform::Rect outer = map->outerRect();
    kind->move({outer.left, outer.bottom});
    kind->placeBehind(*map);
    m_docking = false;
}

void MapScreen::dockToAttributeWindow() {
    platform::NativeWindow* map = GetWindow();
    platform::NativeWindow* kind = m_kindScreen ? m_kindScreen->GetWindow() : nullptr;
    if (!m_linked || m_docking || map == nullptr || kind == nullptr) {
        return;
    }
    m_docking = true;
    const platform::Rect attribute = kind->outerRect();
    map->move({attribute.left, attribute.top - map->outerRect().height()});
    map->placeBehind(*kind);
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

void MapScreen::emptyCopyBuffers() {
    MapGrid::Layer().swap(m_copyBuffers[MapGrid::kChipLayer]);
    MapGrid::Layer().swap(m_copyBuffers[MapGrid::kKindLayer]);
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
        emptyCopyBuffers();
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
        m_history.recordStep(std::move(*result.step));
        reportStep(*m_history.currentStep(), false);
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
            applyEdit(MapEditor::put(m_grid, editPlace(), 0, &block));
            return;
        }
        value = m_chipScreen->selectedChipNumber();
    } else {
        if (m_kindScreen == nullptr) {
            return;
        }
        value = m_kindScreen->selectedKindNumber();
    }
    applyEdit(MapEditor::put(m_grid, editPlace(), value));
}

void MapScreen::erase() {
    if (hasSize()) {
        applyEdit(MapEditor::erase(m_grid, editPlace()));
    }
}

void MapScreen::copySelection() {
    if (!hasSize()) {
        return;
    }
    m_copyBuffers[m_editLayer] = MapEditor::copySelection(m_grid, editPlace());
    // A held Ctrl+C copies once, not once per key repeat.
    if (host().isKeyDown('C')) {
        m_copyLatch = true;
    }
}

void MapScreen::paste() {
    if (!canPaste()) {
        return;
    }
    applyEdit(MapEditor::paste(m_grid, editPlace(), m_copyBuffers[m_editLayer]));
    if (host().isKeyDown('V')) {
        m_copyLatch = true;
    }
}

bool MapScreen::canPaste() const {
    return hasSize() && MapEditor::canPaste(m_copyBuffers[m_editLayer]);
}

void MapScreen::insertOrDeleteLines(bool deleting, bool rows, bool columns) {
    if (hasSize()) {
        applyEdit(MapEditor::insertOrDeleteLines(m_grid, editPlace(), deleting, rows, columns));
    }
}

void MapScreen::replace(std::int32_t from, std::int32_t to, int sourceLayer, int targetLayer) {
    if (hasSize()) {
        EditResult result;
        {
            platform::BusyWork busy(host(), GetWindow(), PELORIN_TEXT("置換しています…"));
            result = MapEditor::replace(m_grid, editPlace(), from, to, sourceLayer, targetLayer,
                                        busy.progress());
        }
        applyEdit(std::move(result));
    }
}

bool MapScreen::setCanvasSize(int columns, int rows) {
    const EditResult result = MapEditor::setCanvasSize(m_grid, columns, rows);
    if (result.message != EditMessage::None) {
        showError(EditMessages::text(result.message, host()), EditMessages::title(result.message));
        return false;
    }
    resetView();
    layout();
    redraw();
    emptyCopyBuffers();
    m_history.restart();
    MapChange change;
    change.kind = MapChange::Kind::Resized;
    report(change);
    updateTitle();
    return true;
}

void MapScreen::undo() {
    if (auto restore = m_history.undo(m_grid)) {
        reportStep(*restore->step, true);
        applyRestore(*restore);
    }
}

void MapScreen::redo() {
    if (auto restore = m_history.redo(m_grid)) {
        reportStep(*restore->step, false);
        applyRestore(*restore);
    }
}

void MapScreen::applyRestore(const EditHistory::Restore& restore) {
    if (MapGrid::isLayer(restore.editLayer)) {
        m_editLayer = restore.editLayer;
    }
    if (restore.shapeChanged) {
        emptyCopyBuffers();
        layout();
    }
    clearSelection();
    setCursorAndView(std::clamp(restore.cursorColumn, 0, std::max(m_grid.columns() - 1, 0)),
                     std::clamp(restore.cursorRow, 0, std::max(m_grid.rows() - 1, 0)),
                     restore.viewX, restore.viewY);
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
    if (m_kindScreen) {
        m_kindScreen->refresh();
    }
    bool more = isLeftDragActive();
    if (m_chipScreen) {
        more = m_chipScreen->refresh() || more;
    }
    return more;
}

void MapScreen::onLeftDoubleClick(int x, int y) {
    if (hasSize() && isChipSetLoaded() && containsCell(cellAt(X, x), cellAt(Y, y))) {
        put();
    }
}
