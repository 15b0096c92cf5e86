#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/Outcome.h"

// The script of `pelorin-tool edit`: one command per line, each the counterpart of a key, menu
// command or dialog of the editor. "#" starts a comment; blank lines are skipped. Parsing
// checks only what the script alone decides (command names, argument counts, whole numbers
// from 0, attribute numbers up to 99); what depends on the map or the chip image is the run's.
class EditScript {
public:
    enum class Op {
        Layer,          // layer chips|attributes
        Cursor,         // cursor X Y
        Select,         // select X1 Y1 X2 Y2
        Deselect,       // deselect
        Chip,           // chip N
        ChipBlock,      // chip-block C1 R1 C2 R2
        Attribute,      // attribute N
        Put,            // put
        Erase,          // erase
        Copy,           // copy
        Paste,          // paste
        InsertRows,     // insert-rows
        DeleteRows,     // delete-rows
        InsertColumns,  // insert-columns
        DeleteColumns,  // delete-columns
        Replace,        // replace FROM TO chips|attributes chips|attributes
        Canvas,         // canvas W H
        ChipSize,       // chip-size W H
        Undo,           // undo
        Redo,           // redo
    };

    // Layers as the map names them: 0 chips, 1 attributes.
    struct Command {
        Op op;
        int line;                   // 1-based, in the script file
        std::array<int, 4> args{};  // Replace: from, to, source layer, target layer
        std::string name;           // as written, for messages
    };

    static constexpr int kAttributeCount = 100;

    // Parses the whole text. A failure's reason reads "script line N: …"; commands is then
    // unspecified.
    static platform::Outcome<bool> parse(const std::string& text, std::vector<Command>& commands);
    // Whether the command acts on the chip window, which only a chip image gives.
    static bool needsChipWindow(Op op) { return op == Op::Chip || op == Op::ChipBlock; }
};
