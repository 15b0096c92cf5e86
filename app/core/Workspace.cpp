#include "app/core/Workspace.h"

#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"

Workspace::Workspace(platform::Host& host) : m_host(host), m_map(host, m_document) {
    m_map.setUnsavedWorkQuery([this] { return hasUnsavedWork(); });
}

Workspace::~Workspace() {
    m_map.setCompanions(nullptr, nullptr);
}

bool Workspace::attachMap(platform::NativeWindow* window, int width, int height,
                          platform::MessageHandler* next) {
    return m_map.attach(window, width, height, next);
}

bool Workspace::attachKinds(platform::NativeWindow* window, platform::MessageHandler* next) {
    auto screen = std::make_unique<KindScreen>(m_host);
    screen->setMainWindow(m_map.GetWindow());
    if (!screen->attach(window, next)) {
        return false;
    }
    m_kinds = std::move(screen);
    joinScreens();
    return true;
}

bool Workspace::attachChips(platform::NativeWindow* window, int width, int height,
                            platform::MessageHandler* next) {
    auto screen = std::make_unique<ChipScreen>(m_host);
    if (!screen->attach(window, width, height, next)) {
        return false;
    }
    screen->setOwnerWindow(m_map.GetWindow());
    m_chips = std::move(screen);
    joinScreens();
    return true;
}

void Workspace::joinScreens() {
    m_map.setCompanions(m_chips.get(), m_kinds.get());
}

bool Workspace::hasUnsavedWork() const {
    return m_document.isModified() || (m_kinds && m_kinds->table().isModified()) ||
           m_player.isModified();
}

bool Workspace::idleStep() {
    bool more = m_map.idleStep();
    if (m_kinds) {
        m_kinds->refresh();
    }
    if (m_chips) {
        more = m_chips->refresh() || more;
    }
    return more;
}
