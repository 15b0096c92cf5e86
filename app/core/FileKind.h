#pragma once

#include <string>

// What a file is, told by its first bytes, never by its name: a map ("MAPB" or "MAPT"), an
// attribute file ("KIND"), a player's frames (a JSON object naming "pelorinPlayer"), or anything
// else, which only an image decoder can say it takes.
enum class FileKind { Map, Attributes, Frames, Image, Unreadable };

FileKind fileKindOf(const std::string& path);
