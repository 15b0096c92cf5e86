#include "chips/KindTable.h"
#include "fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KindTable table;
    table.resetToDefaults(1);
    if (table.loadFile(fuzzFile(data, size))) {
        for (const KindRecord& record : table.records()) {
            (void)record.memoText();  // a memo without its terminator stays inside its field
        }
    } else if (table.count() != KindTable::kDefaultCount) {
        std::abort();
    }
    return 0;
}
