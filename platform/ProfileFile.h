#pragma once

#include <string>
#include <vector>

namespace platform {

// A settings file of "[section]" headers and "key=value" lines, read and written with the
// lookup rules of the private-profile files the settings format comes from: sections and keys
// match without regard to case, the first match wins, values (of any length) are trimmed of
// surrounding blanks and of one pair of matching quotes. Writing a key replaces its line or adds
// one at the end of its section (a missing section is appended); every other line is kept as it
// was.
class ProfileFile {
public:
    explicit ProfileFile(std::string path) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }
    // Where save() writes from now on (what was read stays).
    void setPath(std::string path) { m_path = std::move(path); }

    // Reads the file. A missing file is an empty profile (true); a file that exists but cannot
    // be read gives false and an empty profile.
    bool load();

    // The value of key in section, or fallback when there is none.
    std::string getString(const std::string& section, const std::string& key,
                          const std::string& fallback) const;
    // Sets key in section to value; getString reads back exactly value.
    void setString(const std::string& section, const std::string& key, const std::string& value);

    // Writes the profile back, replacing the file as a whole; false when it cannot.
    bool save() const;

    // The text the file would hold.
    std::string text() const;

private:
    // The index of the line holding section's header, or -1.
    int findSection(const std::string& section) const;
    // The index of the line holding key inside the section that starts after line sectionLine.
    int findKey(int sectionLine, const std::string& key) const;

    std::string m_path;
    std::vector<std::string> m_lines;
    std::string m_newline = "\n";
};

}  // namespace platform
