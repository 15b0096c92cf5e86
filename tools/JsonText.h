#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "platform/Outcome.h"

// JSON for the command-line tool, through nlohmann/json: parsing with messages that say where
// the input went wrong, and writing that keeps UTF-8 as it is.
namespace json {

using Value = nlohmann::json;
// Members in the order they were added, for the outputs whose field order users see.
using OrderedValue = nlohmann::ordered_json;

// Parses text as one JSON value. A failure's reason reads "line L, column C: what was wrong".
platform::Outcome<bool> parse(const std::string& text, Value& value);

// Compact text; bytes that are not UTF-8 become U+FFFD rather than failing the write.
template <typename Json>
std::string write(const Json& value) {
    return value.dump(-1, ' ', false, nlohmann::detail::error_handler_t::replace);
}

// "line L, column C" of a byte offset in text, for messages about any text.
std::string placeOf(const std::string& text, std::size_t offset);

// An integer of the value's kind within [low, high] into out; false for anything else.
bool integerIn(const Value& value, std::int64_t low, std::int64_t high, std::int64_t& out);

// The object's member key, when present, as integerIn reads it into value; value is left as it
// is when the member is absent. False when it is present and not such an integer.
bool integerMember(const Value& object, const char* key, std::int64_t low, std::int64_t high,
                   std::int64_t& value);
// The same, error then naming the member after where.
bool integerMember(const Value& object, const char* key, std::int64_t low, std::int64_t high,
                   std::int64_t& value, std::string& error, const std::string& where);

}  // namespace json
