#pragma once

#include <string>

#include "map/MapGrid.h"
#include "tools/JsonText.h"

// The tool's own JSON form of a map: {"columns", "rows", "chips", "attributes"}, each layer an
// array of rows of integers; on reading, "chipWidth" and "chipHeight" may give the chip size.
namespace mapjson {

// The JSON of export and edit --json, with a final newline.
std::string write(const MapGrid& grid);

// Reads a map from parsed JSON; error names the member or array index that is wrong.
bool read(const json::Value& root, MapGrid& grid, std::string& error);

}  // namespace mapjson
