#pragma once

#include <array>
#include <string>

#include "platform/Dialog.h"
#include "preview/PlayerDefinition.h"
#include "preview/PreviewScreen.h"

namespace platform {
class Host;
class NativeWindow;
}  // namespace platform

// The player registration dialog (125, "プレイヤー登録"): edits a working copy of the player
// definition, action by action. Images are added (several files at once), duplicated, renamed,
// deleted and reordered by dragging; a frame's settings are edited while the preview shows it,
// and the action's frames are played in the preview. OK and Apply copy the working lists into
// the definition; Cancel, Escape and the close box discard them. The working copy can be saved
// to a JSON file and loaded back.
class PlayerRegistrationDialog : public platform::Dialog, private PreviewScreen::OwnerDialog {
public:
    static constexpr int kActionId = 1103;
    static constexpr int kFrameListId = 1108;
    static constexpr int kAddId = 1104;
    static constexpr int kDuplicateId = 1105;
    static constexpr int kRenameId = 1106;
    static constexpr int kSettingsId = 1107;
    static constexpr int kDeleteId = 1043;
    static constexpr int kDeleteAllId = 1044;
    static constexpr int kPreviewId = 1126;
    static constexpr int kApplyId = 3;
    static constexpr int kSaveId = 1170;
    static constexpr int kLoadId = 1171;

    PlayerRegistrationDialog(platform::Host& host, PlayerDefinition& definition,
                             PreviewScreen& preview);

    // Opens the dialog modally over owner (the map window).
    platform::DialogResult run(platform::NativeWindow* owner);

    // The working copy while the dialog is open (empty otherwise).
    const PlayerDefinition::FrameList& workingFrames(int action) const {
        return m_workingFrames.at(action);
    }
    const PlayerDefinition::ImageCache& workingCache() const { return m_workingCache; }

    platform::DialogTemplate dialogTemplate() const override;
    void onInit(platform::DialogControls& controls) override;
    void onCommand(platform::DialogControls& controls,
                   const platform::DialogCommand& command) override;

private:
    void previewEnded() override;

    PlayerDefinition::FrameList& frames() { return m_workingFrames[m_actionIndex]; }
    // The index of the frame selected in the list, or −1 when none is.
    int selectedFrame(platform::DialogControls& controls);
    void fillList(platform::DialogControls& controls);
    // Enables the controls from whether the action has frames and whether the preview plays.
    void updateControls(platform::DialogControls& controls);
    void changed(platform::DialogControls& controls);
    void showLimit(platform::DialogControls& controls, const char* title);
    // Loads the frame for the image at path through the working cache; the decoder's notices
    // and a failure are shown over the dialog.
    bool loadFrame(platform::DialogControls& controls, const std::string& path, PlayerFrame& frame);

    // A button clicked: OK, Cancel, or one of the list's commands.
    void onButton(platform::DialogControls& controls, int id);
    void addImages(platform::DialogControls& controls);
    void duplicate(platform::DialogControls& controls);
    void rename(platform::DialogControls& controls);
    void editSettings(platform::DialogControls& controls);
    void deleteSelected(platform::DialogControls& controls);
    void deleteAll(platform::DialogControls& controls);
    void move(platform::DialogControls& controls, int from, int to);
    void togglePreview(platform::DialogControls& controls);
    void saveFile(platform::DialogControls& controls);
    void loadFile(platform::DialogControls& controls);
    void commit();
    void close(platform::DialogControls& controls, platform::DialogResult result);

    platform::Host& m_host;
    PlayerDefinition& m_definition;
    PreviewScreen& m_preview;
    std::array<PlayerDefinition::FrameList, PlayerDefinition::kActionCount> m_workingFrames;
    PlayerDefinition::ImageCache m_workingCache;
    platform::DialogControls* m_controls = nullptr;  // while open
    int m_actionIndex = 0;
    bool m_changed = false;  // since the opening or the last Apply
    std::string m_lastImagePath;
    std::string m_filePath;
};
