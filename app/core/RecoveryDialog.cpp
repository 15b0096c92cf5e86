#include "app/core/RecoveryDialog.h"

#include "app/core/RecoveredWork.h"
#include "platform/Texts.h"

using platform::ControlKind;
using platform::ControlSpec;
using platform::Rect;

platform::DialogTemplate RecoveryDialog::dialogTemplate() const {
    ControlSpec list =
        ControlSpec::make(ControlKind::ListView, kListId, {}, Rect{12, 36, 628, 150});
    list.columns = {{PELORIN_TEXT("項目"), 80},
                    {PELORIN_TEXT("元のファイル"), 256},
                    {PELORIN_TEXT("内容"), 90},
                    {PELORIN_TEXT("最後の記録"), 180}};
    ControlSpec restore = ControlSpec::make(ControlKind::Button, kRestoreId, PELORIN_TEXT("復元"),
                                            Rect{352, 240, 440, 268});
    ControlSpec later = ControlSpec::make(ControlKind::Button, kLaterId, PELORIN_TEXT("後で"),
                                          Rect{544, 240, 632, 268});
    (m_work.restoreFailed ? later : restore).isDefault = true;
    return {PELORIN_TEXT("作業の復元"),
            platform::Size{640, 280},
            {
                ControlSpec::make(ControlKind::Label, 0,
                                  PELORIN_TEXT("保存されないまま終わった作業があります。"),
                                  Rect{12, 10, 628, 30}),
                list,
                ControlSpec::make(ControlKind::Label, kNoteId, {}, Rect{12, 158, 628, 232}),
                restore,
                ControlSpec::make(ControlKind::Button, kDiscardId, PELORIN_TEXT("破棄"),
                                  Rect{448, 240, 536, 268}),
                later,
            }};
}

std::vector<std::vector<std::string>> RecoveryDialog::rows() const {
    using recovery::timeText;
    std::vector<std::vector<std::string>> rows;
    if (m_work.hasMap()) {
        const MapGrid& grid = m_work.map.grid;
        rows.push_back({m_language.text(PELORIN_TEXT("マップ")),
                        m_work.map.path.empty() ? m_language.text(PELORIN_TEXT("新規マップ"))
                                                : m_work.map.path,
                        std::to_string(grid.columns()) + "×" + std::to_string(grid.rows()),
                        timeText(m_work.map.timeMs)});
    }
    if (m_work.hasKinds()) {
        rows.push_back({m_language.text(PELORIN_TEXT("チップ属性")),
                        m_work.kinds.path.empty() ? m_language.text(PELORIN_TEXT("(ファイルなし)"))
                                                  : m_work.kinds.path,
                        m_language.formatText(PELORIN_TEXT("%zu件"), m_work.kinds.records.size()),
                        timeText(m_work.kinds.timeMs)});
    }
    if (m_work.hasPlayer()) {
        rows.push_back({m_language.text(PELORIN_TEXT("プレイヤー")), "",
                        m_language.formatText(PELORIN_TEXT("%dフレーム"), m_work.player.frames),
                        timeText(m_work.player.timeMs)});
    }
    return rows;
}

std::string RecoveryDialog::note() const {
    std::string note;
    auto line = [&note](const std::string& text) { note += (note.empty() ? "" : "\n") + text; };
    const char* const changed =
        PELORIN_TEXT("※ 元のファイルがこの記録のあとで変更されています: %s");
    if (m_work.restoreFailed) {
        line(m_language.text(PELORIN_TEXT("※ 前回、この作業の復元は完了しませんでした。")));
    }
    if (m_work.hasMap() && m_work.map.fileChanged()) {
        line(m_language.formatText(changed, m_work.map.path.c_str()));
    }
    if (m_work.hasKinds() && !m_work.kinds.path.empty() &&
        platform::FileStamp::of(m_work.kinds.path) != m_work.kinds.stamp) {
        line(m_language.formatText(changed, m_work.kinds.path.c_str()));
    }
    for (const std::string& problem : m_work.problems) {
        line(
            m_language.formatText(PELORIN_TEXT("※ 読めない記録がありました: %s"), problem.c_str()));
    }
    return note;
}

void RecoveryDialog::onInit(platform::DialogControls& controls) {
    for (const std::vector<std::string>& row : rows()) {
        controls.insertItem(kListId, -1, row);
    }
    controls.setText(kNoteId, note());
    controls.setEnabled(kRestoreId, m_work.hasMap() || m_work.hasKinds() || m_work.hasPlayer());
}

void RecoveryDialog::onCommand(platform::DialogControls& controls,
                               const platform::DialogCommand& command) {
    if (command.code != platform::DialogNotification::Clicked) {
        return;
    }
    switch (command.control) {
        case kRestoreId:
            if (!controls.isEnabled(kRestoreId)) {
                return;  // Enter presses the default button even while it is disabled
            }
            m_choice = Choice::Restore;
            controls.end(platform::DialogResult::Ok);
            break;
        case kDiscardId:
            m_choice = Choice::Discard;
            controls.end(platform::DialogResult::Ok);
            break;
        case kLaterId:
            m_choice = Choice::Later;
            controls.end(platform::DialogResult::Cancel);
            break;
        default:
            break;
    }
}
