#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "platform/MessagePort.h"
#include "platform/Outcome.h"

class ChipSet;
class CNxSurface;
class KindTable;
class MapGrid;

// Pieces that several commands share: the editor's message boxes as error lines, whole-file
// reads, and loading the map, chip image and attribute table as the editor does.
namespace tool {

// Message boxes of the editor's code become lines on the error stream.
class StderrPort : public platform::MessagePort {
public:
    explicit StderrPort(std::FILE* err) : m_err(err) {}
    platform::MessageAnswer messageBox(platform::NativeWindow*, const std::string& text,
                                       const std::string& title, platform::MessageButtons,
                                       platform::MessageIcon) override;

private:
    std::FILE* m_err;
};

// The library singleton's image loaders serve one caller at a time (the decoder last chosen is
// kept for the next file): the scope holds them for its thread while it lives.
class LibraryScope {
public:
    LibraryScope();
    LibraryScope(const LibraryScope&) = delete;
    LibraryScope& operator=(const LibraryScope&) = delete;

private:
    std::unique_lock<std::mutex> m_lock;
};

// The whole file as text (at most 2 GiB); a pipe is read to its end.
bool readText(const std::string& path, std::string& text);

// Whether a chip size that a map file stores is one the editor allows (16 … 64 each way); the
// tool takes it only then.
bool storedChipSizeAllowed(int width, int height);

// Loads a map file as the editor does, its messages going to err. The chip size the file
// stores becomes the grid's when it is one the editor allows (16 … 64); otherwise 32 × 32.
bool loadMap(const std::string& path, MapGrid& grid, std::FILE* err);

// Decodes the chip image as the editor does, once per run and path: later calls, from any
// thread, share the first one's picture or failure. Null with the reason.
platform::Outcome<std::shared_ptr<const CNxSurface>> decodeChipImage(const std::string& path,
                                                                     std::FILE* err);

// Decodes the chip image as the editor does and cuts it with the map's chip size, which the
// chip set clamps to the image and to 16 … 64 as the chip window does. A failure gives the
// reason.
platform::Outcome<bool> loadChipSet(const std::string& path, const MapGrid& grid, ChipSet& chips,
                                    std::FILE* err);

// Loads the attribute file, or without a path gives the default table with colours from a fixed
// seed, so that runs without an attribute file agree with each other.
platform::Outcome<bool> loadKinds(const std::string& path, KindTable& table);

}  // namespace tool
