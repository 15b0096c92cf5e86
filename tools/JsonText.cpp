#include "tools/JsonText.h"

namespace json {

bool parse(const std::string& text, Value& value, std::string& error) {
    try {
        value = Value::parse(text);
        return true;
    } catch (const Value::parse_error& e) {
        // The library says "[json.exception…] parse error at line L, column C: what"; the
        // place and what are the parts a user needs.
        const std::string what = e.what();
        const std::size_t at = what.find("line ");
        error = at == std::string::npos ? what : what.substr(at);
        value = Value();
        return false;
    }
}

bool integerIn(const Value& value, std::int64_t low, std::int64_t high, std::int64_t& out) {
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        out = value.get<std::int64_t>();
    } else if (value.is_number_unsigned() &&
               value.get<std::uint64_t>() <= static_cast<std::uint64_t>(INT64_MAX)) {
        out = static_cast<std::int64_t>(value.get<std::uint64_t>());
    } else {
        return false;
    }
    return out >= low && out <= high;
}

}  // namespace json
