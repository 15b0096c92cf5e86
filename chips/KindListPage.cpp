#include "chips/KindListPage.h"

#include "chips/KindDialogState.h"
#include "chips/KindTable.h"
#include "platform/Texts.h"

using platform::ControlKind;
using platform::ControlSpec;

namespace {

std::string number(int n) {
    return std::to_string(n);
}

}  // namespace

KindListPage::KindListPage(KindDialogState& state) : m_state(state) {}

std::vector<std::string> KindListPage::rowCells(const KindTable& table, int n,
                                                const platform::Language& language) {
    if (!table.hasRecord(n)) {
        return {number(n), language.text(PELORIN_TEXT("(属性データなし)")), "", "", "", "", ""};
    }
    const KindRecord r = table.record(n);
    return {
        number(r.number),
        r.memoText(),
        language.formatText(PELORIN_TEXT("赤:%d 緑:%d 青:%d"), r.red, r.green, r.blue),
        language.text(r.passable != 0 ? PELORIN_TEXT("通行可能") : PELORIN_TEXT("通行不可")),
        language.text(r.dropThrough != 0 ? PELORIN_TEXT("段落可能") : PELORIN_TEXT("段落不可")),
        language.formatText(PELORIN_TEXT("左:%d 右:%d 上:%d 下:%d"), r.hitLeft, r.hitRight,
                            r.hitTop, r.hitBottom),
        number(r.z),
    };
}

platform::DialogTemplate KindListPage::dialogTemplate() const {
    platform::DialogTemplate t;
    t.title = PELORIN_TEXT("チップ属性設定");
    t.size = platform::Size{370, 404};
    ControlSpec list = ControlSpec::make(ControlKind::ListView, kListId, {}, {10, 10, 360, 360});
    list.columns = {{PELORIN_TEXT("属性番号"), 60}, {PELORIN_TEXT("属性メモ"), 130},
                    {PELORIN_TEXT("属性色"), 150},  {PELORIN_TEXT("通行状態"), 60},
                    {PELORIN_TEXT("段落状態"), 60}, {PELORIN_TEXT("当り判定矩形"), 150},
                    {PELORIN_TEXT("Z座標"), 60}};
    t.controls = {
        list,
        ControlSpec::make(ControlKind::Button, kEditId, PELORIN_TEXT("属性の編集"),
                          {240, 368, 360, 398}),
    };
    return t;
}

void KindListPage::onInit(platform::DialogControls& controls) {
    controls.clearItems(kListId);
    for (int i = 0; i < kRows; ++i) {
        controls.insertItem(kListId, i, rowCells(m_state.table(), i, m_state.host()));
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
    controls.insertItem(kListId, row, rowCells(m_state.table(), row, m_state.host()));
    controls.select(kListId, row);
}
