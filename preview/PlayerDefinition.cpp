#include "preview/PlayerDefinition.h"

#include <iterator>

#include "gfx/CNxSurface.h"
#include "platform/Texts.h"

namespace {

const char* const kActionNames[PlayerDefinition::kActionCount] = {
    PELORIN_TEXT("立ち"),     PELORIN_TEXT("歩き"), PELORIN_TEXT("ジャンプ"), PELORIN_TEXT("落下"),
    PELORIN_TEXT("ダメージ"), PELORIN_TEXT("死亡"), PELORIN_TEXT("攻撃"),
};

}  // namespace

void PlayerFrame::setDefaults(std::int32_t width, std::int32_t height) {
    const platform::Rect whole{0, 0, width - 1, height - 1};
    displayTime = kDefaultDisplayTime;
    alpha = 255;
    drawOption = true;
    sourceRect = whole;
    extraRects = {whole, whole, platform::Rect{0, 0, 0, 0}, platform::Rect{0, 0, 0, 0}};
}

bool PlayerFrame::sameSettings(const PlayerFrame& other) const {
    return displayTime == other.displayTime && alpha == other.alpha &&
           sourceRect == other.sourceRect && extraRects == other.extraRects &&
           drawOption == other.drawOption;
}

std::string PlayerDefinition::GetActionName(int action) {
    return action >= 0 && action < kActionCount ? kActionNames[action] : std::string();
}

void PlayerDefinition::AppendFramesTo(int action, FrameList& frames) const {
    const FrameList& own = m_frames.at(action);
    frames.insert(frames.end(), own.begin(), own.end());
}

void PlayerDefinition::ClearFrames(int action) {
    m_frames.at(action).clear();
    ++m_revision;
}

void PlayerDefinition::SetFrames(int action, FrameList frames) {
    ++m_revision;
    FrameList& own = m_frames.at(action);
    own.insert(own.end(), std::make_move_iterator(frames.begin()),
               std::make_move_iterator(frames.end()));
}

std::string PlayerDefinition::fingerprint(const std::array<FrameList, kActionCount>& lists) {
    std::string text;
    auto number = [&text](std::int64_t value) { text += std::to_string(value) + ','; };
    auto rect = [&number](const platform::Rect& r) {
        number(r.left);
        number(r.top);
        number(r.right);
        number(r.bottom);
    };
    for (const FrameList& frames : lists) {
        text += '[';
        for (const PlayerFrame& frame : frames) {
            // Lengths first, so that no path or name can pass for another's end.
            number(static_cast<std::int64_t>(frame.path.size()));
            text += frame.path;
            number(static_cast<std::int64_t>(frame.displayName.size()));
            text += frame.displayName;
            number(frame.displayTime);
            number(frame.alpha);
            number(frame.drawOption ? 1 : 0);
            rect(frame.sourceRect);
            for (const platform::Rect& r : frame.extraRects) {
                rect(r);
            }
        }
        text += ']';
    }
    return text;
}

bool PlayerDefinition::isModified() const {
    if (m_comparedRevision != m_revision) {
        m_modified = fingerprint(m_frames) != m_saved;
        m_comparedRevision = m_revision;
    }
    return m_modified;
}

void PlayerDefinition::replaceFrames(std::array<FrameList, kActionCount> lists) {
    for (int a = 0; a < kActionCount; ++a) {
        ClearFrames(a);
        SetFrames(a, std::move(lists[a]));
    }
}

void PlayerDefinition::markSaved(const std::array<FrameList, kActionCount>& lists) {
    m_saved = fingerprint(lists);
    m_comparedRevision = ~std::uint64_t(0);
}

std::shared_ptr<CNxSurface> PlayerDefinition::DecodeImage(const std::string& path,
                                                          std::vector<platform::Notice>* notices) {
    auto decoded = CNxSurface::LoadImageFile(path);
    if (notices != nullptr) {
        notices->insert(notices->end(), decoded.notices.begin(), decoded.notices.end());
    }
    std::shared_ptr<CNxSurface> image = std::move(decoded.value);
    if (image == nullptr || image->GetWidth() <= 0 || image->GetHeight() <= 0) {
        return nullptr;
    }
    return image;
}

bool PlayerDefinition::LoadFrame(const std::string& path, PlayerFrame& frame, ImageCache& cache,
                                 std::vector<platform::Notice>* notices) {
    const auto cached = cache.find(path);
    std::shared_ptr<CNxSurface> image = cached != cache.end() ? cached->second.lock() : nullptr;
    if (image == nullptr) {
        image = DecodeImage(path, notices);
        if (image == nullptr) {
            frame.image.reset();
            return false;
        }
        cache[path] = image;
    }
    frame.setDefaults(image->GetWidth(), image->GetHeight());
    frame.image = std::move(image);
    frame.path = path;
    frame.displayName = path;
    return true;
}

void PlayerDefinition::ForgetUnusedImages(ImageCache& cache) {
    for (auto entry = cache.begin(); entry != cache.end();) {
        entry = entry->second.expired() ? cache.erase(entry) : std::next(entry);
    }
}
