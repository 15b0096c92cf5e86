#pragma once

#include <array>
#include <cstdint>

#include "platform/Dialog.h"

class MapScreen;

// The colour page of the settings sheet (121, "色設定"): grid, cursor, selection frame and
// selection fill colours of the map, chip and attribute windows (the attribute window has no
// selection), one window at a time as the combo box chooses, each channel 0 … 255. Edits go into
// working copies that OK hands to the windows.
class ColourSettingsPage : public platform::Dialog {
public:
    static constexpr int kWindowKindId = 1067;
    enum Window { kMapWindow, kChipWindow, kKindWindow, kWindowCount };
    enum Group { kGrid, kCursor, kSelectionFrame, kSelectionFill, kGroupCount };
    enum Channel { kRed, kGreen, kBlue, kAlpha, kChannelCount };
    // The edit and up-down ids of each group's channels.
    static constexpr int kEditIds[kGroupCount][kChannelCount] = {{1069, 1070, 1027, 1073},
                                                                 {1076, 1077, 1029, 1079},
                                                                 {1082, 1083, 1031, 1085},
                                                                 {1088, 1089, 1033, 1091}};
    static constexpr int kUpDownIds[kGroupCount][kChannelCount] = {{1071, 1072, 1028, 1074},
                                                                   {1075, 1078, 1030, 1080},
                                                                   {1081, 1084, 1032, 1086},
                                                                   {1087, 1090, 1034, 1092}};

    explicit ColourSettingsPage(MapScreen& map);

    platform::DialogTemplate dialogTemplate() const override;
    void onInit(platform::DialogControls& controls) override;
    void onCommand(platform::DialogControls& controls,
                   const platform::DialogCommand& command) override;
    bool onApply(platform::DialogControls& controls) override;

private:
    using Colours = std::array<std::uint32_t, kGroupCount>;

    void show(platform::DialogControls& controls, int window);

    MapScreen& m_map;
    std::array<Colours, kWindowCount> m_colours{};
    int m_shown = kMapWindow;
    bool m_quiet = false;  // the page fills its fields itself: no edits to keep
};
