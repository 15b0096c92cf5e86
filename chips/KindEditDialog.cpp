#include "chips/KindEditDialog.h"

#include <algorithm>
#include <string>

#include "chips/KindDialogState.h"
#include "chips/KindTable.h"
#include "platform/NativeWindow.h"
#include "platform/Texts.h"

using platform::ControlKind;
using platform::ControlSpec;
using platform::DialogNotification;

namespace {

constexpr std::uint32_t kChooserStart = 0xFF000000u;  // the chooser always opens on black
// A number the table has no record for shows, and starts, as the attribute window's empty grey.
constexpr std::uint8_t kNoRecordGrey = 0xBE;

ControlSpec label(const char* text, platform::Rect rect) {
    return ControlSpec::make(ControlKind::Label, 0, text, rect);
}

// A side of the hit rectangle: room for its name in other languages, against its field.
ControlSpec sideLabel(const char* text, platform::Rect rect) {
    ControlSpec c = label(text, rect);
    c.alignRight = true;
    return c;
}

ControlSpec group(const char* text, platform::Rect rect) {
    return ControlSpec::make(ControlKind::GroupBox, 0, text, rect);
}

KindRecord blankRecord(int number) {
    KindRecord record;
    record.number = number;
    record.setMemoText("属性未定義");
    record.red = record.green = record.blue = kNoRecordGrey;
    return record;
}

// The memo as the file will hold it: what code page 932 cannot say shows as "?", and a memo
// that fills its whole field loses its last character, so that the field shows what is saved.
std::string storableMemo(const KindRecord& record) {
    KindRecord stored;
    stored.setMemoText(record.memoText());
    return stored.memoText();
}

// The colour labels, "赤成分値：255".
const char kRedText[] = PELORIN_TEXT("赤成分値：%d");
const char kGreenText[] = PELORIN_TEXT("緑成分値：%d");
const char kBlueText[] = PELORIN_TEXT("青成分値：%d");

}  // namespace

KindEditDialog::KindEditDialog(KindDialogState& state) : m_state(state) {}

platform::DialogTemplate KindEditDialog::dialogTemplate() const {
    platform::DialogTemplate t;
    t.title = PELORIN_TEXT("チップ属性の設定");
    t.size = platform::Size{440, 316};
    ControlSpec memo = ControlSpec::make(ControlKind::Edit, kMemoId, {}, {22, 128, 418, 154});
    memo.maxBytes = kMemoBytes;
    ControlSpec ok = ControlSpec::make(ControlKind::Button, kOkId, "OK", {230, 272, 320, 302});
    ok.isDefault = true;
    // In the order the Tab key visits them.
    t.controls = {
        group(PELORIN_TEXT("当り判定"), {10, 10, 170, 100}),
        ControlSpec::make(ControlKind::CheckBox, kPassableId, PELORIN_TEXT("通行可能"),
                          {22, 34, 160, 58}),
        ControlSpec::make(ControlKind::CheckBox, kDropThroughId, PELORIN_TEXT("下りられる"),
                          {22, 64, 160, 88}),
        group(PELORIN_TEXT("当り判定矩形"), {180, 10, 430, 100}),
        sideLabel(PELORIN_TEXT("左"), {186, 34, 234, 58}),
        ControlSpec::spinEdit(kHitLeftId, kHitLeftUpDownId, {240, 32, 300, 60}),
        sideLabel(PELORIN_TEXT("右"), {306, 34, 354, 58}),
        ControlSpec::spinEdit(kHitRightId, kHitRightUpDownId, {360, 32, 420, 60}),
        sideLabel(PELORIN_TEXT("上"), {186, 68, 234, 92}),
        ControlSpec::spinEdit(kHitTopId, kHitTopUpDownId, {240, 66, 300, 94}),
        sideLabel(PELORIN_TEXT("下"), {306, 68, 354, 92}),
        ControlSpec::spinEdit(kHitBottomId, kHitBottomUpDownId, {360, 66, 420, 94}),
        group(PELORIN_TEXT("属性メモ"), {10, 108, 430, 164}),
        memo,
        group(PELORIN_TEXT("現在の属性色"), {10, 172, 430, 260}),
        ControlSpec::make(ControlKind::Swatch, kSwatchId, {}, {22, 194, 102, 248}),
        ControlSpec::make(ControlKind::Label, kRedId, m_state.host().formatText(kRedText, 0),
                          {116, 192, 280, 210}),
        ControlSpec::make(ControlKind::Label, kGreenId, m_state.host().formatText(kGreenText, 0),
                          {116, 212, 280, 230}),
        ControlSpec::make(ControlKind::Label, kBlueId, m_state.host().formatText(kBlueText, 0),
                          {116, 232, 280, 250}),
        ControlSpec::make(ControlKind::Button, kChooseColourId, PELORIN_TEXT("色の選択"),
                          {300, 204, 418, 236}),
        label(PELORIN_TEXT("Z位置"), {22, 276, 80, 298}),
        ControlSpec::spinEdit(kZId, kZUpDownId, {84, 272, 164, 300}),
        ok,
        ControlSpec::make(ControlKind::Button, kCancelId, PELORIN_TEXT("ｷｬﾝｾﾙ"),
                          {330, 272, 420, 302}),
    };
    return t;
}

std::vector<KindEditDialog::Field> KindEditDialog::fields() const {
    const platform::Size chip = m_state.chipSize();
    return {
        {kHitLeftUpDownId, &KindRecord::hitLeft, chip.width - 1},
        {kHitRightUpDownId, &KindRecord::hitRight, chip.width - 1},
        {kHitTopUpDownId, &KindRecord::hitTop, chip.height - 1},
        {kHitBottomUpDownId, &KindRecord::hitBottom, chip.height - 1},
        {kZUpDownId, &KindRecord::z, 255},
    };
}

void KindEditDialog::onInit(platform::DialogControls& controls) {
    const int number = m_state.number();
    const KindTable& table = m_state.table();
    m_buffer = table.hasRecord(number) ? table.record(number) : blankRecord(number);
    controls.window().setTitle(
        m_state.host().formatText(PELORIN_TEXT("チップ属性　%d番の設定"), m_buffer.number));
    controls.setText(kMemoId, storableMemo(m_buffer));
    controls.setChecked(kPassableId, m_buffer.passable != 0);
    controls.setChecked(kDropThroughId, m_buffer.dropThrough != 0);
    for (const Field& f : fields()) {
        controls.setRange(f.upDownId, 0, f.maximum);
        // A value from another chip size shows as the one OK would store.
        controls.setPosition(f.upDownId, std::clamp(m_buffer.*f.value, 0, f.maximum));
    }
    showColour(controls);
}

void KindEditDialog::onCommand(platform::DialogControls& controls,
                               const platform::DialogCommand& command) {
    if (command.code != DialogNotification::Clicked) {
        return;
    }
    switch (command.control) {
        case kChooseColourId:
            chooseColour(controls);
            break;
        case kOkId:
            store(controls);
            controls.end(platform::DialogResult::Ok);
            break;
        case kCancelId:
            controls.end(platform::DialogResult::Cancel);
            break;
        default:
            break;
    }
}

void KindEditDialog::showColour(platform::DialogControls& controls) {
    controls.setText(kRedId, m_state.host().formatText(kRedText, m_buffer.red));
    controls.setText(kGreenId, m_state.host().formatText(kGreenText, m_buffer.green));
    controls.setText(kBlueId, m_state.host().formatText(kBlueText, m_buffer.blue));
    controls.setColour(kSwatchId, 0xFF000000u | std::uint32_t(m_buffer.red) << 16 |
                                      std::uint32_t(m_buffer.green) << 8 | m_buffer.blue);
}

void KindEditDialog::chooseColour(platform::DialogControls& controls) {
    const auto chosen =
        m_state.host().chooseColour(&controls.window(), kChooserStart, m_state.customColours());
    if (!chosen) {
        return;
    }
    m_buffer.red = static_cast<std::uint8_t>(*chosen >> 16);
    m_buffer.green = static_cast<std::uint8_t>(*chosen >> 8);
    m_buffer.blue = static_cast<std::uint8_t>(*chosen);
    showColour(controls);
}

void KindEditDialog::store(platform::DialogControls& controls) {
    m_buffer.passable = controls.isChecked(kPassableId) ? 1 : 0;
    m_buffer.dropThrough = controls.isChecked(kDropThroughId) ? 1 : 0;
    for (const Field& f : fields()) {
        // Typed text beyond the range, or no number at all, is taken to the nearer end.
        m_buffer.*f.value = std::clamp(controls.position(f.upDownId).value, 0, f.maximum);
    }
    m_buffer.setMemoText(controls.text(kMemoId));

    KindTable& table = m_state.table();
    const int number = m_state.number();
    if (number < 0) {
        return;
    }
    if (!table.hasRecord(number)) {
        // A short table (from a file) grows to take the number; the numbers between start blank.
        std::vector<KindRecord> records = table.records();
        while (static_cast<int>(records.size()) < number) {
            records.push_back(blankRecord(static_cast<int>(records.size())));
        }
        records.push_back(m_buffer);
        table.assign(std::move(records));
        return;
    }
    table.setRecord(number, m_buffer);
}
