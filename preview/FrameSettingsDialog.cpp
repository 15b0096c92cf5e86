#include "preview/FrameSettingsDialog.h"

#include <type_traits>

#include "gfx/CNxSurface.h"
#include "platform/NativeWindow.h"
#include "platform/Texts.h"
#include "preview/PreviewScreen.h"

using platform::ControlKind;
using platform::ControlSpec;
using platform::DialogNotification;
using platform::Rect;

const int FrameSettingsDialog::kRectIds[1 + PlayerFrame::kExtraRectCount][4] = {
    {1110, 1111, 1112, 1113}, {1119, 1120, 1122, 1124}, {1127, 1128, 1130, 1132},
    {1137, 1138, 1140, 1142}, {1145, 1146, 1148, 1150},
};

namespace {

// The up-downs beside the edits of kRectIds.
const int kRectUpDownIds[1 + PlayerFrame::kExtraRectCount][4] = {
    {1114, 1115, 1116, 1117}, {1118, 1121, 1123, 1125}, {1126, 1129, 1131, 1133},
    {1136, 1139, 1141, 1143}, {1144, 1147, 1149, 1151},
};

const char* const kRectCaptions[1 + PlayerFrame::kExtraRectCount] = {
    PELORIN_TEXT("表示範囲"),  PELORIN_TEXT("追加矩形1"), PELORIN_TEXT("追加矩形2"),
    PELORIN_TEXT("追加矩形3"), PELORIN_TEXT("追加矩形4"),
};

// left, right, top, bottom as the dialog orders them.
std::int32_t* side(platform::Rect& r, int i) {
    std::int32_t* sides[4] = {&r.left, &r.right, &r.top, &r.bottom};
    return sides[i];
}

ControlSpec label(const char* text, Rect rect) {
    return ControlSpec::make(ControlKind::Label, 0, text, rect);
}

ControlSpec button(int id, const char* text, Rect rect) {
    return ControlSpec::make(ControlKind::Button, id, text, rect);
}

void addRectGroup(std::vector<ControlSpec>& controls, int group, int x, int y) {
    static const char* const kSides[4] = {PELORIN_TEXT("左"), PELORIN_TEXT("右"),
                                          PELORIN_TEXT("上"), PELORIN_TEXT("下")};
    controls.push_back(ControlSpec::make(ControlKind::GroupBox, 0, kRectCaptions[group],
                                         Rect{x, y, x + 252, y + 84}));
    for (int i = 0; i < 4; ++i) {
        const int left = x + 10 + (i % 2) * 120;
        const int top = y + 22 + (i / 2) * 30;
        // Room for the side's name in other languages, against its field.
        ControlSpec side = label(kSides[i], Rect{left - 6, top + 4, left + 40, top + 24});
        side.alignRight = true;
        controls.push_back(side);
        controls.push_back(ControlSpec::spinEdit(FrameSettingsDialog::kRectIds[group][i],
                                                 kRectUpDownIds[group][i],
                                                 Rect{left + 46, top, left + 112, top + 26}));
    }
}

}  // namespace

FrameSettingsDialog::FrameSettingsDialog(PlayerFrame& frame, PreviewScreen& preview)
    : m_frame(frame), m_preview(preview) {}

platform::DialogTemplate FrameSettingsDialog::dialogTemplate() const {
    platform::DialogTemplate t;
    t.title = PELORIN_TEXT("フレームの設定");
    t.size = platform::Size{540, 400};
    t.controls = {
        label(PELORIN_TEXT("表示時間 (ms)"), Rect{12, 16, 116, 36}),
        ControlSpec::spinEdit(kDisplayTimeId, 1135, Rect{120, 12, 220, 38}),
        label(PELORIN_TEXT("α値"), Rect{288, 16, 330, 36}),
        ControlSpec::spinEdit(kAlphaId, 1155, Rect{334, 12, 424, 38}),
    };
    addRectGroup(t.controls, 0, 12, 50);
    addRectGroup(t.controls, 1, 276, 50);
    addRectGroup(t.controls, 2, 12, 144);
    addRectGroup(t.controls, 3, 276, 144);
    addRectGroup(t.controls, 4, 12, 238);
    t.controls.push_back(ControlSpec::make(ControlKind::CheckBox, kDrawOptionId,
                                           PELORIN_TEXT("画像のαチャンネルで描画"),
                                           Rect{288, 250, 528, 274}));
    t.controls.push_back(
        button(kShowPreviewId, PELORIN_TEXT("プレビューを前面へ"), Rect{288, 286, 528, 314}));
    ControlSpec ok = button(kOkId, "OK", Rect{252, 358, 336, 386});
    ok.isDefault = true;
    t.controls.push_back(ok);
    t.controls.push_back(button(kCancelId, PELORIN_TEXT("キャンセル"), Rect{344, 358, 428, 386}));
    t.controls.push_back(button(kApplyId, PELORIN_TEXT("適用"), Rect{436, 358, 520, 386}));
    return t;
}

void FrameSettingsDialog::onInit(platform::DialogControls& controls) {
    m_initialised = false;
    const std::int32_t width = m_frame.image ? m_frame.image->GetWidth() : 1;
    const std::int32_t height = m_frame.image ? m_frame.image->GetHeight() : 1;
    controls.setRange(kDisplayTimeId, 0, static_cast<int>(PlayerFrame::kMaxDisplayTime));
    controls.setPosition(kDisplayTimeId, static_cast<int>(m_frame.displayTime));
    for (int group = 0; group <= PlayerFrame::kExtraRectCount; ++group) {
        platform::Rect& r = group == 0 ? m_frame.sourceRect : m_frame.extraRects[group - 1];
        for (int i = 0; i < 4; ++i) {
            const int id = kRectIds[group][i];
            controls.setRange(id, 0, (i < 2 ? width : height) - 1);
            controls.setPosition(id, *side(r, i));
        }
    }
    controls.setRange(kAlphaId, 0, 255);
    controls.setPosition(kAlphaId, m_frame.alpha);
    controls.setChecked(kDrawOptionId, m_frame.drawOption);
    save();
    m_preview.ShowSingleFrame(m_frame, true);
    m_initialised = true;
}

void FrameSettingsDialog::onCommand(platform::DialogControls& controls,
                                    const platform::DialogCommand& command) {
    if (!m_initialised) {
        return;
    }
    if (command.code == DialogNotification::Clicked) {
        switch (command.control) {
            case kOkId:
                readAll(controls);
                m_initialised = false;
                controls.end(platform::DialogResult::Ok);
                m_preview.ShowSingleFrame(m_frame, false);
                return;
            case kApplyId:
                readAll(controls);
                save();
                m_preview.UpdateSingleFrame(m_frame);
                return;
            case kCancelId:
                restore();
                m_initialised = false;
                controls.end(platform::DialogResult::Cancel);
                m_preview.ShowSingleFrame(m_frame, false);
                return;
            case kShowPreviewId:
                if (m_preview.GetWindow() != nullptr) {
                    m_preview.GetWindow()->bringToFront();
                }
                return;
            default:
                break;
        }
    }
    // The live part: the source rectangle, alpha and draw option as they are edited. Text the
    // up-down cannot take leaves the value as it was.
    bool changed = false;
    if (command.code == DialogNotification::Changed) {
        const platform::SpinPosition p = controls.position(command.control);
        for (int i = 0; i < 4 && p.valid; ++i) {
            if (command.control == kRectIds[0][i] && *side(m_frame.sourceRect, i) != p.value) {
                *side(m_frame.sourceRect, i) = p.value;
                changed = true;
            }
        }
        if (command.control == kAlphaId && p.valid && m_frame.alpha != p.value) {
            m_frame.alpha = static_cast<std::uint8_t>(p.value);
            changed = true;
        }
    }
    if (controls.isChecked(kDrawOptionId) != m_frame.drawOption) {
        m_frame.drawOption = controls.isChecked(kDrawOptionId);
        changed = true;
    }
    if (changed) {
        m_preview.UpdateSingleFrame(m_frame);
    }
}

void FrameSettingsDialog::readAll(platform::DialogControls& controls) {
    auto read = [&](int id, auto& value) {
        const platform::SpinPosition p = controls.position(id);
        if (p.valid) {
            value = static_cast<std::remove_reference_t<decltype(value)>>(p.value);
        }
    };
    read(kDisplayTimeId, m_frame.displayTime);
    for (int group = 0; group <= PlayerFrame::kExtraRectCount; ++group) {
        platform::Rect& r = group == 0 ? m_frame.sourceRect : m_frame.extraRects[group - 1];
        for (int i = 0; i < 4; ++i) {
            read(kRectIds[group][i], *side(r, i));
        }
    }
    read(kAlphaId, m_frame.alpha);
    m_frame.drawOption = controls.isChecked(kDrawOptionId);
}

void FrameSettingsDialog::save() {
    m_savedSourceRect = m_frame.sourceRect;
    m_savedAlpha = m_frame.alpha;
    m_savedDrawOption = m_frame.drawOption;
}

void FrameSettingsDialog::restore() {
    m_frame.sourceRect = m_savedSourceRect;
    m_frame.alpha = m_savedAlpha;
    m_frame.drawOption = m_savedDrawOption;
}
