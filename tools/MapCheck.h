#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "map/MapFile.h"

class KindTable;
class MapGrid;

// What `pelorin-tool check` finds in a map: each kind of fault a check with a stable name, each
// finding placed at its cell (1-based row and column) or on the file as a whole.
namespace mapcheck {

struct Check {
    const char* name;
    const char* about;  // one line for --help
};
// Every check, in the order --help lists them.
const std::vector<Check>& checks();
bool isCheck(const std::string& name);

struct Finding {
    int row;     // 1-based; 0 for the file as a whole
    int column;  // likewise
    const char* check;
    std::string message;
};

// The findings of one map: all counted, the first `limit` kept with their messages.
class Report {
public:
    Report(std::size_t limit, std::set<std::string> ignored)
        : m_limit(limit), m_ignored(std::move(ignored)) {}

    bool wants(const char* check) const { return m_ignored.count(check) == 0; }
    // Whether a further finding would be kept, so that its message is worth making.
    bool keepsMore() const { return m_shown.size() < m_limit; }
    void add(const char* check, int row, int column, std::string message);
    // A finding past the limit: only counted.
    void count(const char* check);

    const std::vector<Finding>& shown() const { return m_shown; }
    const std::map<std::string, std::size_t>& counts() const { return m_counts; }
    std::size_t total() const { return m_total; }

private:
    std::size_t m_limit;
    std::set<std::string> m_ignored;
    std::vector<Finding> m_shown;
    std::map<std::string, std::size_t> m_counts;
    std::size_t m_total = 0;
};

// The size of the chip image the map is drawn with, when one is given.
struct Sheet {
    int width = 0;
    int height = 0;
    bool given() const { return width > 0 && height > 0; }
};

// A map that could not be read, with the reader's message.
void unreadable(const std::string& message, Report& report);
// The checks of a map read with header: its stored chip size against the editor's range and
// the sheet, its chips against the chips the sheet cut to that size holds, its attributes
// against kinds' records (without kinds, the editor's attributes 0 … 99). kindsName names the
// attribute file in messages.
void checkMap(const MapGrid& grid, const MapFile::Header& header, const Sheet& sheet,
              const KindTable* kinds, const std::string& kindsName, Report& report);

}  // namespace mapcheck
