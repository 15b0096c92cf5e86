// The English translation against the sources: every text marked with PELORIN_TEXT is in
// translations/pelorin_en.ts with a finished translation that keeps its printf conversions, and
// no Japanese text of the product is left unmarked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kProductFolders[] = {"app", "chips", "grid", "map", "preview"};

// Japanese literals that are data, not texts to translate, with why.
const std::set<std::pair<std::string, std::string>> kData = {
    // The memo of an undefined attribute, written into attribute files.
    {"chips/KindTable.cpp", "属性未定義"},
    {"chips/KindEditDialog.cpp", "属性未定義"},
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> productSources() {
    std::vector<fs::path> files;
    for (const char* folder : kProductFolders) {
        for (const auto& entry :
             fs::recursive_directory_iterator(fs::path(PELORIN_SOURCE_DIR) / folder)) {
            const fs::path ext = entry.path().extension();
            if (ext == ".cpp" || ext == ".h") {
                files.push_back(entry.path());
            }
        }
    }
    return files;
}

// A C++ source as its code and string literals: comments and character literals are dropped.
struct Literal {
    std::string value;    // escapes resolved, adjacent literals joined
    std::size_t at = 0;   // where the first starts in the source
    bool marked = false;  // the argument of PELORIN_TEXT
};

std::vector<Literal> literals(const std::string& s) {
    std::vector<Literal> found;
    std::string code;  // what precedes, without comments, to see the macro before a literal
    std::size_t i = 0;
    while (i < s.size()) {
        if (s.compare(i, 2, "//") == 0) {
            i = s.find('\n', i);
            i = i == std::string::npos ? s.size() : i;
        } else if (s.compare(i, 2, "/*") == 0) {
            i = s.find("*/", i + 2) + 2;
        } else if (s[i] == '\'') {
            for (++i; s[i] != '\''; i += s[i] == '\\' ? 2 : 1) {
            }
            ++i;
            code += "' '";
        } else if (s[i] == '"') {
            Literal literal;
            literal.at = i;
            const std::size_t codeEnd = code.find_last_not_of(" \t\n");
            literal.marked = codeEnd != std::string::npos && codeEnd >= 12 &&
                             code.compare(codeEnd - 12, 13, "PELORIN_TEXT(") == 0;
            // This literal and those right after it, as the compiler joins them.
            while (i < s.size() && s[i] == '"') {
                for (++i; s[i] != '"'; ++i) {
                    if (s[i] == '\\') {
                        const char e = s[++i];
                        literal.value += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                    } else {
                        literal.value += s[i];
                    }
                }
                i = s.find_first_not_of(" \t\n", i + 1);
                i = i == std::string::npos ? s.size() : i;
            }
            found.push_back(literal);
            code += "\"\"";
        } else {
            code += s[i++];
        }
    }
    return found;
}

bool isJapanese(const std::string& text) {
    // UTF-8 lead bytes of U+3000 … U+9FFF (E3 … E9) and of U+FF00 … U+FFEF (EF BC … EF BF).
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c >= 0xE3 && c <= 0xE9) ||
            (c == 0xEF && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0xBC)) {
            return true;
        }
    }
    return false;
}

// The printf conversions of a text in order ("%5.2f", "%zu"), "%%" left out.
std::vector<std::string> conversions(const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i)) {
        const std::size_t end = text.find_first_of("diouxXeEfgGcsp%", i + 1);
        if (end == std::string::npos) {
            found.push_back(text.substr(i));
            break;
        }
        if (text[end] != '%' || end != i + 1) {
            found.push_back(text.substr(i, end + 1 - i));
        }
        i = end + 1;
    }
    return found;
}

struct Message {
    std::string translation;
    bool finished = false;
};

// The messages of the .ts that are in use: source to translation.
std::map<std::string, Message> translations() {
    pugi::xml_document ts;
    const pugi::xml_parse_result parsed =
        ts.load_file((fs::path(PELORIN_SOURCE_DIR) / "translations/pelorin_en.ts").c_str());
    EXPECT_TRUE(parsed) << parsed.description();
    std::map<std::string, Message> messages;
    for (pugi::xml_node context : ts.child("TS").children("context")) {
        EXPECT_STREQ(context.child_value("name"), "Pelorin");
        for (pugi::xml_node message : context.children("message")) {
            const pugi::xml_node translation = message.child("translation");
            const std::string type = translation.attribute("type").value();
            if (type == "obsolete" || type == "vanished") {
                continue;
            }
            messages[message.child_value("source")] = {translation.child_value(), type.empty()};
        }
    }
    return messages;
}

}  // namespace

TEST(Translations, EveryMarkedTextHasAFinishedEnglishTranslationWithItsConversions) {
    const std::map<std::string, Message> english = translations();
    std::set<std::string> marked;
    for (const fs::path& file : productSources()) {
        for (const Literal& literal : literals(readFile(file))) {
            if (literal.marked) {
                marked.insert(literal.value);
                EXPECT_EQ(english.count(literal.value), 1u)
                    << file << ": \"" << literal.value
                    << "\" is not in the .ts file (run make translations)";
            }
        }
    }
    EXPECT_GT(marked.size(), 200u);
    for (const auto& [source, message] : english) {
        EXPECT_TRUE(message.finished && !message.translation.empty())
            << "\"" << source << "\" has no finished translation";
        EXPECT_EQ(conversions(message.translation), conversions(source))
            << "\"" << message.translation << "\" changes the conversions of \"" << source << "\"";
        EXPECT_EQ(marked.count(source), 1u) << "\"" << source << "\" is no text of the sources";
    }
}

TEST(Translations, NoJapaneseTextOfTheProductIsLeftUnmarked) {
    for (const fs::path& file : productSources()) {
        const std::string relative = fs::relative(file, PELORIN_SOURCE_DIR).generic_string();
        for (const Literal& literal : literals(readFile(file))) {
            if (!literal.marked && isJapanese(literal.value)) {
                EXPECT_EQ(kData.count({relative, literal.value}), 1u)
                    << relative << ": \"" << literal.value << "\" is not marked with PELORIN_TEXT";
            }
        }
    }
}

TEST(Translations, ConversionsAreReadAsPrintfReadsThem) {
    EXPECT_EQ(conversions("%s: %d%% of %zu, %5.2f"),
              (std::vector<std::string>{"%s", "%d", "%zu", "%5.2f"}));
}
