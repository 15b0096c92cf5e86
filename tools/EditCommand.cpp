#include "tools/EditScript.h"
#include "tools/HeadlessEditor.h"
#include "tools/MapJson.h"
#include "tools/ToolCommand.h"
#include "tools/ToolSupport.h"

namespace {

int edit(const ToolIo& io, const ToolOptions& options) {
    if (options.positional.size() != 1 || !options.has("--script")) {
        return io.usageError("edit takes one map file and --script FILE");
    }
    const std::string scriptPath = options.value("--script");
    std::string text;
    if (!tool::readText(scriptPath, text)) {
        return io.inputError("cannot read " + scriptPath);
    }
    std::vector<EditScript::Command> commands;
    const platform::Outcome<bool> parsed = EditScript::parse(text, commands);
    if (!parsed.value) {
        io.note(parsed.why());
        return kToolUsage;
    }
    // The chip window's selection means nothing without a chip image.
    for (const EditScript::Command& command : commands) {
        if (EditScript::needsChipWindow(command.op) && !options.has("--chips")) {
            io.note("script line " + std::to_string(command.line) + ": " + command.name +
                    " needs --chips IMAGE");
            return kToolUsage;
        }
    }

    HeadlessEditor editor;
    auto flush = [&](const std::string& prefix) {
        for (const std::string& line : editor.takeMessages()) {
            io.note(prefix + line);
        }
    };
    const std::string& mapPath = options.positional[0];
    if (!editor.loadMap(mapPath)) {
        flush("");
        return kToolBadInput;
    }
    if (options.has("--chips")) {
        const std::string chipsPath = options.value("--chips");
        if (!editor.loadChipImage(chipsPath)) {
            flush("");
            return io.inputError("cannot load the chip image " + chipsPath);
        }
    }
    flush("");
    for (const EditScript::Command& command : commands) {
        editor.run(command);
        flush("script line " + std::to_string(command.line) + ": ");
    }

    if (options.has("--json")) {
        return io.emit(mapjson::write(editor.grid()), options.value("-o"));
    }
    std::string outPath = options.value("-o", mapPath);
    if (!editor.saveMap(outPath)) {
        return io.inputError("cannot write " + outPath);
    }
    return kToolOk;
}

}  // namespace

const ToolCommand& editCommand() {
    static const ToolCommand command{
        "edit",
        {{"--script", true}, {"--chips", true}, {"-o", true}, {"--json", false}},
        "  edit MAP --script FILE [--chips IMAGE] [-o OUT] [--json]\n"
        "      run the editor's own operations on the map, one script command per line,\n"
        "      each doing what its key, menu command or dialog does (under the same\n"
        "      conditions); then save the map over MAP or to OUT (\".map\" is forced), or\n"
        "      with --json print it as export does (to OUT with -o). The editor's messages\n"
        "      and refusals go to stderr and the script goes on. \"#\" starts a comment.\n"
        "        layer chips|attributes     the view that edits go to\n"
        "        cursor X Y                 click a cell; nothing selected\n"
        "        select X1 Y1 X2 Y2         select from the anchor to the moving corner\n"
        "        deselect\n"
        "        chip N                     click a chip in the chip window (needs --chips)\n"
        "        chip-block C1 R1 C2 R2     select chips in the chip window (needs --chips)\n"
        "        attribute N                click an attribute (0..99)\n"
        "        put, erase                 Enter, Delete (both need --chips)\n"
        "        copy, paste, undo, redo\n"
        "        insert-rows, delete-rows, insert-columns, delete-columns\n"
        "        replace FROM TO chips|attributes chips|attributes   (needs --chips)\n"
        "        canvas W H, chip-size W H  the size settings\n",
        edit,
        nullptr,
        false};
    return command;
}
