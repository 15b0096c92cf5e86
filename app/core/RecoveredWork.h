#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chips/KindRecord.h"
#include "map/MapRecovery.h"
#include "platform/FileStamp.h"

// What one recovery folder holds: the map (see MapRecovery), and, in the same journal, records
// of the attribute table, the player's frames and the session (the chip image in use). The
// editor writes these while it runs; the next start, and pelorin-tool, read them back.
namespace recovery {

// Written before a start restores the folder's work and removed once it has; found at a start,
// it means the last restore did not finish.
constexpr char kRestoringFile[] = "restoring";

struct Kinds {
    bool found = false;
    bool modified = false;
    std::int64_t timeMs = 0;
    std::string path;  // the attribute file the table was last read from or saved to
    platform::FileStamp stamp;
    std::vector<KindRecord> records;
};

struct Player {
    bool found = false;
    bool modified = false;
    std::int64_t timeMs = 0;
    std::string text;  // the frames as a frames file holds them, image paths absolute
    int frames = 0;
};

struct Session {
    bool found = false;
    std::int64_t timeMs = 0;
    std::string chipPath;
};

// The records' payloads, without the time they are written at, so that equal states give
// equal bytes; the time follows when the record is made.
std::vector<std::uint8_t> kindsPayload(bool modified, const std::string& path,
                                       const platform::FileStamp& stamp,
                                       const std::vector<KindRecord>& records);
std::vector<std::uint8_t> playerPayload(bool modified, const std::string& text, int frames);
std::vector<std::uint8_t> sessionPayload(const std::string& chipPath);
std::vector<std::uint8_t> withTime(std::vector<std::uint8_t> payload, std::int64_t timeMs);
std::uint32_t kindsKind();
std::uint32_t playerKind();
std::uint32_t sessionKind();

std::int64_t nowMs();
// "2026/12/07 08:15:03", local time.
std::string timeText(std::int64_t timeMs);

}  // namespace recovery

// Everything a recovery folder holds, read without changing it.
struct RecoveredWork {
    std::string folder;
    RecoveredMap map;
    recovery::Kinds kinds;
    recovery::Player player;
    recovery::Session session;
    bool restoreFailed = false;  // a start began to restore this work and did not finish
    std::vector<std::string> problems;

    bool hasMap() const { return map.found && map.modified; }
    bool hasKinds() const { return kinds.found && kinds.modified; }
    bool hasPlayer() const { return player.found && player.modified; }
    // Unsaved work to offer back, or something that could not be read and should not be lost
    // unasked.
    bool needsUser() const { return hasMap() || hasKinds() || hasPlayer() || !problems.empty(); }
    std::int64_t lastTimeMs() const;

    static RecoveredWork read(const std::string& folder, const std::vector<std::string>& names);
};
