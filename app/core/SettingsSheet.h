#pragma once

#include "app/core/ColourSettingsPage.h"
#include "app/core/SizeSettingsPage.h"
#include "chips/KindListPage.h"

namespace platform {
class Host;
class NativeWindow;
}  // namespace platform

class KindDialogState;
class MapScreen;

// The settings sheet "設定": the size page, the attribute list page and the colour page, in that
// order. OK applies the pages that were shown, in that order; Cancel applies nothing (edits made
// through the list page have taken effect already).
class SettingsSheet {
public:
    SettingsSheet(MapScreen& map, KindDialogState& kinds);

    // Runs the sheet modally over owner (the map window).
    platform::DialogResult run(platform::Host& host, platform::NativeWindow* owner);

private:
    SizeSettingsPage m_sizePage;
    KindListPage m_kindPage;
    ColourSettingsPage m_colourPage;
};
