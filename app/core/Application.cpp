#include "app/core/Application.h"

#include <algorithm>

#include "app/core/Menus.h"
#include "app/core/SettingsSheet.h"
#include "chips/ChipScreen.h"
#include "chips/KindDialogState.h"
#include "chips/KindScreen.h"
#include "map/MapScreen.h"
#include "map/ReplaceDialog.h"
#include "platform/Host.h"
#include "platform/Message.h"
#include "platform/NativeWindow.h"
#include "platform/ProfileFile.h"
#include "platform/Texts.h"
#include "preview/PlayerRegistrationDialog.h"
#include "preview/PreviewScreen.h"

using platform::Message;
using platform::NativeWindow;

namespace {

const char kStartupErrorTitle[] = PELORIN_TEXT("起動エラー");

CellGridScreen::Colours coloursOf(const WindowSettings& s) {
    return {s.gridColour, s.cursorColour, s.selectionFrameColour, s.selectionFillColour};
}

}  // namespace

Application::Application(platform::Host& host, SettingsLocation settings, RecoveryOptions recovery)
    : m_host(host), m_location(std::move(settings)), m_recovery(host, std::move(recovery)) {}

Application::~Application() {
    m_host.setIdleHandler(nullptr);
    dropScreens();
}

// Screens let go of their windows before the windows go, and the map window's router lets go
// of its screen.
void Application::dropScreens() {
    m_mapRouter.setScreen(nullptr);
    m_work.reset();
    m_previewScreen.reset();
}

bool Application::fail(const char* text, NativeWindow* owner) {
    m_host.messageBox(owner, text, kStartupErrorTitle, platform::MessageButtons::Ok,
                      platform::MessageIcon::Error);
    dropScreens();
    m_previewWindow.reset();
    m_chipWindow.reset();
    m_kindWindow.reset();
    m_mapWindow.reset();
    if (m_ownerWindow) {
        m_ownerWindow->destroy();
        m_ownerWindow.reset();
    }
    return false;
}

bool Application::accepts(const Message& m) const {
    if (!m_starting) {
        return true;
    }
    // While the windows are being made, or a start-up error is shown, nothing the user does
    // can be meant for the editor yet; the window system's own messages are handled, and they
    // touch only what exists.
    switch (m.message) {
        case platform::WM_CREATE:
        case platform::WM_DESTROY:
        case platform::WM_SIZE:
        case platform::WM_MOVE:
        case platform::WM_PAINT:
        case platform::WM_ACTIVATEAPP:
            return true;
        default:
            return false;
    }
}

bool Application::start(const std::vector<std::string>& files) {
    m_starting = true;
    if (!makeOwnerWindow() || !makeMapWindow() || !makeKindWindow() || !makeChipWindow()) {
        return false;
    }
    applyGridSwitches();
    fitWindowsToDesktop();
    if (!makePreviewWindow()) {
        return false;
    }
    m_playerDialog =
        std::make_unique<PlayerRegistrationDialog>(m_host, m_work->player(), *m_previewScreen);
    makeDialogs();
    m_replaceDialog =
        std::make_unique<ReplaceDialog>([this](int from, int to, int sourceLayer, int targetLayer) {
            m_work->map().replace(from, to, sourceLayer, targetLayer);
        });
    if (m_mapWindow->isMinimised()) {
        m_chipWindow->setVisible(false);
        m_kindWindow->setVisible(false);
    }
    m_starting = false;
    m_host.setIdleHandler(this);
    // The first picture of every window, whether or not the application has the focus yet.
    idleStep();
    m_recovery.start(*m_work, m_mapPath, m_chipPath, m_kindPath, *m_ownerWindow, m_mapWindow.get());
    noteChipFile();
    noteMapFile();
    m_ownerWindow->setTimer(kWatchTimerId, kWatchMs);
    // The files asked for before the work of an editor that is gone: a restore then replaces
    // what was only loaded, never the other way round.
    if (!files.empty()) {
        openFiles(files);
    }
    offerRecovery();
    m_host.wakeIdle();
    return true;
}

bool Application::makeOwnerWindow() {
    // The owner of the tool windows, never shown.
    platform::WindowSpec owner;
    owner.className = "Parent";
    owner.title = "Parent";
    owner.clientSize = platform::Size{1, 1};
    owner.position = platform::Point{0, 0};
    owner.visible = false;
    owner.minimiseBox = true;
    m_ownerWindow = m_host.createWindow(owner, &m_ownerRouter);
    if (!m_ownerWindow) {
        return fail(PELORIN_TEXT("親ウィンドウの作成に失敗しました"), nullptr);
    }

    // The settings are read before the map window is made, so that it starts at its size
    // (a window manager frames a window of no size late, and its frame is needed to place the
    // attribute window).
    platform::ProfileFile profile(m_location.readPath);
    profile.load();
    m_settings = loadSettings(profile);
    m_mapPath = m_settings.map.path;
    m_chipPath = m_settings.chip.path.empty() ? m_location.sampleChips : m_settings.chip.path;
    m_kindPath = m_settings.kind.path;
    m_recent = m_settings.recent;
    return true;
}

bool Application::makeMapWindow() {
    platform::WindowSpec map;
    map.className = "mapeditor";
    map.title = "mapeditor";
    map.position = platform::Point{0, 0};
    map.clientSize = platform::Size{m_settings.map.windowWidth, m_settings.map.windowHeight};
    map.closeBox = true;
    map.minimiseBox = true;
    std::vector<std::string> recent;
    for (const RecentMap& entry : m_recent) {
        recent.push_back(entry.map);
    }
    map.menuBar = mapMenuBar(recent);
    m_mapWindow = m_host.createWindow(map, &m_mapRouter);
    if (!m_mapWindow) {
        return fail(PELORIN_TEXT("マップウィンドウの作成に失敗しました"), nullptr);
    }

    m_work = std::make_unique<Workspace>(m_host);
    MapScreen& screen = m_work->map();
    m_mapRouter.setScreen(&screen);
    if (!m_work->attachMap(m_mapWindow.get(), m_settings.map.windowWidth,
                           m_settings.map.windowHeight, &m_mapRouter)) {
        return fail(PELORIN_TEXT("マップスクリーンの初期化に失敗しました"), nullptr);
    }
    // A named map that cannot be read (its reader says why) leaves a new map, as no name does.
    if (m_mapPath.empty() || !screen.loadMap(m_mapPath)) {
        screen.newMap();
    }
    if (m_settings.map.scrollBars != 0) {
        screen.toggleScrollBars();
    }
    screen.setColours(coloursOf(m_settings.map));
    screen.setZoom(Zoom::read(m_settings.map.zoom), platform::Point{0, 0});
    return true;
}

bool Application::makeKindWindow() {
    platform::WindowSpec kind;
    kind.className = "kindview";
    kind.title = "kindview";
    kind.clientSize = platform::Size{KindScreen::kColumns * KindScreen::kCellSize,
                                     KindScreen::kRows * KindScreen::kCellSize};
    kind.owner = m_ownerWindow.get();
    kind.minimiseBox = true;
    kind.toolWindow = true;
    m_kindWindow = m_host.createWindow(kind, &m_kindRouter);
    if (!m_kindWindow) {
        return fail(PELORIN_TEXT("チップ属性ウィンドウの作成に失敗しました"), m_mapWindow.get());
    }
    if (!m_work->attachKinds(m_kindWindow.get(), &m_kindRouter)) {
        return fail(PELORIN_TEXT("チップ属性スクリーンの初期化に失敗しました"), m_mapWindow.get());
    }
    KindScreen& kindScreen = *m_work->kinds();
    if (!m_kindPath.empty() && !kindScreen.loadFile(m_kindPath)) {
        m_kindPath.clear();
    }
    kindScreen.setGridColour(m_settings.kind.gridColour);
    kindScreen.setCursorColour(m_settings.kind.cursorColour);
    return true;
}

bool Application::makeChipWindow() {
    platform::WindowSpec chip;
    chip.className = "chipview";
    chip.title = "chipview";
    chip.clientSize = platform::Size{m_settings.chip.windowWidth, m_settings.chip.windowHeight};
    chip.owner = m_ownerWindow.get();
    chip.minimiseBox = true;
    chip.toolWindow = true;
    m_chipWindow = m_host.createWindow(chip, &m_chipRouter);
    if (!m_chipWindow) {
        return fail(PELORIN_TEXT("チップウィンドウの作成に失敗しました"), m_mapWindow.get());
    }
    if (!m_work->attachChips(m_chipWindow.get(), m_settings.chip.windowWidth,
                             m_settings.chip.windowHeight, &m_chipRouter)) {
        return fail(PELORIN_TEXT("チップスクリーンの初期化に失敗しました"), m_mapWindow.get());
    }
    ChipScreen& chipScreen = *m_work->chips();
    if (!m_chipPath.empty()) {
        if (m_work->map().loadChipImage(m_chipPath)) {
            m_work->map().setChipSize(m_settings.chip.chipWidth, m_settings.chip.chipHeight);
            m_work->map().redraw();
        } else {
            m_chipPath.clear();
        }
    }
    if (m_settings.chip.scrollBars != 0) {
        chipScreen.toggleScrollBars();
    }
    chipScreen.setColours(coloursOf(m_settings.chip));
    chipScreen.setZoom(Zoom::read(m_settings.chip.zoom), platform::Point{0, 0});
    return true;
}

void Application::applyGridSwitches() {
    if (m_settings.map.grid == 0) {
        m_work->map().toggleGrid();
    }
    if (m_settings.kind.grid == 0) {
        m_work->kinds()->toggleGrid();
    }
    if (m_settings.chip.grid == 0) {
        m_work->chips()->toggleGrid();
    }
}

namespace {

// A client size within the room left on the desktop by a frame of frame and, below the window,
// below pixels of other windows; never under 64 pixels a side.
platform::Size fitted(platform::Size client, platform::Size frame, int below,
                      const platform::Rect& desktop) {
    return {std::max(64, std::min(client.width, desktop.width() - frame.width)),
            std::max(64, std::min(client.height, desktop.height() - frame.height - below))};
}

platform::Size frameOf(const NativeWindow& window) {
    const platform::Rect outer = window.outerRect();
    const platform::Size client = window.clientSize();
    return {outer.width() - client.width, outer.height() - client.height};
}

}  // namespace

void Application::fitWindowsToDesktop() {
    const platform::Rect desktop = m_host.desktopRect();
    if (desktop.width() <= 0 || desktop.height() <= 0) {
        return;
    }
    const platform::Size map = m_mapWindow->clientSize();
    const platform::Size mapFit =
        fitted(map, frameOf(*m_mapWindow), m_kindWindow->outerRect().height(), desktop);
    const platform::Rect outer = m_mapWindow->outerRect();
    if (outer.left < desktop.left || outer.top < desktop.top) {
        m_mapWindow->move({std::max(outer.left, desktop.left), std::max(outer.top, desktop.top)});
    }
    if (mapFit != map) {
        m_work->map().fitWindowSize(mapFit.width, mapFit.height);
        m_work->map().dockAttributeWindow();
        m_fittedMap = mapFit;
    }
    ChipScreen& chip = *m_work->chips();
    const platform::Size chipClient = m_chipWindow->clientSize();
    const platform::Size chipFit = fitted(chipClient, frameOf(*m_chipWindow), 0, desktop);
    if (chipFit != chipClient) {
        chip.fitWindowSize(chipFit.width, chipFit.height);
        m_fittedChip = chipFit;
    }
}

bool Application::makePreviewWindow() {
    m_previewWindow = m_host.createWindow(PreviewScreen::windowSpec(), &m_previewRouter);
    if (!m_previewWindow) {
        return fail(PELORIN_TEXT("プレビューウィンドウの作成に失敗しました"), m_mapWindow.get());
    }
    m_previewScreen = std::make_unique<PreviewScreen>(m_host);
    if (!m_previewScreen->Attach(m_previewWindow.get(), &m_previewRouter)) {
        return fail(PELORIN_TEXT("プレビュースクリーンの初期化に失敗しました"), m_mapWindow.get());
    }
    return true;
}

void Application::makeDialogs() {
    MapScreen& map = m_work->map();
    m_kindDialogs = std::make_unique<KindDialogState>(
        m_host, *map.kindScreen(), [&map] { return map.chipSize(); },
        [this, &map] {
            map.kindScreen()->updateTitle();
            map.kindScreen()->drawCells();
            map.redraw();
            workChanged();
            m_work->idleStep();
        });
    m_settingsSheet = std::make_unique<SettingsSheet>(map, *m_kindDialogs);
}

int Application::run() {
    return m_host.run();
}

bool Application::idleStep() {
    return m_work ? m_work->idleStep() : false;
}

void Application::writeSettings() {
    const MapScreen& map = m_work->map();
    EditorSettings s = m_settings;
    auto colours = [](WindowSettings& record, const CellGridScreen::Colours& c) {
        record.gridColour = c.grid;
        record.cursorColour = c.cursor;
        record.selectionFrameColour = c.selectionFrame;
        record.selectionFillColour = c.selectionFill;
    };
    s.map.path = map.document().isFileBacked() ? m_mapPath : std::string();
    s.recent = m_recent;
    // A size the desktop imposed is not the user's: theirs stays.
    if (map.windowSize() != m_fittedMap) {
        s.map.windowWidth = map.windowSize().width;
        s.map.windowHeight = map.windowSize().height;
    }
    s.map.scrollBars = map.areScrollBarsShown() ? 1 : 0;
    s.map.grid = map.isGridShown() ? 1 : 0;
    s.map.zoom = map.zoom().text();
    colours(s.map, map.colours());

    s.chip.chipWidth = map.chipSize().width;
    s.chip.chipHeight = map.chipSize().height;
    if (const ChipScreen* chip = map.chipScreen()) {
        s.chip.path = chip->isLoaded() ? m_chipPath : std::string();
        if (chip->windowSize() != m_fittedChip) {
            s.chip.windowWidth = chip->windowSize().width;
            s.chip.windowHeight = chip->windowSize().height;
        }
        s.chip.scrollBars = chip->areScrollBarsShown() ? 1 : 0;
        s.chip.grid = chip->isGridShown() ? 1 : 0;
        s.chip.zoom = chip->zoom().text();
        colours(s.chip, chip->colours());
    }
    if (const KindScreen* kind = map.kindScreen()) {
        s.kind.path = kind->isFileLoaded() ? m_kindPath : std::string();
        s.kind.grid = kind->isGridShown() ? 1 : 0;
        s.kind.gridColour = kind->colours().grid;
        s.kind.cursorColour = kind->colours().cursor;
    }

    // Keys this program does not write stay as the file had them; a file that exists but
    // cannot be read (or is far too large to be ours) is left alone rather than replaced.
    platform::ProfileFile profile(m_location.readPath);
    if (!profile.load()) {
        return;
    }
    saveSettings(s, profile);
    profile.setPath(m_location.writePath);
    if (m_location.prepareWrite()) {
        profile.save();  // a settings file that cannot be written is not worth an error box
    }
}

void Application::tearDown() {
    if (m_ended || !m_work) {
        return;
    }
    m_ended = true;
    m_host.setIdleHandler(nullptr);
    writeSettings();
    // The user chose to end: whatever was unsaved is given up, and its records with it.
    m_recovery.finish();
    dropScreens();
    m_playerDialog.reset();
    m_settingsSheet.reset();
    m_kindDialogs.reset();
    m_replaceDialog.reset();
    for (NativeWindow* window :
         {m_chipWindow.get(), m_kindWindow.get(), m_previewWindow.get(), m_ownerWindow.get()}) {
        if (window != nullptr) {
            window->destroy();
        }
    }
    m_host.quit(0);
}
