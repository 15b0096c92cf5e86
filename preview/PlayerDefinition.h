#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Outcome.h"
#include "preview/PlayerFrame.h"

class CNxSurface;

// A player character's frames: seven actions, each an ordered list of at most 50 frames. The
// frames hold their decoded images; an ImageCache finds them by path, weakly, so that an image is
// decoded once per path while some frame (here, in a dialog's working copy or in the preview)
// uses it, and freed with its last frame.
class PlayerDefinition {
public:
    static constexpr int kActionCount = 7;
    static constexpr int kMaxFrames = 50;

    using FrameList = std::vector<PlayerFrame>;
    using ImageCache = std::map<std::string, std::weak_ptr<CNxSurface>>;

    PlayerDefinition() = default;
    PlayerDefinition(const PlayerDefinition&) = delete;
    PlayerDefinition& operator=(const PlayerDefinition&) = delete;

    // "立ち", "歩き", "ジャンプ", "落下", "ダメージ", "死亡", "攻撃"; empty outside 0 … 6.
    static std::string GetActionName(int action);

    const FrameList& frames(int action) const { return m_frames.at(action); }

    // Appends copies of the action's frames to frames.
    void AppendFramesTo(int action, FrameList& frames) const;
    void ClearFrames(int action);
    // Appends frames to the action's list (after ClearFrames: replaces it).
    void SetFrames(int action, FrameList frames);
    // Every action's list replaced by its own of lists.
    void replaceFrames(std::array<FrameList, kActionCount> lists);
    // Whether the frames (their images, names and settings) differ from those a frames file
    // holds as far as the editor knows: the last one saved or loaded, or none at the start.
    bool isModified() const;
    // lists are what the frames file now holds: the registration dialog saved or loaded them.
    void markSaved(const std::array<FrameList, kActionCount>& lists);
    // Text that is equal for two sets of lists exactly when their paths, names and settings are.
    static std::string fingerprint(const std::array<FrameList, kActionCount>& lists);
    const std::array<FrameList, kActionCount>& allFrames() const { return m_frames; }
    // Grows with every change of the frames.
    std::uint64_t revision() const { return m_revision; }

    // Decodes the image file at path into a 32-bit surface; null when it cannot be read. What
    // the decoder has to say is added to notices when given.
    static std::shared_ptr<CNxSurface> DecodeImage(
        const std::string& path, std::vector<platform::Notice>* notices = nullptr);
    // Fills frame for the image file at path with the default settings. The frame shares the
    // image cache holds for path while it lives; otherwise the file is decoded and entered in
    // cache. False, and frame without image, when decoding fails. The decoder's notices are
    // added to notices when given.
    static bool LoadFrame(const std::string& path, PlayerFrame& frame, ImageCache& cache,
                          std::vector<platform::Notice>* notices = nullptr);
    // Drops the entries whose image no frame holds any more.
    static void ForgetUnusedImages(ImageCache& cache);

private:
    std::array<FrameList, kActionCount> m_frames;
    std::string m_saved = fingerprint({});
    // isModified compares at most once per change of the frames.
    std::uint64_t m_revision = 0;
    mutable std::uint64_t m_comparedRevision = ~std::uint64_t(0);
    mutable bool m_modified = false;
};
