#include "tools/JsonText.h"

namespace json {

namespace {

// The library's tree builder, told to keep where an error happened: a number too large for a
// double is reported without a place otherwise.
class TreeBuilder : public nlohmann::detail::json_sax_dom_parser<Value> {
public:
    explicit TreeBuilder(Value& value) : json_sax_dom_parser(value, false) {}

    template <class Exception>
    bool parse_error(std::size_t position, const std::string& token, const Exception& e) {
        m_position = position >= token.size() ? position - token.size() : 0;  // where it starts
        m_what = e.what();
        return false;
    }

    std::size_t position() const { return m_position; }
    const std::string& what() const { return m_what; }

private:
    std::size_t m_position = 0;
    std::string m_what;
};

}  // namespace

std::string placeOf(const std::string& text, std::size_t offset) {
    int line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

platform::Outcome<bool> parse(const std::string& text, Value& value) {
    value = Value();
    TreeBuilder builder(value);
    if (Value::sax_parse(text, &builder, nlohmann::detail::input_format_t::json, true, false)) {
        return {true, {}};
    }
    // The library says "[json.exception…] parse error at line L, column C: what", or for a
    // number out of range only "[json.exception…] what".
    const std::string& what = builder.what();
    const std::size_t at = what.find("line ");
    const std::size_t bracket = what.find("] ");
    value = Value();
    return platform::Outcome<bool>::because(
        at != std::string::npos
            ? what.substr(at)
            : placeOf(text, builder.position()) + ": " +
                  (bracket == std::string::npos ? what : what.substr(bracket + 2)));
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

bool integerMember(const Value& object, const char* key, std::int64_t low, std::int64_t high,
                   std::int64_t& value) {
    const auto member = object.find(key);
    return member == object.end() || integerIn(*member, low, high, value);
}

bool integerMember(const Value& object, const char* key, std::int64_t low, std::int64_t high,
                   std::int64_t& value, std::string& error, const std::string& where) {
    if (!integerMember(object, key, low, high, value)) {
        error = where + "\"" + key + "\" must be an integer from " + std::to_string(low) + " to " +
                std::to_string(high);
        return false;
    }
    return true;
}

}  // namespace json
