#pragma once

#include <memory>
#include <vector>

#include "platform/Dialog.h"
#include "platform/MessageHandler.h"
#include "platform/headless/ScriptedDialog.h"

namespace platform::headless {

// A running sheet in memory, made by HeadlessHost::runSheet and handed to the sheet script:
// pages are initialised when first shown, the first at once; the script shows pages, works
// their controls and presses OK or Cancel. Timers of the sheet's window go to every page shown
// so far.
class ScriptedSheet : public platform::MessageHandler {
public:
    ScriptedSheet(const std::vector<platform::Dialog*>& pages, platform::NativeWindow& window);

    // --- Pages. Shows page index (initialising it the first time) and returns its controls.
    ScriptedDialog& page(int index);
    int currentPage() const { return m_current; }

    // --- Ending. OK: every shown page's onApply in page order; a page that refuses is shown and
    // the sheet stays open (false).
    bool ok();
    void cancel();

    bool hasEnded() const;
    platform::DialogResult result() const;

    void handleMessage(platform::NativeWindow& window, const platform::Message& message) override;

private:
    std::vector<platform::Dialog*> m_pages;
    std::vector<std::unique_ptr<ScriptedDialog>> m_shown;
    platform::NativeWindow& m_window;
    int m_current = -1;
    bool m_ended = false;
    platform::DialogResult m_result = platform::DialogResult::Cancel;
};

}  // namespace platform::headless
