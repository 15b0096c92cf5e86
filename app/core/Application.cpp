#include "app/core/Application.h"

#include <sys/stat.h>

#include "app/core/Menus.h"
#include "app/core/SettingsSheet.h"
#include "chips/ChipScreen.h"
#include "chips/KindDialogState.h"
#include "chips/KindScreen.h"
#include "gfx/CNxSystem.h"
#include "map/MapScreen.h"
#include "map/ReplaceDialog.h"
#include "platform/Host.h"
#include "platform/Message.h"
#include "platform/NativeWindow.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"
#include "platform/VirtualKey.h"
#include "preview/PlayerRegistrationDialog.h"
#include "preview/PreviewScreen.h"

using platform::Message;
using platform::NativeWindow;

namespace {

const char kStartupErrorTitle[] = "起動エラー";
const char kConfirmTitle[] = "確認";
const char kChooserTitle[] = "ファイル選択";

platform::FileRequest mapFiles(const std::string& initial) {
    return {kChooserTitle, {{"MAP Files (*.map)", "*.map"}}, initial, {}};
}
platform::FileRequest imageFiles(const std::string& initial) {
    return {kChooserTitle, {{"IMAGE Files (*.bmp,*.jpg,*.png)", "*.bmp;*.jpg;*.png"}}, initial, {}};
}
platform::FileRequest kindFiles(const std::string& initial) {
    return {kChooserTitle, {{"KIND Files (*.knd)", "*.knd"}}, initial, {}};
}

// Sets enabled and checked on every item of menu (and its submenus) with the command id.
void setState(platform::Menu& menu, int id, bool enabled, bool checked) {
    for (platform::MenuItem& item : menu) {
        if (item.kind == platform::MenuItem::Kind::Submenu) {
            setState(item.items, id, enabled, checked);
        } else if (item.id == id) {
            item.enabled = enabled;
            item.checked = checked;
        }
    }
}

bool isAway(const Message& m) {
    return m.wheelDelta > 0;
}

// The image decoders report through the host and the map window while the editor runs; once
// it stops (or never started) they must not keep pointers to either.
void detachImageSystem() {
    CNxSystem::Get().SetOwnerWindow(nullptr);
    CNxSystem::Get().SetMessagePort(nullptr);
}

}  // namespace

Application::Application(platform::Host& host, SettingsLocation settings)
    : m_host(host), m_location(std::move(settings)) {}

Application::~Application() {
    m_host.setIdleHandler(nullptr);
    detachImageSystem();
    // Screens let go of their windows before the windows go.
    m_mapScreen.reset();
    m_previewScreen.reset();
}

bool Application::fail(const char* text, NativeWindow* owner) {
    m_host.messageBox(owner, text, kStartupErrorTitle, platform::MessageButtons::Ok,
                      platform::MessageIcon::Error);
    detachImageSystem();
    m_mapScreen.reset();
    m_previewScreen.reset();
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

void Application::applyColours(const WindowSettings& s) {
    m_mapScreen->setGridColour(s.gridColour);
    m_mapScreen->setCursorColour(s.cursorColour);
    m_mapScreen->setSelectionFrameColour(s.selectionFrameColour);
    m_mapScreen->setSelectionFillColour(s.selectionFillColour);
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

bool Application::start() {
    m_starting = true;
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
        return fail("親ウィンドウの作成に失敗しました", nullptr);
    }

    // The settings are read before the map window is made, so that it starts at its size
    // (a window manager frames a window of no size late, and its frame is needed to place the
    // attribute window).
    platform::ProfileFile profile(m_location.readPath);
    profile.load();
    m_settings = loadSettings(profile);
    m_mapPath = m_settings.map.path;
    m_chipPath = m_settings.chip.path;
    m_kindPath = m_settings.kind.path;

    platform::WindowSpec map;
    map.className = "mapeditor";
    map.title = "mapeditor";
    map.position = platform::Point{0, 0};
    map.clientSize = platform::Size{m_settings.map.windowWidth, m_settings.map.windowHeight};
    map.closeBox = true;
    map.minimiseBox = true;
    map.menuBar = mapMenuBar();
    m_mapWindow = m_host.createWindow(map, &m_mapRouter);
    if (!m_mapWindow) {
        return fail("マップウィンドウの作成に失敗しました", nullptr);
    }

    // Image decoders report through the map window.
    CNxSystem::Get().SetMessagePort(&m_host);
    CNxSystem::Get().SetOwnerWindow(m_mapWindow.get());

    m_mapScreen = std::make_unique<MapScreen>(m_host);
    if (!m_mapScreen->attach(m_mapWindow.get(), m_settings.map.windowWidth,
                             m_settings.map.windowHeight, &m_mapRouter)) {
        return fail("マップスクリーンの初期化に失敗しました", nullptr);
    }
    // A named map that cannot be read (its reader says why) leaves a new map, as no name does.
    if (m_mapPath.empty() || !m_mapScreen->loadMap(m_mapPath)) {
        m_mapScreen->newMap();
    }
    if (m_settings.map.scrollBars != 0) {
        m_mapScreen->toggleScrollBars();
    }
    applyColours(m_settings.map);

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
        return fail("チップ属性ウィンドウの作成に失敗しました", m_mapWindow.get());
    }
    if (!m_mapScreen->createKindScreen(m_kindWindow.get(), &m_kindRouter)) {
        return fail("チップ属性スクリーンの初期化に失敗しました", m_mapWindow.get());
    }
    KindScreen& kindScreen = *m_mapScreen->kindScreen();
    if (!m_kindPath.empty() && !kindScreen.loadFile(m_kindPath)) {
        m_kindPath.clear();
    }
    kindScreen.setGridColour(m_settings.kind.gridColour);
    kindScreen.setCursorColour(m_settings.kind.cursorColour);

    platform::WindowSpec chip;
    chip.className = "chipview";
    chip.title = "chipview";
    chip.clientSize = platform::Size{m_settings.chip.windowWidth, m_settings.chip.windowHeight};
    chip.owner = m_ownerWindow.get();
    chip.minimiseBox = true;
    chip.toolWindow = true;
    m_chipWindow = m_host.createWindow(chip, &m_chipRouter);
    if (!m_chipWindow) {
        return fail("チップウィンドウの作成に失敗しました", m_mapWindow.get());
    }
    if (!m_mapScreen->createChipScreen(m_chipWindow.get(), m_settings.chip.windowWidth,
                                       m_settings.chip.windowHeight, &m_chipRouter)) {
        return fail("チップスクリーンの初期化に失敗しました", m_mapWindow.get());
    }
    ChipScreen& chipScreen = *m_mapScreen->chipScreen();
    if (!m_chipPath.empty()) {
        if (m_mapScreen->loadChipImage(m_chipPath)) {
            m_mapScreen->setChipSize(m_settings.chip.chipWidth, m_settings.chip.chipHeight);
            m_mapScreen->redraw();
        } else {
            m_chipPath.clear();
        }
    }
    if (m_settings.chip.scrollBars != 0) {
        chipScreen.toggleScrollBars();
    }
    chipScreen.setGridColour(m_settings.chip.gridColour);
    chipScreen.setCursorColour(m_settings.chip.cursorColour);
    chipScreen.setSelectionFrameColour(m_settings.chip.selectionFrameColour);
    chipScreen.setSelectionFillColour(m_settings.chip.selectionFillColour);

    if (m_settings.map.grid == 0) {
        m_mapScreen->toggleGrid();
    }
    if (m_settings.kind.grid == 0) {
        kindScreen.toggleGrid();
    }
    if (m_settings.chip.grid == 0) {
        chipScreen.toggleGrid();
    }

    platform::WindowSpec preview;
    preview.className = "preview";
    preview.title = "preview";
    preview.clientSize = platform::Size{800, 600};
    preview.visible = false;
    preview.resizable = true;
    m_previewWindow = m_host.createWindow(preview, &m_previewRouter);
    if (!m_previewWindow) {
        return fail("プレビューウィンドウの作成に失敗しました", m_mapWindow.get());
    }
    m_previewScreen = std::make_unique<PreviewScreen>(m_host);
    if (!m_previewScreen->Attach(m_previewWindow.get(), &m_previewRouter)) {
        return fail("プレビュースクリーンの初期化に失敗しました", m_mapWindow.get());
    }

    m_playerDialog = std::make_unique<PlayerRegistrationDialog>(
        m_host, m_mapScreen->playerDefinition(), *m_previewScreen);
    makeDialogs();
    m_replaceDialog =
        std::make_unique<ReplaceDialog>([this](int from, int to, int sourceLayer, int targetLayer) {
            m_mapScreen->replace(from, to, sourceLayer, targetLayer);
        });
    if (m_mapWindow->isMinimised()) {
        m_chipWindow->setVisible(false);
        m_kindWindow->setVisible(false);
    }
    m_starting = false;
    m_host.setIdleHandler(this);
    // The first picture of every window, whether or not the application has the focus yet.
    idleStep();
    m_host.wakeIdle();
    return true;
}

void Application::makeDialogs() {
    MapScreen& map = *m_mapScreen;
    m_kindDialogs = std::make_unique<KindDialogState>(
        m_host, *map.kindScreen(), [&map] { return map.chipSize(); },
        [&map] {
            map.kindScreen()->updateTitle();
            map.kindScreen()->drawCells();
            map.redraw();
            map.idleStep();
        });
    m_settingsSheet = std::make_unique<SettingsSheet>(map, *m_kindDialogs);
}

int Application::run() {
    return m_host.run();
}

bool Application::idleStep() {
    return m_mapScreen ? m_mapScreen->idleStep() : false;
}

bool Application::ask(const std::string& text, NativeWindow* owner) {
    return m_host.messageBox(owner, text, kConfirmTitle, platform::MessageButtons::YesNo,
                             platform::MessageIcon::Question) == platform::MessageAnswer::Yes;
}

void Application::popup(NativeWindow& window, const platform::Menu& menu, platform::Point at,
                        void (Application::*command)(int)) {
    const int chosen = m_host.popupMenu(window, menu, at);
    if (chosen != 0) {
        (this->*command)(chosen);
    }
}

// The map window can be asked to close from its close box and from "終了(&X)".
void Application::closeMapWindow() {
    if (m_host.messageBox(m_mapWindow.get(), "終了しますか？", kConfirmTitle,
                          platform::MessageButtons::OkCancel,
                          platform::MessageIcon::Question) == platform::MessageAnswer::Ok) {
        m_mapWindow->destroy();
    }
}

void Application::endPointerModes(bool map, bool chip) {
    ChipScreen* chipScreen = m_mapScreen ? m_mapScreen->chipScreen() : nullptr;
    if (map && m_mapScreen && m_mapScreen->isPanning()) {
        m_mapWindow->setPointerShape(platform::PointerShape::Arrow);
    }
    if (chip && chipScreen != nullptr && chipScreen->isPanning()) {
        m_chipWindow->setPointerShape(platform::PointerShape::Arrow);
    }
}

void Application::ownerMessage(NativeWindow&, const Message&) {}

void Application::mapMessage(NativeWindow& window, const Message& m) {
    if (!m_mapScreen) {
        return;
    }
    MapScreen& map = *m_mapScreen;
    ChipScreen* chip = map.chipScreen();
    switch (m.message) {
        case platform::WM_ACTIVATE:
            if (m.code != platform::WA_INACTIVE) {
                endPointerModes(false, true);
                if (chip != nullptr && chip->isLeftDragActive()) {
                    chip->endLeftDrag();
                }
                window.bringToFront();
            }
            break;
        case platform::WM_SIZE:
            // The tool windows go and come with the map window, once they exist (start-up
            // hides them at its end if the map window was minimised meanwhile).
            if (m_chipWindow && m_kindWindow) {
                m_chipWindow->setVisible(m.code != platform::SIZE_MINIMIZED);
                m_kindWindow->setVisible(m.code != platform::SIZE_MINIMIZED);
            }
            break;
        case platform::WM_MOVE:
            if (map.isLinked()) {
                map.dockAttributeWindow();
            }
            break;
        case platform::WM_PAINT:
            map.Update(true);
            break;
        case platform::WM_CLOSE:
            closeMapWindow();
            break;
        case platform::WM_DESTROY:
            tearDown();
            break;
        case platform::WM_KEYDOWN:
            if (m.key == 'W') {
                m_chipWindow->bringToFront();
            } else if (m.key == platform::VK_APPS) {
                popup(window, mapPopupWithState(), platform::Point{0, 0}, &Application::mapCommand);
            } else {
                map.onKeyDown(m.key);
            }
            break;
        case platform::WM_KEYUP:
            map.onKeyUp(m.key);
            break;
        case platform::WM_HSCROLL:
        case platform::WM_VSCROLL:
            map.onScroll(m.message == platform::WM_HSCROLL ? platform::ScrollAxis::Horizontal
                                                           : platform::ScrollAxis::Vertical,
                         m.code, m.position);
            break;
        case platform::WM_MOUSEMOVE:
            if (m.keys & (platform::MK_RBUTTON | platform::MK_LBUTTON)) {
                map.onMouseMove(m.x, m.y, m.keys);
            }
            break;
        case platform::WM_LBUTTONDOWN:
            map.onLeftButtonDown(m.x, m.y);
            break;
        case platform::WM_LBUTTONUP:
            map.onLeftButtonUp();
            break;
        case platform::WM_LBUTTONDBLCLK:
            map.onLeftDoubleClick(m.x, m.y);
            break;
        case platform::WM_RBUTTONDOWN:
            window.setPointerShape(platform::PointerShape::SizeAll);
            map.onRightButtonDown(m.x, m.y);
            m_mapViewAtRightDown = map.viewPosition();
            break;
        case platform::WM_RBUTTONUP:
            window.setPointerShape(platform::PointerShape::Arrow);
            map.onRightButtonUp();
            // A click, not a drag that scrolled, opens the popup.
            if (map.viewPosition() == m_mapViewAtRightDown) {
                popup(window, mapPopupWithState(), platform::Point{m.x, m.y},
                      &Application::mapCommand);
            }
            break;
        case platform::WM_MBUTTONDOWN:
            m_kindWindow->bringToFront();
            break;
        case platform::WM_MOUSEWHEEL:
            map.onMouseWheel(m.wheelDelta, m.keys);
            break;
        case platform::WM_COMMAND:
            mapCommand(m.id);
            break;
        case platform::WM_INITMENU:
            setMapMenuState();
            break;
        default:
            break;
    }
}

void Application::chipMessage(NativeWindow& window, const Message& m) {
    ChipScreen* chip = m_mapScreen ? m_mapScreen->chipScreen() : nullptr;
    if (chip == nullptr) {
        return;
    }
    switch (m.message) {
        case platform::WM_ACTIVATE:
            if (m.code != platform::WA_INACTIVE) {
                endPointerModes(true, false);
                if (m_mapScreen->isLeftDragActive()) {
                    m_mapScreen->endLeftDrag();
                }
            }
            break;
        case platform::WM_PAINT:
            chip->Update(true);
            break;
        case platform::WM_KEYDOWN:
            if (m.key == 'W') {
                m_kindWindow->bringToFront();
            } else if (m.key == platform::VK_APPS) {
                popup(window, chipPopupWithState(), platform::Point{0, 0},
                      &Application::chipCommand);
            } else {
                chip->onKeyDown(m.key);
            }
            break;
        case platform::WM_KEYUP:
            chip->onKeyUp(m.key);
            break;
        case platform::WM_COMMAND:
            chipCommand(m.id);
            break;
        case platform::WM_INITMENU:
            break;  // the chip window has no menu bar; its popup is built with its state
        case platform::WM_HSCROLL:
        case platform::WM_VSCROLL:
            chip->onScroll(m.message == platform::WM_HSCROLL ? platform::ScrollAxis::Horizontal
                                                             : platform::ScrollAxis::Vertical,
                           m.code, m.position);
            break;
        case platform::WM_MOUSEMOVE:
            if (m.keys & (platform::MK_RBUTTON | platform::MK_LBUTTON)) {
                chip->onMouseMove(m.x, m.y, m.keys);
            }
            break;
        case platform::WM_LBUTTONDOWN:
            if (chip->isLoaded()) {
                chip->onLeftButtonDown(m.x, m.y);
            }
            break;
        case platform::WM_LBUTTONUP:
            chip->onLeftButtonUp();
            break;
        case platform::WM_RBUTTONDOWN:
            if (chip->isLoaded()) {
                window.setPointerShape(platform::PointerShape::SizeAll);
                chip->onRightButtonDown(m.x, m.y);
                m_chipViewAtRightDown = chip->viewPosition();
            }
            break;
        case platform::WM_RBUTTONUP:
            window.setPointerShape(platform::PointerShape::Arrow);
            chip->onRightButtonUp();
            if (chip->viewPosition() == m_chipViewAtRightDown) {
                popup(window, chipPopupWithState(), platform::Point{m.x, m.y},
                      &Application::chipCommand);
            }
            break;
        case platform::WM_MBUTTONDOWN:
            m_mapWindow->bringToFront();
            break;
        case platform::WM_MOUSEWHEEL:
            if (chip->isLoaded()) {
                chip->onMouseWheel(m.wheelDelta, m.keys);
            }
            break;
        case platform::WM_DESTROY:
            m_host.quit(0);
            break;
        default:
            break;  // WM_CLOSE among them: the chip window cannot be closed
    }
}

void Application::kindMessage(NativeWindow& window, const Message& m) {
    KindScreen* kind = m_mapScreen ? m_mapScreen->kindScreen() : nullptr;
    if (kind == nullptr) {
        return;
    }
    switch (m.message) {
        case platform::WM_ACTIVATE:
            if (m.code != platform::WA_INACTIVE) {
                endPointerModes(true, true);
            }
            break;
        case platform::WM_MOVE:
            if (m_mapScreen->isLinked()) {
                m_mapScreen->dockToAttributeWindow();
            }
            break;
        case platform::WM_PAINT:
            kind->Update(true);
            break;
        case platform::WM_KEYDOWN:
            if (m.key == 'W') {
                (m_previewWindow->isVisible() ? m_previewWindow : m_mapWindow)->bringToFront();
            } else if (m.key == platform::VK_APPS) {
                popup(window, kindPopupWithState(), platform::Point{0, 0},
                      &Application::kindCommand);
            } else {
                kind->onKeyDown(m.key);
            }
            break;
        case platform::WM_KEYUP:
            kind->onKeyUp(m.key);
            break;
        case platform::WM_COMMAND:
            kindCommand(m.id);
            break;
        case platform::WM_LBUTTONDOWN:
            kind->onLeftButtonDown(m.x, m.y);
            break;
        case platform::WM_LBUTTONDBLCLK:
            m_kindDialogs->edit(&window, kind->selectedKindNumber());
            break;
        case platform::WM_RBUTTONUP:
            popup(window, kindPopupWithState(), platform::Point{m.x, m.y},
                  &Application::kindCommand);
            break;
        case platform::WM_MBUTTONDOWN:
            m_chipWindow->bringToFront();
            break;
        case platform::WM_MOUSEWHEEL:
            if (isAway(m)) {
                (m_previewWindow->isVisible() ? m_previewWindow : m_mapWindow)->bringToFront();
            } else {
                m_chipWindow->bringToFront();
            }
            break;
        case platform::WM_DESTROY:
            m_host.quit(0);
            break;
        default:
            break;  // WM_CLOSE among them: the attribute window cannot be closed
    }
}

// The preview screen handles its own messages first (painting, its timer, the mouse and its
// popup); what reaches other windows is handled here.
void Application::previewMessage(NativeWindow&, const Message& m) {
    switch (m.message) {
        case platform::WM_KEYDOWN:
            if (m.key == 'W') {
                m_chipWindow->bringToFront();
            }
            break;
        case platform::WM_MOUSEWHEEL:
            (isAway(m) ? m_chipWindow : m_kindWindow)->bringToFront();
            break;
        case platform::WM_DESTROY:
            m_host.quit(0);
            break;
        default:
            break;
    }
}

void Application::mapCommand(int id) {
    MapScreen& map = *m_mapScreen;
    switch (id) {
        case command::LoadMap:
            loadMapCommand();
            break;
        case command::LoadChips:
            loadChipsCommand();
            break;
        case command::LoadKinds:
            loadKindsCommand();
            break;
        case command::NewMap:
            if (ask("マップを新規作成します。作業中の内容は失われますが、よろしいですか？",
                    m_mapWindow.get())) {
                map.newMap();
            }
            break;
        case command::SaveMap:
            if (map.hasSize()) {
                saveMapCommand();
            }
            break;
        case command::SaveKinds:
            saveKindsCommand();
            break;
        case command::ReloadMap:
            if (map.isFileBacked() &&
                ask("マップの再読み込みをします。作業中の内容は失われますが、よろしいですか？",
                    m_mapWindow.get())) {
                map.loadMap(m_mapPath);
            }
            break;
        case command::Exit:
            closeMapWindow();
            break;
        case command::Copy:
            map.copySelection();
            break;
        case command::Paste:
            map.paste();
            break;
        case command::Undo:
            map.undo();
            break;
        case command::Redo:
            map.redo();
            break;
        case command::Replace:
            if (map.isFileBacked() && map.chipScreen() != nullptr && map.chipScreen()->isLoaded()) {
                m_replaceDialog->run(m_host, m_mapWindow.get(), map.chipScreen()->chipCount());
            }
            break;
        case command::ToggleGrid:
            map.toggleGrid();
            break;
        case command::ToggleScrollBars:
            map.toggleScrollBars();
            break;
        case command::ToggleAttributeView:
            map.setEditLayer(map.editLayer() == 0 ? 1 : 0);
            break;
        case command::ToggleLink:
            map.toggleLink();
            break;
        case command::DeleteRows:
            map.insertOrDeleteLines(true, true, false);
            break;
        case command::InsertRows:
            map.insertOrDeleteLines(false, true, false);
            break;
        case command::DeleteColumns:
            map.insertOrDeleteLines(true, false, true);
            break;
        case command::InsertColumns:
            map.insertOrDeleteLines(false, false, true);
            break;
        case command::DeleteRowsAndColumns:
            map.insertOrDeleteLines(true, true, true);
            break;
        case command::InsertRowsAndColumns:
            map.insertOrDeleteLines(false, true, true);
            break;
        case command::Settings:
            m_settingsSheet->run(m_host, m_mapWindow.get());
            break;
        case command::RegisterPlayer:
            m_playerDialog->run(m_mapWindow.get());
            break;
        default:
            break;
    }
    m_host.wakeIdle();
}

void Application::chipCommand(int id) {
    ChipScreen& chip = *m_mapScreen->chipScreen();
    if (id == command::ChipGrid) {
        chip.toggleGrid();
        chip.refresh();
    } else if (id == command::ChipScrollBars && chip.isLoaded()) {
        chip.setScrollBarsVisible(!chip.areScrollBarsShown());
    }
    m_host.wakeIdle();
}

void Application::kindCommand(int id) {
    KindScreen& kind = *m_mapScreen->kindScreen();
    if (id == command::KindGrid) {
        kind.toggleGrid();
        kind.refresh();
    } else if (id == command::ToggleLink) {
        m_mapScreen->toggleLink();
    }
    m_host.wakeIdle();
}

void Application::setMapMenuState() {
    const MapScreen& map = *m_mapScreen;
    const bool chips = map.chipScreen() != nullptr && map.chipScreen()->isLoaded();
    NativeWindow& w = *m_mapWindow;
    w.setMenuItemState(command::ToggleGrid, true, map.isGridShown());
    w.setMenuItemState(command::ToggleScrollBars, true, map.areScrollBarsShown());
    w.setMenuItemState(command::ToggleAttributeView, true, map.editLayer() == 1);
    w.setMenuItemState(command::SaveMap, map.hasSize(), false);
    w.setMenuItemState(command::ReloadMap, map.isFileBacked(), false);
    w.setMenuItemState(command::Paste, map.canPaste(), false);
    w.setMenuItemState(command::Replace, map.hasSize() && chips, false);
    w.setMenuItemState(command::Undo, map.canUndo(), false);
    w.setMenuItemState(command::Redo, map.canRedo(), false);
    w.setMenuItemState(command::Settings, true, false);
    w.setMenuItemState(command::RegisterPlayer, true, false);
}

platform::Menu Application::mapPopupWithState() const {
    const MapScreen& map = *m_mapScreen;
    platform::Menu menu = mapPopup();
    setState(menu, command::Paste, map.canPaste(), false);
    setState(menu, command::Undo, map.canUndo(), false);
    setState(menu, command::Redo, map.canRedo(), false);
    setState(menu, command::ToggleGrid, true, map.isGridShown());
    setState(menu, command::ToggleScrollBars, true, map.areScrollBarsShown());
    setState(menu, command::ToggleAttributeView, true, map.editLayer() == 1);
    return menu;
}

platform::Menu Application::chipPopupWithState() const {
    const ChipScreen& chip = *m_mapScreen->chipScreen();
    platform::Menu menu = chipPopup();
    setState(menu, command::ChipGrid, true, chip.isGridShown());
    setState(menu, command::ChipScrollBars, true, chip.areScrollBarsShown());
    return menu;
}

platform::Menu Application::kindPopupWithState() const {
    platform::Menu menu = kindPopup();
    setState(menu, command::KindGrid, true, m_mapScreen->kindScreen()->isGridShown());
    setState(menu, command::ToggleLink, true, m_mapScreen->isLinked());
    return menu;
}

void Application::loadMapCommand() {
    const std::string path = m_host.openFile(m_mapWindow.get(), mapFiles(m_mapPath));
    // A file that does not load leaves the current one current (for reloading and settings).
    if (!path.empty() && m_mapScreen->loadMap(path)) {
        m_mapPath = path;
    }
}

void Application::loadChipsCommand() {
    const std::string previous = m_chipPath;
    const std::string path = m_host.openFile(m_mapWindow.get(), imageFiles(m_chipPath));
    if (path.empty()) {
        return;
    }
    m_chipPath = path;
    if (!m_mapScreen->loadChipImage(path)) {
        m_host.messageBox(m_mapWindow.get(), "画像の読み込みに失敗しました", "画像読み込みエラー",
                          platform::MessageButtons::Ok, platform::MessageIcon::None);
        m_chipPath = previous;
    }
}

void Application::loadKindsCommand() {
    const std::string path = m_host.openFile(m_mapWindow.get(), kindFiles(m_kindPath));
    if (path.empty()) {
        return;
    }
    if (m_mapScreen->kindScreen()->loadFile(path)) {
        m_kindPath = path;
        m_mapScreen->redraw();
    }
}

// The file a save writes: the name chosen with the file kind's extension. The chooser asked
// about replacing the name as typed; when the extension makes it another name that exists, the
// user is asked about that one, and No goes back to the chooser.
std::string Application::chooseSavePath(const platform::FileRequest& chooser,
                                        const char* extension) {
    platform::FileRequest request = chooser;
    request.defaultSuffix = extension + 1;
    for (;;) {
        const std::string typed = m_host.saveFile(m_mapWindow.get(), request);
        if (typed.empty()) {
            return typed;
        }
        const std::string path = platform::forceExtension(typed, extension);
        struct stat st;
        if (path == typed || ::stat(path.c_str(), &st) != 0 ||
            m_host.messageBox(m_mapWindow.get(), path + " は既に存在します。\n上書きしますか？",
                              request.title, platform::MessageButtons::YesNo,
                              platform::MessageIcon::Warning) == platform::MessageAnswer::Yes) {
            return path;
        }
        request.initialPath = typed;
    }
}

void Application::saveMapCommand() {
    std::string path = chooseSavePath(mapFiles(m_mapSavePath), ".map");
    if (path.empty()) {
        return;
    }
    if (m_mapScreen->saveMap(path)) {
        m_mapPath = path;
    }
    m_mapSavePath = path;
}

void Application::saveKindsCommand() {
    std::string path = chooseSavePath(kindFiles(m_kindSavePath), ".knd");
    if (path.empty()) {
        return;
    }
    if (m_mapScreen->kindScreen()->table().saveFile(path)) {
        m_kindPath = path;
    }
    m_kindSavePath = path;
}

void Application::writeSettings() {
    const MapScreen& map = *m_mapScreen;
    EditorSettings s = m_settings;
    auto colours = [](WindowSettings& record, const CellGridScreen::Colours& c) {
        record.gridColour = c.grid;
        record.cursorColour = c.cursor;
        record.selectionFrameColour = c.selectionFrame;
        record.selectionFillColour = c.selectionFill;
    };
    s.map.path = map.isFileBacked() ? m_mapPath : std::string();
    s.map.windowWidth = map.windowSize().width;
    s.map.windowHeight = map.windowSize().height;
    s.map.scrollBars = map.areScrollBarsShown() ? 1 : 0;
    s.map.grid = map.isGridShown() ? 1 : 0;
    colours(s.map, map.colours());

    s.chip.chipWidth = map.chipSize().width;
    s.chip.chipHeight = map.chipSize().height;
    if (const ChipScreen* chip = map.chipScreen()) {
        s.chip.path = chip->isLoaded() ? m_chipPath : std::string();
        s.chip.windowWidth = chip->windowSize().width;
        s.chip.windowHeight = chip->windowSize().height;
        s.chip.scrollBars = chip->areScrollBarsShown() ? 1 : 0;
        s.chip.grid = chip->isGridShown() ? 1 : 0;
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
    if (m_ended || !m_mapScreen) {
        return;
    }
    m_ended = true;
    m_host.setIdleHandler(nullptr);
    writeSettings();
    m_mapScreen.reset();
    m_previewScreen.reset();
    m_playerDialog.reset();
    m_settingsSheet.reset();
    m_kindDialogs.reset();
    m_replaceDialog.reset();
    detachImageSystem();
    for (NativeWindow* window :
         {m_chipWindow.get(), m_kindWindow.get(), m_previewWindow.get(), m_ownerWindow.get()}) {
        if (window != nullptr) {
            window->destroy();
        }
    }
    m_host.quit(0);
}
