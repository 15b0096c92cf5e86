#include "tools/ToolSupport.h"

#include <map>

#include "chips/ChipSet.h"
#include "chips/KindTable.h"
#include "gfx/CNxSurface.h"
#include "gfx/CNxSystem.h"
#include "map/MapFile.h"
#include "platform/FileIo.h"
#include "tools/ToolCommand.h"

int ToolIo::usageError(const std::string& message) const {
    std::fprintf(m_err, "pelorin-tool: %s\n(see pelorin-tool --help)\n", message.c_str());
    return kToolUsage;
}

int ToolIo::inputError(const std::string& message) const {
    note(message);
    return kToolBadInput;
}

void ToolIo::note(const std::string& message) const {
    std::fprintf(m_err, "pelorin-tool: %s\n", message.c_str());
}

int ToolIo::emit(const std::string& text, const std::string& outPath) const {
    if (outPath.empty()) {
        std::fwrite(text.data(), 1, text.size(), m_out);
        return std::fflush(m_out) == 0 ? kToolOk : inputError("cannot write the output");
    }
    return writeFile(outPath, text.data(), text.size());
}

int ToolIo::writeFile(const std::string& path, const void* data, std::size_t size) const {
    const platform::Outcome<bool> written = platform::writeFileAtomically(path, {{data, size}});
    return written.value ? kToolOk : inputError(written.why());
}

namespace tool {

platform::MessageAnswer StderrPort::messageBox(platform::NativeWindow*, const std::string& text,
                                               const std::string& title, platform::MessageButtons,
                                               platform::MessageIcon) {
    std::fprintf(m_err, "pelorin-tool: %s: %s\n", title.c_str(), text.c_str());
    return platform::MessageAnswer::Ok;
}

namespace {

std::mutex& libraryMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

LibraryScope::LibraryScope() : m_lock(libraryMutex()) {}

bool readText(const std::string& path, std::string& text) {
    return platform::readWholeFile(path, text, 1ull << 31);
}

bool storedChipSizeAllowed(int width, int height) {
    return width >= MapGrid::kMinChipSize && width <= MapGrid::kMaxChipSize &&
           height >= MapGrid::kMinChipSize && height <= MapGrid::kMaxChipSize;
}

bool loadMap(const std::string& path, MapGrid& grid, std::FILE* err) {
    StderrPort port(err);
    MapFile::Header header;
    const platform::Outcome<MapFile::Format> read = MapFile::load(path, grid, port, &header);
    platform::show(port, nullptr, read.notices);
    if (read.value == MapFile::Format::None) {
        return false;
    }
    if (storedChipSizeAllowed(header.chipWidth, header.chipHeight)) {
        grid.setChipSize(header.chipWidth, header.chipHeight);
    } else {
        grid.setChipSize(MapGrid::kDefaultChipSize, MapGrid::kDefaultChipSize);
    }
    return true;
}

platform::Outcome<std::shared_ptr<const CNxSurface>> decodeChipImage(const std::string& path,
                                                                     std::FILE* err) {
    struct Decoded {
        std::shared_ptr<const CNxSurface> image;
        std::string error;
    };
    static std::mutex mutex;
    static std::map<std::string, Decoded> decoded;
    const std::lock_guard<std::mutex> lock(mutex);
    auto known = decoded.find(path);
    if (known == decoded.end()) {
        Decoded result;
        bool opened = false;
        {
            LibraryScope scope;
            auto decoded = CNxSurface::LoadImageFile(path, &opened);
            StderrPort port(err);
            platform::show(port, nullptr, decoded.notices);
            result.image = std::move(decoded.value);
        }
        if (!opened) {
            result.error = "cannot open the chip image " + path;
        } else if (result.image == nullptr) {
            result.error = path +
                           ": not a chip image the editor reads (BMP, PNG, JPEG, MAG or the "
                           "format of an image plug-in), or damaged";
        } else if (result.image->GetWidth() < ChipSet::kMinImageSize ||
                   result.image->GetHeight() < ChipSet::kMinImageSize) {
            result.error = path + ": the chip image is smaller than 16 × 16 pixels";
            result.image.reset();
        }
        known = decoded.emplace(path, std::move(result)).first;
    }
    if (known->second.image == nullptr) {
        return platform::Outcome<std::shared_ptr<const CNxSurface>>::because(known->second.error);
    }
    return {known->second.image, {}};
}

platform::Outcome<bool> loadChipSet(const std::string& path, const MapGrid& grid, ChipSet& chips,
                                    std::FILE* err) {
    const auto decoded = decodeChipImage(path, err);
    if (decoded.value == nullptr) {
        return {false, decoded.notices};
    }
    auto image = std::make_unique<CNxSurface>(32);
    if (!image->CopyFromImage(decoded.value->GetImage())) {
        return platform::Outcome<bool>::because(path + ": not enough memory for the chip image");
    }
    chips.setImage(std::move(image));
    int width = grid.chipWidth(), height = grid.chipHeight();
    chips.setChipSize(width, height);
    return {true, {}};
}

platform::Outcome<bool> loadKinds(const std::string& path, KindTable& table) {
    if (path.empty()) {
        table.resetToDefaults(0);
        return {true, {}};
    }
    if (!table.loadFile(path)) {
        return platform::Outcome<bool>::because(
            path + ": not an attribute file (no readable \"KIND\" chunk)");
    }
    return {true, {}};
}

}  // namespace tool
