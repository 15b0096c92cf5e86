#include "app/core/MapWindowRouter.h"

#include "app/core/MapKeys.h"
#include "map/MapScreen.h"
#include "platform/Host.h"
#include "platform/Message.h"
#include "platform/NativeWindow.h"

using platform::Message;
using platform::NativeWindow;

MapWindowRouter::MapWindowRouter(platform::Host& host, MapWindowShell* shell)
    : m_host(host), m_shell(shell != nullptr ? *shell : m_noShell) {}

void MapWindowRouter::handleMessage(NativeWindow& window, const Message& m) {
    if (!m_keys.admits(m, m_host) || !m_shell.accepts(m) || m_map == nullptr) {
        return;
    }
    MapScreen& map = *m_map;
    switch (m.message) {
        case platform::WM_MOVE:
            if (map.isLinked()) {
                map.dockAttributeWindow();
            }
            break;
        case platform::WM_PAINT:
            map.Update(true);
            break;
        case platform::WM_KEYDOWN:
        case platform::WM_KEYUP:
            key(window, m);
            break;
        case platform::WM_HSCROLL:
        case platform::WM_VSCROLL:
            map.onScroll(m.scrollAxis(), m.code, m.position);
            break;
        case platform::WM_MOUSEMOVE:
        case platform::WM_LBUTTONDOWN:
        case platform::WM_LBUTTONUP:
        case platform::WM_LBUTTONDBLCLK:
        case platform::WM_RBUTTONDOWN:
        case platform::WM_RBUTTONUP:
        case platform::WM_MOUSEWHEEL:
            mouse(window, m);
            break;
        case platform::WM_COMMAND:
            if (!command(m.id)) {
                m_shell.command(m.id);
            }
            break;
        case platform::WM_CONTEXTMENU:
            break;  // the popup opens from the right button's release and the menu key below
        default:
            m_shell.windowMessage(window, m);
            break;
    }
}

void MapWindowRouter::key(NativeWindow& window, const Message& m) {
    const mapkeys::Phase phase =
        m.message == platform::WM_KEYDOWN ? mapkeys::Phase::Down : mapkeys::Phase::Up;
    const platform::KeyModifiers held = m_keys.modifiersAtPress();
    const mapkeys::Action action = mapkeys::forKey(m.key, phase, held);
    if (action == mapkeys::Action::NextWindow) {
        m_shell.nextWindow();
    } else if (action == mapkeys::Action::ContextMenu) {
        m_shell.popup(window, platform::Point{0, 0});
    } else {
        mapkeys::key(*m_map, action, held);
    }
}

void MapWindowRouter::mouse(NativeWindow& window, const Message& m) {
    MapScreen& map = *m_map;
    if (m.message == platform::WM_LBUTTONDBLCLK) {
        map.onLeftDoubleClick(m.x, m.y);
    } else if (m.message == platform::WM_MOUSEWHEEL) {
        map.onMouseWheel(m.wheelDelta, m.keys, m.x, m.y);
    } else if (const auto popupAt = m_pointer.route(window, m, map, true)) {
        m_shell.popup(window, *popupAt);
    }
}

bool MapWindowRouter::command(int id) {
    const mapkeys::Action action = mapkeys::forCommand(id);
    if (action == mapkeys::Action::None || m_map == nullptr) {
        return false;
    }
    mapkeys::command(*m_map, action);
    m_host.wakeIdle();
    return true;
}
