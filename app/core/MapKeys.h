#pragma once

#include "platform/VirtualKey.h"

class MapScreen;

// What the map window's keys and its own menu commands do: one table from a key (on its press
// or its release, with the modifiers held at its press) to an action, one from a command id to
// the same actions, and the actions carried out on the map screen. The map window's router (which
// the editor, the command-line tool and the tests drive) reaches the map through these.
namespace mapkeys {

enum class Phase { Down, Up };

enum class Action {
    None,
    // The shell's: the focus passes to the chip window; the popup opens at the cursor.
    NextWindow,
    ContextMenu,
    StepLeft,
    StepRight,
    StepUp,
    StepDown,
    PageLeft,
    PageRight,
    PageUp,
    PageDown,
    FirstColumn,
    LastColumn,
    FirstRow,
    LastRow,
    Put,
    Erase,
    Copy,
    Paste,
    ReleaseCopyLatch,
    Undo,
    Redo,
    ToggleLayer,
    ToggleGrid,
    ToggleScrollBars,
    ToggleLink,
    InsertRows,
    InsertColumns,
    InsertRowsAndColumns,
    DeleteRows,
    DeleteColumns,
    DeleteRowsAndColumns,
    ZoomIn,
    ZoomOut,
    ZoomOne,
    ZoomFit,
};

// The action of key in phase with held; None for a key that does nothing there.
Action forKey(int key, Phase phase, platform::KeyModifiers held);
// The action of one of the map window's own menu commands; None for the shell's commands.
Action forCommand(int id);

// Carries out a key's action: only on a map with a size and a chip image (the zoom on any map
// with a size), and Ctrl+C and Ctrl+V only while their latch is free. Shift (held at the key's
// press) selects as the cursor moves. The shell's actions do nothing here.
void key(MapScreen& map, Action action, platform::KeyModifiers held);
// Carries out a menu command's action, whatever is loaded.
void command(MapScreen& map, Action action);

}  // namespace mapkeys
