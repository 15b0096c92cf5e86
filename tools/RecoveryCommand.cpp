// pelorin-tool recovery: the unsaved work the editor keeps in its recovery folders, for a user
// whose editor will not start. list shows every folder; export writes one folder's work as the
// files the editor would have saved. Neither takes nor changes a folder, so a running editor's
// may be looked at too.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/core/RecoveredWork.h"
#include "chips/KindTable.h"
#include "map/MapFile.h"
#include "platform/RecoveryFolder.h"
#include "preview/PlayerFile.h"
#include "tools/JsonText.h"
#include "tools/ToolCommand.h"

namespace {

namespace fs = std::filesystem;

RecoveredWork readFolder(const std::string& folder) {
    return RecoveredWork::read(folder, platform::RecoveryFolder::filesIn(folder));
}

json::OrderedValue pathOrNull(const std::string& path) {
    return path.empty() ? json::OrderedValue() : json::OrderedValue(path);
}

json::OrderedValue folderJson(const platform::RecoveryFolder::Entry& entry) {
    const RecoveredWork work = readFolder(entry.path);
    json::OrderedValue items = json::OrderedValue::array();
    if (work.hasMap()) {
        const MapGrid& grid = work.map.grid;
        items.push_back({{"item", "map"},
                         {"path", pathOrNull(work.map.path)},
                         {"columns", grid.columns()},
                         {"rows", grid.rows()},
                         {"chipWidth", grid.chipWidth()},
                         {"chipHeight", grid.chipHeight()},
                         {"time", recovery::timeText(work.map.timeMs)},
                         {"fileChanged", work.map.fileChanged()}});
    }
    if (work.hasKinds()) {
        const recovery::Kinds& kinds = work.kinds;
        items.push_back({{"item", "attributes"},
                         {"path", pathOrNull(kinds.path)},
                         {"records", kinds.records.size()},
                         {"time", recovery::timeText(kinds.timeMs)},
                         {"fileChanged", !kinds.path.empty() &&
                                             platform::FileStamp::of(kinds.path) != kinds.stamp}});
    }
    if (work.hasPlayer()) {
        items.push_back({{"item", "player"},
                         {"frames", work.player.frames},
                         {"time", recovery::timeText(work.player.timeMs)}});
    }
    json::OrderedValue folder;
    folder["folder"] = entry.path;
    folder["name"] = entry.name;
    folder["running"] = entry.running;
    folder["restoreFailed"] = work.restoreFailed;
    folder["items"] = std::move(items);
    folder["problems"] = work.problems;
    return folder;
}

int list(const ToolIo& io, const ToolOptions& options) {
    if (options.positional.size() != 1 || options.has("-o")) {
        return io.usageError("recovery list takes only --root DIR");
    }
    const std::string root = options.value("--root", platform::RecoveryFolder::defaultRoot());
    json::OrderedValue folders = json::OrderedValue::array();
    for (const platform::RecoveryFolder::Entry& entry : platform::RecoveryFolder::list(root)) {
        folders.push_back(folderJson(entry));
    }
    const json::OrderedValue document = {{"root", root}, {"folders", std::move(folders)}};
    return io.emit(document.dump(2, ' ', false, nlohmann::detail::error_handler_t::replace) + "\n",
                   std::string());
}

// The saved name of a recovered item: its file's stem, or fallback for work never saved.
std::string stemOf(const std::string& path, const std::string& fallback) {
    const std::string stem = fs::path(path).stem().string();
    return stem.empty() ? fallback : stem;
}

int exportWork(const ToolIo& io, const ToolOptions& options) {
    if (options.positional.size() != 2 || options.value("-o").empty() || options.has("--root")) {
        return io.usageError("recovery export takes one recovery folder and -o DIR");
    }
    const std::string& folder = options.positional[1];
    const std::string dir = options.value("-o");
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0) {
        return io.inputError(folder + ": " + std::strerror(errno));
    }
    if (!S_ISDIR(st.st_mode)) {
        return io.inputError(folder + ": not a recovery folder");
    }
    RecoveredWork work = readFolder(folder);
    for (const std::string& problem : work.problems) {
        io.note(problem);
    }

    // Every file is made ready and its name checked before the first is written.
    const auto target = [&dir](const std::string& name) { return (fs::path(dir) / name).string(); };
    std::string mapPath, kindsPath, playerPath;
    if (work.hasMap()) {
        mapPath = target(stemOf(work.map.path, "recovered") + ".map");
    }
    KindTable table;
    if (work.hasKinds()) {
        table.assign(std::move(work.kinds.records));
        kindsPath = target(stemOf(work.kinds.path, "recovered") + ".knd");
    }
    PlayerFile::Lists frames;
    if (work.hasPlayer()) {
        const platform::Outcome<bool> read =
            PlayerFile::fromText(work.player.text, std::string(), frames);
        if (read.value) {
            playerPath = target("player.json");
        } else {
            io.note(folder + ": the player's frames: " + read.why());
        }
    }
    if (mapPath.empty() && kindsPath.empty() && playerPath.empty()) {
        return io.inputError(folder + ": no unsaved work that can be read");
    }
    for (const std::string* path : {&mapPath, &kindsPath, &playerPath}) {
        if (!path->empty() && ::lstat(path->c_str(), &st) == 0) {
            return io.inputError(*path + ": already exists; nothing was written");
        }
    }
    std::error_code error;
    fs::create_directories(dir, error);
    if (error) {
        return io.inputError(dir + ": " + error.message());
    }

    // The savers' reasons name the file.
    const auto written = [&io](const platform::Outcome<bool>& saved, const std::string& path) {
        if (!saved.value) {
            return io.inputError(saved.why());
        }
        std::fprintf(io.out(), "%s\n", path.c_str());
        return static_cast<int>(kToolOk);
    };
    int status = kToolOk;
    if (!mapPath.empty()) {
        status |= written(MapFile::save(mapPath, work.map.grid), mapPath);
    }
    if (!kindsPath.empty()) {
        status |= written(table.save(kindsPath), kindsPath);
    }
    if (!playerPath.empty()) {
        status |= written(PlayerFile::save(playerPath, frames), playerPath);
    }
    return status;
}

int runRecovery(const ToolIo& io, const ToolOptions& options) {
    const std::string what = options.positional.empty() ? "" : options.positional[0];
    if (what == "list") {
        return list(io, options);
    }
    if (what == "export") {
        return exportWork(io, options);
    }
    return io.usageError("recovery takes list or export");
}

}  // namespace

const ToolCommand& recoveryCommand() {
    static const ToolCommand command{
        "recovery",
        {{"--root", true}, {"-o", true}},
        "  recovery list [--root DIR]\n"
        "      print as JSON the editor's recovery folders and the unsaved work in each\n"
        "  recovery export FOLDER -o DIR\n"
        "      write a recovery folder's unsaved map, attribute table and player frames\n"
        "      into DIR as the editor would save them, never over an existing file\n",
        runRecovery,
        nullptr,
        false};
    return command;
}
