#include "chips/ChipScreen.h"

#include <algorithm>

#include "gfx/CNxBlitParams.h"
#include "gfx/CNxSprite.h"
#include "gfx/CNxSurface.h"
#include "platform/Host.h"
#include "platform/NativeWindow.h"
#include "platform/Texts.h"
#include "platform/VirtualKey.h"

namespace {

constexpr const char* kTooSmallText =
    PELORIN_TEXT("画像のサイズが小さ過ぎます。チップ画像の最小サイズは%dです。");
constexpr const char* kTooSmallTitle = PELORIN_TEXT("チップ画像ロードエラー");
constexpr const char* kTitle = PELORIN_TEXT(
    "Pelorin  %d番のチップ　選択位置:(%d,%d) 視点座標:(%d,%d) チップ数:(横%d列,縦%d行) "
    "画像サイズ(%d×%d) 選択範囲:(%d:%d～%d:%d)");

// Below these the window keeps its width or height rather than shrink to a small image.
constexpr int kFitMinWidth = 320;
constexpr int kFitMinHeight = 200;

}  // namespace

// Layers: the image view in 0, the selection fill in 1, grid, frame and cursor in 2.
ChipScreen::ChipScreen(platform::Host& host)
    : CellGridScreen(host, LayerPlan{3, 0, 1, 2, 2, 2}, kDefaultWindowWidth, kDefaultWindowHeight) {
}

ChipScreen::~ChipScreen() = default;

bool ChipScreen::loadChipImage(const std::string& path, int& chipWidth, int& chipHeight) {
    auto decoded = CNxSurface::LoadImageFile(path);
    platform::show(host(), m_owner, decoded.notices);
    return setChipImage(std::move(decoded.value), chipWidth, chipHeight);
}

bool ChipScreen::setChipImage(std::unique_ptr<CNxSurface> image, int& chipWidth, int& chipHeight) {
    if (image == nullptr || image->GetWidth() <= 0 || image->GetHeight() <= 0) {
        return false;
    }
    const int width = image->GetWidth(), height = image->GetHeight();
    if (width < ChipSet::kMinImageSize || height < ChipSet::kMinImageSize) {
        host().showError(m_owner, host().formatText(kTooSmallText, ChipSet::kMinImageSize),
                         kTooSmallTitle);
        return false;
    }
    // The window's picture, as large as the window may be: at any zoom it holds what the client
    // area shows.
    auto view = std::make_unique<CNxSurface>(32);
    if (!view->Create(kMaxWindowWidth, -kMaxWindowHeight)) {
        return false;
    }
    m_chipSet.setImage(std::move(image));
    m_viewSurface = std::move(view);
    if (m_viewSprite == nullptr) {
        m_viewSprite = &layer(0)->AddChild<CNxSprite>(m_viewSurface.get());
        CNxBlitParams params;
        params.m_flags = NxBlt_SourceAlpha;
        m_viewSprite->SetParams(&params);
    } else {
        m_viewSprite->SetSurface(m_viewSurface.get());
    }

    const platform::Size window = windowSize();
    int fittedWidth = std::min(width, window.width);
    int fittedHeight = std::min(height, window.height);
    if (fittedWidth < kFitMinWidth) {
        fittedWidth = window.width;
    }
    if (fittedHeight < kFitMinHeight) {
        fittedHeight = window.height;
    }
    applyWindowSize(fittedWidth, fittedHeight);

    m_chipSet.setChipSize(chipWidth, chipHeight);
    setCellSize(chipWidth, chipHeight);
    m_loaded = true;
    layout();
    resetView();
    refreshView();
    return true;
}

bool ChipScreen::replaceImage(std::unique_ptr<CNxSurface> image, int& chipWidth, int& chipHeight) {
    if (!m_loaded || image == nullptr || image->GetWidth() < ChipSet::kMinImageSize ||
        image->GetHeight() < ChipSet::kMinImageSize) {
        return false;
    }
    m_chipSet.setImage(std::move(image));
    m_chipSet.setChipSize(chipWidth, chipHeight);
    if (chipWidth != chipSize().width || chipHeight != chipSize().height) {
        setCellSize(chipWidth, chipHeight);
    }
    layout();
    const Selection s = selectionCorners();
    if (isSelectionShown() &&
        (std::max(s.x1, s.x2) > extent(X) - 1 || std::max(s.y1, s.y2) > extent(Y) - 1)) {
        clearSelection();
    }
    const platform::Point view = viewPosition();
    setCursorAndView(std::min(cursorColumn(), std::max(extent(X) - 1, 0)),
                     std::min(cursorRow(), std::max(extent(Y) - 1, 0)), view.x, view.y);
    refreshView();
    updateScrollPositions();
    updateTitle();
    return true;
}

void ChipScreen::setChipSize(int& chipWidth, int& chipHeight) {
    if (!m_loaded) {
        return;
    }
    m_chipSet.setChipSize(chipWidth, chipHeight);
    setCellSize(chipWidth, chipHeight);
    layout();
    resetView();
    refreshView();
}

bool ChipScreen::setWindowSize(int width, int height) {
    if (!checkWindowSize(width, height, m_owner)) {
        return false;
    }
    applyWindowSize(width, height);
    resetView();
    layout();
    if (m_loaded) {
        refreshView();
    }
    return true;
}

int ChipScreen::selectedChipNumber() const {
    return m_chipSet.chipNumberAt(cursorColumn(), cursorRow());
}

bool ChipScreen::isMultiSelection() const {
    return isSelectionShown() && !selectionCorners().isOneCell();
}

void ChipScreen::setScrollBarsVisible(bool visible) {
    if (m_loaded) {
        setScrollBarsShown(visible);
    }
}

void ChipScreen::toggleScrollBars() {
    if (m_loaded) {
        setScrollBarsShown(!areScrollBarsShown());
    } else {
        setScrollBarsSwitch(!areScrollBarsShown());
    }
}

int ChipScreen::extent(Axis axis) const {
    if (!m_loaded) {
        return 0;
    }
    return axis == X ? m_chipSet.columns() : m_chipSet.rows();
}

void ChipScreen::drawCells() {
    if (!m_loaded || m_viewSurface == nullptr) {
        return;
    }
    const platform::Point view = viewPosition();
    const platform::Size window = windowSize();
    m_chipSet.drawImage(*m_viewSurface, view.x, view.y, zoom(), window.width, window.height);
    m_viewSprite->Invalidate();
}

void ChipScreen::updateTitle() {
    const Selection s = selectionCorners();
    const platform::Point view = viewPosition();
    const platform::Size chip = chipSize();
    setTitle(host().formatText(kTitle, selectedChipNumber(), cursorColumn(), cursorRow(), view.x,
                               view.y, columns(), m_chipSet.rows(), columns() * chip.width,
                               m_chipSet.rows() * chip.height, s.x1, s.y1, s.x2, s.y2));
}

bool ChipScreen::refresh() {
    autoScrollStep();
    Update();
    return isLeftDragActive();
}

void ChipScreen::cancelSelection() {
    if (!isSelectionShown()) {
        return;
    }
    const platform::Point cursor = selectionStartCursor();
    const platform::Point view = selectionStartView();
    clearSelection();
    setCursorAndView(cursor.x, cursor.y, view.x, view.y);
    refreshView();
    updateScrollPositions();
    updateTitle();
}

void ChipScreen::onKeyDown(int key, platform::KeyModifiers held) {
    if (m_loaded && !zoomByKey(key, held.ctrl)) {
        stepByArrowKey(key, held.shift);
    }
}

void ChipScreen::onKeyUp(int key, platform::KeyModifiers held) {
    if (key == 'G') {
        toggleGrid();
        return;
    }
    if (key == 'S') {
        toggleScrollBars();
        return;
    }
    if (!m_loaded) {
        return;
    }
    // With Ctrl the keys act on rows instead of columns.
    const Axis axis = held.ctrl ? Y : X;
    switch (key) {
        case platform::VK_ESCAPE:
            cancelSelection();
            break;
        case platform::VK_HOME:
            goHome(axis, held.shift);
            break;
        case platform::VK_END:
            goEnd(axis, held.shift);
            break;
        case platform::VK_PRIOR:
            pageBackward(axis, held.shift);
            break;
        case platform::VK_NEXT:
            pageForward(axis, held.shift);
            break;
        default:
            break;
    }
}
