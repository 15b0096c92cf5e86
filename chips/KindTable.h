#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chips/KindRecord.h"
#include "platform/Outcome.h"

// The attribute table: record i belongs to attribute number i. The editor works with numbers
// 0 to 99, so the table normally holds 100 records; a loaded file may hold any number, and
// hasRecord tells whether a number has one.
class KindTable {
public:
    static constexpr int kDefaultCount = 100;

    // The default table, its colours drawn from a generator seeded with the current time.
    KindTable();

    // 100 records numbered 0 to 99 with the memo "属性未定義", passable, not drop-through, an
    // empty hit rectangle, Z 0 and a random colour (red, green, blue drawn in that order).
    void resetToDefaults();
    void resetToDefaults(unsigned seed);

    int count() const { return static_cast<int>(m_records.size()); }
    bool hasRecord(int number) const { return number >= 0 && number < count(); }
    // The record of number, which must have one.
    KindRecord record(int number) const { return m_records[number]; }
    void setRecord(int number, const KindRecord& record) { m_records[number] = record; }
    const std::vector<KindRecord>& records() const { return m_records; }
    void assign(std::vector<KindRecord> records) { m_records = std::move(records); }

    // Whether the records differ from those last loaded, saved, or made as the defaults.
    bool isModified() const;
    // The records as they are count as saved: a file of them was written or read elsewhere.
    void markSaved() const { m_saved = m_records; }

    // The largest attribute file read: room for a table far beyond the 100 records in use.
    static constexpr std::uint64_t kMaxFileBytes = 64ull << 20;

    // Reads the first "KIND" chunk of an attribute file. On failure the table is unchanged and
    // the notice says why, worded in language: the file cannot be read, holds no such chunk, or
    // its chunk is too short for its count; or the file is larger than kMaxFileBytes, or its
    // records do not fit in memory.
    platform::Outcome<bool> load(const std::string& path,
                                 const platform::Language& language = platform::Language());
    bool loadFile(const std::string& path) { return load(path).value; }

    // Forces the extension ".knd" on path (written back) and writes the whole table as one
    // "KIND" chunk. A failed write leaves any previous file untouched and says why.
    platform::Outcome<bool> save(std::string& path,
                                 const platform::Language& language = platform::Language()) const;
    bool saveFile(std::string& path) const { return save(path).value; }

private:
    std::vector<KindRecord> m_records;
    // The records as their file holds them, as far as the editor knows. Saving a table does not
    // change the table, so this may change on a const table.
    mutable std::vector<KindRecord> m_saved;
};
