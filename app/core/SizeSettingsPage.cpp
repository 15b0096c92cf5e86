#include "app/core/SizeSettingsPage.h"

#include "chips/ChipScreen.h"
#include "map/MapGrid.h"
#include "map/MapScreen.h"
#include "platform/Texts.h"

using platform::ControlKind;
using platform::ControlSpec;

namespace {

ControlSpec label(const char* text, int y) {
    return ControlSpec::make(ControlKind::Label, 0, text, {24, y + 2, 134, y + 26});
}

ControlSpec field(int editId, int upDownId, int y) {
    return ControlSpec::spinEdit(editId, upDownId, {140, y, 240, y + 28});
}

}  // namespace

SizeSettingsPage::SizeSettingsPage(MapScreen& map) : m_map(map) {}

platform::DialogTemplate SizeSettingsPage::dialogTemplate() const {
    platform::DialogTemplate t;
    t.title = PELORIN_TEXT("サイズ変更");
    t.size = platform::Size{370, 404};
    t.controls = {
        ControlSpec::make(ControlKind::GroupBox, 0, PELORIN_TEXT("キャンバスサイズ設定"),
                          {10, 10, 360, 102}),
        label(PELORIN_TEXT("横チップ数"), 32),
        field(kColumnsId, kColumnsUpDownId, 32),
        label(PELORIN_TEXT("縦チップ数"), 66),
        field(kRowsId, kRowsUpDownId, 66),
        ControlSpec::make(ControlKind::GroupBox, 0, PELORIN_TEXT("チップサイズ設定"),
                          {10, 112, 360, 204}),
        label(PELORIN_TEXT("チップ横幅"), 134),
        field(kChipWidthId, kChipWidthUpDownId, 134),
        label(PELORIN_TEXT("チップ縦幅"), 168),
        field(kChipHeightId, kChipHeightUpDownId, 168),
        ControlSpec::make(ControlKind::GroupBox, 0, PELORIN_TEXT("ウィンドウサイズ設定"),
                          {10, 214, 360, 340}),
        label(PELORIN_TEXT("ウィンドウ種別"), 236),
        ControlSpec::make(ControlKind::ComboBox, kWindowKindId, {}, {140, 236, 346, 264}),
        label(PELORIN_TEXT("ウィンドウ横幅"), 270),
        field(kWindowWidthId, kWindowWidthUpDownId, 270),
        label(PELORIN_TEXT("ウィンドウ縦幅"), 304),
        field(kWindowHeightId, kWindowHeightUpDownId, 304),
    };
    return t;
}

void SizeSettingsPage::onInit(platform::DialogControls& controls) {
    m_canvas = platform::Size{m_map.document().grid().columns(), m_map.document().grid().rows()};
    m_chip = m_map.chipSize();
    m_windows[kMapWindow] = m_map.windowSize();
    const ChipScreen* chip = m_map.chipScreen();
    m_windows[kChipWindow] = chip != nullptr ? chip->windowSize() : m_windows[kMapWindow];
    m_shown = kMapWindow;

    const struct {
        int upDownId, minimum, maximum, value;
    } fields[] = {
        {kColumnsUpDownId, MapGrid::kMinCanvas, MapGrid::kMaxCanvas, m_canvas.width},
        {kRowsUpDownId, MapGrid::kMinCanvas, MapGrid::kMaxCanvas, m_canvas.height},
        {kChipWidthUpDownId, MapGrid::kMinChipSize, MapGrid::kMaxChipSize, m_chip.width},
        {kChipHeightUpDownId, MapGrid::kMinChipSize, MapGrid::kMaxChipSize, m_chip.height},
        {kWindowWidthUpDownId, CellGridScreen::kMinWindowWidth, CellGridScreen::kMaxWindowWidth,
         m_windows[kMapWindow].width},
        {kWindowHeightUpDownId, CellGridScreen::kMinWindowHeight, CellGridScreen::kMaxWindowHeight,
         m_windows[kMapWindow].height},
    };
    for (const auto& f : fields) {
        controls.setRange(f.upDownId, f.minimum, f.maximum);
        controls.setPosition(f.upDownId, f.value);
    }
    controls.clearItems(kWindowKindId);
    controls.addItem(kWindowKindId, PELORIN_TEXT("マップウィンドウサイズ"));
    controls.addItem(kWindowKindId, PELORIN_TEXT("チップウィンドウサイズ"));
    controls.select(kWindowKindId, kMapWindow);
}

void SizeSettingsPage::onCommand(platform::DialogControls& controls,
                                 const platform::DialogCommand& command) {
    if (command.control != kWindowKindId ||
        command.code != platform::DialogNotification::SelectionChanged) {
        return;
    }
    const int chosen = controls.selection(kWindowKindId);
    if (chosen != kMapWindow && chosen != kChipWindow) {
        return;
    }
    keepShownPair(controls);
    m_shown = chosen;
    controls.setPosition(kWindowWidthUpDownId, m_windows[chosen].width);
    controls.setPosition(kWindowHeightUpDownId, m_windows[chosen].height);
}

bool SizeSettingsPage::onApply(platform::DialogControls& controls) {
    const platform::Size canvas = fields(controls, kColumnsUpDownId, kRowsUpDownId);
    if (canvas != m_canvas) {
        m_map.setCanvasSize(canvas.width, canvas.height);
    }
    const platform::Size chip = fields(controls, kChipWidthUpDownId, kChipHeightUpDownId);
    if (chip != m_chip) {
        m_map.setChipSize(chip.width, chip.height);
    }
    keepShownPair(controls);
    const platform::Size map = m_windows[kMapWindow];
    if (map != m_map.windowSize()) {
        m_map.setWindowSize(map.width, map.height);
    }
    ChipScreen* chipScreen = m_map.chipScreen();
    const platform::Size chipWindow = m_windows[kChipWindow];
    if (chipScreen != nullptr && chipWindow != chipScreen->windowSize()) {
        chipScreen->setWindowSize(chipWindow.width, chipWindow.height);
    }
    return true;
}

platform::Size SizeSettingsPage::fields(platform::DialogControls& controls, int widthId,
                                        int heightId) const {
    return platform::Size{controls.position(widthId).value, controls.position(heightId).value};
}

void SizeSettingsPage::keepShownPair(platform::DialogControls& controls) {
    m_windows[m_shown] = fields(controls, kWindowWidthUpDownId, kWindowHeightUpDownId);
}
