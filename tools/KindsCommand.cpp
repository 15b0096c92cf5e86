#include <algorithm>

#include "chips/KindTable.h"
#include "tools/JsonText.h"
#include "tools/KindsJson.h"
#include "tools/ToolCommand.h"
#include "tools/ToolSupport.h"

namespace {

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
            std::string text;
            json::Value root;
            std::vector<KindRecord> records;
            if (!tool::readText(source, text)) {
                return io.inputError("cannot read " + source);
            }
            const platform::Outcome<bool> read =
                json::parse(text, root).then([&] { return kindsjson::read(root, records); });
            if (!read.value) {
                return io.inputError(source + ": " + read.why());
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
    return io.emit(kindsjson::write(table), options.value("-o"));
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
        kinds,
        [](const ToolOptions&) {
            return ToolOutputs{{"-o", ".json"}};
        },
        false};
    return command;
}
