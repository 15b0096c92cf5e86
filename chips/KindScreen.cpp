#include "chips/KindScreen.h"

#include <algorithm>

#include "gfx/CNxBlitParams.h"
#include "gfx/CNxLayer.h"
#include "gfx/CNxSprite.h"
#include "gfx/CNxSurface.h"
#include "platform/Host.h"
#include "platform/NativeWindow.h"
#include "platform/Texts.h"
#include "platform/VirtualKey.h"

namespace {

constexpr std::uint32_t kOpaqueBlack = 0xFF000000;
constexpr std::uint32_t kTransparent = 0x00000000;
// A number the table has no record for (a loaded file may hold fewer than 100): the grey of
// empty map cells, so that it never passes for an attribute's colour.
constexpr std::uint32_t kNoRecordColour = 0xFFBEBEBE;

std::uint32_t opaque(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return kOpaqueBlack | std::uint32_t(red) << 16 | std::uint32_t(green) << 8 | blue;
}

}  // namespace

KindScreen::KindScreen(platform::Host& host) : m_host(host) {
    for (int z = 0; z < kLayerCount; ++z) {
        m_layers[z] = &AddChild<CNxLayer>();
        m_layers[z]->SetZOrder(z);
        // The layers only group sprites; what they show is the sprites' business.
        m_layers[z]->SetClipChildren(false);
    }
    m_cursorSurface = std::make_unique<CNxSurface>(32);
    m_cursorSurface->Create(m_cellWidth, m_cellHeight);
    drawCursorFrame(m_cellWidth - m_frameX, m_cellHeight - m_frameY);
}

KindScreen::~KindScreen() {
    // The sprites point into surfaces that are members: take the tree down before them.
    Detach();
    ClearChildren();
}

bool KindScreen::attach(platform::NativeWindow* window, platform::MessageHandler* next) {
    if (!Attach(window, next)) {
        return false;
    }
    SetBackgroundColour(kOpaqueBlack);
    SetScreenMode(m_width, m_height, false);

    m_cellSurface = std::make_unique<CNxSurface>(32);
    if (!m_cellSurface->Create(m_width, m_height)) {
        return false;
    }
    m_cellSprite = makeSprite(m_cellSprite, 0, m_cellSurface.get(), 255);

    m_cursorSprite = makeSprite(m_cursorSprite, 2, m_cursorSurface.get(), 255);
    placeCursorSprite();

    const platform::Size client = window->clientSize();
    m_gridSurface = std::make_unique<CNxSurface>(32);
    if (!m_gridSurface->Create(std::max(client.width, 1), std::max(client.height, 1))) {
        return false;
    }
    drawGridLines();
    m_gridSprite = makeSprite(m_gridSprite, 2, m_gridSurface.get(), 0);
    m_gridSprite->SetVisible(m_gridShown);

    updateTitle();
    drawCells();

    if (m_mainWindow != nullptr) {
        const platform::Rect main = m_mainWindow->outerRect();
        window->move(platform::Point{main.left, main.bottom});
    }
    return true;
}

void KindScreen::setMainWindow(platform::NativeWindow* mainWindow) {
    m_mainWindow = mainWindow;
}

bool KindScreen::loadFile(const std::string& path) {
    const platform::Outcome<bool> loaded = m_table.load(path, m_host);
    platform::show(m_host, GetWindow(), loaded.notices);
    if (!loaded.value) {
        return false;
    }
    drawCells();
    updateTitle();
    m_fileLoaded = true;
    return true;
}

bool KindScreen::isFileLoaded() const {
    return m_fileLoaded;
}

KindTable& KindScreen::table() {
    return m_table;
}

const KindTable& KindScreen::table() const {
    return m_table;
}

int KindScreen::selectedKindNumber() const {
    return m_cursorRow * kColumns + m_cursorColumn;
}

void KindScreen::drawCells() {
    if (m_cellSurface == nullptr) {
        return;
    }
    for (int row = 0; row < m_rows; ++row) {
        for (int column = 0; column < m_columns; ++column) {
            const int number = row * kColumns + column;
            std::uint32_t colour = kNoRecordColour;
            if (m_table.hasRecord(number)) {
                const KindRecord& record = m_table.records()[number];
                colour = opaque(record.red, record.green, record.blue);
            }
            m_cellSurface->Fill(column * m_cellWidth, row * m_cellHeight, m_cellWidth, m_cellHeight,
                                colour);
        }
    }
    m_cellSprite->Invalidate();
    refresh();
}

std::string KindScreen::titleText() const {
    const int number = selectedKindNumber();
    std::string title = m_host.formatText(PELORIN_TEXT("Pelorin  属性%d番"), number);
    if (!m_table.hasRecord(number)) {
        return title + m_host.text(PELORIN_TEXT(" (属性データなし)"));
    }
    const KindRecord& r = m_table.records()[number];
    // Built piece by piece: a memo of any length fits.
    title += " [" + r.memoText() + "]";
    title += m_host.formatText(PELORIN_TEXT(" (赤%d:緑%d:青%d)"), r.red, r.green, r.blue);
    title += m_host.text(r.passable != 0 ? PELORIN_TEXT(" 通行可能") : PELORIN_TEXT(" 通行不可"));
    title +=
        m_host.text(r.dropThrough != 0 ? PELORIN_TEXT(" 段下り可") : PELORIN_TEXT(" 段下り不可"));
    title += m_host.formatText(PELORIN_TEXT(" 当り矩形(左%d:右%d:上%d:下%d)"), r.hitLeft,
                               r.hitRight, r.hitTop, r.hitBottom);
    title += m_host.formatText(PELORIN_TEXT(" Z座標:%d"), r.z);
    return title;
}

void KindScreen::updateTitle() {
    if (GetWindow() != nullptr) {
        GetWindow()->setTitle(titleText());
    }
}

void KindScreen::refresh() {
    Update();
}

void KindScreen::setGridColour(std::uint32_t colour) {
    if (colour == m_gridColour) {
        return;
    }
    m_gridColour = colour;
    if (m_gridSurface != nullptr) {
        m_gridSurface->Fill(nullptr, kTransparent);
        drawGridLines();
        m_gridSprite->Invalidate();
    }
}

void KindScreen::setCursorColour(std::uint32_t colour) {
    if (colour == m_cursorColour) {
        return;
    }
    m_cursorColour = colour;
    // A changed colour leaves a frame one pixel wider on the right and at the bottom.
    drawCursorFrame(m_cellWidth - m_frameX - 1, m_cellHeight - m_frameY - 1);
    if (m_cursorSprite != nullptr) {
        m_cursorSprite->Invalidate();
    }
}

void KindScreen::setColours(const Colours& colours) {
    setGridColour(colours.grid);
    setCursorColour(colours.cursor);
}

KindScreen::Colours KindScreen::colours() const {
    return Colours{m_gridColour, m_cursorColour};
}

void KindScreen::toggleGrid() {
    m_gridShown = !m_gridShown;
    if (m_gridSprite != nullptr) {
        m_gridSprite->SetVisible(m_gridShown);
    }
}

bool KindScreen::isGridShown() const {
    return m_gridShown;
}

void KindScreen::onKeyDown(int key) {
    const int x = m_cursorColumn * m_cellWidth;
    const int y = m_cursorRow * m_cellHeight;
    switch (key) {
        case platform::VK_LEFT:
            if (x <= 0) {
                return;
            }
            --m_cursorColumn;
            break;
        case platform::VK_UP:
            if (y <= 0) {
                return;
            }
            --m_cursorRow;
            break;
        case platform::VK_RIGHT:
            if (x >= (m_columns - 1) * m_cellWidth) {
                return;
            }
            ++m_cursorColumn;
            break;
        case platform::VK_DOWN:
            if (y >= (m_rows - 1) * m_cellHeight) {
                return;
            }
            ++m_cursorRow;
            break;
        default:
            return;
    }
    placeCursorSprite();
    updateTitle();
    refresh();
}

void KindScreen::onKeyUp(int key) {
    if (key == 'G') {
        toggleGrid();
        refresh();
    }
}

void KindScreen::onLeftButtonDown(int x, int y) {
    // Each axis on its own: a click beside or below the cells keeps that coordinate. Negative
    // positions are outside too (division alone would round them to column or row 0).
    if (x >= 0 && x / m_cellWidth < m_columns) {
        m_cursorColumn = x / m_cellWidth;
    }
    if (y >= 0 && y / m_cellHeight < m_rows) {
        m_cursorRow = y / m_cellHeight;
    }
    placeCursorSprite();
    updateTitle();
    refresh();
}

CNxSprite* KindScreen::makeSprite(CNxSprite* existing, int layer, const CNxSurface* surface,
                                  std::int32_t z) {
    CNxSprite* sprite = existing;
    if (sprite == nullptr) {
        sprite = &m_layers[layer]->AddChild<CNxSprite>(surface);
    } else {
        sprite->SetSurface(surface);
    }
    sprite->SetZOrder(z);
    CNxBlitParams params;
    params.m_flags = NxBlt_SourceAlpha;
    sprite->SetParams(&params);
    return sprite;
}

void KindScreen::placeCursorSprite() {
    if (m_cursorSprite != nullptr) {
        m_cursorSprite->SetPosition(m_cursorColumn * m_cellWidth, m_cursorRow * m_cellHeight);
    }
}

void KindScreen::drawCursorFrame(std::int32_t innerRight, std::int32_t innerBottom) {
    m_cursorSurface->Fill(nullptr, m_cursorColour);
    const platform::Rect inner{m_frameX, m_frameY, innerRight, innerBottom};
    m_cursorSurface->Fill(&inner, kTransparent);
}

void KindScreen::drawGridLines() {
    // The lines lie on the last pixel row and column of each cell.
    const std::int32_t width = m_gridSurface->GetWidth();
    const std::int32_t height = m_gridSurface->GetHeight();
    for (std::int32_t y = m_cellHeight - 1; y < height; y += m_cellHeight) {
        m_gridSurface->Fill(0, y, width, 1, m_gridColour);
    }
    for (std::int32_t x = m_cellWidth - 1; x < width; x += m_cellWidth) {
        m_gridSurface->Fill(x, 0, 1, height, m_gridColour);
    }
}
