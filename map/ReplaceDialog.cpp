#include "map/ReplaceDialog.h"

#include <algorithm>
#include <utility>

#include "platform/Host.h"
#include "platform/Texts.h"

using platform::ControlKind;
using platform::ControlSpec;
using platform::DialogNotification;

namespace {

// The template is laid out in dialog units of its 9-point font, 1.5 pixels each way at 96 dpi.
// The Qt host's default font is about a third larger, so two pixels per unit keep the group
// captions and labels inside their frames.
constexpr int kPixelsPerUnit = 2;

platform::Rect units(int x, int y, int width, int height) {
    return platform::Rect{x * kPixelsPerUnit, y * kPixelsPerUnit, (x + width) * kPixelsPerUnit,
                          (y + height) * kPixelsPerUnit};
}

// The template's drop-down height (30) includes its open list; closed it is as high as the
// number fields. The lists open as long as their two entries need.
constexpr int kClosedListHeight = 14;

ControlSpec label(const char* text, platform::Rect rect) {
    return ControlSpec::make(ControlKind::Label, 0, text, rect);
}

ControlSpec kindList(int id, int x, int y) {
    return ControlSpec::make(ControlKind::ComboBox, id, {}, units(x, y, 48, kClosedListHeight));
}

// The number field (40 wide) and its up-down (10 wide, overlapping the field by one unit)
// become one control covering both.
ControlSpec numberField(int editId, int upDownId, int y) {
    return ControlSpec::spinEdit(editId, upDownId, units(36, y, 49, 14));
}

ControlSpec okButton() {
    ControlSpec ok = ControlSpec::make(ControlKind::Button, platform::Dialog::kOkId, "OK",
                                       units(8, 135, 50, 14));
    ok.isDefault = true;
    return ok;
}

}  // namespace

ReplaceDialog::ReplaceDialog(ReplaceFunction replace) : m_replace(std::move(replace)) {}

platform::DialogResult ReplaceDialog::run(platform::Host& host, platform::NativeWindow* owner,
                                          int chipCount) {
    setChipCount(chipCount);
    return host.runDialog(owner, *this);
}

platform::DialogTemplate ReplaceDialog::dialogTemplate() const {
    platform::DialogTemplate t;
    t.title = PELORIN_TEXT("チップの置換");
    t.size = platform::Size{135 * kPixelsPerUnit, 156 * kPixelsPerUnit};
    t.controls = {
        ControlSpec::make(ControlKind::GroupBox, 0, PELORIN_TEXT("置換したいチップの種別と番号"),
                          units(13, 5, 106, 55)),
        label(PELORIN_TEXT("種別"), units(19, 19, 15, 8)),
        kindList(kSourceKindId, 36, 18),
        label(PELORIN_TEXT("番号"), units(19, 39, 15, 8)),
        numberField(kSourceNumberId, kSourceUpDownId, 37),
        ControlSpec::make(ControlKind::GroupBox, 0, PELORIN_TEXT("置換した後のチップの種別と番号"),
                          units(13, 72, 108, 56)),
        label(PELORIN_TEXT("種別"), units(19, 86, 15, 8)),
        kindList(kTargetKindId, 36, 84),
        label(PELORIN_TEXT("番号"), units(19, 105, 15, 8)),
        numberField(kTargetNumberId, kTargetUpDownId, 103),
        okButton(),
        ControlSpec::make(ControlKind::Button, kCancelId, PELORIN_TEXT("ｷｬﾝｾﾙ"),
                          units(73, 135, 50, 14)),
    };
    return t;
}

void ReplaceDialog::onInit(platform::DialogControls& controls) {
    for (Group* group : {&m_source, &m_target}) {
        controls.clearItems(group->kindId);
        controls.addItem(group->kindId, PELORIN_TEXT("チップ"));
        controls.addItem(group->kindId, PELORIN_TEXT("属性"));
        setKind(controls, *group, kChipKind);
    }
}

void ReplaceDialog::onCommand(platform::DialogControls& controls,
                              const platform::DialogCommand& command) {
    if (command.code == DialogNotification::SelectionChanged) {
        Group* group = groupOfKind(command.control);
        const int kind = group != nullptr ? controls.selection(command.control) : -1;
        if (kind == kChipKind || kind == kAttributeKind) {
            setKind(controls, *group, kind);
        }
    } else if (command.code == DialogNotification::Changed) {
        // Text the up-down cannot take (not a number, or outside the range) leaves the number
        // at its last valid value, as the up-down's own position stays.
        if (Group* group = groupOfNumber(command.control)) {
            const platform::SpinPosition position = controls.position(command.control);
            if (position.valid) {
                group->number = position.value;
            }
        }
    } else if (command.code == DialogNotification::Clicked) {
        if (command.control == kOkId) {
            if (m_replace) {
                m_replace(m_source.number, m_target.number, m_source.kind, m_target.kind);
            }
            controls.end(platform::DialogResult::Ok);
        } else if (command.control == kCancelId) {
            controls.end(platform::DialogResult::Cancel);
        }
    }
}

ReplaceDialog::Group* ReplaceDialog::groupOfKind(int id) {
    return id == m_source.kindId ? &m_source : id == m_target.kindId ? &m_target : nullptr;
}

ReplaceDialog::Group* ReplaceDialog::groupOfNumber(int id) {
    return id == m_source.numberId ? &m_source : id == m_target.numberId ? &m_target : nullptr;
}

void ReplaceDialog::setKind(platform::DialogControls& controls, Group& group, int kind) {
    group.kind = kind;
    group.number = 0;
    controls.select(group.kindId, kind);
    controls.setRange(group.numberId, 0, highestNumber(kind));
    controls.setPosition(group.numberId, 0);
}

int ReplaceDialog::highestNumber(int kind) const {
    // Without chips the range still holds 0, so that it never turns upside down.
    return kind == kAttributeKind ? kAttributeCount - 1 : std::max(m_chipCount - 1, 0);
}
