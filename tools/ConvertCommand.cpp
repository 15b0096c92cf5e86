#include "gfx/CNxFile.h"
#include "gfx/CNxImageLoaderManager.h"
#include "gfx/CNxSurface.h"
#include "gfx/CNxSystem.h"
#include "tools/PngWriter.h"
#include "tools/ToolCommand.h"
#include "tools/ToolSupport.h"

namespace {

int convert(const ToolIo& io, const ToolOptions& options) {
    if (options.positional.size() != 1 || !options.has("-o")) {
        return io.usageError("convert takes one image file and -o OUT.png");
    }
    const std::string& source = options.positional[0];
    CNxFile file;
    if (!file.Open(source.c_str(), CNxFile::modeRead)) {
        return io.inputError("cannot open " + source);
    }
    std::unique_ptr<CNxDIBImage> image;
    {
        tool::LibraryScope scope;
        CNxImageLoaderManager& loaders = CNxSystem::Get().GetImageLoaderManager();
        // Asked first only to tell an image no loader reads from one its loader refuses.
        if (loaders.FindDecoder(file) == nullptr) {
            return io.inputError(source +
                                 ": not an image that any loader reads (BMP, PNG, JPEG, MAG or "
                                 "the format of an image plug-in)");
        }
        auto decoded = loaders.Load(file);
        // libpng's errors and warnings, which the editor shows in boxes, go to stderr.
        tool::StderrPort port(io.err());
        platform::show(port, nullptr, decoded.notices);
        image = std::move(decoded.value);
    }
    if (!image) {
        return io.inputError(source + ": the image is damaged or of a kind its loader refuses");
    }
    // The surface's conversion: a 32-bit picture of the same size and row order.
    CNxSurface surface(32);
    if (!surface.CopyFromImage(*image)) {
        return io.inputError(source + ": the image is too large to hold at 32 bits per pixel");
    }
    image.reset();
    std::vector<std::uint8_t> png;
    const platform::Outcome<bool> encoded = PngWriter::encode(surface.GetImage(), png);
    if (!encoded.value) {
        return io.inputError(encoded.why());
    }
    return io.writeFile(options.value("-o"), png.data(), png.size());
}

}  // namespace

const ToolCommand& convertCommand() {
    static const ToolCommand command{
        "convert",
        {{"-o", true}},
        "  convert IMAGE -o OUT.png\n"
        "      decode a BMP, PNG, JPEG or MAG image (or one an image plug-in beside\n"
        "      pelorin-tool reads) as the editor does and write it as an RGBA PNG\n",
        convert,
        [](const ToolOptions&) {
            return ToolOutputs{{"-o", ".png"}};
        },
        false};
    return command;
}
