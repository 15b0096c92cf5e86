#pragma once

#include <array>
#include <string>
#include <vector>

#include "preview/PlayerDefinition.h"

#include "platform/Outcome.h"

// The player definition as a JSON file, so that an author's frames survive a restart:
//
//   {"pelorinPlayer": 1,
//    "actions": [{"name": "立ち", "frames": [{"image": "stand/1.png", "name": "…",
//                 "displayTime": 100, "alpha": 255, "drawOption": true,
//                 "sourceRect": [0, 0, 31, 47], "extraRects": [[…], […], […], […]]}]},
//                … seven actions in their order]}
//
// Image paths are stored relative to the file's folder; "name" only when it is not the path.
// Rectangles are inclusive, [left, top, right, bottom]. A failure's notice is the reason alone,
// in language's words; the caller names the file and titles the message.
class PlayerFile {
public:
    using Lists = std::array<PlayerDefinition::FrameList, PlayerDefinition::kActionCount>;

    // Writes the frames' settings and paths (not their images) to path, replacing the file as a
    // whole.
    static platform::Outcome<bool> save(const std::string& path, const Lists& lists,
                                        const platform::Language& language = platform::Language());
    // Reads path into lists: every frame with its settings, an absolute image path and its
    // display name, without image. Fails (lists are then untouched) for a file that cannot be
    // read or does not hold a definition.
    static platform::Outcome<bool> load(const std::string& path, Lists& lists,
                                        const platform::Language& language = platform::Language());

    // The frames of stored (as load gives them) with their images, decoded through cache, and
    // their rectangles brought within their images. Frames whose image cannot be read are left
    // out; their paths are listed in unreadable, each once. The decoders' notices are added to
    // notices when given.
    static Lists withImages(const Lists& stored, PlayerDefinition::ImageCache& cache,
                            std::vector<std::string>& unreadable,
                            std::vector<platform::Notice>* notices = nullptr);

    // A frames file made ready for use: what it holds (as load gives it), and its frames with
    // their images (as withImages gives them).
    struct Opened {
        Lists stored;
        Lists frames;
        std::vector<std::string> unreadable;
        std::vector<platform::Notice> notices;  // the decoders', to be shown before the rest
    };
    // load, then withImages through cache. Fails as load does; opened is then untouched.
    static platform::Outcome<bool> open(const std::string& path,
                                        PlayerDefinition::ImageCache& cache, Opened& opened,
                                        const platform::Language& language = platform::Language());
    // Each path after a line break, to follow a message that names them.
    static std::string asLines(const std::vector<std::string>& paths);

    // The same as text: image paths relative to folder, or absolute when folder is empty.
    static platform::Outcome<bool> toText(
        const Lists& lists, const std::string& folder, std::string& text,
        const platform::Language& language = platform::Language());
    static platform::Outcome<bool> fromText(
        const std::string& text, const std::string& folder, Lists& lists,
        const platform::Language& language = platform::Language());
};
