#pragma once

#include <cstdint>
#include <string>

#include "map/MapGrid.h"
#include "platform/FileIo.h"
#include "platform/Outcome.h"

// Reading and writing map files, apart from any window so that the editor, the command-line
// tool and the tests share one implementation. A map file is a chunk file with one "MAPB" chunk;
// the older text form beginning "MAPT" is read only.
//
// Loads replace the grid's layers and counts and nothing else: the chip size in effect and the
// file-backed flag are the caller's (the map screen sets the flag and resets its view).
// A load that fails leaves the grid exactly as it was and says why in its notice, worded in the
// language it is given; the caller shows it.
class MapFile {
public:
    enum class Format { None, Binary, Text };

    // The largest map file read. A "MAPB" chunk of the largest canvas holds 200 MB; a text map
    // of that canvas, written cell by cell, a few hundred.
    static constexpr std::uint64_t kMaxFileBytes = 1ull << 30;

    // What a file says about itself beside the cells.
    struct Header {
        Format format = Format::None;
        int chipWidth = 0;  // as stored: the "MAPB" fields, or lines 2 and 3 of a text map
        int chipHeight = 0;
    };

    enum class BinaryResult { Loaded, NoChunk, Damaged };

    // Reads the first "MAPB" chunk. NoChunk: the file cannot be read or holds no such chunk.
    // Damaged: the chunk is there but its counts are negative, above the canvas limit, or
    // promise more cells than its data hold.
    static BinaryResult loadBinary(const std::string& path, MapGrid& grid, Header* header = nullptr,
                                   const platform::Progress& progress = {});

    // Reads a "MAPT" text map.
    static platform::Outcome<bool> loadText(const std::string& path, MapGrid& grid,
                                            const platform::Language& language,
                                            Header* header = nullptr);

    // Tries the binary form, then the text form. A damaged "MAPB" chunk is reported as such
    // rather than tried as text; a file larger than kMaxFileBytes, or one that needs more
    // memory than there is, is reported as too large. Returns the format read, or None.
    static platform::Outcome<Format> load(const std::string& path, MapGrid& grid,
                                          const platform::Language& language,
                                          Header* header = nullptr,
                                          const platform::Progress& progress = {});

    // Forces the extension ".map" on path (written back), sets the grid's file-backed flag, and
    // writes the map as one "MAPB" chunk. A failed write leaves any previous file untouched and
    // says why in its notice, worded in language.
    static platform::Outcome<bool> save(std::string& path, MapGrid& grid,
                                        const platform::Language& language = platform::Language(),
                                        const platform::Progress& progress = {});
};
