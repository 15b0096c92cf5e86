#include "chips/ChipSet.h"
#include "chips/KindTable.h"
#include "map/MapGrid.h"
#include "tools/MapPicture.h"
#include "tools/ToolCommand.h"
#include "tools/ToolSupport.h"

namespace {

int render(const ToolIo& io, const ToolOptions& options) {
    if (options.positional.size() != 1 || !options.has("-o")) {
        return io.usageError("render takes one map file and -o OUT.png");
    }
    const std::string view = options.value("--view", "chips");
    if (view != "chips" && view != "attributes") {
        return io.usageError("--view is chips or attributes");
    }
    picture::Style style;
    style.attributes = view == "attributes";
    style.grid = options.has("--grid");
    if (!style.attributes && !options.has("--chips")) {
        return io.usageError("the chip view needs --chips IMAGE");
    }
    picture::Region region;
    std::string error;
    if (options.has("--scale") &&
        !picture::parseScale(options.value("--scale"), style.zoom, error)) {
        return io.usageError(error);
    }
    if (options.has("--region") &&
        !picture::parseRegion(options.value("--region"), region, error)) {
        return io.usageError(error);
    }

    MapGrid grid;
    if (!tool::loadMap(options.positional[0], grid, io.err())) {
        return kToolBadInput;
    }
    ChipSet chips;
    int cellWidth = grid.chipWidth(), cellHeight = grid.chipHeight();
    if (options.has("--chips")) {
        const platform::Outcome<bool> loaded =
            tool::loadChipSet(options.value("--chips"), grid, chips, io.err());
        if (!loaded.value) {
            return io.inputError(loaded.why());
        }
        cellWidth = chips.chipWidth();
        cellHeight = chips.chipHeight();
    }
    KindTable kinds;
    const platform::Outcome<bool> kindsRead = tool::loadKinds(options.value("--kinds"), kinds);
    if (!kindsRead.value) {
        return io.inputError(kindsRead.why());
    }
    if (!options.has("--region")) {
        region = {0, 0, grid.columns(), grid.rows()};
    }
    if (!picture::check(grid, region, cellWidth, cellHeight, style.zoom, error)) {
        return io.inputError(error);
    }
    const platform::Outcome<bool> written =
        picture::writePng(options.value("-o"), grid, chips.hasImage() ? &chips : nullptr, &kinds,
                          region, cellWidth, cellHeight, style);
    return written.value ? kToolOk : io.inputError(written.why());
}

}  // namespace

const ToolCommand& renderCommand() {
    static const ToolCommand command{
        "render",
        {{"--chips", true},
         {"--view", true},
         {"--kinds", true},
         {"--grid", false},
         {"--region", true},
         {"--scale", true},
         {"-o", true}},
        "  render MAP --chips IMAGE [--view chips|attributes] [--kinds KND] [--grid]\n"
        "         [--region X,Y,W,H] [--scale S] -o OUT.png\n"
        "      draw the map, or W × H cells from column X and row Y, as the map window\n"
        "      shows them (chip view, or attribute view in the colours of KND), with the\n"
        "      grid on request, as an RGBA PNG. The chip size is the map's, fitted to the\n"
        "      image as the chip window fits it; the attribute view needs no --chips.\n"
        "      Without --kinds the default attributes are used, their colours fixed.\n"
        "      --scale is the map window's zoom: 1/32, 1/16, 1/8, 1/4, 1/2 (or 0.03125,\n"
        "      0.0625, 0.125, 0.25, 0.5), 1, 2, 3, 4, 6 or 8 screen pixels per map pixel;\n"
        "      below 1 each picture pixel is the average of the map pixels under it. The\n"
        "      grid is drawn only where a cell keeps 4 pixels each way.\n",
        render,
        [](const ToolOptions&) {
            return ToolOutputs{{"-o", ".png"}};
        },
        false};
    return command;
}
