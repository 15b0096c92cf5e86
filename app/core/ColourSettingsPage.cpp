#include "app/core/ColourSettingsPage.h"

#include <algorithm>

#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"
#include "map/MapScreen.h"
#include "platform/Texts.h"

using platform::ControlKind;
using platform::ControlSpec;

namespace {

// Ids of the groups and labels, which the page hides for the attribute window.
constexpr int kGroupBoxIds = 2100;  // + group
constexpr int kLabelIds = 2110;     // + group × 4 + channel

constexpr int kShift[] = {16, 8, 0, 24};  // red, green, blue, alpha in 0xAARRGGBB
const char* const kGroupTitles[] = {PELORIN_TEXT("グリッド色"), PELORIN_TEXT("カーソル色"),
                                    PELORIN_TEXT("複数カーソル色"), PELORIN_TEXT("複数選択色")};
const char* const kChannelNames[] = {PELORIN_TEXT("赤"), PELORIN_TEXT("緑"), PELORIN_TEXT("青"),
                                     PELORIN_TEXT("不透明度")};

int groupCount(int window) {
    return window == ColourSettingsPage::kKindWindow ? 2 : ColourSettingsPage::kGroupCount;
}

std::array<std::uint32_t, 4> toArray(const CellGridScreen::Colours& c) {
    return {c.grid, c.cursor, c.selectionFrame, c.selectionFill};
}

CellGridScreen::Colours fromArray(const std::array<std::uint32_t, 4>& c) {
    return {c[0], c[1], c[2], c[3]};
}

}  // namespace

ColourSettingsPage::ColourSettingsPage(MapScreen& map) : m_map(map) {}

platform::DialogTemplate ColourSettingsPage::dialogTemplate() const {
    platform::DialogTemplate t;
    t.title = PELORIN_TEXT("色設定");
    t.size = platform::Size{370, 404};
    t.controls = {
        ControlSpec::make(ControlKind::Label, 0, PELORIN_TEXT("ウィンドウ種別"), {24, 16, 134, 40}),
        ControlSpec::make(ControlKind::ComboBox, kWindowKindId, {}, {140, 14, 346, 42}),
    };
    for (int g = 0; g < kGroupCount; ++g) {
        const int top = 52 + g * 88;
        t.controls.push_back(ControlSpec::make(ControlKind::GroupBox, kGroupBoxIds + g,
                                               kGroupTitles[g], {10, top, 360, top + 84}));
        for (int c = 0; c < kChannelCount; ++c) {
            const int x = c % 2 == 0 ? 24 : 190;
            const int y = top + (c < 2 ? 20 : 52);
            t.controls.push_back(ControlSpec::make(ControlKind::Label, kLabelIds + g * 4 + c,
                                                   kChannelNames[c], {x, y + 2, x + 62, y + 26}));
            t.controls.push_back(ControlSpec::spinEdit(kEditIds[g][c], kUpDownIds[g][c],
                                                       {x + 66, y, x + 146, y + 28}));
        }
    }
    return t;
}

void ColourSettingsPage::onInit(platform::DialogControls& controls) {
    m_quiet = true;
    m_colours[kMapWindow] = toArray(m_map.colours());
    if (const ChipScreen* chip = m_map.chipScreen()) {
        m_colours[kChipWindow] = toArray(chip->colours());
    }
    if (const KindScreen* kind = m_map.kindScreen()) {
        m_colours[kKindWindow] = {kind->colours().grid, kind->colours().cursor, 0, 0};
    }
    controls.clearItems(kWindowKindId);
    for (const char* name : {PELORIN_TEXT("マップウィンドウ"), PELORIN_TEXT("チップウィンドウ"),
                             PELORIN_TEXT("属性ウィンドウ")}) {
        controls.addItem(kWindowKindId, name);
    }
    for (const auto& group : kUpDownIds) {
        for (int id : group) {
            controls.setRange(id, 0, 255);
        }
    }
    show(controls, kMapWindow);
    m_quiet = false;
}

void ColourSettingsPage::show(platform::DialogControls& controls, int window) {
    const bool quiet = m_quiet;
    m_quiet = true;
    m_shown = window;
    controls.select(kWindowKindId, window);
    for (int g = 0; g < kGroupCount; ++g) {
        const bool shown = g < groupCount(window);
        controls.setShown(kGroupBoxIds + g, shown);
        for (int c = 0; c < kChannelCount; ++c) {
            controls.setShown(kLabelIds + g * 4 + c, shown);
            controls.setShown(kEditIds[g][c], shown);
            if (shown) {
                controls.setPosition(kUpDownIds[g][c], (m_colours[window][g] >> kShift[c]) & 0xFFu);
            }
        }
    }
    m_quiet = quiet;
}

void ColourSettingsPage::onCommand(platform::DialogControls& controls,
                                   const platform::DialogCommand& command) {
    if (command.control == kWindowKindId &&
        command.code == platform::DialogNotification::SelectionChanged) {
        const int chosen = controls.selection(kWindowKindId);
        if (chosen >= 0 && chosen < kWindowCount) {
            show(controls, chosen);
        }
        return;
    }
    if (command.code != platform::DialogNotification::Changed || m_quiet) {
        return;
    }
    for (int g = 0; g < groupCount(m_shown); ++g) {
        for (int c = 0; c < kChannelCount; ++c) {
            if (command.control == kEditIds[g][c]) {
                // Typed beyond 0 … 255 (or no number): the nearer end, never a wrapped byte.
                const int value = std::clamp(controls.position(kUpDownIds[g][c]).value, 0, 255);
                std::uint32_t& colour = m_colours[m_shown][g];
                colour = (colour & ~(0xFFu << kShift[c])) | static_cast<std::uint32_t>(value)
                                                                << kShift[c];
            }
        }
    }
}

bool ColourSettingsPage::onApply(platform::DialogControls&) {
    m_map.setColours(fromArray(m_colours[kMapWindow]));
    if (ChipScreen* chip = m_map.chipScreen()) {
        chip->setColours(fromArray(m_colours[kChipWindow]));
    }
    if (KindScreen* kind = m_map.kindScreen()) {
        kind->setColours({m_colours[kKindWindow][kGrid], m_colours[kKindWindow][kCursor]});
    }
    return true;
}
