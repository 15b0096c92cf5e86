#include "app/core/EditorSettings.h"

#include <sys/stat.h>

#include <algorithm>

#include "grid/Zoom.h"
#include "platform/ProfileFile.h"
#include "platform/TextNumbers.h"

namespace {

const char kAbsent[] = "find_none";

// The four colour groups a record may carry, with their key prefixes.
struct ColourKey {
    const char* prefix;
    std::uint32_t WindowSettings::*colour;
};
const ColourKey kColours[] = {
    {"grid", &WindowSettings::gridColour},
    {"cur", &WindowSettings::cursorColour},
    {"selcur", &WindowSettings::selectionFrameColour},
    {"selfil", &WindowSettings::selectionFillColour},
};
// Channels in key order with the shift of their byte in 0xAARRGGBB.
const struct {
    const char* suffix;
    int shift;
} kChannels[] = {{"_red", 16}, {"_green", 8}, {"_blue", 0}, {"_alpha", 24}};

struct Section {
    const char* name;
    WindowSettings EditorSettings::*record;
    bool windowSize;  // windw, windh, scrbar (and the selection colours)
    bool chipSize;    // chipw, chiph
};
const Section kSections[] = {
    {"MapInfo", &EditorSettings::map, true, false},
    {"ChipInfo", &EditorSettings::chip, true, true},
    {"KindInfo", &EditorSettings::kind, false, false},
};

bool isExistingFile(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

class Reader {
public:
    Reader(const platform::ProfileFile& profile, const char* section)
        : m_profile(profile), m_section(section) {}

    // The key's number when it is present and within low..high.
    void number(const std::string& key, std::int32_t low, std::int32_t high,
                std::int32_t& target) const {
        const std::string text = m_profile.getString(m_section, key, kAbsent);
        if (text == kAbsent) {
            return;
        }
        const std::int32_t value = platform::decimalValue(text);
        if (value >= low && value <= high) {
            target = value;
        }
    }

    void channel(const std::string& key, int shift, std::uint32_t& colour) const {
        const std::string text = m_profile.getString(m_section, key, kAbsent);
        if (text != kAbsent) {
            const std::uint32_t byte =
                static_cast<std::uint32_t>(platform::decimalValue(text)) & 0xFF;
            colour = (colour & ~(0xFFu << shift)) | byte << shift;
        }
    }

    void zoom(std::string& target) const {
        target = Zoom::read(m_profile.getString(m_section, "zoom", "1")).text();
    }

    void path(std::string& target) const {
        const std::string text = m_profile.getString(m_section, "path", kAbsent);
        if (text != kAbsent && isExistingFile(text)) {
            target = text;
        }
    }

private:
    const platform::ProfileFile& m_profile;
    const char* m_section;
};

}  // namespace

EditorSettings loadSettings(const platform::ProfileFile& profile) {
    EditorSettings settings;
    constexpr std::int32_t kAny = INT32_MIN, kAll = INT32_MAX;
    for (const Section& section : kSections) {
        WindowSettings& record = settings.*section.record;
        const Reader read(profile, section.name);
        read.path(record.path);
        if (section.windowSize) {
            read.number("windw", 320, 1280, record.windowWidth);
            read.number("windh", 200, 1024, record.windowHeight);
        }
        if (section.chipSize) {
            read.number("chipw", 16, 64, record.chipWidth);
            read.number("chiph", 16, 64, record.chipHeight);
        }
        if (section.windowSize) {
            read.number("scrbar", kAny, kAll, record.scrollBars);
            read.zoom(record.zoom);
        }
        read.number("grid", kAny, kAll, record.grid);
        const int colourGroups = section.windowSize ? 4 : 2;
        for (int g = 0; g < colourGroups; ++g) {
            for (const auto& channel : kChannels) {
                read.channel(std::string(kColours[g].prefix) + channel.suffix, channel.shift,
                             record.*kColours[g].colour);
            }
        }
    }
    // Older files have no such section: no recent maps.
    for (int i = 1; i <= EditorSettings::kMaxRecent; ++i) {
        const std::string n = std::to_string(i);
        RecentMap entry{profile.getString("RecentMaps", "map" + n, ""),
                        profile.getString("RecentMaps", "chips" + n, ""),
                        profile.getString("RecentMaps", "kinds" + n, "")};
        const bool again = std::any_of(settings.recent.begin(), settings.recent.end(),
                                       [&](const RecentMap& r) { return r.map == entry.map; });
        if (!entry.map.empty() && entry.map[0] == '/' && !again) {
            settings.recent.push_back(std::move(entry));
        }
    }
    return settings;
}

void saveSettings(const EditorSettings& settings, platform::ProfileFile& profile) {
    for (const Section& section : kSections) {
        const WindowSettings& record = settings.*section.record;
        auto put = [&](const std::string& key, std::int64_t value) {
            profile.setString(section.name, key, std::to_string(value));
        };
        if (!record.path.empty()) {
            profile.setString(section.name, "path", record.path);
        }
        if (section.windowSize) {
            put("windw", record.windowWidth);
            put("windh", record.windowHeight);
        }
        if (section.chipSize) {
            put("chipw", record.chipWidth);
            put("chiph", record.chipHeight);
        }
        if (section.windowSize) {
            put("scrbar", record.scrollBars);
            profile.setString(section.name, "zoom", record.zoom);
        }
        put("grid", record.grid);
        const int colourGroups = section.windowSize ? 4 : 2;
        for (int g = 0; g < colourGroups; ++g) {
            for (const auto& channel : kChannels) {
                put(std::string(kColours[g].prefix) + channel.suffix,
                    (record.*kColours[g].colour >> channel.shift) & 0xFF);
            }
        }
    }
    for (int i = 1; i <= EditorSettings::kMaxRecent; ++i) {
        const std::string n = std::to_string(i);
        const bool used = i <= static_cast<int>(settings.recent.size());
        const RecentMap none;
        const RecentMap& entry = used ? settings.recent[i - 1] : none;
        profile.setString("RecentMaps", "map" + n, entry.map);
        profile.setString("RecentMaps", "chips" + n, entry.chips);
        profile.setString("RecentMaps", "kinds" + n, entry.kinds);
    }
}
