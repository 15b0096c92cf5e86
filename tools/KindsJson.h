#pragma once

#include <string>
#include <vector>

#include "tools/JsonText.h"

class KindTable;
struct KindRecord;

// The attribute table as JSON: an array of records, one object each with the fields in the
// file's order ("number", "z", "memo", the colour, "passable", "dropThrough", the hit box).
namespace kindsjson {

std::string write(const KindTable& table);
// The records of value, numbered by their place. A failure's reason says which record is wrong
// and why: an unknown field, a number out of range, a memo code page 932 cannot hold.
platform::Outcome<bool> read(const json::Value& value, std::vector<KindRecord>& records);

}  // namespace kindsjson
