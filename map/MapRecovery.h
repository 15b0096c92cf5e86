#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "map/MapGrid.h"
#include "platform/FileStamp.h"

// The map as a recovery folder's records give it (see MapJournal): the newest base that can be
// read, and the journals that follow it in an unbroken chain, replayed up to their last whole
// record, with the other records the journals hold in their order. A damaged record, or one that
// does not fit the map, ends the replay there and is named in problems; a torn one at a journal's
// end is what a crash leaves and is passed over.
struct RecoveredMap {
    bool found = false;                  // a base could be read; grid then holds the map
    MapGrid grid;                        // with the chip size it had
    bool modified = false;               // it differs from its file, so there is work to recover
    std::string path;                    // the map's file, or empty for a new map
    platform::FileStamp stamp;           // of that file when the editor last read or wrote it
    std::int64_t timeMs = 0;             // of the last record replayed
    std::uint64_t newestGeneration = 0;  // of all the folder's map files
    // The last record of each other kind the journals replayed held (the shell's records of
    // the attribute table, the player's frames, the session), by kind.
    std::map<std::uint32_t, std::vector<std::uint8_t>> items;
    std::vector<std::string> problems;

    // Whether the map's file has changed since the editor last read or wrote it.
    bool fileChanged() const;
};

// Reads the map records of the folder, whose files are names.
RecoveredMap readRecoveredMap(const std::string& folder, const std::vector<std::string>& names);
