#include "app/core/Menus.h"

#include "platform/Texts.h"

using platform::MenuItem;

namespace {

// The four zoom items, after a separator, at the end of a menu; in (ZoomIn or ChipZoomIn) is
// the first of their four consecutive commands.
platform::Menu withZoom(platform::Menu menu, int in) {
    menu.push_back(MenuItem::separator());
    menu.push_back(MenuItem::command(in, PELORIN_TEXT("拡大(&I)　Ctrl++")));
    menu.push_back(MenuItem::command(in + 1, PELORIN_TEXT("縮小(&O)　Ctrl+-")));
    menu.push_back(MenuItem::command(in + 2, PELORIN_TEXT("等倍表示(&N)　Ctrl+0")));
    menu.push_back(MenuItem::command(in + 3, PELORIN_TEXT("全体表示(&F)")));
    return menu;
}

}  // namespace

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
    recent.push_back(MenuItem::command(command::ClearRecent, PELORIN_TEXT("一覧を消去")));
    return {
        MenuItem::submenu(
            PELORIN_TEXT("ファイル(&F)"),
            {
                MenuItem::command(command::LoadMap, PELORIN_TEXT("マップのロード(&M)")),
                MenuItem::command(command::LoadChips, PELORIN_TEXT("チップのロード(&C)")),
                MenuItem::command(command::LoadKinds, PELORIN_TEXT("属性のロード(&K)")),
                MenuItem::submenu(PELORIN_TEXT("最近使ったマップ(&F)"), std::move(recent)),
                MenuItem::separator(),
                MenuItem::command(command::NewMap, PELORIN_TEXT("マップの新規作成(&N)")),
                MenuItem::command(command::SaveMap, PELORIN_TEXT("マップの保存(&S)")),
                MenuItem::command(command::SaveKinds, PELORIN_TEXT("属性の保存(&Z)")),
                MenuItem::command(command::ReloadMap, PELORIN_TEXT("マップのリロード(&R)")),
                MenuItem::separator(),
                MenuItem::command(command::Exit, PELORIN_TEXT("終了(&X)")),
            }),
        MenuItem::submenu(
            PELORIN_TEXT("編集(&E)"),
            {
                MenuItem::command(command::Undo, PELORIN_TEXT("元に戻す(&Z)")),
                MenuItem::command(command::Redo, PELORIN_TEXT("やり直し(&Y)")),
                MenuItem::separator(),
                MenuItem::command(command::Copy, PELORIN_TEXT("コピー(&C)")),
                MenuItem::command(command::Paste, PELORIN_TEXT("貼り付け(&V)")),
                MenuItem::command(command::Replace, PELORIN_TEXT("置換(&I)")),
                MenuItem::separator(),
                MenuItem::command(command::Settings, PELORIN_TEXT("設定(&E)")),
                MenuItem::command(command::RegisterPlayer, PELORIN_TEXT("プレイヤー登録(&P)...")),
            }),
        MenuItem::submenu(
            PELORIN_TEXT("表示(&V)"),
            withZoom(
                {
                    MenuItem::command(command::ToggleGrid, PELORIN_TEXT("グリッドの表示(&G)")),
                    MenuItem::command(command::ToggleScrollBars,
                                      PELORIN_TEXT("スクロールバーの表示(&S)")),
                    MenuItem::command(command::ToggleAttributeView, PELORIN_TEXT("属性の表示(&D)")),
                },
                command::ZoomIn)),
    };
}

platform::Menu mapPopup() {
    return withZoom(
        {
            MenuItem::command(command::Copy, PELORIN_TEXT("コピー(&C)　Ctrl+C")),
            MenuItem::command(command::Paste, PELORIN_TEXT("貼り付け(&V)　Ctrl+V")),
            MenuItem::separator(),
            MenuItem::command(command::Undo, PELORIN_TEXT("元に戻す(&Z)　Ctrl+Z")),
            MenuItem::command(command::Redo, PELORIN_TEXT("やり直し(&Y)　Ctrl+Y")),
            MenuItem::separator(),
            MenuItem::command(command::DeleteRows, PELORIN_TEXT("行削除　Shift+Delete")),
            MenuItem::command(command::InsertRows, PELORIN_TEXT("行挿入　Shift+Insert")),
            MenuItem::command(command::DeleteColumns, PELORIN_TEXT("列削除　Ctrl+Delete")),
            MenuItem::command(command::InsertColumns, PELORIN_TEXT("列挿入　Ctrl+Insert")),
            MenuItem::separator(),
            MenuItem::command(command::ToggleGrid, PELORIN_TEXT("グリッドの表示(&G)　G")),
            MenuItem::command(command::ToggleScrollBars,
                              PELORIN_TEXT("スクロールバーの表示(&S)　S")),
            MenuItem::command(command::ToggleAttributeView, PELORIN_TEXT("属性の表示(&D)　D")),
        },
        command::ZoomIn);
}

platform::Menu chipPopup() {
    return withZoom(
        {
            MenuItem::command(command::ChipGrid, PELORIN_TEXT("グリッドの表示(&G)　G")),
            MenuItem::command(command::ChipScrollBars, PELORIN_TEXT("スクロールバーの表示(&S)　S")),
        },
        command::ChipZoomIn);
}

platform::Menu kindPopup() {
    return {
        MenuItem::command(command::KindGrid, PELORIN_TEXT("グリッドの表示(&G)　G")),
        MenuItem::command(command::ToggleLink, PELORIN_TEXT("メインウィンドウとの連結(&D)　D")),
    };
}
