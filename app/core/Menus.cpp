#include "app/core/Menus.h"

using platform::MenuItem;

platform::Menu mapMenuBar(const std::vector<std::string>& recentMaps) {
    platform::Menu recent;
    for (std::size_t i = 0; i < recentMaps.size() && i < 10; ++i) {
        recent.push_back(
            MenuItem::command(command::RecentMap + static_cast<int>(i),
                              "&" + std::to_string((i + 1) % 10) + " " + recentMaps[i]));
    }
    if (!recent.empty()) {
        recent.push_back(MenuItem::separator());
    }
    recent.push_back(MenuItem::command(command::ClearRecent, "一覧を消去"));
    return {
        MenuItem::submenu("ファイル(&F)",
                          {
                              MenuItem::command(command::LoadMap, "マップのロード(&M)"),
                              MenuItem::command(command::LoadChips, "チップのロード(&C)"),
                              MenuItem::command(command::LoadKinds, "属性のロード(&K)"),
                              MenuItem::submenu("最近使ったマップ(&F)", std::move(recent)),
                              MenuItem::separator(),
                              MenuItem::command(command::NewMap, "マップの新規作成(&N)"),
                              MenuItem::command(command::SaveMap, "マップの保存(&S)"),
                              MenuItem::command(command::SaveKinds, "属性の保存(&Z)"),
                              MenuItem::command(command::ReloadMap, "マップのリロード(&R)"),
                              MenuItem::separator(),
                              MenuItem::command(command::Exit, "終了(&X)"),
                          }),
        MenuItem::submenu("編集(&E)",
                          {
                              MenuItem::command(command::Undo, "元に戻す(&Z)"),
                              MenuItem::command(command::Redo, "やり直し(&Y)"),
                              MenuItem::separator(),
                              MenuItem::command(command::Copy, "コピー(&C)"),
                              MenuItem::command(command::Paste, "貼り付け(&V)"),
                              MenuItem::command(command::Replace, "置換(&I)"),
                              MenuItem::separator(),
                              MenuItem::command(command::Settings, "設定(&E)"),
                              MenuItem::command(command::RegisterPlayer, "プレイヤー登録(&P)..."),
                          }),
        MenuItem::submenu(
            "表示(&V)",
            {
                MenuItem::command(command::ToggleGrid, "グリッドの表示(&G)"),
                MenuItem::command(command::ToggleScrollBars, "スクロールバーの表示(&S)"),
                MenuItem::command(command::ToggleAttributeView, "属性の表示(&D)"),
                MenuItem::separator(),
                MenuItem::command(command::ZoomIn, "拡大(&I)　Ctrl++"),
                MenuItem::command(command::ZoomOut, "縮小(&O)　Ctrl+-"),
                MenuItem::command(command::ZoomOne, "等倍表示(&N)　Ctrl+0"),
                MenuItem::command(command::ZoomFit, "全体表示(&F)"),
            }),
    };
}

platform::Menu mapPopup() {
    return {
        MenuItem::command(command::Copy, "コピー(&C)　Ctrl+C"),
        MenuItem::command(command::Paste, "貼り付け(&V)　Ctrl+V"),
        MenuItem::separator(),
        MenuItem::command(command::Undo, "元に戻す(&Z)　Ctrl+Z"),
        MenuItem::command(command::Redo, "やり直し(&Y)　Ctrl+Y"),
        MenuItem::separator(),
        MenuItem::command(command::DeleteRows, "行削除　Shift+Delete"),
        MenuItem::command(command::InsertRows, "行挿入　Shift+Insert"),
        MenuItem::command(command::DeleteColumns, "列削除　Ctrl+Delete"),
        MenuItem::command(command::InsertColumns, "列挿入　Ctrl+Insert"),
        MenuItem::separator(),
        MenuItem::command(command::ToggleGrid, "グリッドの表示(&G)　G"),
        MenuItem::command(command::ToggleScrollBars, "スクロールバーの表示(&S)　S"),
        MenuItem::command(command::ToggleAttributeView, "属性の表示(&D)　D"),
        MenuItem::separator(),
        MenuItem::command(command::ZoomIn, "拡大(&I)　Ctrl++"),
        MenuItem::command(command::ZoomOut, "縮小(&O)　Ctrl+-"),
        MenuItem::command(command::ZoomOne, "等倍表示(&N)　Ctrl+0"),
        MenuItem::command(command::ZoomFit, "全体表示(&F)"),
    };
}

platform::Menu chipPopup() {
    return {
        MenuItem::command(command::ChipGrid, "グリッドの表示(&G)　G"),
        MenuItem::command(command::ChipScrollBars, "スクロールバーの表示(&S)　S"),
        MenuItem::separator(),
        MenuItem::command(command::ChipZoomIn, "拡大(&I)　Ctrl++"),
        MenuItem::command(command::ChipZoomOut, "縮小(&O)　Ctrl+-"),
        MenuItem::command(command::ChipZoomOne, "等倍表示(&N)　Ctrl+0"),
        MenuItem::command(command::ChipZoomFit, "全体表示(&F)"),
    };
}

platform::Menu kindPopup() {
    return {
        MenuItem::command(command::KindGrid, "グリッドの表示(&G)　G"),
        MenuItem::command(command::ToggleLink, "メインウィンドウとの連結(&D)　D"),
    };
}
