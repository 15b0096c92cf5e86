#include "platform/ProfileFile.h"

#include <sys/stat.h>

#include <strings.h>
#include <cerrno>
#include <new>

#include "platform/FileIo.h"

namespace platform {

namespace {

// A settings file holds a few dozen short lines; one far larger is not a settings file.
constexpr std::uint64_t kMaxFileBytes = 1024 * 1024;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) {
        ++b;
    }
    while (e > b && isBlank(s[e - 1])) {
        --e;
    }
    return s.substr(b, e - b);
}

bool sameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The section name of a header line "[name]", or false when the line is none.
bool sectionOf(const std::string& line, std::string& name) {
    const std::string t = trim(line);
    if (t.size() < 2 || t[0] != '[') {
        return false;
    }
    const std::size_t close = t.find(']');
    if (close == std::string::npos) {
        return false;
    }
    name = trim(t.substr(1, close - 1));
    return true;
}

// The key of a "key=value" line, or false for blank lines, comments and lines without "=".
bool keyOf(const std::string& line, std::string& key, std::string& value) {
    const std::string t = trim(line);
    if (t.empty() || t[0] == ';') {
        return false;
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string::npos) {
        return false;
    }
    key = trim(t.substr(0, eq));
    value = trim(t.substr(eq + 1));
    return true;
}

}  // namespace

bool ProfileFile::load() {
    m_lines.clear();
    m_newline = "\n";
    struct stat st;
    if (::stat(m_path.c_str(), &st) != 0 && errno == ENOENT) {
        return true;
    }
    FileBytes bytes;
    if (!readWholeFile(m_path, bytes, kMaxFileBytes)) {
        return false;
    }
    try {
        const std::string text(reinterpret_cast<const char*>(bytes.data.get()), bytes.size);
        if (text.find("\r\n") != std::string::npos) {
            m_newline = "\r\n";
        }
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) {
                end = text.size();
            }
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            m_lines.push_back(std::move(line));
            start = end + 1;
        }
    } catch (const std::bad_alloc&) {
        m_lines.clear();
        return false;
    }
    return true;
}

int ProfileFile::findSection(const std::string& section) const {
    std::string name;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (sectionOf(m_lines[i], name) && sameText(name, section)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ProfileFile::findKey(int sectionLine, const std::string& key) const {
    std::string name, k, v;
    for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i) {
        if (sectionOf(m_lines[i], name)) {
            break;
        }
        if (keyOf(m_lines[i], k, v) && sameText(k, key)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string ProfileFile::getString(const std::string& section, const std::string& key,
                                   const std::string& fallback) const {
    const int s = findSection(section);
    const int k = s < 0 ? -1 : findKey(s, key);
    if (k < 0) {
        return fallback;
    }
    std::string name, value;
    keyOf(m_lines[k], name, value);
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

void ProfileFile::setString(const std::string& section, const std::string& key,
                            const std::string& value) {
    // Reading trims blanks and one pair of matching quotes: a value that begins or ends with
    // either is written in quotes, so that it reads back as it was.
    const std::string edges = " \t\r\"'";
    const bool quoted = !value.empty() && (edges.find(value.front()) != std::string::npos ||
                                           edges.find(value.back()) != std::string::npos);
    const std::string line = key + "=" + (quoted ? '"' + value + '"' : value);
    int s = findSection(section);
    if (s < 0) {
        // A new section goes at the end, apart from what precedes it by a blank line.
        if (!m_lines.empty() && !trim(m_lines.back()).empty()) {
            m_lines.push_back("");
        }
        m_lines.push_back("[" + section + "]");
        m_lines.push_back(line);
        return;
    }
    const int k = findKey(s, key);
    if (k >= 0) {
        m_lines[k] = line;
        return;
    }
    // After the section's last non-blank line, so that blank lines between sections stay.
    std::size_t insertAt = s + 1;
    std::string name;
    for (std::size_t i = s + 1; i < m_lines.size() && !sectionOf(m_lines[i], name); ++i) {
        if (!trim(m_lines[i]).empty()) {
            insertAt = i + 1;
        }
    }
    m_lines.insert(m_lines.begin() + insertAt, line);
}

std::string ProfileFile::text() const {
    std::string out;
    for (const std::string& line : m_lines) {
        out += line;
        out += m_newline;
    }
    return out;
}

bool ProfileFile::save() const {
    const std::string out = text();
    return writeFileAtomically(m_path, {{out.data(), out.size()}}).value;
}

}  // namespace platform
