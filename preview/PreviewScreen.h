#pragma once

#include <memory>
#include <vector>

#include "gfx/CNxWindow.h"
#include "platform/Menu.h"
#include "platform/WindowSpec.h"
#include "preview/PlayerFrame.h"
#include "preview/Stopwatch.h"

namespace platform {
class Host;
class MillisecondClock;
}  // namespace platform

class CNxSprite;

// The preview window: plays one action's frames as an animation, each for its display time,
// or shows the single frame whose settings are being edited, on a black background. Each frame
// it is given is drawn by a sprite of its own in the preview's layer, made when the frame comes
// and removed when it goes.
//
// Frames change on a single-shot timer set to the next frame's deadline, so a change is on time
// whichever event loop runs (the main loop or a modal dialog's), and the preview takes no
// processor time while it is paused, stopped or resting on its last frame.
class PreviewScreen : public CNxWindow {
public:
    static constexpr int kTimerId = 0;
    // The window the preview is shown in: "preview", 800 × 600, hidden until played, resizable.
    static platform::WindowSpec windowSpec();
    // The commands of the window's popup menus.
    enum Command : int {
        kTopmostCommand = 40030,
        kPauseCommand = 40031,
        kEndCommand = 40040,
        kLoopCommand = 40041,
    };

    // The registration dialog, while it is open: told when playback is ended from the
    // preview's own menu, so that it can reset its controls.
    class OwnerDialog {
    public:
        virtual void previewEnded() = 0;

    protected:
        ~OwnerDialog() = default;
    };

    // clock: null for the system's steady clock; it must outlive the screen.
    explicit PreviewScreen(platform::Host& host, const platform::MillisecondClock* clock = nullptr);
    ~PreviewScreen() override;

    // Binds to the preview window with a black background.
    int Attach(platform::NativeWindow* window, platform::MessageHandler* next = nullptr) override;
    void OnMessage(const platform::Message& message) override;

    // The timer's step: shows the next frame once the current one's time is up.
    void IdleStep();
    // Plays frames from the first, in a window shown in the middle of the desktop; a running
    // playback ends first.
    void StartPlayback(std::vector<PlayerFrame> frames);
    // Hides the window; loop and topmost stay as they are.
    void StopPlayback();
    // Shows frame alone (titled with its display name) or hides it with the window.
    void ShowSingleFrame(const PlayerFrame& frame, bool show);
    // Draws the single frame again with frame's settings.
    void UpdateSingleFrame(const PlayerFrame& frame);
    void TogglePause();
    void SetLoop(bool on);
    void SetTopmost(bool on);
    void SetOwnerDialog(OwnerDialog* dialog) { m_ownerDialog = dialog; }

    bool IsPlaying() const { return m_playing; }
    bool IsPaused() const { return m_paused; }
    bool IsLooping() const { return m_loop; }
    OwnerDialog* GetOwnerDialog() const { return m_ownerDialog; }

    // The right button's menus: while playing and otherwise, with check marks from the state.
    platform::Menu playingPopup() const;
    platform::Menu stoppedPopup() const;
    void command(int id);

private:
    void showFrame();
    // A hidden sprite in the layer for frame, with its settings; null for a frame without image.
    CNxSprite* makeSprite(const PlayerFrame& frame);
    // Gives sprite the frame's rectangle and alpha.
    void setUp(CNxSprite& sprite, const PlayerFrame& frame);
    // Makes sprite (if any) visible and presents.
    void reveal(CNxSprite* sprite);
    // Takes sprite (if any) out of the layer, which destroys it, and clears the pointer.
    void removeSprite(CNxSprite*& sprite);
    // Whether the frame on display is to be replaced when its time is up.
    bool isAdvancing() const;
    // Sets the timer to the current frame's deadline, or stops it when nothing is to come.
    void schedule();
    void stopTimer();
    // The window's own state; false without a window.
    bool topmost() const;

    platform::Host& m_host;
    const platform::MillisecondClock& m_clock;
    CNxLayer* m_layer;  // a child of the screen, which owns it
    std::vector<PlayerFrame> m_frames;
    std::vector<CNxSprite*> m_sprites;  // m_frames' own, owned by m_layer
    Stopwatch m_stopwatch;              // the current frame's time, while playing
    PlayerFrame m_current;
    CNxSprite* m_currentSprite = nullptr;  // m_current's, owned by m_layer
    OwnerDialog* m_ownerDialog = nullptr;
    int m_index = -1;  // the frame on display among m_frames; -1 before the first
    bool m_playing = false;
    bool m_paused = false;
    bool m_loop = false;
    bool m_timerRunning = false;
};
