#include "tools/Json.h"

#include <charconv>
#include <cstdio>

namespace json {

namespace {

constexpr int kMaxDepth = 64;

class Parser {
public:
    explicit Parser(const std::string& text) : m_text(text) {}

    bool run(Value& value, std::string& error) {
        skipSpace();
        if (!parseValue(value, 0)) {
            error = m_error;
            return false;
        }
        skipSpace();
        if (m_pos != m_text.size()) {
            fail("unexpected text after the value");
            error = m_error;
            return false;
        }
        return true;
    }

private:
    bool fail(const std::string& what) {
        if (m_error.empty()) {
            int line = 1, column = 1;
            for (std::size_t i = 0; i < m_pos && i < m_text.size(); ++i) {
                if (m_text[i] == '\n') {
                    ++line;
                    column = 1;
                } else {
                    ++column;
                }
            }
            m_error =
                "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what;
        }
        return false;
    }

    void skipSpace() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' ||
                                         m_text[m_pos] == '\n' || m_text[m_pos] == '\r')) {
            ++m_pos;
        }
    }

    bool literal(const char* word) {
        const std::size_t n = std::char_traits<char>::length(word);
        if (m_text.compare(m_pos, n, word) != 0) {
            return fail("unknown word");
        }
        m_pos += n;
        return true;
    }

    bool parseValue(Value& value, int depth) {
        if (depth > kMaxDepth) {
            return fail("nested too deeply");
        }
        if (m_pos >= m_text.size()) {
            return fail("a value is missing");
        }
        const char c = m_text[m_pos];
        if (c == '{') {
            return parseObject(value, depth);
        }
        if (c == '[') {
            return parseArray(value, depth);
        }
        if (c == '"') {
            value.type = Value::Type::String;
            return parseString(value.text);
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            return parseNumber(value);
        }
        if (c == 't' || c == 'f') {
            value.type = Value::Type::Bool;
            value.boolean = c == 't';
            return literal(c == 't' ? "true" : "false");
        }
        if (c == 'n') {
            value.type = Value::Type::Null;
            return literal("null");
        }
        return fail(std::string("unexpected character '") + c + "'");
    }

    bool parseObject(Value& value, int depth) {
        value.type = Value::Type::Object;
        ++m_pos;
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == '}') {
            ++m_pos;
            return true;
        }
        for (;;) {
            skipSpace();
            if (m_pos >= m_text.size() || m_text[m_pos] != '"') {
                return fail("a member name in quotes is expected");
            }
            std::string key;
            if (!parseString(key)) {
                return false;
            }
            skipSpace();
            if (m_pos >= m_text.size() || m_text[m_pos] != ':') {
                return fail("':' is expected after a member name");
            }
            ++m_pos;
            skipSpace();
            value.members.emplace_back(std::move(key), Value());
            if (!parseValue(value.members.back().second, depth + 1)) {
                return false;
            }
            skipSpace();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == '}') {
                ++m_pos;
                return true;
            }
            return fail("',' or '}' is expected");
        }
    }

    bool parseArray(Value& value, int depth) {
        value.type = Value::Type::Array;
        ++m_pos;
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == ']') {
            ++m_pos;
            return true;
        }
        for (;;) {
            skipSpace();
            value.items.emplace_back();
            if (!parseValue(value.items.back(), depth + 1)) {
                return false;
            }
            skipSpace();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == ']') {
                ++m_pos;
                return true;
            }
            return fail("',' or ']' is expected");
        }
    }

    bool parseNumber(Value& value) {
        value.type = Value::Type::Number;
        const std::size_t start = m_pos;
        if (m_text[m_pos] == '-') {
            ++m_pos;
        }
        auto digits = [&]() {
            const std::size_t first = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
                ++m_pos;
            }
            return m_pos - first;
        };
        const std::size_t intStart = m_pos;
        if (digits() == 0) {
            return fail("a digit is expected");
        }
        if (m_text[intStart] == '0' && m_pos - intStart > 1) {
            m_pos = intStart;
            return fail("numbers do not start with 0");
        }
        bool plain = true;
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            plain = false;
            if (digits() == 0) {
                return fail("a digit is expected after '.'");
            }
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            ++m_pos;
            plain = false;
            if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) {
                ++m_pos;
            }
            if (digits() == 0) {
                return fail("a digit is expected in the exponent");
            }
        }
        value.text = m_text.substr(start, m_pos - start);
        if (plain) {
            const auto r = std::from_chars(value.text.data(), value.text.data() + value.text.size(),
                                           value.integer);
            value.isInteger = r.ec == std::errc() && r.ptr == value.text.data() + value.text.size();
        }
        return true;
    }

    bool hex4(unsigned& code) {
        if (m_text.size() - m_pos < 4) {
            return fail("\\u needs four hex digits");
        }
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = m_text[m_pos++];
            code <<= 4;
            if (h >= '0' && h <= '9') {
                code |= h - '0';
            } else if (h >= 'a' && h <= 'f') {
                code |= h - 'a' + 10;
            } else if (h >= 'A' && h <= 'F') {
                code |= h - 'A' + 10;
            } else {
                return fail("\\u needs four hex digits");
            }
        }
        return true;
    }

    static void appendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool parseString(std::string& out) {
        ++m_pos;  // the opening quote
        out.clear();
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                --m_pos;
                return fail("control character in a string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size()) {
                break;
            }
            const char e = m_text[m_pos++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned code;
                    if (!hex4(code)) {
                        return false;
                    }
                    if (code >= 0xD800 && code <= 0xDBFF) {
                        unsigned low;
                        if (m_text.compare(m_pos, 2, "\\u") != 0) {
                            return fail("a surrogate pair is cut short");
                        }
                        m_pos += 2;
                        if (!hex4(low) || low < 0xDC00 || low > 0xDFFF) {
                            return fail("a surrogate pair is cut short");
                        }
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    } else if (code >= 0xDC00 && code <= 0xDFFF) {
                        return fail("a lone low surrogate");
                    }
                    appendUtf8(out, code);
                    break;
                }
                default:
                    --m_pos;
                    return fail("unknown escape");
            }
        }
        return fail("a string is not closed");
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
    std::string m_error;
};

}  // namespace

const Value* Value::find(const std::string& key) const {
    for (const auto& member : members) {
        if (member.first == key) {
            return &member.second;
        }
    }
    return nullptr;
}

bool parse(const std::string& text, Value& value, std::string& error) {
    value = Value();
    return Parser(text).run(value, error);
}

void appendString(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void appendInteger(std::string& out, std::int64_t value) {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, r.ptr);
}

}  // namespace json
