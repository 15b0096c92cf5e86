// A minimal attribute window for the tests of the screens built on its interface, linked only
// while chips/KindScreen.cpp is not in the tree. It keeps the table, the cursor and the window's
// placement as the interface describes them, and draws nothing.
#include <map>
#include <memory>

#include "chips/KindScreen.h"
#include "platform/NativeWindow.h"

namespace {

struct State {
    KindTable table;
    platform::NativeWindow* mainWindow = nullptr;
    int column = 0;
    int row = 0;
    bool gridShown = true;
    bool fileLoaded = false;
    KindScreen::Colours colours{0xFF000000, 0xFFFF0000};
};

// The interface has no room for members of a stand-in, so each object's state lives here.
std::map<const KindScreen*, std::unique_ptr<State>>& states() {
    static std::map<const KindScreen*, std::unique_ptr<State>> all;
    return all;
}

State& state(const KindScreen* screen) {
    return *states().at(screen);
}

}  // namespace

KindScreen::KindScreen(platform::Host&) {
    states()[this] = std::make_unique<State>();
}

KindScreen::~KindScreen() {
    states().erase(this);
}

bool KindScreen::attach(platform::NativeWindow* window, platform::MessageHandler* next) {
    if (!Attach(window, next)) {
        return false;
    }
    SetScreenMode(kColumns * kCellSize, kRows * kCellSize, false);
    if (platform::NativeWindow* main = state(this).mainWindow) {
        const platform::Rect outer = main->outerRect();
        window->move({outer.left, outer.bottom});
    }
    return true;
}

void KindScreen::setMainWindow(platform::NativeWindow* mainWindow) {
    state(this).mainWindow = mainWindow;
}

bool KindScreen::loadFile(const std::string& path) {
    const bool loaded = state(this).table.loadFile(path);
    state(this).fileLoaded = state(this).fileLoaded || loaded;
    return loaded;
}

bool KindScreen::isFileLoaded() const {
    return state(this).fileLoaded;
}

KindTable& KindScreen::table() {
    return state(this).table;
}

const KindTable& KindScreen::table() const {
    return state(this).table;
}

int KindScreen::selectedKindNumber() const {
    return state(this).row * kColumns + state(this).column;
}

void KindScreen::drawCells() {}
void KindScreen::updateTitle() {}

void KindScreen::refresh() {
    Update();
}

void KindScreen::setGridColour(std::uint32_t colour) {
    state(this).colours.grid = colour;
}

void KindScreen::setCursorColour(std::uint32_t colour) {
    state(this).colours.cursor = colour;
}

void KindScreen::setColours(const Colours& colours) {
    state(this).colours = colours;
}

KindScreen::Colours KindScreen::colours() const {
    return state(this).colours;
}

void KindScreen::toggleGrid() {
    state(this).gridShown = !state(this).gridShown;
}

bool KindScreen::isGridShown() const {
    return state(this).gridShown;
}

void KindScreen::onKeyDown(int) {}
void KindScreen::onKeyUp(int) {}

void KindScreen::onLeftButtonDown(int x, int y) {
    if (x >= 0 && x / kCellSize < kColumns) {
        state(this).column = x / kCellSize;
    }
    if (y >= 0 && y / kCellSize < kRows) {
        state(this).row = y / kCellSize;
    }
}
