#include "chips/KindListPage.h"

#include "chips/KindDialogState.h"
#include "chips/KindTable.h"

using platform::ControlKind;
using platform::ControlSpec;

namespace {

std::string number(int n) {
    return std::to_string(n);
}

}  // namespace

KindListPage::KindListPage(KindDialogState& state) : m_state(state) {}

std::vector<std::string> KindListPage::rowCells(const KindTable& table, int n) {
    if (!table.hasRecord(n)) {
        return {number(n), "(属性データなし)", "", "", "", "", ""};
    }
    const KindRecord r = table.record(n);
    return {
        number(r.number),
        r.memoText(),
        "赤:" + number(r.red) + " 緑:" + number(r.green) + " 青:" + number(r.blue),
        r.passable != 0 ? "通行可能" : "通行不可",
        r.dropThrough != 0 ? "段落可能" : "段落不可",
        "左:" + number(r.hitLeft) + " 右:" + number(r.hitRight) + " 上:" + number(r.hitTop) +
            " 下:" + number(r.hitBottom),
        number(r.z),
    };
}

platform::DialogTemplate KindListPage::dialogTemplate() const {
    platform::DialogTemplate t;
    t.title = "チップ属性設定";
    t.size = platform::Size{370, 404};
    ControlSpec list = ControlSpec::make(ControlKind::ListView, kListId, {}, {10, 10, 360, 360});
    list.columns = {{"属性番号", 60}, {"属性メモ", 130},     {"属性色", 150}, {"通行状態", 60},
                    {"段落状態", 60}, {"当り判定矩形", 150}, {"Z座標", 60}};
    t.controls = {
        list,
        ControlSpec::make(ControlKind::Button, kEditId, "属性の編集", {240, 368, 360, 398}),
    };
    return t;
}

void KindListPage::onInit(platform::DialogControls& controls) {
    controls.clearItems(kListId);
    for (int i = 0; i < kRows; ++i) {
        controls.insertItem(kListId, i, rowCells(m_state.table(), i));
    }
}

void KindListPage::onCommand(platform::DialogControls& controls,
                             const platform::DialogCommand& command) {
    // Only the button: the list's own notifications (double-click among them) do nothing.
    if (command.control != kEditId || command.code != platform::DialogNotification::Clicked) {
        return;
    }
    const int row = controls.selection(kListId);
    if (row < 0) {
        return;
    }
    m_state.edit(&controls.window(), row);
    // Rebuilt whatever the dialog's answer, and still the selected row.
    controls.deleteItem(kListId, row);
    controls.insertItem(kListId, row, rowCells(m_state.table(), row));
    controls.select(kListId, row);
}
