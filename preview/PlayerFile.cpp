#include "preview/PlayerFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "gfx/CNxSurface.h"
#include "platform/FileIo.h"
#include "platform/MessagePort.h"
#include "platform/Texts.h"

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

constexpr int kFormatVersion = 1;
constexpr std::uint64_t kMaxFileBytes = 16u << 20;
// Image coordinates the dialog can show; anything beyond is not a picture's.
constexpr std::int64_t kMaxCoordinate = 1 << 24;

Json rectJson(const platform::Rect& r) {
    return Json::array({r.left, r.top, r.right, r.bottom});
}

// A failure's notice is the reason alone: the caller names the file.
using Result = platform::Outcome<bool>;

fs::path folderOf(const std::string& file) {
    std::error_code ignored;
    return fs::absolute(fs::path(file), ignored).parent_path();
}

// Reads the members of one frame, naming the first that is wrong.
class FrameReader {
public:
    FrameReader(const Json& object, std::string where, const platform::Language& words)
        : m_object(object), m_where(std::move(where)), m_words(words) {}

    bool integer(const char* key, std::int64_t low, std::int64_t high, std::int64_t& value) {
        const Json* member = find(key);
        if (member == nullptr) {
            return false;
        }
        if (!member->is_number_integer() || member->get<std::int64_t>() < low ||
            member->get<std::int64_t>() > high) {
            return fail(m_words.formatText(PELORIN_TEXT("%s が %s～%s の整数ではありません"), key,
                                           std::to_string(low).c_str(),
                                           std::to_string(high).c_str()));
        }
        value = member->get<std::int64_t>();
        return true;
    }

    bool rect(const Json& member, const std::string& key, platform::Rect& r) {
        if (!member.is_array() || member.size() != 4) {
            return fail(m_words.formatText(PELORIN_TEXT("%s が 4 つの整数の配列ではありません"),
                                           key.c_str()));
        }
        std::int32_t* sides[4] = {&r.left, &r.top, &r.right, &r.bottom};
        for (int i = 0; i < 4; ++i) {
            if (!member[i].is_number_integer() || member[i].get<std::int64_t>() < 0 ||
                member[i].get<std::int64_t>() > kMaxCoordinate) {
                return fail(m_words.formatText(PELORIN_TEXT("%s の値が 0～%s の整数ではありません"),
                                               key.c_str(),
                                               std::to_string(kMaxCoordinate).c_str()));
            }
            *sides[i] = static_cast<std::int32_t>(member[i].get<std::int64_t>());
        }
        return true;
    }

    bool read(const fs::path& folder, PlayerFrame& frame) {
        const Json* image = find("image");
        if (image == nullptr) {
            return false;
        }
        if (!image->is_string() || image->get<std::string>().empty()) {
            return fail(m_words.text(PELORIN_TEXT("image がファイル名ではありません")));
        }
        fs::path path = fs::path(image->get<std::string>());
        frame.path = (path.is_absolute() ? path : folder / path).lexically_normal().string();
        frame.displayName = frame.path;
        if (const auto name = m_object.find("name"); name != m_object.end()) {
            if (!name->is_string() || name->get<std::string>().empty()) {
                return fail(m_words.text(PELORIN_TEXT("name が空でない文字列ではありません")));
            }
            frame.displayName = name->get<std::string>();
        }
        std::int64_t time = 0, alpha = 0;
        if (!integer("displayTime", 0, PlayerFrame::kMaxDisplayTime, time) ||
            !integer("alpha", 0, 255, alpha)) {
            return false;
        }
        frame.displayTime = static_cast<std::uint32_t>(time);
        frame.alpha = static_cast<std::uint8_t>(alpha);
        const Json* option = find("drawOption");
        if (option == nullptr) {
            return false;
        }
        if (!option->is_boolean()) {
            return fail(m_words.text(PELORIN_TEXT("drawOption が true か false ではありません")));
        }
        frame.drawOption = option->get<bool>();
        const Json* source = find("sourceRect");
        if (source == nullptr || !rect(*source, "sourceRect", frame.sourceRect)) {
            return false;
        }
        const Json* extra = find("extraRects");
        if (extra == nullptr) {
            return false;
        }
        if (!extra->is_array() || extra->size() != PlayerFrame::kExtraRectCount) {
            return fail(m_words.text(PELORIN_TEXT("extraRects が 4 つの矩形の配列ではありません")));
        }
        for (int i = 0; i < PlayerFrame::kExtraRectCount; ++i) {
            if (!rect((*extra)[i], "extraRects[" + std::to_string(i) + "]", frame.extraRects[i])) {
                return false;
            }
        }
        return true;
    }

    const std::string& error() const { return m_error; }

private:
    const Json* find(const char* key) {
        const auto member = m_object.find(key);
        if (member == m_object.end()) {
            fail(m_words.formatText(PELORIN_TEXT("%s がありません"), key));
            return nullptr;
        }
        return &*member;
    }
    bool fail(const std::string& what) {
        m_error = m_where + ": " + what;
        return false;
    }

    const Json& m_object;
    std::string m_where;
    const platform::Language& m_words;
    std::string m_error;
};

void clampInto(platform::Rect& r, std::int32_t width, std::int32_t height) {
    r.left = std::clamp(r.left, 0, width - 1);
    r.right = std::clamp(r.right, 0, width - 1);
    r.top = std::clamp(r.top, 0, height - 1);
    r.bottom = std::clamp(r.bottom, 0, height - 1);
}

}  // namespace

PlayerFile::Lists PlayerFile::withImages(const Lists& stored, PlayerDefinition::ImageCache& cache,
                                         std::vector<std::string>& unreadable,
                                         std::vector<platform::Notice>* notices) {
    Lists loaded;
    std::set<std::string> failed;  // each unreadable image is tried once
    for (int a = 0; a < PlayerDefinition::kActionCount; ++a) {
        for (const PlayerFrame& settings : stored[a]) {
            PlayerFrame frame;
            if (failed.count(settings.path) != 0 ||
                !PlayerDefinition::LoadFrame(settings.path, frame, cache, notices)) {
                if (failed.insert(settings.path).second) {
                    unreadable.push_back(settings.path);
                }
                continue;
            }
            frame.displayTime = settings.displayTime;
            frame.alpha = settings.alpha;
            frame.drawOption = settings.drawOption;
            frame.sourceRect = settings.sourceRect;
            frame.extraRects = settings.extraRects;
            frame.displayName = settings.displayName;
            const std::int32_t width = frame.image->GetWidth(), height = frame.image->GetHeight();
            clampInto(frame.sourceRect, width, height);
            for (platform::Rect& r : frame.extraRects) {
                clampInto(r, width, height);
            }
            loaded[a].push_back(std::move(frame));
        }
    }
    return loaded;
}

platform::Outcome<bool> PlayerFile::save(const std::string& path, const Lists& lists,
                                         const platform::Language& language) {
    std::string text;
    return toText(lists, folderOf(path).string(), text, language).then([&] {
        return platform::writeFileAtomically(path, {{text.data(), text.size()}});
    });
}

platform::Outcome<bool> PlayerFile::toText(const Lists& lists, const std::string& folderName,
                                           std::string& text, const platform::Language& language) {
    const fs::path folder(folderName);
    Json actions = Json::array();
    for (int a = 0; a < PlayerDefinition::kActionCount; ++a) {
        Json frames = Json::array();
        for (const PlayerFrame& frame : lists[a]) {
            const fs::path image = fs::path(frame.path);
            const fs::path relative =
                folderName.empty() ? fs::path() : image.lexically_relative(folder);
            Json f;
            f["image"] = (relative.empty() ? image : relative).generic_string();
            if (frame.displayName != frame.path) {
                f["name"] = frame.displayName;
            }
            f["displayTime"] = frame.displayTime;
            f["alpha"] = frame.alpha;
            f["drawOption"] = frame.drawOption;
            f["sourceRect"] = rectJson(frame.sourceRect);
            f["extraRects"] = Json::array();
            for (const platform::Rect& r : frame.extraRects) {
                f["extraRects"].push_back(rectJson(r));
            }
            frames.push_back(std::move(f));
        }
        actions.push_back(
            Json{{"name", PlayerDefinition::GetActionName(a)}, {"frames", std::move(frames)}});
    }
    const Json document{{"pelorinPlayer", kFormatVersion}, {"actions", std::move(actions)}};
    try {
        text = document.dump(2) + "\n";
    } catch (const Json::exception&) {
        return Result::because(
            language.text(PELORIN_TEXT("UTF-8 でないファイル名や表示名は保存できません")));
    }
    return {true, {}};
}

platform::Outcome<bool> PlayerFile::load(const std::string& path, Lists& lists,
                                         const platform::Language& language) {
    std::string text;
    if (!platform::readWholeFile(path, text, kMaxFileBytes)) {
        return Result::because(language.text(PELORIN_TEXT("ファイルを読めません")));
    }
    return fromText(text, folderOf(path).string(), lists, language);
}

platform::Outcome<bool> PlayerFile::open(const std::string& path,
                                         PlayerDefinition::ImageCache& cache, Opened& opened,
                                         const platform::Language& language) {
    Lists stored;
    platform::Outcome<bool> loaded = load(path, stored, language);
    if (!loaded.value) {
        return loaded;
    }
    opened.unreadable.clear();
    opened.notices.clear();
    opened.frames = withImages(stored, cache, opened.unreadable, &opened.notices);
    opened.stored = std::move(stored);
    return {true, {}};
}

std::string PlayerFile::asLines(const std::vector<std::string>& paths) {
    std::string lines;
    for (const std::string& path : paths) {
        lines += "\n" + path;
    }
    return lines;
}

platform::Outcome<bool> PlayerFile::fromText(const std::string& text, const std::string& folderName,
                                             Lists& lists, const platform::Language& language) {
    const Json document = Json::parse(text, nullptr, false);
    if (document.is_discarded()) {
        return Result::because(language.text(PELORIN_TEXT("JSON として読めません")));
    }
    if (!document.is_object() || !document.contains("pelorinPlayer") ||
        document["pelorinPlayer"] != kFormatVersion) {
        return Result::because(language.text(
            PELORIN_TEXT("プレイヤー定義のファイル (pelorinPlayer: 1) ではありません")));
    }
    const auto actions = document.find("actions");
    if (actions == document.end() || !actions->is_array() ||
        actions->size() != PlayerDefinition::kActionCount) {
        return Result::because(
            language.text(PELORIN_TEXT("actions が 7 つのアクションの配列ではありません")));
    }
    const fs::path folder(folderName);
    Lists read;
    for (int a = 0; a < PlayerDefinition::kActionCount; ++a) {
        const Json& action = (*actions)[a];
        const std::string where = "actions[" + std::to_string(a) + "]";
        const auto frames = action.is_object() ? action.find("frames") : action.end();
        if (!action.is_object() || frames == action.end() || !frames->is_array()) {
            return Result::because(
                where + language.text(PELORIN_TEXT(": frames がフレームの配列ではありません")));
        }
        if (frames->size() > PlayerDefinition::kMaxFrames) {
            return Result::because(
                where + language.formatText(PELORIN_TEXT(": フレームが %d を超えています"),
                                            PlayerDefinition::kMaxFrames));
        }
        for (std::size_t i = 0; i < frames->size(); ++i) {
            const std::string at = where + ".frames[" + std::to_string(i) + "]";
            if (!(*frames)[i].is_object()) {
                return Result::because(at +
                                       language.text(PELORIN_TEXT(": オブジェクトではありません")));
            }
            FrameReader reader((*frames)[i], at, language);
            PlayerFrame frame;
            if (!reader.read(folder, frame)) {
                return Result::because(reader.error());
            }
            read[a].push_back(std::move(frame));
        }
    }
    lists = std::move(read);
    return {true, {}};
}
