#include "tools/KindsJson.h"

#include <algorithm>

#include "chips/KindTable.h"

namespace {

const char* const kRecordKeys[] = {"number",  "z",      "memo",     "red",
                                   "green",   "blue",   "passable", "dropThrough",
                                   "hitLeft", "hitTop", "hitRight", "hitBottom"};

}  // namespace

namespace kindsjson {

// One record a line, fields in the file's order.
std::string write(const KindTable& table) {
    std::string out = "[";
    for (int i = 0; i < table.count(); ++i) {
        const KindRecord r = table.record(i);
        const std::int64_t values[] = {r.number,  r.z,      0,          r.red,
                                       r.green,   r.blue,   r.passable, r.dropThrough,
                                       r.hitLeft, r.hitTop, r.hitRight, r.hitBottom};
        json::OrderedValue record;
        for (int k = 0; k < 12; ++k) {
            if (k == 2) {
                record[kRecordKeys[k]] = r.memoText();
            } else {
                record[kRecordKeys[k]] = values[k];
            }
        }
        out += i == 0 ? "\n  " : ",\n  ";
        out += json::write(record);
    }
    out += table.count() > 0 ? "\n]\n" : "]\n";
    return out;
}

static bool readRecords(const json::Value& value, std::vector<KindRecord>& records,
                        std::string& error) {
    if (!value.is_array()) {
        error = "the attribute table must be a JSON array of records";
        return false;
    }
    records.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        const json::Value& item = value[i];
        const std::string where = "record " + std::to_string(i) + ": ";
        if (!item.is_object()) {
            error = where + "must be an object";
            return false;
        }
        for (const auto& member : item.items()) {
            if (std::find(std::begin(kRecordKeys), std::end(kRecordKeys), member.key()) ==
                std::end(kRecordKeys)) {
                error = where + "unknown field \"" + member.key() + "\"";
                return false;
            }
        }
        KindRecord record;
        record.number = static_cast<std::int32_t>(i);
        std::int64_t v[12] = {record.number, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0};
        for (int k = 0; k < 12; ++k) {
            if (k == 2) {
                continue;
            }
            const bool channel = k >= 3 && k <= 5;
            if (!json::integerMember(item, kRecordKeys[k], channel ? 0 : INT32_MIN,
                                     channel ? 255 : INT32_MAX, v[k], error, where)) {
                return false;
            }
        }
        record.number = static_cast<std::int32_t>(v[0]);
        record.z = static_cast<std::int32_t>(v[1]);
        record.red = static_cast<std::uint8_t>(v[3]);
        record.green = static_cast<std::uint8_t>(v[4]);
        record.blue = static_cast<std::uint8_t>(v[5]);
        record.passable = static_cast<std::int32_t>(v[6]);
        record.dropThrough = static_cast<std::int32_t>(v[7]);
        record.hitLeft = static_cast<std::int32_t>(v[8]);
        record.hitTop = static_cast<std::int32_t>(v[9]);
        record.hitRight = static_cast<std::int32_t>(v[10]);
        record.hitBottom = static_cast<std::int32_t>(v[11]);
        const auto memo = item.find("memo");
        if (memo != item.end()) {
            if (!memo->is_string()) {
                error = where + "\"memo\" must be a string";
                return false;
            }
            const KindRecord::MemoResult stored = record.setMemoText(memo->get<std::string>());
            if (stored.lossy) {
                error = where + "the memo has characters that cannot be stored in code page 932";
                return false;
            }
            if (stored.truncated) {
                error = where + "the memo is longer than 259 bytes in code page 932";
                return false;
            }
        }
        records.push_back(record);
    }
    return true;
}

platform::Outcome<bool> read(const json::Value& value, std::vector<KindRecord>& records) {
    return platform::outcomeOf([&](std::string& why) { return readRecords(value, records, why); });
}

}  // namespace kindsjson
