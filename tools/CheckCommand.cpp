#include <cstdint>
#include <limits>

#include "chips/KindTable.h"
#include "gfx/CNxSurface.h"
#include "map/MapFile.h"
#include "map/MapGrid.h"
#include "tools/JsonText.h"
#include "tools/MapCheck.h"
#include "tools/ToolCommand.h"
#include "tools/ToolSupport.h"

namespace {

constexpr std::size_t kShownPerMap = 20;

// Keeps the reader's message, without the path it starts with, as one line.
class MessageCatcher : public platform::MessagePort {
public:
    explicit MessageCatcher(std::string path) : m_path(std::move(path)) {}
    platform::MessageAnswer messageBox(platform::NativeWindow*, const std::string& text,
                                       const std::string&, platform::MessageButtons,
                                       platform::MessageIcon) override {
        std::string line = text.compare(0, m_path.size() + 1, m_path + "\n") == 0
                               ? text.substr(m_path.size() + 1)
                               : text;
        for (std::size_t at = line.find('\n'); at != std::string::npos; at = line.find('\n')) {
            const std::size_t end = line.find_first_not_of('\n', at);
            line.replace(at, (end == std::string::npos ? line.size() : end) - at, "; ");
        }
        m_message = m_message.empty() ? line : m_message + "; " + line;
        return platform::MessageAnswer::Ok;
    }
    const std::string& message() const { return m_message; }

private:
    std::string m_path;
    std::string m_message;
};

std::string countsText(const mapcheck::Report& report) {
    std::string text;
    for (const auto& [check, n] : report.counts()) {
        text += (text.empty() ? "" : ", ") + check + " " + std::to_string(n);
    }
    return text;
}

std::string asText(const std::string& path, const mapcheck::Report& report) {
    std::string text;
    for (const mapcheck::Finding& f : report.shown()) {
        // A finding on the whole file stands at its start, so that every line has one shape.
        text += path + ":" + std::to_string(f.row > 0 ? f.row : 1) + ":" +
                std::to_string(f.column > 0 ? f.column : 1) + ": " + f.message + " [" + f.check +
                "]\n";
    }
    const std::size_t total = report.total();
    text += path + ": " + std::to_string(total) + (total == 1 ? " finding (" : " findings (") +
            countsText(report) + ")";
    if (report.shown().size() < total) {
        text += ", the first " + std::to_string(report.shown().size()) +
                " shown; --all shows every one";
    }
    return text + "\n";
}

std::string asJson(const std::string& path, const mapcheck::Report& report) {
    json::OrderedValue out;
    out["file"] = path;
    out["count"] = report.total();
    json::OrderedValue counts = json::OrderedValue::object();
    for (const auto& [check, n] : report.counts()) {
        counts[check] = n;
    }
    out["counts"] = counts;
    json::OrderedValue findings = json::OrderedValue::array();
    for (const mapcheck::Finding& f : report.shown()) {
        json::OrderedValue finding;
        finding["row"] = f.row > 0 ? json::OrderedValue(f.row) : json::OrderedValue();
        finding["column"] = f.column > 0 ? json::OrderedValue(f.column) : json::OrderedValue();
        finding["check"] = f.check;
        finding["message"] = f.message;
        findings.push_back(std::move(finding));
    }
    out["findings"] = std::move(findings);
    out["omitted"] = report.total() - report.shown().size();
    return json::write(out) + "\n";
}

// The names of --ignore, comma-separated; false with error for one that is no check.
bool ignoredChecks(const std::string& text, std::set<std::string>& names, std::string& error) {
    std::size_t at = 0;
    while (at <= text.size() && !text.empty()) {
        const std::size_t end = std::min(text.find(',', at), text.size());
        const std::string name = text.substr(at, end - at);
        if (!mapcheck::isCheck(name)) {
            error = "--ignore: \"" + name + "\" is none of the checks (";
            for (const mapcheck::Check& check : mapcheck::checks()) {
                error +=
                    std::string(check.name) + (&check == &mapcheck::checks().back() ? ")" : ", ");
            }
            return false;
        }
        names.insert(name);
        at = end + 1;
    }
    return true;
}

int check(const ToolIo& io, const ToolOptions& options) {
    if (options.positional.size() != 1) {
        return io.usageError("check takes one or more map files");
    }
    std::set<std::string> ignored;
    std::string error;
    if (!ignoredChecks(options.value("--ignore"), ignored, error)) {
        return io.usageError(error);
    }
    mapcheck::Sheet sheet;
    if (options.has("--chips")) {
        const auto image = tool::decodeChipImage(options.value("--chips"), io.err());
        if (image.value == nullptr) {
            return io.inputError(image.why());
        }
        sheet = {image.value->GetWidth(), image.value->GetHeight()};
    }
    KindTable kinds;
    const std::string kindsPath = options.value("--kinds");
    if (options.has("--kinds")) {
        const platform::Outcome<bool> read = tool::loadKinds(kindsPath, kinds);
        if (!read.value) {
            return io.inputError(read.why());
        }
    }

    const std::string& path = options.positional[0];
    mapcheck::Report report(
        options.has("--all") ? std::numeric_limits<std::size_t>::max() : kShownPerMap,
        std::move(ignored));
    MessageCatcher catcher(path);
    MapGrid grid;
    MapFile::Header header;
    const platform::Outcome<MapFile::Format> read = MapFile::load(path, grid, catcher, &header);
    platform::show(catcher, nullptr, read.notices);
    if (read.value == MapFile::Format::None) {
        mapcheck::unreadable(catcher.message().empty() ? "not a map file" : catcher.message(),
                             report);
    } else {
        mapcheck::checkMap(grid, header, sheet, options.has("--kinds") ? &kinds : nullptr,
                           kindsPath, report);
    }
    if (report.total() == 0) {
        return kToolOk;
    }
    const int status =
        io.emit(options.has("--json") ? asJson(path, report) : asText(path, report), "");
    return status == kToolOk ? kToolBadInput : status;
}

// The help, with one line or two for each check.
std::string help() {
    std::string text =
        "  check MAP... [--chips IMAGE] [--kinds KND] [--json] [--ignore NAME,...] [--all]\n"
        "      look for what would go wrong in a game: each finding a line\n"
        "      FILE:ROW:COLUMN: message [CHECK] (row and column of the cell, 1-based;\n"
        "      1:1 for the file as a whole), then a count per file; past 20 findings\n"
        "      in one map only the count, unless --all. --json prints one object a map\n"
        "      instead. Nothing is printed and the exit status is 0 when nothing is\n"
        "      found, 1 otherwise. The chip checks need --chips. --ignore turns checks\n"
        "      off; the checks:\n";
    for (const mapcheck::Check& check : mapcheck::checks()) {
        std::string line = std::string("        ") + check.name;
        line.resize(27, ' ');
        // Wrapped at a space to fit 80 columns.
        std::string about = check.about;
        while (line.size() + about.size() > 80) {
            const std::size_t cut = about.rfind(' ', 79 - line.size());
            text += line + about.substr(0, cut) + "\n";
            about.erase(0, cut + 1);
            line.assign(27, ' ');
        }
        text += line + about + "\n";
    }
    return text;
}

}  // namespace

const ToolCommand& checkCommand() {
    static const std::string text = help();
    static const ToolCommand command{"check",
                                     {{"--chips", true},
                                      {"--kinds", true},
                                      {"--json", false},
                                      {"--ignore", true},
                                      {"--all", false}},
                                     text.c_str(),
                                     check,
                                     [](const ToolOptions&) { return ToolOutputs{}; },
                                     true};
    return command;
}
