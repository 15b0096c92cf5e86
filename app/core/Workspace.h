#pragma once

#include <memory>

#include "map/MapDocument.h"
#include "map/MapScreen.h"
#include "preview/PlayerDefinition.h"

class ChipScreen;
class KindScreen;

namespace platform {
class Host;
class MessageHandler;
class NativeWindow;
}  // namespace platform

// What one editor works on: the map document and the map window's view of it, the chip and
// attribute windows' screens, and the player's frames. The editor and the command-line tool's
// headless editor both start theirs through here, so that the screens are joined the same way.
//
// The screens go before the windows they are attached to; whoever owns the windows destroys the
// workspace first.
class Workspace {
public:
    explicit Workspace(platform::Host& host);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // The map window first, then the attribute window and the chip window (each owned by the
    // map window); false, with nothing attached, when the screen cannot bind.
    bool attachMap(platform::NativeWindow* window, int width, int height,
                   platform::MessageHandler* next = nullptr);
    bool attachKinds(platform::NativeWindow* window, platform::MessageHandler* next = nullptr);
    bool attachChips(platform::NativeWindow* window, int width, int height,
                     platform::MessageHandler* next = nullptr);

    MapDocument& document() { return m_document; }
    const MapDocument& document() const { return m_document; }
    MapScreen& map() { return m_map; }
    const MapScreen& map() const { return m_map; }
    // Null until attached.
    ChipScreen* chips() const { return m_chips.get(); }
    KindScreen* kinds() const { return m_kinds.get(); }
    PlayerDefinition& player() { return m_player; }
    const PlayerDefinition& player() const { return m_player; }

    // The map, the attribute table or the player's frames hold changes that no file has; the map
    // window's title then ends with " *".
    bool hasUnsavedWork() const;

    // Presents the map, attribute and chip windows; whether a drag goes on in the map or the
    // chip window.
    bool idleStep();

private:
    void joinScreens();

    platform::Host& m_host;
    MapDocument m_document;
    MapScreen m_map;
    std::unique_ptr<KindScreen> m_kinds;
    std::unique_ptr<ChipScreen> m_chips;
    PlayerDefinition m_player;
};
