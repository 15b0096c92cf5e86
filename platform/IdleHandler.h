#pragma once

namespace platform {

// The editor's idle work: presenting what changed, auto-scrolling while dragging, playback.
class IdleHandler {
public:
    virtual ~IdleHandler() = default;
    // One idle pass; returns whether there is more idle work. The host calls it about once a
    // millisecond while the application is active, no modal dialog or menu runs and the last
    // pass returned true; any message delivered to a window, or Host::wakeIdle, starts it again.
    // A message box, popup menu or file or colour chooser runs one pass as it opens, so that
    // what was drawn is presented behind it (never from within a pass).
    virtual bool idleStep() = 0;
};

// A host's idle handler and the passes it runs, one at a time.
class IdlePasses {
public:
    void setHandler(IdleHandler* handler) { m_handler = handler; }
    bool hasHandler() const { return m_handler != nullptr; }
    // One pass, unless one is under way (a pass that opens a box); whether there is more.
    bool run() {
        if (m_handler == nullptr || m_running) {
            return false;
        }
        m_running = true;
        const bool more = m_handler->idleStep();
        m_running = false;
        return more;
    }

private:
    IdleHandler* m_handler = nullptr;
    bool m_running = false;
};

}  // namespace platform
