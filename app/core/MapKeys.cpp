#include "app/core/MapKeys.h"

#include "app/core/Menus.h"
#include "map/MapGrid.h"
#include "map/MapScreen.h"

namespace mapkeys {
namespace {

using platform::KeyModifiers;

// Whether a modifier must be held, must not be, or does not matter.
enum class Held { Any, Yes, No };

struct Binding {
    int key;
    Phase phase;
    Held shift;
    Held ctrl;
    Action action;
};

constexpr Phase kDown = Phase::Down;
constexpr Phase kUp = Phase::Up;
constexpr Held kAny = Held::Any;
constexpr Held kYes = Held::Yes;
constexpr Held kNo = Held::No;

// Moves act on the press and repeat while the key is held; commands that change the map or
// its display act once, on the release. Shift on a move selects; it is not part of the match.
constexpr Binding kKeys[] = {
    {'W', kDown, kAny, kAny, Action::NextWindow},
    {platform::VK_APPS, kDown, kAny, kAny, Action::ContextMenu},
    {platform::VK_LEFT, kDown, kAny, kAny, Action::StepLeft},
    {platform::VK_RIGHT, kDown, kAny, kAny, Action::StepRight},
    {platform::VK_UP, kDown, kAny, kAny, Action::StepUp},
    {platform::VK_DOWN, kDown, kAny, kAny, Action::StepDown},
    // With Ctrl the page, Home and End keys go by rows instead of columns.
    {platform::VK_PRIOR, kDown, kAny, kNo, Action::PageLeft},
    {platform::VK_PRIOR, kDown, kAny, kYes, Action::PageUp},
    {platform::VK_NEXT, kDown, kAny, kNo, Action::PageRight},
    {platform::VK_NEXT, kDown, kAny, kYes, Action::PageDown},
    {'C', kDown, kAny, kYes, Action::Copy},
    {'V', kDown, kAny, kYes, Action::Paste},
    {platform::VK_HOME, kUp, kAny, kNo, Action::FirstColumn},
    {platform::VK_HOME, kUp, kAny, kYes, Action::FirstRow},
    {platform::VK_END, kUp, kAny, kNo, Action::LastColumn},
    {platform::VK_END, kUp, kAny, kYes, Action::LastRow},
    {platform::VK_RETURN, kUp, kAny, kAny, Action::Put},
    // Shift: rows; Ctrl: columns; both: rows and columns. Delete alone erases.
    {platform::VK_INSERT, kUp, kYes, kNo, Action::InsertRows},
    {platform::VK_INSERT, kUp, kNo, kYes, Action::InsertColumns},
    {platform::VK_INSERT, kUp, kYes, kYes, Action::InsertRowsAndColumns},
    {platform::VK_DELETE, kUp, kNo, kNo, Action::Erase},
    {platform::VK_DELETE, kUp, kYes, kNo, Action::DeleteRows},
    {platform::VK_DELETE, kUp, kNo, kYes, Action::DeleteColumns},
    {platform::VK_DELETE, kUp, kYes, kYes, Action::DeleteRowsAndColumns},
    {'C', kUp, kAny, kAny, Action::ReleaseCopyLatch},
    {'V', kUp, kAny, kAny, Action::ReleaseCopyLatch},
    {'D', kUp, kAny, kAny, Action::ToggleLayer},
    {'G', kUp, kAny, kAny, Action::ToggleGrid},
    {'S', kUp, kAny, kAny, Action::ToggleScrollBars},
    {'Y', kUp, kAny, kYes, Action::Redo},
    {'Z', kUp, kAny, kYes, Action::Undo},
    // The zoom acts on the press and repeats, as moves do.
    {platform::VK_OEM_PLUS, kDown, kAny, kYes, Action::ZoomIn},
    {platform::VK_ADD, kDown, kAny, kYes, Action::ZoomIn},
    {platform::VK_OEM_MINUS, kDown, kAny, kYes, Action::ZoomOut},
    {platform::VK_SUBTRACT, kDown, kAny, kYes, Action::ZoomOut},
    {'0', kDown, kAny, kYes, Action::ZoomOne},
    {platform::VK_NUMPAD0, kDown, kAny, kYes, Action::ZoomOne},
};

struct CommandBinding {
    int id;
    Action action;
};

constexpr CommandBinding kCommands[] = {
    {command::Copy, Action::Copy},
    {command::Paste, Action::Paste},
    {command::Undo, Action::Undo},
    {command::Redo, Action::Redo},
    {command::ToggleGrid, Action::ToggleGrid},
    {command::ToggleScrollBars, Action::ToggleScrollBars},
    {command::ToggleAttributeView, Action::ToggleLayer},
    {command::ToggleLink, Action::ToggleLink},
    {command::InsertRows, Action::InsertRows},
    {command::InsertColumns, Action::InsertColumns},
    {command::InsertRowsAndColumns, Action::InsertRowsAndColumns},
    {command::DeleteRows, Action::DeleteRows},
    {command::DeleteColumns, Action::DeleteColumns},
    {command::DeleteRowsAndColumns, Action::DeleteRowsAndColumns},
    {command::ZoomIn, Action::ZoomIn},
    {command::ZoomOut, Action::ZoomOut},
    {command::ZoomOne, Action::ZoomOne},
    {command::ZoomFit, Action::ZoomFit},
};

bool matches(Held wanted, bool held) {
    return wanted == Held::Any || (wanted == Held::Yes) == held;
}

}  // namespace

Action forKey(int key, Phase phase, KeyModifiers held) {
    for (const Binding& b : kKeys) {
        if (b.key == key && b.phase == phase && matches(b.shift, held.shift) &&
            matches(b.ctrl, held.ctrl)) {
            return b.action;
        }
    }
    return Action::None;
}

Action forCommand(int id) {
    for (const CommandBinding& b : kCommands) {
        if (b.id == id) {
            return b.action;
        }
    }
    return Action::None;
}

namespace {

// The cursor's moves; shift selects as it goes. False for any other action.
bool move(MapScreen& map, Action action, bool shift) {
    constexpr CellGridScreen::Axis X = CellGridScreen::X, Y = CellGridScreen::Y;
    switch (action) {
        case Action::StepLeft:
            map.stepCursor(X, -1, shift);
            break;
        case Action::StepRight:
            map.stepCursor(X, 1, shift);
            break;
        case Action::StepUp:
            map.stepCursor(Y, -1, shift);
            break;
        case Action::StepDown:
            map.stepCursor(Y, 1, shift);
            break;
        case Action::PageLeft:
            map.pageBackward(X, shift);
            break;
        case Action::PageRight:
            map.pageForward(X, shift);
            break;
        case Action::PageUp:
            map.pageBackward(Y, shift);
            break;
        case Action::PageDown:
            map.pageForward(Y, shift);
            break;
        case Action::FirstColumn:
            map.goHome(X, shift);
            break;
        case Action::LastColumn:
            map.goEnd(X, shift);
            break;
        case Action::FirstRow:
            map.goHome(Y, shift);
            break;
        case Action::LastRow:
            map.goEnd(Y, shift);
            break;
        default:
            return false;
    }
    return true;
}

// The actions common to keys and commands.
void apply(MapScreen& map, Action action, bool shift) {
    if (move(map, action, shift)) {
        return;
    }
    switch (action) {
        case Action::Put:
            map.put();
            break;
        case Action::Erase:
            map.erase();
            break;
        case Action::Copy:
            map.copySelection();
            break;
        case Action::Paste:
            map.paste();
            break;
        case Action::ReleaseCopyLatch:
            map.releaseCopyLatch();
            break;
        case Action::Undo:
            map.undo();
            break;
        case Action::Redo:
            map.redo();
            break;
        case Action::ToggleLayer:
            map.setEditLayer(map.editLayer() == MapGrid::kChipLayer ? MapGrid::kKindLayer
                                                                    : MapGrid::kChipLayer);
            break;
        case Action::ToggleGrid:
            map.toggleGrid();
            break;
        case Action::ToggleScrollBars:
            map.toggleScrollBars();
            break;
        case Action::ToggleLink:
            map.toggleLink();
            break;
        case Action::InsertRows:
            map.insertOrDeleteLines(false, true, false);
            break;
        case Action::InsertColumns:
            map.insertOrDeleteLines(false, false, true);
            break;
        case Action::InsertRowsAndColumns:
            map.insertOrDeleteLines(false, true, true);
            break;
        case Action::DeleteRows:
            map.insertOrDeleteLines(true, true, false);
            break;
        case Action::DeleteColumns:
            map.insertOrDeleteLines(true, false, true);
            break;
        case Action::DeleteRowsAndColumns:
            map.insertOrDeleteLines(true, true, true);
            break;
        case Action::ZoomIn:
            map.setZoom(map.zoom().in());
            break;
        case Action::ZoomOut:
            map.setZoom(map.zoom().out());
            break;
        case Action::ZoomOne:
            map.setZoom(Zoom{});
            break;
        case Action::ZoomFit:
            map.setZoom(map.fittingZoom());
            break;
        default:
            break;  // the shell's actions, and none
    }
}

}  // namespace

void key(MapScreen& map, Action action, KeyModifiers held) {
    const bool zoom = action == Action::ZoomIn || action == Action::ZoomOut ||
                      action == Action::ZoomOne || action == Action::ZoomFit;
    if (zoom ? !map.hasSize() : !map.takesKeys()) {
        return;
    }
    if ((action == Action::Copy || action == Action::Paste) && map.isCopyLatched()) {
        return;
    }
    apply(map, action, held.shift);
}

void command(MapScreen& map, Action action) {
    apply(map, action, false);
}

}  // namespace mapkeys
