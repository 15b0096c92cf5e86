// Each window's router: what its messages do. The map window's own input is MapWindowRouter's
// (shared with the command-line tool); what it hands back to the shell is handled here.
#include "app/core/Application.h"
#include "app/core/Menus.h"
#include "chips/ChipScreen.h"
#include "chips/KindDialogState.h"
#include "chips/KindScreen.h"
#include "map/MapScreen.h"
#include "platform/Host.h"
#include "platform/Message.h"
#include "platform/NativeWindow.h"
#include "platform/VirtualKey.h"

using platform::Message;
using platform::NativeWindow;

namespace {

bool isAway(const Message& m) {
    return m.wheelDelta > 0;
}

}  // namespace

void Application::endPointerModes(bool map, bool chip) {
    ChipScreen* chipScreen = m_work ? m_work->map().chipScreen() : nullptr;
    if (map && m_work && m_work->map().isPanning()) {
        m_mapWindow->setPointerShape(platform::PointerShape::Arrow);
    }
    if (chip && chipScreen != nullptr && chipScreen->isPanning()) {
        m_chipWindow->setPointerShape(platform::PointerShape::Arrow);
    }
}

// The owner window's only work: the timer of the recovery records.
void Application::ownerMessage(NativeWindow&, const Message& m, platform::KeyModifiers) {
    if (m.message == platform::WM_TIMER && m.id == RecoveryKeeper::kTimerId) {
        m_recovery.onTimer();
    } else if (m.message == platform::WM_TIMER && m.id == kWatchTimerId) {
        checkFiles();
    }
}

void Application::nextWindow() {
    m_chipWindow->bringToFront();
}

void Application::popup(NativeWindow& window, platform::Point at) {
    popup(window, mapPopupWithState(), at, &Application::mapPopupCommand);
}

void Application::command(int id) {
    mapCommand(id);
}

void Application::windowMessage(NativeWindow& window, const Message& m) {
    ChipScreen* chip = m_work->map().chipScreen();
    switch (m.message) {
        case platform::WM_ACTIVATE:
            if (m.code != platform::WA_INACTIVE) {
                endPointerModes(false, true);
                if (chip != nullptr && chip->isLeftDragActive()) {
                    chip->endLeftDrag();
                }
                window.bringToFront();
            }
            break;
        case platform::WM_SIZE:
            // The tool windows go and come with the map window, once they exist (start-up
            // hides them at its end if the map window was minimised meanwhile).
            if (m_chipWindow && m_kindWindow) {
                m_chipWindow->setVisible(m.code != platform::SIZE_MINIMIZED);
                m_kindWindow->setVisible(m.code != platform::SIZE_MINIMIZED);
            }
            break;
        case platform::WM_CLOSE:
            closeMapWindow();
            break;
        case platform::WM_DESTROY:
            tearDown();
            break;
        case platform::WM_MBUTTONDOWN:
            m_kindWindow->bringToFront();
            break;
        case platform::WM_INITMENU:
            setMapMenuState();
            break;
        default:
            break;
    }
}

void Application::chipMessage(NativeWindow& window, const Message& m, platform::KeyModifiers held) {
    ChipScreen* chip = m_work ? m_work->map().chipScreen() : nullptr;
    if (chip == nullptr) {
        return;
    }
    switch (m.message) {
        case platform::WM_ACTIVATE:
            if (m.code != platform::WA_INACTIVE) {
                endPointerModes(true, false);
                if (m_work->map().isLeftDragActive()) {
                    m_work->map().endLeftDrag();
                }
            }
            break;
        case platform::WM_PAINT:
            chip->Update(true);
            break;
        case platform::WM_KEYDOWN:
            if (m.key == 'W') {
                m_kindWindow->bringToFront();
            } else if (m.key == platform::VK_APPS) {
                popup(window, chipPopupWithState(), platform::Point{0, 0},
                      &Application::chipCommand);
            } else {
                chip->onKeyDown(m.key, held);
            }
            break;
        case platform::WM_KEYUP:
            chip->onKeyUp(m.key, held);
            break;
        case platform::WM_COMMAND:
            chipCommand(m.id);
            break;
        case platform::WM_INITMENU:
            break;  // the chip window has no menu bar; its popup is built with its state
        case platform::WM_HSCROLL:
        case platform::WM_VSCROLL:
            chip->onScroll(m.scrollAxis(), m.code, m.position);
            break;
        case platform::WM_MOUSEMOVE:
        case platform::WM_LBUTTONDOWN:
        case platform::WM_LBUTTONUP:
        case platform::WM_RBUTTONDOWN:
        case platform::WM_RBUTTONUP:
            // Without an image there is nothing to pan, so no size-all pointer.
            if (const auto popupAt = m_chipPointer.route(window, m, *chip, chip->isLoaded())) {
                popup(window, chipPopupWithState(), *popupAt, &Application::chipCommand);
            }
            break;
        case platform::WM_MBUTTONDOWN:
            m_mapWindow->bringToFront();
            break;
        case platform::WM_MOUSEWHEEL:
            if (chip->isLoaded()) {
                chip->onMouseWheel(m.wheelDelta, m.keys, m.x, m.y);
            }
            break;
        case platform::WM_DESTROY:
            m_host.quit(0);
            break;
        default:
            break;  // WM_CLOSE among them: the chip window cannot be closed
    }
}

void Application::kindMessage(NativeWindow& window, const Message& m, platform::KeyModifiers) {
    KindScreen* kind = m_work ? m_work->map().kindScreen() : nullptr;
    if (kind == nullptr) {
        return;
    }
    switch (m.message) {
        case platform::WM_ACTIVATE:
            if (m.code != platform::WA_INACTIVE) {
                endPointerModes(true, true);
            }
            break;
        case platform::WM_MOVE:
            if (m_work->map().isLinked()) {
                m_work->map().dockToAttributeWindow();
            }
            break;
        case platform::WM_PAINT:
            kind->Update(true);
            break;
        case platform::WM_KEYDOWN:
            if (m.key == 'W') {
                (m_previewWindow->isVisible() ? m_previewWindow : m_mapWindow)->bringToFront();
            } else if (m.key == platform::VK_APPS) {
                popup(window, kindPopupWithState(), platform::Point{0, 0},
                      &Application::kindCommand);
            } else {
                kind->onKeyDown(m.key);
            }
            break;
        case platform::WM_KEYUP:
            kind->onKeyUp(m.key);
            break;
        case platform::WM_COMMAND:
            kindCommand(m.id);
            break;
        case platform::WM_LBUTTONDOWN:
            kind->onLeftButtonDown(m.x, m.y);
            break;
        case platform::WM_LBUTTONDBLCLK:
            m_kindDialogs->edit(&window, kind->selectedKindNumber());
            break;
        case platform::WM_RBUTTONUP:
            popup(window, kindPopupWithState(), platform::Point{m.x, m.y},
                  &Application::kindCommand);
            break;
        case platform::WM_MBUTTONDOWN:
            m_chipWindow->bringToFront();
            break;
        case platform::WM_MOUSEWHEEL:
            if (isAway(m)) {
                (m_previewWindow->isVisible() ? m_previewWindow : m_mapWindow)->bringToFront();
            } else {
                m_chipWindow->bringToFront();
            }
            break;
        case platform::WM_DESTROY:
            m_host.quit(0);
            break;
        default:
            break;  // WM_CLOSE among them: the attribute window cannot be closed
    }
}

// The preview screen handles its own messages first (painting, its timer, the mouse and its
// popup); what reaches other windows is handled here.
void Application::previewMessage(NativeWindow&, const Message& m, platform::KeyModifiers) {
    switch (m.message) {
        case platform::WM_KEYDOWN:
            if (m.key == 'W') {
                m_chipWindow->bringToFront();
            }
            break;
        case platform::WM_MOUSEWHEEL:
            (isAway(m) ? m_chipWindow : m_kindWindow)->bringToFront();
            break;
        case platform::WM_DESTROY:
            m_host.quit(0);
            break;
        default:
            break;
    }
}
