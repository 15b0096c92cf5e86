#include "preview/FrameNameDialog.h"

#include "platform/Texts.h"
#include "preview/PlayerFrame.h"

using platform::ControlKind;
using platform::ControlSpec;
using platform::Rect;

platform::DialogTemplate FrameNameDialog::dialogTemplate() const {
    ControlSpec ok = ControlSpec::make(ControlKind::Button, kOkId, "OK", Rect{188, 64, 272, 92});
    ok.isDefault = true;
    return {
        PELORIN_TEXT("名前の変更"),
        platform::Size{372, 104},
        {
            ControlSpec::make(ControlKind::Label, 0, PELORIN_TEXT("表示名"), Rect{12, 18, 64, 38}),
            ControlSpec::make(ControlKind::Edit, kNameId, {}, Rect{68, 14, 360, 40}),
            ok,
            ControlSpec::make(ControlKind::Button, kCancelId, PELORIN_TEXT("キャンセル"),
                              Rect{280, 64, 364, 92}),
        }};
}

void FrameNameDialog::onInit(platform::DialogControls& controls) {
    controls.setText(kNameId, m_frame.displayName);
    controls.setEnabled(kOkId, !m_frame.displayName.empty());
}

void FrameNameDialog::onCommand(platform::DialogControls& controls,
                                const platform::DialogCommand& command) {
    const bool clicked = command.code == platform::DialogNotification::Clicked;
    if (clicked && command.control == kOkId) {
        // Enter presses OK even while it is disabled.
        if (!controls.text(kNameId).empty()) {
            m_frame.displayName = controls.text(kNameId);
            controls.end(platform::DialogResult::Ok);
        }
    } else if (clicked && command.control == kCancelId) {
        controls.end(platform::DialogResult::Cancel);
    } else {
        controls.setEnabled(kOkId, !controls.text(kNameId).empty());
    }
}
