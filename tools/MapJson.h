#pragma once

#include <string>

#include "map/MapGrid.h"
#include "tools/JsonText.h"

// The tool's own JSON form of a map: {"columns", "rows", "chips", "attributes"}, each layer an
// array of rows of integers; on reading, "chipWidth" and "chipHeight" may give the chip size.
namespace mapjson {

// The JSON of export and edit --json, with a final newline.
std::string write(const MapGrid& grid);

// Reads a map from parsed JSON; a failure's reason names the member or array index that is wrong.
platform::Outcome<bool> read(const json::Value& root, MapGrid& grid);

}  // namespace mapjson
