#pragma once

#include <cstdint>
#include <functional>

#include "platform/Dialog.h"
#include "platform/Geometry.h"
#include "platform/Host.h"

class KindScreen;
class KindTable;

// What the attribute list page and the attribute edit dialog share for the whole run: the
// number of the attribute being edited, the colour chooser's custom colours (kept until exit),
// and the way back to the windows an edit redraws. Made once at start-up.
class KindDialogState {
public:
    // chipSize: the current chip size, which bounds the hit rectangle. redraw: the attribute
    // window's cells and title and the map's view, after every run of the edit dialog.
    KindDialogState(platform::Host& host, KindScreen& screen,
                    std::function<platform::Size()> chipSize, std::function<void()> redraw);

    // Runs the edit dialog on attribute number over owner, then redraws whatever the answer.
    platform::DialogResult edit(platform::NativeWindow* owner, int number);

    int number() const { return m_number; }
    platform::Host& host() const { return m_host; }
    KindTable& table() const;
    platform::Size chipSize() const { return m_chipSize(); }
    platform::CustomColours& customColours() { return m_customColours; }

private:
    platform::Host& m_host;
    KindScreen& m_screen;
    std::function<platform::Size()> m_chipSize;
    std::function<void()> m_redraw;
    std::int32_t m_number = 0;
    platform::CustomColours m_customColours{};
};
