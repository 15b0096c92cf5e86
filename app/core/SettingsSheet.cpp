#include "app/core/SettingsSheet.h"

#include "platform/Host.h"
#include "platform/Texts.h"

SettingsSheet::SettingsSheet(MapScreen& map, KindDialogState& kinds)
    : m_sizePage(map), m_kindPage(kinds), m_colourPage(map) {}

platform::DialogResult SettingsSheet::run(platform::Host& host, platform::NativeWindow* owner) {
    return host.runSheet(owner, PELORIN_TEXT("設定"), {&m_sizePage, &m_kindPage, &m_colourPage});
}
