// The menu commands of the three windows with menus, and the state their items show.
#include <sys/stat.h>

#include "app/core/Application.h"
#include "app/core/Menus.h"
#include "app/core/SettingsSheet.h"
#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"
#include "map/MapScreen.h"
#include "map/ReplaceDialog.h"
#include "platform/Host.h"
#include "platform/NativeWindow.h"
#include "platform/Paths.h"
#include "platform/Texts.h"
#include "preview/PlayerRegistrationDialog.h"

using platform::NativeWindow;

namespace {

const char kConfirmTitle[] = PELORIN_TEXT("確認");
const char kChooserTitle[] = PELORIN_TEXT("ファイル選択");

platform::FileRequest mapFiles(const std::string& initial) {
    return {kChooserTitle, {{PELORIN_TEXT("MAP Files (*.map)"), "*.map"}}, initial, {}};
}
platform::FileRequest imageFiles(const std::string& initial) {
    return {kChooserTitle,
            {{PELORIN_TEXT("IMAGE Files (*.bmp,*.jpg,*.png)"), "*.bmp;*.jpg;*.png"}},
            initial,
            {}};
}
platform::FileRequest kindFiles(const std::string& initial) {
    return {kChooserTitle, {{PELORIN_TEXT("KIND Files (*.knd)"), "*.knd"}}, initial, {}};
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

}  // namespace

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
    const char* question = m_work->hasUnsavedWork()
                               ? PELORIN_TEXT("保存していない変更があります。終了しますか？")
                               : PELORIN_TEXT("終了しますか？");
    if (m_host.messageBox(m_mapWindow.get(), question, kConfirmTitle,
                          platform::MessageButtons::OkCancel,
                          platform::MessageIcon::Question) == platform::MessageAnswer::Ok) {
        m_mapWindow->destroy();
    }
}

// The map window's popup holds commands of both kinds: its editing and display commands are its
// router's, the rest are the shell's.
void Application::mapPopupCommand(int id) {
    if (!m_mapRouter.command(id)) {
        mapCommand(id);
    }
}

// The shell's commands of the map window: files, replace, settings, the player dialog, exit.
void Application::mapCommand(int id) {
    MapScreen& map = m_work->map();
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
            if (ask(PELORIN_TEXT(
                        "マップを新規作成します。作業中の内容は失われますが、よろしいですか？"),
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
            if (map.document().isFileBacked() &&
                ask(PELORIN_TEXT(
                        "マップの再読み込みをします。作業中の内容は失われますが、よろしいですか？"),
                    m_mapWindow.get())) {
                map.loadMap(m_mapPath);
                noteMapFile();
            }
            break;
        case command::Exit:
            closeMapWindow();
            break;
        case command::Replace:
            if (map.document().isFileBacked() && map.chipScreen() != nullptr &&
                map.chipScreen()->isLoaded()) {
                m_replaceDialog->run(m_host, m_mapWindow.get(), map.chipScreen()->chipCount());
            }
            break;
        case command::Settings:
            m_settingsSheet->run(m_host, m_mapWindow.get());
            break;
        case command::RegisterPlayer:
            m_playerDialog->run(m_mapWindow.get());
            break;
        case command::ClearRecent:
            m_recent.clear();
            recentChanged();
            break;
        default:
            if (id >= command::RecentMap && id < command::RecentMap + EditorSettings::kMaxRecent) {
                openRecent(id - command::RecentMap);
            }
            break;
    }
    workChanged();
    m_host.wakeIdle();
}

void Application::workChanged() {
    if (m_work) {  // gone when the command ended the editor
        m_work->map().updateTitle();
        m_recovery.poke();
    }
}

void Application::chipCommand(int id) {
    ChipScreen& chip = *m_work->chips();
    if (id == command::ChipGrid) {
        chip.toggleGrid();
        chip.refresh();
    } else if (id == command::ChipScrollBars && chip.isLoaded()) {
        chip.setScrollBarsVisible(!chip.areScrollBarsShown());
    } else if (chip.isLoaded()) {
        switch (id) {
            case command::ChipZoomIn:
                chip.setZoom(chip.zoom().in());
                break;
            case command::ChipZoomOut:
                chip.setZoom(chip.zoom().out());
                break;
            case command::ChipZoomOne:
                chip.setZoom(Zoom{});
                break;
            case command::ChipZoomFit:
                chip.setZoom(chip.fittingZoom());
                break;
            default:
                break;
        }
    }
    m_host.wakeIdle();
}

void Application::kindCommand(int id) {
    KindScreen& kind = *m_work->kinds();
    if (id == command::KindGrid) {
        kind.toggleGrid();
        kind.refresh();
    } else if (id == command::ToggleLink) {
        m_work->map().toggleLink();
    }
    m_host.wakeIdle();
}

void Application::setMapMenuState() {
    const MapScreen& map = m_work->map();
    const bool chips = map.chipScreen() != nullptr && map.chipScreen()->isLoaded();
    NativeWindow& w = *m_mapWindow;
    w.setMenuItemState(command::ToggleGrid, true, map.isGridShown());
    w.setMenuItemState(command::ToggleScrollBars, true, map.areScrollBarsShown());
    w.setMenuItemState(command::ToggleAttributeView, true, map.editLayer() == 1);
    w.setMenuItemState(command::SaveMap, map.hasSize(), false);
    w.setMenuItemState(command::ReloadMap, map.document().isFileBacked(), false);
    w.setMenuItemState(command::Paste, map.canPaste(), false);
    w.setMenuItemState(command::Replace, map.hasSize() && chips, false);
    w.setMenuItemState(command::Undo, map.document().canUndo(), false);
    w.setMenuItemState(command::Redo, map.document().canRedo(), false);
    w.setMenuItemState(command::Settings, true, false);
    w.setMenuItemState(command::RegisterPlayer, true, false);
    w.setMenuItemState(command::ClearRecent, !m_recent.empty(), false);
}

platform::Menu Application::mapPopupWithState() const {
    const MapScreen& map = m_work->map();
    platform::Menu menu = mapPopup();
    setState(menu, command::Paste, map.canPaste(), false);
    setState(menu, command::Undo, map.document().canUndo(), false);
    setState(menu, command::Redo, map.document().canRedo(), false);
    setState(menu, command::ToggleGrid, true, map.isGridShown());
    setState(menu, command::ToggleScrollBars, true, map.areScrollBarsShown());
    setState(menu, command::ToggleAttributeView, true, map.editLayer() == 1);
    return menu;
}

platform::Menu Application::chipPopupWithState() const {
    const ChipScreen& chip = *m_work->chips();
    platform::Menu menu = chipPopup();
    setState(menu, command::ChipGrid, true, chip.isGridShown());
    setState(menu, command::ChipScrollBars, true, chip.areScrollBarsShown());
    return menu;
}

platform::Menu Application::kindPopupWithState() const {
    platform::Menu menu = kindPopup();
    setState(menu, command::KindGrid, true, m_work->map().kindScreen()->isGridShown());
    setState(menu, command::ToggleLink, true, m_work->map().isLinked());
    return menu;
}

void Application::loadMapCommand() {
    const std::string path = m_host.openFile(m_mapWindow.get(), mapFiles(m_mapPath));
    if (!path.empty()) {
        openMap(path);
    }
}

void Application::loadChipsCommand() {
    const std::string path = m_host.openFile(m_mapWindow.get(), imageFiles(m_chipPath));
    if (!path.empty()) {
        openChips(path);
    }
}

void Application::loadKindsCommand() {
    const std::string path = m_host.openFile(m_mapWindow.get(), kindFiles(m_kindPath));
    if (!path.empty()) {
        openKinds(path);
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
            m_host.messageBox(
                m_mapWindow.get(),
                m_host.formatText(PELORIN_TEXT("%s は既に存在します。\n上書きしますか？"),
                                  path.c_str()),
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
    if (m_work->map().saveMap(path)) {
        m_mapPath = path;
        noteMapFile();
        rememberMap(path);
    }
    m_mapSavePath = path;
}

void Application::saveKindsCommand() {
    std::string path = chooseSavePath(kindFiles(m_kindSavePath), ".knd");
    if (path.empty()) {
        return;
    }
    const platform::Outcome<bool> saved = m_work->map().kindScreen()->table().save(path, m_host);
    platform::show(m_host, m_mapWindow.get(), saved.notices);
    if (saved.value) {
        m_kindPath = path;
    }
    m_kindSavePath = path;
}
