#include "chips/KindDialogState.h"

#include <utility>

#include "chips/KindEditDialog.h"
#include "chips/KindScreen.h"

KindDialogState::KindDialogState(platform::Host& host, KindScreen& screen,
                                 std::function<platform::Size()> chipSize,
                                 std::function<void()> redraw)
    : m_host(host), m_screen(screen), m_chipSize(std::move(chipSize)), m_redraw(std::move(redraw)) {
    // The chooser's custom colours start white, as the system's do.
    m_customColours.fill(0xFFFFFFFFu);
}

platform::DialogResult KindDialogState::edit(platform::NativeWindow* owner, int number) {
    m_number = number;
    KindEditDialog dialog(*this);
    const platform::DialogResult result = m_host.runDialog(owner, dialog);
    if (m_redraw) {
        m_redraw();
    }
    return result;
}

KindTable& KindDialogState::table() const {
    return m_screen.table();
}
