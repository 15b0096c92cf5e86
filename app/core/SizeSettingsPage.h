#pragma once

#include "platform/Dialog.h"
#include "platform/Geometry.h"

class MapScreen;

// The size page of the settings sheet (1013, "サイズ変更"): the canvas in cells, the chip size,
// and the client sizes of the map and chip windows, which share one pair of fields switched by
// a combo box. On OK each is applied only when changed, through the setters that check it.
class SizeSettingsPage : public platform::Dialog {
public:
    static constexpr int kColumnsId = 1021;
    static constexpr int kColumnsUpDownId = 1019;
    static constexpr int kRowsId = 1018;
    static constexpr int kRowsUpDownId = 1020;
    static constexpr int kChipWidthId = 1010;
    static constexpr int kChipWidthUpDownId = 1009;
    static constexpr int kChipHeightId = 1011;
    static constexpr int kChipHeightUpDownId = 1012;
    static constexpr int kWindowKindId = 1062;
    static constexpr int kWindowWidthId = 1022;
    static constexpr int kWindowWidthUpDownId = 1017;
    static constexpr int kWindowHeightId = 1023;
    static constexpr int kWindowHeightUpDownId = 1024;
    enum WindowKind { kMapWindow = 0, kChipWindow = 1 };

    explicit SizeSettingsPage(MapScreen& map);

    platform::DialogTemplate dialogTemplate() const override;
    void onInit(platform::DialogControls& controls) override;
    void onCommand(platform::DialogControls& controls,
                   const platform::DialogCommand& command) override;
    bool onApply(platform::DialogControls& controls) override;

private:
    // The two fields as the user left them; a value the fields cannot take is kept as typed,
    // so that the setter reports it.
    platform::Size fields(platform::DialogControls& controls, int widthId, int heightId) const;
    void keepShownPair(platform::DialogControls& controls);

    MapScreen& m_map;
    platform::Size m_canvas;
    platform::Size m_chip;
    platform::Size m_windows[2];
    int m_shown = kMapWindow;
};
