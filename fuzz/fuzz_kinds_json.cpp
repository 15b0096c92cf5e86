#include <cstdint>
#include <cstdlib>
#include <string>

#include "chips/KindTable.h"
#include "tools/KindsJson.h"

// An attribute table as JSON, as `pelorin-tool kinds --from-json` reads it; a table that reads
// is written and reads back to the same text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    json::Value root;
    std::vector<KindRecord> records;
    std::string error;
    if (!json::parse(text, root, error) || !kindsjson::read(root, records, error)) {
        if (error.empty()) {
            std::abort();
        }
        return 0;
    }
    KindTable table;
    table.assign(std::move(records));
    const std::string written = kindsjson::write(table);
    KindTable again;
    if (!json::parse(written, root, error) || !kindsjson::read(root, records, error)) {
        std::abort();
    }
    again.assign(std::move(records));
    if (kindsjson::write(again) != written) {
        std::abort();
    }
    return 0;
}
