#include <cstdint>
#include <cstdlib>
#include <string>

#include "chips/KindTable.h"
#include "tools/KindsJson.h"

// An attribute table as JSON, as `pelorin-tool kinds --from-json` reads it; a table that reads
// is written and reads back to the same text.
namespace {

platform::Outcome<bool> readRecords(const std::string& text, std::vector<KindRecord>& records) {
    json::Value root;
    return json::parse(text, root).then([&] { return kindsjson::read(root, records); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<KindRecord> records;
    const platform::Outcome<bool> read = readRecords(text, records);
    if (!read.value) {
        if (read.notices.size() != 1 || read.why().empty()) {
            std::abort();
        }
        return 0;
    }
    KindTable table;
    table.assign(std::move(records));
    const std::string written = kindsjson::write(table);
    KindTable again;
    if (!readRecords(written, records).value) {
        std::abort();
    }
    again.assign(std::move(records));
    if (kindsjson::write(again) != written) {
        std::abort();
    }
    return 0;
}
