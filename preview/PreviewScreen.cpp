#include "preview/PreviewScreen.h"

#include <cstdio>

#include "gfx/CNxSprite.h"
#include "platform/Host.h"
#include "platform/Message.h"
#include "platform/MillisecondClock.h"
#include "platform/NativeWindow.h"
#include "platform/Texts.h"

using platform::MenuItem;

namespace {

const char kTopmostText[] = PELORIN_TEXT("常に手前に表示");
const char kPauseText[] = PELORIN_TEXT("一時停止");
const char kEndText[] = PELORIN_TEXT("プレビュー終了");
const char kLoopText[] = PELORIN_TEXT("ループ再生");

// The frame's inclusive source rectangle as the sprite's exclusive one.
platform::Rect spriteRect(const platform::Rect& source) {
    return platform::Rect{source.left, source.top, source.right + 1, source.bottom + 1};
}

}  // namespace

platform::WindowSpec PreviewScreen::windowSpec() {
    platform::WindowSpec spec;
    spec.className = "preview";
    spec.title = "preview";
    spec.clientSize = platform::Size{800, 600};
    spec.visible = false;
    spec.resizable = true;
    return spec;
}

PreviewScreen::PreviewScreen(platform::Host& host, const platform::MillisecondClock* clock)
    : m_host(host),
      m_clock(clock != nullptr ? *clock : platform::MillisecondClock::system()),
      m_layer(&AddChild<CNxLayer>()),
      m_stopwatch(m_clock) {
    m_layer->SetZOrder(0);
    // The layer only groups the frames' sprites; the window clips them.
    m_layer->SetClipChildren(false);
}

PreviewScreen::~PreviewScreen() {
    stopTimer();
    // The sprites show the frames' images, which go with the members: the tree goes first.
    ClearChildren();
}

int PreviewScreen::Attach(platform::NativeWindow* window, platform::MessageHandler* next) {
    if (!CNxWindow::Attach(window, next)) {
        return 0;
    }
    SetBackgroundColour(0xFF000000);
    SetDirtyTracking(true);
    SetFadeLevel(255);
    return 1;
}

void PreviewScreen::OnMessage(const platform::Message& m) {
    switch (m.message) {
        case platform::WM_TIMER:
            if (m.id == kTimerId) {
                IdleStep();
            }
            break;
        case platform::WM_PAINT:
            Update(true);
            break;
        case platform::WM_LBUTTONDOWN:
            TogglePause();
            break;
        case platform::WM_RBUTTONDOWN:
            if (GetWindow() != nullptr) {
                command(m_host.popupMenu(*GetWindow(), m_playing ? playingPopup() : stoppedPopup(),
                                         platform::Point{m.x, m.y}));
            }
            break;
        case platform::WM_COMMAND:
            command(m.id);
            break;
        case platform::WM_CLOSE:
            // While the registration dialog drives the window it stays; on its own it may go.
            if (m_ownerDialog == nullptr) {
                StopPlayback();
                ShowSingleFrame(m_current, false);
            }
            break;
        default:
            break;
    }
    CNxWindow::OnMessage(m);
}

platform::Menu PreviewScreen::playingPopup() const {
    return {
        MenuItem::command(kPauseCommand, kPauseText).setChecked(m_paused),
        MenuItem::command(kLoopCommand, kLoopText).setChecked(m_loop),
        MenuItem::command(kTopmostCommand, kTopmostText).setChecked(topmost()),
        MenuItem::separator(),
        MenuItem::command(kEndCommand, kEndText),
    };
}

platform::Menu PreviewScreen::stoppedPopup() const {
    return {
        MenuItem::command(kLoopCommand, kLoopText).setChecked(m_loop),
        MenuItem::command(kTopmostCommand, kTopmostText).setChecked(topmost()),
    };
}

void PreviewScreen::command(int id) {
    switch (id) {
        case kTopmostCommand:
            SetTopmost(!topmost());
            break;
        case kPauseCommand:
            TogglePause();
            break;
        case kEndCommand:
            // Stopped first: the dialog reads its controls' state from IsPlaying().
            StopPlayback();
            if (m_ownerDialog != nullptr) {
                m_ownerDialog->previewEnded();
            }
            break;
        case kLoopCommand:
            SetLoop(!m_loop);
            break;
        default:
            break;
    }
}

void PreviewScreen::IdleStep() {
    if (isAdvancing() && m_stopwatch.HasElapsed(m_frames[m_index].displayTime)) {
        if (m_sprites[m_index] != nullptr) {
            m_sprites[m_index]->SetVisible(false);
        }
        ++m_index;
        showFrame();
    }
    schedule();
}

void PreviewScreen::StartPlayback(std::vector<PlayerFrame> frames) {
    if (m_playing) {
        StopPlayback();
    }
    m_playing = true;
    m_paused = false;
    m_index = 0;
    m_frames = std::move(frames);
    // The settings hold for the whole playback: showing a frame only makes it visible.
    for (const PlayerFrame& frame : m_frames) {
        m_sprites.push_back(makeSprite(frame));
    }
    if (platform::NativeWindow* window = GetWindow()) {
        window->showNormal();
        window->bringToFront();
        const platform::Rect desktop = m_host.desktopRect();
        const platform::Rect outer = window->outerRect();
        window->move(
            platform::Point{(desktop.left + desktop.right) / 2 - (outer.right - outer.left) / 2,
                            (desktop.top + desktop.bottom) / 2 - (outer.bottom - outer.top) / 2});
    }
    showFrame();
    schedule();
}

void PreviewScreen::StopPlayback() {
    for (CNxSprite*& sprite : m_sprites) {
        removeSprite(sprite);
    }
    m_sprites.clear();
    stopTimer();
    if (GetWindow() != nullptr) {
        GetWindow()->setVisible(false);
    }
    m_playing = false;
    // Nothing plays them any more: their images go as soon as the dialog lets go of them.
    m_frames.clear();
}

void PreviewScreen::showFrame() {
    const int count = static_cast<int>(m_frames.size());
    if (count == 0) {
        return;
    }
    if (m_index >= count) {
        m_index = 0;
    }
    // The frame's time runs from the moment it is put up.
    m_stopwatch.Reset();
    const PlayerFrame& frame = m_frames[m_index];
    if (GetWindow() != nullptr) {
        char counter[32];
        std::snprintf(counter, sizeof counter, "%d/%d  ", m_index + 1, count);
        GetWindow()->setTitle(counter + frame.displayName);
    }
    reveal(m_sprites[m_index]);
}

CNxSprite* PreviewScreen::makeSprite(const PlayerFrame& frame) {
    if (!frame.image) {
        return nullptr;
    }
    auto& sprite = m_layer->AddChild<CNxSprite>(frame.image.get());
    sprite.SetVisible(false);
    setUp(sprite, frame);
    return &sprite;
}

void PreviewScreen::removeSprite(CNxSprite*& sprite) {
    if (sprite != nullptr) {
        m_layer->RemoveChild(sprite);
        sprite = nullptr;
    }
}

void PreviewScreen::setUp(CNxSprite& sprite, const PlayerFrame& frame) {
    const platform::Rect rect = spriteRect(frame.sourceRect);
    sprite.SetRect(&rect);
    CNxBlitParams params;
    params.m_flags = NxBlt_ConstantAlpha | (frame.drawOption ? NxBlt_SourceAlpha : 0u);
    params.m_alpha = frame.alpha;
    sprite.SetParams(&params);  // redraws the sprite
}

void PreviewScreen::reveal(CNxSprite* sprite) {
    if (sprite != nullptr) {
        sprite->SetVisible(true);
    }
    // Presents whatever changed since, the frame hidden before this one included.
    Update();
}

bool PreviewScreen::isAdvancing() const {
    const int count = static_cast<int>(m_frames.size());
    return m_playing && count >= 2 && !m_paused && (m_loop || m_index < count - 1);
}

void PreviewScreen::schedule() {
    platform::NativeWindow* window = GetWindow();
    if (window == nullptr || !isAdvancing()) {
        stopTimer();
        return;
    }
    const std::uint64_t wait = m_stopwatch.MicrosecondsUntil(m_frames[m_index].displayTime);
    // Whole milliseconds, rounded up: the timer never fires before the deadline.
    window->setTimer(kTimerId, static_cast<int>((wait + 999) / 1000));
    m_timerRunning = true;
}

void PreviewScreen::stopTimer() {
    if (m_timerRunning && GetWindow() != nullptr) {
        GetWindow()->killTimer(kTimerId);
    }
    m_timerRunning = false;
}

void PreviewScreen::TogglePause() {
    if (m_frames.empty()) {
        return;
    }
    // The frame's time runs on while paused: after a long pause the next frame comes at once.
    m_paused = !m_paused;
    schedule();
}

void PreviewScreen::SetLoop(bool on) {
    m_loop = on;
    schedule();
}

void PreviewScreen::SetTopmost(bool on) {
    if (GetWindow() != nullptr) {
        GetWindow()->setTopmost(on);
    }
}

bool PreviewScreen::topmost() const {
    return GetWindow() != nullptr && GetWindow()->isTopmost();
}

void PreviewScreen::ShowSingleFrame(const PlayerFrame& frame, bool show) {
    if (!show) {
        removeSprite(m_currentSprite);
        if (GetWindow() != nullptr) {
            GetWindow()->setVisible(false);
        }
        m_current = PlayerFrame();
        return;
    }
    UpdateSingleFrame(frame);
    if (platform::NativeWindow* window = GetWindow()) {
        window->showNormal();
        window->setTitle(m_current.displayName);
    }
}

void PreviewScreen::UpdateSingleFrame(const PlayerFrame& frame) {
    m_current = frame;
    if (m_currentSprite == nullptr) {
        m_currentSprite = makeSprite(m_current);
    } else {
        m_currentSprite->SetSurface(m_current.image.get());
        setUp(*m_currentSprite, m_current);
    }
    reveal(m_currentSprite);
}
