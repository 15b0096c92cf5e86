#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A small JSON reader and writer for the command-line tool: enough for maps and attribute
// tables, strict about what it accepts, and with messages that say where the input went wrong.
namespace json {

struct Value {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    std::string text;        // a string's contents, or a number's literal as written
    bool isInteger = false;  // a number written without fraction or exponent that fits 64 bits
    std::int64_t integer = 0;
    std::vector<Value> items;                            // an array's items
    std::vector<std::pair<std::string, Value>> members;  // an object's members in order

    // The member named key, or null.
    const Value* find(const std::string& key) const;
};

// Parses text as one JSON value. On failure returns false and sets error ("line L, column C: …").
bool parse(const std::string& text, Value& value, std::string& error);

// Appends text as a JSON string literal (quoted and escaped; UTF-8 kept as it is).
void appendString(std::string& out, const std::string& text);

// Appends a decimal integer.
void appendInteger(std::string& out, std::int64_t value);

}  // namespace json
