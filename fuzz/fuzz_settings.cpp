#include "app/core/EditorSettings.h"
#include "fuzz/FuzzFile.h"
#include "platform/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::ProfileFile profile(fuzzFile(data, size));
    if (!profile.load()) {
        return 0;
    }
    EditorSettings settings = loadSettings(profile);
    saveSettings(settings, profile);
    // What was written reads back as written.
    const EditorSettings again = loadSettings(profile);
    if (again.map.gridColour != settings.map.gridColour ||
        again.chip.chipWidth != settings.chip.chipWidth) {
        std::abort();
    }
    return 0;
}
