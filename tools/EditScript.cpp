#include "tools/EditScript.h"

#include <climits>
#include <cstdint>
#include <sstream>

namespace {

// What follows a command's name: N a whole number, L a layer name.
struct Form {
    const char* name;
    EditScript::Op op;
    const char* arguments;
    const char* usage;
};

const Form kForms[] = {
    {"layer", EditScript::Op::Layer, "L", "layer chips|attributes"},
    {"cursor", EditScript::Op::Cursor, "NN", "cursor X Y"},
    {"select", EditScript::Op::Select, "NNNN", "select X1 Y1 X2 Y2"},
    {"deselect", EditScript::Op::Deselect, "", "deselect"},
    {"chip", EditScript::Op::Chip, "N", "chip N"},
    {"chip-block", EditScript::Op::ChipBlock, "NNNN", "chip-block C1 R1 C2 R2"},
    {"attribute", EditScript::Op::Attribute, "N", "attribute N"},
    {"put", EditScript::Op::Put, "", "put"},
    {"erase", EditScript::Op::Erase, "", "erase"},
    {"copy", EditScript::Op::Copy, "", "copy"},
    {"paste", EditScript::Op::Paste, "", "paste"},
    {"insert-rows", EditScript::Op::InsertRows, "", "insert-rows"},
    {"delete-rows", EditScript::Op::DeleteRows, "", "delete-rows"},
    {"insert-columns", EditScript::Op::InsertColumns, "", "insert-columns"},
    {"delete-columns", EditScript::Op::DeleteColumns, "", "delete-columns"},
    {"replace", EditScript::Op::Replace, "NNLL",
     "replace FROM TO chips|attributes chips|attributes"},
    {"canvas", EditScript::Op::Canvas, "NN", "canvas W H"},
    {"chip-size", EditScript::Op::ChipSize, "NN", "chip-size W H"},
    {"undo", EditScript::Op::Undo, "", "undo"},
    {"redo", EditScript::Op::Redo, "", "redo"},
};

bool wholeNumber(const std::string& word, int& value) {
    if (word.empty() || word.size() > 10) {
        return false;
    }
    std::int64_t n = 0;
    for (char c : word) {
        if (c < '0' || c > '9') {
            return false;
        }
        n = n * 10 + (c - '0');
    }
    if (n > INT32_MAX) {
        return false;
    }
    value = static_cast<int>(n);
    return true;
}

bool layerName(const std::string& word, int& layer) {
    if (word == "chips") {
        layer = 0;
    } else if (word == "attributes") {
        layer = 1;
    } else {
        return false;
    }
    return true;
}

}  // namespace

platform::Outcome<bool> EditScript::parse(const std::string& text, std::vector<Command>& commands) {
    commands.clear();
    std::string error;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const std::string where = "script line " + std::to_string(number) + ": ";
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream wordStream(line);
        std::vector<std::string> words;
        for (std::string word; wordStream >> word;) {
            words.push_back(word);
        }
        if (words.empty()) {
            continue;
        }
        const Form* form = nullptr;
        for (const Form& f : kForms) {
            if (words[0] == f.name) {
                form = &f;
            }
        }
        if (form == nullptr) {
            return platform::Outcome<bool>::because(where + "unknown command \"" + words[0] + "\"");
        }
        const std::string pattern = form->arguments;
        if (words.size() - 1 != pattern.size()) {
            return platform::Outcome<bool>::because(where + "the form is \"" + form->usage + "\"");
        }
        Command command{form->op, number, {}, form->name};
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            const std::string& word = words[i + 1];
            if (pattern[i] == 'L') {
                if (!layerName(word, command.args[i])) {
                    return platform::Outcome<bool>::because(where + "\"" + word +
                                                            "\" is not a layer; the form is \"" +
                                                            form->usage + "\"");
                }
            } else if (!wholeNumber(word, command.args[i])) {
                return platform::Outcome<bool>::because(
                    where + "\"" + word + "\" is not a whole number from 0 to 2147483647");
            }
        }
        // Attribute numbers are those of the table, whatever the map; chip numbers depend on
        // the chip image and are checked when the script runs.
        auto checkAttribute = [&](int value) {
            if (value < kAttributeCount) {
                return true;
            }
            error = where + "attribute numbers run from 0 to " +
                    std::to_string(kAttributeCount - 1) + ", not " + std::to_string(value);
            return false;
        };
        if (command.op == Op::Attribute && !checkAttribute(command.args[0])) {
            return platform::Outcome<bool>::because(error);
        }
        if (command.op == Op::Replace &&
            ((command.args[2] == 1 && !checkAttribute(command.args[0])) ||
             (command.args[3] == 1 && !checkAttribute(command.args[1])))) {
            return platform::Outcome<bool>::because(error);
        }
        commands.push_back(command);
    }
    return {true, {}};
}
