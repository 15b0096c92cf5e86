#pragma once

#include <string>
#include <vector>

#include "platform/Menu.h"

// The command ids of the map window's menu bar and of the three windows' popup menus.
namespace command {
enum : int {
    LoadMap = 40001,
    LoadChips = 40002,
    NewMap = 40003,
    SaveMap = 40004,
    Exit = 40005,
    Undo = 40006,
    Redo = 40007,
    Replace = 40008,
    Settings = 40009,
    ReloadMap = 40012,
    Copy = 40014,
    Paste = 40015,
    ToggleGrid = 40017,
    ToggleScrollBars = 40018,
    ChipGrid = 40019,
    ChipScrollBars = 40020,
    KindGrid = 40021,
    ToggleLink = 40023,
    LoadKinds = 40025,
    SaveKinds = 40026,
    ToggleAttributeView = 40027,
    RegisterPlayer = 40028,
    DeleteRows = 40033,
    InsertRows = 40034,
    DeleteColumns = 40035,
    DeleteRowsAndColumns = 40037,
    InsertRowsAndColumns = 40038,
    InsertColumns = 40039,
    ZoomIn = 40050,
    ZoomOut = 40051,
    ZoomOne = 40052,
    ZoomFit = 40053,
    ChipZoomIn = 40054,
    ChipZoomOut = 40055,
    ChipZoomOne = 40056,
    ChipZoomFit = 40057,
    RecentMap = 40100,  // … + 9: the recent maps, newest first
    ClearRecent = 40120,
};
}  // namespace command

// The map window's menu bar, with the recent maps (newest first) in the file menu.
platform::Menu mapMenuBar(const std::vector<std::string>& recentMaps = {});
// The popups of the map, chip and attribute windows ("マップポップアップ", "チップポップアップ",
// "属性ポップアップ"), with their keys written into the texts.
platform::Menu mapPopup();
platform::Menu chipPopup();
platform::Menu kindPopup();
