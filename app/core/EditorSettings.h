#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class ProfileFile;
}

// What the editor remembers between sessions for each of its three editing windows.
struct WindowSettings {
    std::string path;  // last map, chip image or attribute file; empty: none to remember
    std::int32_t windowWidth = 800;
    std::int32_t windowHeight = 600;
    std::int32_t chipWidth = 32;  // the chip window's record only
    std::int32_t chipHeight = 32;
    std::int32_t grid = 1;
    std::int32_t scrollBars = 0;
    std::uint32_t gridColour = 0xFF000000;
    std::uint32_t cursorColour = 0xFFFF0000;
    std::uint32_t selectionFrameColour = 0xFF0000FF;
    std::uint32_t selectionFillColour = 0x80FFFFFF;
    std::string zoom = "1";  // the map and chip windows': a zoom step as Zoom::text writes it
};

// A map opened or saved lately, with the chip image and attribute file it was last used with.
struct RecentMap {
    std::string map;
    std::string chips;
    std::string kinds;
};

struct EditorSettings {
    static constexpr int kMaxRecent = 10;

    WindowSettings map;   // section "MapInfo"
    WindowSettings chip;  // section "ChipInfo"
    WindowSettings kind;  // section "KindInfo": only path, grid and the grid and cursor colours
    std::vector<RecentMap> recent;  // section "RecentMaps", newest first, at most kMaxRecent

    EditorSettings() { kind.windowHeight = 128; }
};

// The defaults, overridden by every key of the profile that is present and in range. A colour
// channel keeps the low 8 bits of its number; a path is kept only when it names an existing
// file that is not a folder; a zoom that is no step is 1:1.
EditorSettings loadSettings(const platform::ProfileFile& profile);

// Writes every key of the three records into the profile (not to disk). Empty paths are not
// written, so the profile keeps whatever path it held.
void saveSettings(const EditorSettings& settings, platform::ProfileFile& profile);
