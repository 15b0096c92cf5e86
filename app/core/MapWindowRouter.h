#pragma once

#include "app/core/GridPointer.h"
#include "app/core/KeyReleaseGate.h"
#include "platform/Geometry.h"
#include "platform/MessageHandler.h"

class MapScreen;

namespace platform {
class Host;
}

// What the map window asks of the rest of the editor. Every part is optional: the command-line
// tool and the tests have no other windows, and there these do nothing.
class MapWindowShell {
public:
    virtual ~MapWindowShell() = default;
    // Whether a message is handled now (not all are while the editor starts).
    virtual bool accepts(const platform::Message&) const { return true; }
    // W: the focus passes to the chip window.
    virtual void nextWindow() {}
    // The popup at at (client pixels), opened by a right click or the menu key.
    virtual void popup(platform::NativeWindow&, platform::Point) {}
    // A menu command that is not the map window's own (files, dialogs, the end).
    virtual void command(int) {}
    // What the map screen does not handle: activation, size, close, destroy, the middle button,
    // the menu bar opening.
    virtual void windowMessage(platform::NativeWindow&, const platform::Message&) {}
    // Files dropped on the map window.
    virtual void drop(const std::vector<std::string>&) {}
};

// The map window's procedure: the one way the map screen gets its keys, clicks, drags, wheel,
// scroll bars and menu commands, whether from the window system, the command-line tool or a
// test. Key releases pass the key-release gate and act with the modifiers held at their press;
// what each key and command does is the table of MapKeys.
class MapWindowRouter : public platform::MessageHandler {
public:
    explicit MapWindowRouter(platform::Host& host, MapWindowShell* shell = nullptr);

    // The screen messages go to; none (before start-up made it, after tear-down) drops them.
    void setScreen(MapScreen* map) { m_map = map; }

    void handleMessage(platform::NativeWindow& window, const platform::Message& message) override;
    void handleDrop(platform::NativeWindow&, const std::vector<std::string>& paths) override {
        m_shell.drop(paths);
    }
    // Carries out one of the map window's own commands (editing and display); false for the
    // shell's commands, which it leaves alone.
    bool command(int id);

private:
    void key(platform::NativeWindow& window, const platform::Message& message);
    void mouse(platform::NativeWindow& window, const platform::Message& message);

    platform::Host& m_host;
    MapWindowShell m_noShell;
    MapWindowShell& m_shell;
    MapScreen* m_map = nullptr;
    KeyReleaseGate m_keys;
    GridPointer m_pointer;
};
