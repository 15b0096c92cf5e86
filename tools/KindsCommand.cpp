#include <algorithm>

#include "chips/KindTable.h"
#include "tools/JsonText.h"
#include "tools/ToolCommand.h"
#include "tools/ToolSupport.h"

namespace {

const char* const kRecordKeys[] = {"number",  "z",      "memo",     "red",
                                   "green",   "blue",   "passable", "dropThrough",
                                   "hitLeft", "hitTop", "hitRight", "hitBottom"};

// One record a line, fields in the file's order.
std::string recordsToJson(const KindTable& table) {
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

bool recordsFromJson(const json::Value& value, std::vector<KindRecord>& records,
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

int kinds(const ToolIo& io, const ToolOptions& options) {
    const bool fromJson = options.has("--from-json");
    const bool defaults = options.has("--defaults");
    if (fromJson && defaults) {
        return io.usageError("kinds takes --from-json or --defaults, not both");
    }
    if (fromJson || defaults) {
        if (!options.positional.empty() || !options.has("-o")) {
            return io.usageError(std::string("kinds ") +
                                 (fromJson ? "--from-json JSON" : "--defaults") +
                                 " needs -o KND and nothing else");
        }
        KindTable table;
        if (fromJson) {
            const std::string source = options.value("--from-json");
            std::string text, error;
            json::Value root;
            std::vector<KindRecord> records;
            if (!tool::readText(source, text)) {
                return io.inputError("cannot read " + source);
            }
            if (!json::parse(text, root, error) || !recordsFromJson(root, records, error)) {
                return io.inputError(source + ": " + error);
            }
            table.assign(std::move(records));
        }
        std::string path = options.value("-o");
        if (!table.saveFile(path)) {
            return io.inputError("cannot write " + path);
        }
        return kToolOk;
    }
    if (options.positional.size() != 1) {
        return io.usageError("kinds takes one attribute file");
    }
    KindTable table;
    const std::string& path = options.positional[0];
    if (!table.loadFile(path)) {
        return io.inputError(path + ": not an attribute file (no readable \"KIND\" chunk)");
    }
    return io.emit(recordsToJson(table), options.value("-o"));
}

}  // namespace

const ToolCommand& kindsCommand() {
    static const ToolCommand command{
        "kinds",
        {{"-o", true}, {"--from-json", true}, {"--defaults", false}},
        "  kinds KND [-o OUT]\n"
        "      print the attribute table as a JSON array of records\n"
        "  kinds --from-json JSON -o KND\n"
        "      write an attribute file (\".knd\" is forced) from such an array\n"
        "  kinds --defaults -o KND\n"
        "      write the default attribute table (100 records, random colours)\n",
        kinds};
    return command;
}
