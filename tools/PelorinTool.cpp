#include "tools/PelorinTool.h"

#include <map>

#include "chips/KindTable.h"
#include "gfx/CNxDIBImageConverter.h"
#include "gfx/CNxFile.h"
#include "gfx/CNxImageLoaderManager.h"
#include "gfx/CNxSystem.h"
#include "map/MapFile.h"
#include "platform/FileIo.h"
#include "platform/MessagePort.h"
#include "tools/EditScript.h"
#include "tools/HeadlessEditor.h"
#include "tools/Json.h"
#include "tools/PlayerCommand.h"
#include "tools/PngWriter.h"

namespace {

// Message boxes of the editor's code become lines on the error stream.
class StderrPort : public platform::MessagePort {
public:
    explicit StderrPort(std::FILE* err) : m_err(err) {}
    platform::MessageAnswer messageBox(platform::NativeWindow*, const std::string& text,
                                       const std::string& title, platform::MessageButtons,
                                       platform::MessageIcon) override {
        std::fprintf(m_err, "pelorin-tool: %s: %s\n", title.c_str(), text.c_str());
        return platform::MessageAnswer::Ok;
    }

private:
    std::FILE* m_err;
};

// Lends a port to the library singleton for as long as it lives.
class LibraryPortScope {
public:
    explicit LibraryPortScope(platform::MessagePort* port) {
        CNxSystem::Get().SetMessagePort(port);
    }
    ~LibraryPortScope() { CNxSystem::Get().SetMessagePort(nullptr); }
    LibraryPortScope(const LibraryPortScope&) = delete;
    LibraryPortScope& operator=(const LibraryPortScope&) = delete;
};

const char* formatName(MapFile::Format format) {
    return format == MapFile::Format::Binary ? "MAPB" : "MAPT";
}

bool readText(const std::string& path, std::string& text) {
    platform::FileBytes bytes;
    if (!platform::readWholeFile(path, bytes, 1ull << 31)) {
        return false;
    }
    text.assign(reinterpret_cast<const char*>(bytes.data.get()), bytes.size);
    return true;
}

void appendLayer(std::string& out, const MapGrid::Layer& layer) {
    out += '[';
    for (std::size_t r = 0; r < layer.size(); ++r) {
        out += r == 0 ? "[" : ",[";
        for (std::size_t c = 0; c < layer[r].size(); ++c) {
            if (c > 0) {
                out += ',';
            }
            json::appendInteger(out, layer[r][c]);
        }
        out += ']';
    }
    out += ']';
}

// Reads an integer member into value when present; error names it otherwise.
bool integerMember(const json::Value& object, const char* key, std::int64_t low, std::int64_t high,
                   std::int64_t& value, std::string& error, const std::string& where) {
    const json::Value* member = object.find(key);
    if (member == nullptr) {
        return true;
    }
    if (member->type != json::Value::Type::Number || !member->isInteger || member->integer < low ||
        member->integer > high) {
        error = where + "\"" + key + "\" must be an integer from " + std::to_string(low) + " to " +
                std::to_string(high);
        return false;
    }
    value = member->integer;
    return true;
}

// Reads one layer: an array of rows, each an array of 32-bit integers, all of one length.
bool layerFromJson(const json::Value& value, const char* name, MapGrid::Layer& layer,
                   std::string& error) {
    if (value.type != json::Value::Type::Array) {
        error = std::string("\"") + name + "\" must be an array of rows";
        return false;
    }
    layer.clear();
    layer.reserve(value.items.size());
    for (std::size_t r = 0; r < value.items.size(); ++r) {
        const json::Value& row = value.items[r];
        const std::string where = std::string(name) + "[" + std::to_string(r) + "]";
        if (row.type != json::Value::Type::Array) {
            error = where + " must be an array of integers";
            return false;
        }
        if (r > 0 && row.items.size() != layer[0].size()) {
            error = where + " has " + std::to_string(row.items.size()) + " values where " + name +
                    "[0] has " + std::to_string(layer[0].size()) +
                    "; all rows must be of equal length";
            return false;
        }
        MapGrid::Row cells;
        cells.reserve(row.items.size());
        for (std::size_t c = 0; c < row.items.size(); ++c) {
            const json::Value& cell = row.items[c];
            if (cell.type != json::Value::Type::Number || !cell.isInteger ||
                cell.integer < INT32_MIN || cell.integer > INT32_MAX) {
                error = where + "[" + std::to_string(c) + "] is not a 32-bit integer" +
                        (cell.type == json::Value::Type::Number ? " (" + cell.text + ")" : "");
                return false;
            }
            cells.push_back(static_cast<std::int32_t>(cell.integer));
        }
        layer.push_back(std::move(cells));
    }
    return true;
}

// The JSON of export: both layers with the map's size.
std::string mapToJson(const MapGrid& grid) {
    std::string out;
    out.reserve(static_cast<std::size_t>(grid.columns()) * grid.rows() * 4 + 64);
    out += "{\"columns\":";
    json::appendInteger(out, grid.columns());
    out += ",\"rows\":";
    json::appendInteger(out, grid.rows());
    out += ",\"chips\":";
    appendLayer(out, grid.chipLayer());
    out += ",\"attributes\":";
    appendLayer(out, grid.kindLayer());
    out += "}\n";
    return out;
}

const char* const kRecordKeys[] = {"number",  "z",      "memo",     "red",
                                   "green",   "blue",   "passable", "dropThrough",
                                   "hitLeft", "hitTop", "hitRight", "hitBottom"};

std::string recordsToJson(const KindTable& table) {
    std::string out = "[";
    for (int i = 0; i < table.count(); ++i) {
        const KindRecord r = table.record(i);
        out += i == 0 ? "\n  {" : ",\n  {";
        const std::int64_t values[] = {r.number,  r.z,      0,          r.red,
                                       r.green,   r.blue,   r.passable, r.dropThrough,
                                       r.hitLeft, r.hitTop, r.hitRight, r.hitBottom};
        for (int k = 0; k < 12; ++k) {
            if (k > 0) {
                out += ',';
            }
            json::appendString(out, kRecordKeys[k]);
            out += ':';
            if (k == 2) {
                json::appendString(out, r.memoText());
            } else {
                json::appendInteger(out, values[k]);
            }
        }
        out += '}';
    }
    out += table.count() > 0 ? "\n]\n" : "]\n";
    return out;
}

bool recordsFromJson(const json::Value& value, std::vector<KindRecord>& records,
                     std::string& error) {
    if (value.type != json::Value::Type::Array) {
        error = "the attribute table must be a JSON array of records";
        return false;
    }
    records.clear();
    for (std::size_t i = 0; i < value.items.size(); ++i) {
        const json::Value& item = value.items[i];
        const std::string where = "record " + std::to_string(i) + ": ";
        if (item.type != json::Value::Type::Object) {
            error = where + "must be an object";
            return false;
        }
        for (const auto& member : item.members) {
            bool known = false;
            for (const char* key : kRecordKeys) {
                known = known || member.first == key;
            }
            if (!known) {
                error = where + "unknown field \"" + member.first + "\"";
                return false;
            }
        }
        KindRecord record;
        record.number = static_cast<std::int32_t>(i);
        std::int64_t v[12] = {record.number, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0};
        for (int k = 0; k < 12; ++k) {
            if (k == 2) {
                continue;
            }
            const bool channel = k >= 3 && k <= 5;
            if (!integerMember(item, kRecordKeys[k], channel ? 0 : INT32_MIN,
                               channel ? 255 : INT32_MAX, v[k], error, where)) {
                return false;
            }
        }
        record.number = static_cast<std::int32_t>(v[0]);
        record.z = static_cast<std::int32_t>(v[1]);
        record.red = static_cast<std::uint8_t>(v[3]);
        record.green = static_cast<std::uint8_t>(v[4]);
        record.blue = static_cast<std::uint8_t>(v[5]);
        record.passable = static_cast<std::int32_t>(v[6]);
        record.dropThrough = static_cast<std::int32_t>(v[7]);
        record.hitLeft = static_cast<std::int32_t>(v[8]);
        record.hitTop = static_cast<std::int32_t>(v[9]);
        record.hitRight = static_cast<std::int32_t>(v[10]);
        record.hitBottom = static_cast<std::int32_t>(v[11]);
        if (const json::Value* memo = item.find("memo")) {
            if (memo->type != json::Value::Type::String) {
                error = where + "\"memo\" must be a string";
                return false;
            }
            const KindRecord::MemoResult stored = record.setMemoText(memo->text);
            if (stored.lossy) {
                error = where + "the memo has characters that cannot be stored in code page 932";
                return false;
            }
            if (stored.truncated) {
                error = where + "the memo is longer than 259 bytes in code page 932";
                return false;
            }
        }
        records.push_back(record);
    }
    return true;
}

}  // namespace

struct PelorinTool::Options {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;  // options with a value
    std::map<std::string, bool> flags;          // options without one

    bool has(const std::string& name) const { return values.count(name) || flags.count(name); }
    std::string value(const std::string& name, const std::string& fallback = "") const {
        const auto it = values.find(name);
        return it == values.end() ? fallback : it->second;
    }
};

const char* PelorinTool::usage() {
    return "usage: pelorin-tool COMMAND [ARGS]\n"
           "\n"
           "Reads and writes Pelorin's map (*.map) and attribute (*.knd) files, and converts\n"
           "images as the editor loads them.\n"
           "\n"
           "commands:\n"
           "  info MAP\n"
           "      print the map's format, size and stored chip size as one JSON object\n"
           "  export MAP [--format json|csv] [--layer chips|attributes] [-o OUT]\n"
           "      write the map's cells as JSON (both layers) or CSV (one layer, default chips)\n"
           "  import JSON -o MAP\n"
           "      write a map file (\".map\" is forced) from JSON of the shape export writes;\n"
           "      \"chipWidth\"/\"chipHeight\" (16..64) default to 32, \"attributes\" to all 0\n"
           "  kinds KND [-o OUT]\n"
           "      print the attribute table as a JSON array of records\n"
           "  kinds --from-json JSON -o KND\n"
           "      write an attribute file (\".knd\" is forced) from such an array\n"
           "  kinds --defaults -o KND\n"
           "      write the default attribute table (100 records, random colours)\n"
           "  convert IMAGE -o OUT.png\n"
           "      decode a BMP, PNG, JPEG or MAG image (or one an image plug-in beside\n"
           "      pelorin-tool reads) as the editor does and write it as an RGBA PNG\n"
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
           "        canvas W H, chip-size W H  the size settings\n"
           "  player JSON\n"
           "      summarise a player definition saved by the registration dialog: each\n"
           "      action's frame count and total display time; exit 1 when an image is\n"
           "      missing or unreadable\n"
           "\n"
           "options:\n"
           "  -h, --help     show this text\n"
           "\n"
           "exit status: 0 success, 1 bad input, 2 usage error or malformed script\n";
}

int PelorinTool::usageError(const std::string& message) {
    std::fprintf(m_err, "pelorin-tool: %s\n(see pelorin-tool --help)\n", message.c_str());
    return kUsage;
}

int PelorinTool::inputError(const std::string& message) {
    std::fprintf(m_err, "pelorin-tool: %s\n", message.c_str());
    return kBadInput;
}

int PelorinTool::emit(const std::string& text, const std::string& outPath) {
    if (outPath.empty()) {
        std::fwrite(text.data(), 1, text.size(), m_out);
        return std::fflush(m_out) == 0 ? kOk : inputError("cannot write the output");
    }
    std::string error;
    if (!platform::writeFileAtomically(outPath, {{text.data(), text.size()}}, &error)) {
        return inputError(error);
    }
    return kOk;
}

int PelorinTool::run(const std::vector<std::string>& args) {
    if (args.empty()) {
        return usageError("a command is missing");
    }
    const std::string& command = args[0];
    if (command == "-h" || command == "--help" || command == "help") {
        std::fputs(usage(), m_out);
        return kOk;
    }
    if (command == "player") {
        return PlayerCommand(m_out, m_err).run({args.begin() + 1, args.end()});
    }

    // Which options each command takes, and whether they carry a value.
    static const std::map<std::string, std::map<std::string, bool>> kOptions = {
        {"info", {}},
        {"export", {{"--format", true}, {"--layer", true}, {"-o", true}}},
        {"import", {{"-o", true}}},
        {"kinds", {{"-o", true}, {"--from-json", true}, {"--defaults", false}}},
        {"convert", {{"-o", true}}},
        {"edit", {{"--script", true}, {"--chips", true}, {"-o", true}, {"--json", false}}},
    };
    const auto known = kOptions.find(command);
    if (known == kOptions.end()) {
        return usageError("unknown command \"" + command + "\"");
    }
    Options options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            std::fputs(usage(), m_out);
            return kOk;
        }
        if (a.size() > 1 && a[0] == '-') {
            const auto option = known->second.find(a);
            if (option == known->second.end()) {
                return usageError("unknown option \"" + a + "\" for " + command);
            }
            if (!option->second) {
                options.flags[a] = true;
            } else if (i + 1 >= args.size()) {
                return usageError("option " + a + " needs a value");
            } else {
                options.values[a] = args[++i];
            }
        } else {
            options.positional.push_back(a);
        }
    }

    if (command == "info") {
        return info(options);
    }
    if (command == "export") {
        return exportMap(options);
    }
    if (command == "import") {
        return importMap(options);
    }
    if (command == "convert") {
        return convert(options);
    }
    if (command == "edit") {
        return edit(options);
    }
    return kinds(options);
}

int PelorinTool::info(const Options& options) {
    if (options.positional.size() != 1) {
        return usageError("info takes one map file");
    }
    MapGrid grid;
    StderrPort port(m_err);
    MapFile::Header header;
    if (MapFile::load(options.positional[0], grid, port, nullptr, &header) ==
        MapFile::Format::None) {
        return kBadInput;
    }
    std::string out = "{\"format\":\"";
    out += formatName(header.format);
    out += "\",\"columns\":";
    json::appendInteger(out, grid.columns());
    out += ",\"rows\":";
    json::appendInteger(out, grid.rows());
    out += ",\"chipWidth\":";
    json::appendInteger(out, header.chipWidth);
    out += ",\"chipHeight\":";
    json::appendInteger(out, header.chipHeight);
    out += "}\n";
    return emit(out, "");
}

int PelorinTool::exportMap(const Options& options) {
    if (options.positional.size() != 1) {
        return usageError("export takes one map file");
    }
    const std::string format = options.value("--format", "json");
    const std::string layerName = options.value("--layer", "chips");
    if (format != "json" && format != "csv") {
        return usageError("--format is json or csv");
    }
    if (layerName != "chips" && layerName != "attributes") {
        return usageError("--layer is chips or attributes");
    }
    if (format == "json" && options.has("--layer")) {
        return usageError("--layer applies to csv only; json holds both layers");
    }
    MapGrid grid;
    StderrPort port(m_err);
    if (MapFile::load(options.positional[0], grid, port, nullptr) == MapFile::Format::None) {
        return kBadInput;
    }
    std::string out;
    if (format == "json") {
        out = mapToJson(grid);
    } else {
        out.reserve(static_cast<std::size_t>(grid.columns()) * grid.rows() * 4 + 64);
        const MapGrid::Layer& layer = layerName == "chips" ? grid.chipLayer() : grid.kindLayer();
        for (const MapGrid::Row& row : layer) {
            for (std::size_t c = 0; c < row.size(); ++c) {
                if (c > 0) {
                    out += ',';
                }
                json::appendInteger(out, row[c]);
            }
            out += '\n';
        }
    }
    return emit(out, options.value("-o"));
}

int PelorinTool::importMap(const Options& options) {
    if (options.positional.size() != 1 || !options.has("-o")) {
        return usageError("import takes one JSON file and -o MAP");
    }
    const std::string& source = options.positional[0];
    std::string text, error;
    json::Value root;
    if (!readText(source, text)) {
        return inputError("cannot read " + source);
    }
    if (!json::parse(text, root, error)) {
        return inputError(source + ": " + error);
    }
    if (root.type != json::Value::Type::Object) {
        return inputError(source + ": the map must be a JSON object");
    }
    const json::Value* chipsValue = root.find("chips");
    if (chipsValue == nullptr) {
        return inputError(source + ": \"chips\" is missing");
    }
    MapGrid::Layer chips, kinds;
    if (!layerFromJson(*chipsValue, "chips", chips, error)) {
        return inputError(source + ": " + error);
    }
    const int rows = static_cast<int>(std::min<std::size_t>(chips.size(), INT32_MAX));
    const int columns = chips.empty() ? 0 : static_cast<int>(chips[0].size());
    if (const json::Value* kindsValue = root.find("attributes")) {
        if (!layerFromJson(*kindsValue, "attributes", kinds, error)) {
            return inputError(source + ": " + error);
        }
        if (kinds.size() != chips.size() ||
            (!kinds.empty() && kinds[0].size() != chips[0].size())) {
            return inputError(source + ": \"attributes\" must have the shape of \"chips\"");
        }
    } else {
        kinds.assign(rows, MapGrid::Row(columns, MapGrid::kDefaultKind));
    }

    std::int64_t declaredColumns = columns, declaredRows = rows;
    std::int64_t chipWidth = MapGrid::kDefaultChipSize, chipHeight = MapGrid::kDefaultChipSize;
    if (!integerMember(root, "columns", 0, INT32_MAX, declaredColumns, error, "") ||
        !integerMember(root, "rows", 0, INT32_MAX, declaredRows, error, "") ||
        !integerMember(root, "chipWidth", MapGrid::kMinChipSize, MapGrid::kMaxChipSize, chipWidth,
                       error, "") ||
        !integerMember(root, "chipHeight", MapGrid::kMinChipSize, MapGrid::kMaxChipSize, chipHeight,
                       error, "")) {
        return inputError(source + ": " + error);
    }
    if (declaredColumns != columns || declaredRows != rows) {
        return inputError(source + ": \"columns\" and \"rows\" say " +
                          std::to_string(declaredColumns) + " x " + std::to_string(declaredRows) +
                          " but \"chips\" holds " + std::to_string(columns) + " x " +
                          std::to_string(rows));
    }
    if (columns < MapGrid::kMinCanvas || rows < MapGrid::kMinCanvas ||
        columns > MapGrid::kMaxCanvas || rows > MapGrid::kMaxCanvas) {
        return inputError(source + ": a map has 1 to 5000 columns and 1 to 5000 rows, not " +
                          std::to_string(columns) + " x " + std::to_string(rows));
    }

    MapGrid grid;
    grid.setChipSize(static_cast<int>(chipWidth), static_cast<int>(chipHeight));
    grid.assign(std::move(chips), std::move(kinds), columns, rows);
    std::string path = options.value("-o");
    if (!MapFile::save(path, grid)) {
        return inputError("cannot write " + path);
    }
    return kOk;
}

int PelorinTool::kinds(const Options& options) {
    const bool fromJson = options.has("--from-json");
    const bool defaults = options.has("--defaults");
    if (fromJson && defaults) {
        return usageError("kinds takes --from-json or --defaults, not both");
    }
    if (fromJson || defaults) {
        if (!options.positional.empty() || !options.has("-o")) {
            return usageError(std::string("kinds ") +
                              (fromJson ? "--from-json JSON" : "--defaults") +
                              " needs -o KND and nothing else");
        }
        KindTable table;
        if (fromJson) {
            const std::string source = options.value("--from-json");
            std::string text, error;
            json::Value root;
            std::vector<KindRecord> records;
            if (!readText(source, text)) {
                return inputError("cannot read " + source);
            }
            if (!json::parse(text, root, error) || !recordsFromJson(root, records, error)) {
                return inputError(source + ": " + error);
            }
            table.assign(std::move(records));
        }
        std::string path = options.value("-o");
        if (!table.saveFile(path)) {
            return inputError("cannot write " + path);
        }
        return kOk;
    }
    if (options.positional.size() != 1) {
        return usageError("kinds takes one attribute file");
    }
    KindTable table;
    const std::string& path = options.positional[0];
    if (!table.loadFile(path)) {
        return inputError(path + ": not an attribute file (no readable \"KIND\" chunk)");
    }
    return emit(recordsToJson(table), options.value("-o"));
}

int PelorinTool::convert(const Options& options) {
    if (options.positional.size() != 1 || !options.has("-o")) {
        return usageError("convert takes one image file and -o OUT.png");
    }
    const std::string& source = options.positional[0];
    CNxFile file;
    if (!file.Open(source.c_str(), CNxFile::modeRead)) {
        return inputError("cannot open " + source);
    }
    std::unique_ptr<CNxDIBImage> image;
    {
        // libpng's errors and warnings, which the editor shows in boxes, go to stderr.
        StderrPort port(m_err);
        LibraryPortScope scope(&port);
        CNxImageLoader* decoder = CNxSystem::Get().GetImageLoaderManager().FindDecoder(file);
        if (decoder == nullptr) {
            return inputError(source +
                              ": not an image that any loader reads (BMP, PNG, JPEG, MAG or the "
                              "format of an image plug-in)");
        }
        image = decoder->Load(file);
    }
    if (!image) {
        return inputError(source + ": the image is damaged or of a kind its loader refuses");
    }
    // The surface's conversion: a 32-bit picture of the same size and row order.
    CNxDIBImage surface;
    if (!surface.Create(image->GetWidth(), image->GetInfo()->bmiHeader.biHeight, 32) ||
        !CNxDIBImageConverter::Convert(surface, 0, 0, *image, nullptr)) {
        return inputError(source + ": the image is too large to hold at 32 bits per pixel");
    }
    image.reset();
    std::vector<std::uint8_t> png;
    std::string error;
    if (!PngWriter::encode(surface, png, error)) {
        return inputError(error);
    }
    const std::string outPath = options.value("-o");
    if (!platform::writeFileAtomically(outPath, {{png.data(), png.size()}}, &error)) {
        return inputError(error);
    }
    return kOk;
}

int PelorinTool::edit(const Options& options) {
    if (options.positional.size() != 1 || !options.has("--script")) {
        return usageError("edit takes one map file and --script FILE");
    }
    const std::string scriptPath = options.value("--script");
    std::string text, error;
    if (!readText(scriptPath, text)) {
        return inputError("cannot read " + scriptPath);
    }
    std::vector<EditScript::Command> commands;
    if (!EditScript::parse(text, commands, error)) {
        std::fprintf(m_err, "pelorin-tool: %s\n", error.c_str());
        return kUsage;
    }
    // The chip window's selection means nothing without a chip image.
    for (const EditScript::Command& command : commands) {
        if (EditScript::needsChipWindow(command.op) && !options.has("--chips")) {
            std::fprintf(m_err, "pelorin-tool: script line %d: %s needs --chips IMAGE\n",
                         command.line, command.name.c_str());
            return kUsage;
        }
    }

    HeadlessEditor editor;
    auto flush = [&](const std::string& prefix) {
        for (const std::string& line : editor.takeMessages()) {
            std::fprintf(m_err, "pelorin-tool: %s%s\n", prefix.c_str(), line.c_str());
        }
    };
    const std::string& mapPath = options.positional[0];
    if (!editor.loadMap(mapPath)) {
        flush("");
        return kBadInput;
    }
    if (options.has("--chips")) {
        const std::string chipsPath = options.value("--chips");
        if (!editor.loadChipImage(chipsPath)) {
            flush("");
            return inputError("cannot load the chip image " + chipsPath);
        }
    }
    flush("");
    for (const EditScript::Command& command : commands) {
        editor.run(command);
        flush("script line " + std::to_string(command.line) + ": ");
    }

    if (options.has("--json")) {
        return emit(mapToJson(editor.grid()), options.value("-o"));
    }
    std::string outPath = options.value("-o", mapPath);
    if (!editor.saveMap(outPath)) {
        return inputError("cannot write " + outPath);
    }
    return kOk;
}
