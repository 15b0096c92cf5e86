#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "app/core/MapWindowRouter.h"
#include "map/ReplaceDialog.h"
#include "platform/Message.h"
#include "platform/headless/HeadlessHost.h"
#include "tools/EditScript.h"

class MapGrid;
class Workspace;

namespace platform {
class NativeWindow;
}

// The editor without a screen: the map, chip and attribute windows' screens on the recording
// window system, with the replace dialog, set up as the shell sets them up. Script commands
// reach the screens as the user's keys, clicks, menu commands and dialog entries would, under
// the same conditions. What the editor would show in a message box, and why a command was
// refused, is collected as lines of text.
class HeadlessEditor {
public:
    HeadlessEditor();
    ~HeadlessEditor();
    HeadlessEditor(const HeadlessEditor&) = delete;
    HeadlessEditor& operator=(const HeadlessEditor&) = delete;

    // Loads the map as the editor loads it. The chip size stored in the file is taken as the
    // editor's chip size when it is one the editor allows (16 … 64), so that saving keeps it.
    bool loadMap(const std::string& path);
    // Loads the chip image as "チップのロード(&C)" does, with the map's chip size.
    bool loadChipImage(const std::string& path);
    bool hasChipImage() const;

    void run(const EditScript::Command& command);

    const MapGrid& grid() const;
    // As the editor saves: ".map" is forced on path (written back).
    bool saveMap(std::string& path);

    // Lines since the last call: "TITLE: TEXT" for each message box, and the tool's own notes.
    std::vector<std::string> takeMessages();

private:
    void note(const std::string& text);
    void collectBoxes();
    bool insideMap(const EditScript::Command& command, int column, int row);
    // Keys and menu commands reach the map as the window system delivers them: through the
    // map window's router.
    void pressKey(int key);
    void menuCommand(int id);
    void mouse(platform::MessageId message, int x, int y);
    void setting(const EditScript::Command& command);
    void moveOrSelect(const EditScript::Command& command);
    void putOrErase(const EditScript::Command& command);
    void edit(const EditScript::Command& command);
    void selectChips(const EditScript::Command& command);
    void replace(const EditScript::Command& command);

    platform::headless::HeadlessHost m_host;
    MapWindowRouter m_router{m_host};
    std::unique_ptr<platform::NativeWindow> m_mapWindow;
    std::unique_ptr<platform::NativeWindow> m_kindWindow;
    std::unique_ptr<platform::NativeWindow> m_chipWindow;
    std::unique_ptr<Workspace> m_work;
    ReplaceDialog m_replaceDialog;
    std::vector<std::string> m_messages;
    std::size_t m_boxesSeen = 0;
};
