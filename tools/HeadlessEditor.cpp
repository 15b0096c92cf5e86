#include "tools/HeadlessEditor.h"

#include "app/core/Menus.h"
#include "app/core/Workspace.h"
#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"
#include "map/MapFile.h"
#include "platform/Message.h"
#include "platform/NativeWindow.h"
#include "platform/VirtualKey.h"
#include "platform/WindowSpec.h"
#include "platform/headless/ScriptedDialog.h"
#include "tools/GridGestures.h"
#include "tools/ToolSupport.h"

using Op = EditScript::Op;

namespace {

// The shell's defaults for the chip window (its settings record).
constexpr int kChipWindowWidth = 800;
constexpr int kChipWindowHeight = 600;

platform::WindowSpec windowSpec(const char* className, platform::Size client) {
    platform::WindowSpec spec;
    spec.className = className;
    spec.title = className;
    spec.clientSize = client;
    return spec;
}

const char* layerWord(int layer) {
    return layer == MapGrid::kChipLayer ? "chip" : "attribute";
}

}  // namespace

HeadlessEditor::HeadlessEditor()
    : m_replaceDialog([this](int from, int to, int sourceLayer, int targetLayer) {
          m_work->map().replace(from, to, sourceLayer, targetLayer);
      }) {
    // The windows and screens in the order the shell makes them. The recording host never
    // refuses a window, and a screen attaches to any window it is given.
    m_mapWindow = m_host.createWindow(
        windowSpec("mapeditor", {MapScreen::kDefaultWindowWidth, MapScreen::kDefaultWindowHeight}),
        &m_router);
    m_work = std::make_unique<Workspace>(m_host);
    m_router.setScreen(&m_work->map());
    m_work->attachMap(m_mapWindow.get(), MapScreen::kDefaultWindowWidth,
                      MapScreen::kDefaultWindowHeight, &m_router);
    m_kindWindow =
        m_host.createWindow(windowSpec("kindview", {KindScreen::kColumns * KindScreen::kCellSize,
                                                    KindScreen::kRows * KindScreen::kCellSize}),
                            nullptr);
    m_work->attachKinds(m_kindWindow.get());
    m_chipWindow =
        m_host.createWindow(windowSpec("chipview", {kChipWindowWidth, kChipWindowHeight}), nullptr);
    m_work->attachChips(m_chipWindow.get(), kChipWindowWidth, kChipWindowHeight);
}

HeadlessEditor::~HeadlessEditor() {
    // Screens let go of their windows before the windows go.
    m_router.setScreen(nullptr);
    m_work.reset();
}

bool HeadlessEditor::loadMap(const std::string& path) {
    MapGrid grid;
    MapFile::Header header;
    const platform::Outcome<MapFile::Format> read = MapFile::load(path, grid, m_host, &header);
    platform::show(m_host, m_mapWindow.get(), read.notices);
    const bool loaded = read.value != MapFile::Format::None;
    if (loaded) {
        if (tool::storedChipSizeAllowed(header.chipWidth, header.chipHeight)) {
            m_work->map().setChipSize(header.chipWidth, header.chipHeight);
        }
        grid.setFileBacked(true);
        m_work->map().takeMap(std::move(grid));
    }
    collectBoxes();
    return loaded;
}

bool HeadlessEditor::loadChipImage(const std::string& path) {
    const bool loaded = m_work->map().loadChipImage(path);
    collectBoxes();
    return loaded;
}

bool HeadlessEditor::hasChipImage() const {
    return m_work->chips()->isLoaded();
}

const MapGrid& HeadlessEditor::grid() const {
    return m_work->document().grid();
}

bool HeadlessEditor::saveMap(std::string& path) {
    return m_work->map().saveMap(path);
}

std::vector<std::string> HeadlessEditor::takeMessages() {
    collectBoxes();
    std::vector<std::string> messages;
    messages.swap(m_messages);
    return messages;
}

void HeadlessEditor::note(const std::string& text) {
    collectBoxes();
    m_messages.push_back(text);
}

void HeadlessEditor::collectBoxes() {
    for (; m_boxesSeen < m_host.boxes.size(); ++m_boxesSeen) {
        const platform::headless::HeadlessHost::Box& box = m_host.boxes[m_boxesSeen];
        m_messages.push_back(box.title + ": " + box.text);
    }
}

bool HeadlessEditor::insideMap(const EditScript::Command& command, int column, int row) {
    const MapGrid& map = m_work->document().grid();
    if (map.contains(column, row)) {
        return true;
    }
    note(command.name + ": cell (" + std::to_string(column) + ", " + std::to_string(row) +
         ") lies outside the " + std::to_string(map.columns()) + " x " +
         std::to_string(map.rows()) + " map; nothing changed");
    return false;
}

void HeadlessEditor::pressKey(int key) {
    platform::headless::HeadlessWindow& window = *m_host.window("mapeditor");
    window.send(platform::Message::keyDown(key));
    window.send(platform::Message::keyUp(key));
}

void HeadlessEditor::menuCommand(int id) {
    m_host.window("mapeditor")->send(platform::Message::command(id));
}

void HeadlessEditor::run(const EditScript::Command& command) {
    switch (command.op) {
        case Op::Layer:
        case Op::Canvas:
        case Op::ChipSize:
            setting(command);
            break;
        case Op::Cursor:
        case Op::Select:
        case Op::Deselect:
            moveOrSelect(command);
            break;
        case Op::Chip:
        case Op::ChipBlock:
            selectChips(command);
            break;
        case Op::Attribute: {
            const int n = command.args[0];
            m_work->kinds()->onLeftButtonDown(n % KindScreen::kColumns * KindScreen::kCellSize,
                                              n / KindScreen::kColumns * KindScreen::kCellSize);
            break;
        }
        case Op::Put:
        case Op::Erase:
            putOrErase(command);
            break;
        case Op::Replace:
            replace(command);
            break;
        default:
            edit(command);
            break;
    }
    collectBoxes();
}

void HeadlessEditor::setting(const EditScript::Command& command) {
    MapScreen& map = m_work->map();
    const auto& a = command.args;
    if (command.op == Op::Layer) {
        // "属性の表示(&D)" switches between the two.
        if (map.editLayer() != a[0]) {
            menuCommand(command::ToggleAttributeView);
        }
    } else if (command.op == Op::Canvas) {
        // The size page applies only what the user changed.
        if (a[0] != map.document().grid().columns() || a[1] != map.document().grid().rows()) {
            map.setCanvasSize(a[0], a[1]);
        }
    } else if (a[0] != map.chipSize().width || a[1] != map.chipSize().height) {
        map.setChipSize(a[0], a[1]);
    }
}

void HeadlessEditor::moveOrSelect(const EditScript::Command& command) {
    MapScreen& map = m_work->map();
    const auto& a = command.args;
    GridGestures gestures(
        map, [this](int x, int y) { mouse(platform::WM_LBUTTONDOWN, x, y); }, m_host);
    if (command.op == Op::Deselect) {
        gestures.dropSelection();
    } else if (command.op == Op::Cursor) {
        if (insideMap(command, a[0], a[1]) && !gestures.moveCursor(a[0], a[1])) {
            note("cursor: the map window did not take the cursor to the cell");
        }
    } else if (insideMap(command, a[0], a[1]) && insideMap(command, a[2], a[3]) &&
               !gestures.select(a[0], a[1], a[2], a[3])) {
        note("select: the map window did not select the cells");
    }
}

void HeadlessEditor::mouse(platform::MessageId message, int x, int y) {
    m_host.window("mapeditor")->send(platform::Message::mouse(message, x, y, platform::MK_LBUTTON));
}

void HeadlessEditor::putOrErase(const EditScript::Command& command) {
    // Keys reach the map only with a chip image; menu commands need none.
    const bool keys = m_work->map().hasSize() && m_work->chips()->isLoaded();
    if (command.op == Op::Put) {
        if (!keys) {
            note("put needs a chip image (--chips), as the Enter key does; nothing was put");
        } else {
            pressKey(platform::VK_RETURN);
        }
    } else if (!keys) {
        note("erase needs a chip image (--chips), as the Delete key does; nothing was erased");
    } else {
        if (m_work->map().editLayer() == MapGrid::kKindLayer) {
            note("erase does nothing in the attribute view");
        }
        pressKey(platform::VK_DELETE);
    }
}

// The Edit menu's commands, as the map window's router carries them out.
void HeadlessEditor::edit(const EditScript::Command& command) {
    const MapScreen& map = m_work->map();
    switch (command.op) {
        case Op::Copy:
            menuCommand(command::Copy);
            break;
        case Op::Paste:
            if (!map.canPaste()) {
                note(std::string("paste: the ") + layerWord(map.editLayer()) +
                     " copy buffer is empty (\"貼り付け(&V)\" is disabled); nothing was pasted");
            } else {
                menuCommand(command::Paste);
            }
            break;
        case Op::InsertRows:
            menuCommand(command::InsertRows);
            break;
        case Op::DeleteRows:
            menuCommand(command::DeleteRows);
            break;
        case Op::InsertColumns:
            menuCommand(command::InsertColumns);
            break;
        case Op::DeleteColumns:
            menuCommand(command::DeleteColumns);
            break;
        case Op::Undo:
            if (!map.document().canUndo()) {
                note("undo: nothing to undo (\"元に戻す(&Z)\" is disabled)");
            } else {
                menuCommand(command::Undo);
            }
            break;
        case Op::Redo:
            if (!map.document().canRedo()) {
                note("redo: nothing to redo (\"やり直し(&Y)\" is disabled)");
            } else {
                menuCommand(command::Redo);
            }
            break;
        default:
            break;
    }
}

void HeadlessEditor::selectChips(const EditScript::Command& command) {
    ChipScreen& chips = *m_work->chips();
    const auto& a = command.args;
    const int columns = chips.columns();
    const int rows = chips.chipSet().rows();
    GridGestures gestures(
        chips, [&chips](int x, int y) { chips.onLeftButtonDown(x, y); }, m_host);
    if (command.op == Op::Chip) {
        if (a[0] >= chips.chipCount()) {
            note("chip: the chip image holds chips 0 to " + std::to_string(chips.chipCount() - 1) +
                 "; the chip selection stays");
        } else if (!gestures.select(a[0] % columns, a[0] / columns, a[0] % columns,
                                    a[0] / columns)) {
            note("chip: the chip window did not select the chip");
        }
        return;
    }
    if (a[0] >= columns || a[2] >= columns || a[1] >= rows || a[3] >= rows) {
        note("chip-block: the chip image has " + std::to_string(columns) + " x " +
             std::to_string(rows) + " chips; the chip selection stays");
    } else if (!gestures.select(a[0], a[1], a[2], a[3])) {
        note("chip-block: the chip window did not select the chips");
    }
}

void HeadlessEditor::replace(const EditScript::Command& command) {
    MapScreen& map = m_work->map();
    ChipScreen& chips = *map.chipScreen();
    const auto& a = command.args;
    // "置換(&I)" opens the dialog only for a file-backed map with a chip image.
    if (!map.document().isFileBacked() || !chips.isLoaded()) {
        note("replace needs a chip image (--chips), as \"置換(&I)\" does; nothing was replaced");
        return;
    }
    for (int i = 0; i < 2; ++i) {
        if (a[2 + i] == MapGrid::kChipLayer && a[i] >= chips.chipCount()) {
            note("replace: the chip image holds chips 0 to " +
                 std::to_string(chips.chipCount() - 1) + "; nothing was replaced");
            return;
        }
    }
    // The dialog as the user fills it in: each group's kind, then its number, then OK.
    bool taken = false;
    m_host.dialogScripts.push_back([&](platform::headless::ScriptedDialog& dialog) {
        const int kindIds[2] = {ReplaceDialog::kSourceKindId, ReplaceDialog::kTargetKindId};
        const int numberIds[2] = {ReplaceDialog::kSourceNumberId, ReplaceDialog::kTargetNumberId};
        for (int i = 0; i < 2; ++i) {
            dialog.choose(kindIds[i], a[2 + i]);
            dialog.type(numberIds[i], std::to_string(a[i]));
            const platform::SpinPosition position = dialog.position(numberIds[i]);
            if (!position.valid || position.value != a[i]) {
                return;  // the number field refused it: Escape
            }
        }
        taken = dialog.click(platform::Dialog::kOkId);
    });
    m_replaceDialog.run(m_host, m_mapWindow.get(), chips.chipCount());
    if (!taken) {
        note("replace: the replace dialog did not take the numbers; nothing was replaced");
    }
}
