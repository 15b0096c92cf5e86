#include "platform/headless/ScriptedSheet.h"

namespace platform::headless {

ScriptedSheet::ScriptedSheet(const std::vector<platform::Dialog*>& pages,
                             platform::NativeWindow& window)
    : m_pages(pages), m_shown(pages.size()), m_window(window) {}

ScriptedDialog& ScriptedSheet::page(int index) {
    std::unique_ptr<ScriptedDialog>& shown = m_shown.at(index);
    m_current = index;
    if (!shown) {
        shown = std::make_unique<ScriptedDialog>(*m_pages[index], m_window);
        shown->init();
    }
    return *shown;
}

bool ScriptedSheet::ok() {
    if (hasEnded()) {
        return false;
    }
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
        if (m_shown[i] && !m_pages[i]->onApply(*m_shown[i])) {
            m_current = static_cast<int>(i);
            return false;
        }
    }
    m_ended = true;
    m_result = platform::DialogResult::Ok;
    return true;
}

void ScriptedSheet::cancel() {
    if (!hasEnded()) {
        m_ended = true;
        m_result = platform::DialogResult::Cancel;
    }
}

bool ScriptedSheet::hasEnded() const {
    if (m_ended) {
        return true;
    }
    for (const auto& page : m_shown) {
        if (page && page->hasEnded()) {
            return true;
        }
    }
    return false;
}

platform::DialogResult ScriptedSheet::result() const {
    if (m_ended) {
        return m_result;
    }
    for (const auto& page : m_shown) {
        if (page && page->hasEnded()) {
            return page->result();
        }
    }
    return platform::DialogResult::Cancel;
}

void ScriptedSheet::handleMessage(platform::NativeWindow& window,
                                  const platform::Message& message) {
    for (const auto& page : m_shown) {
        if (page) {
            page->handleMessage(window, message);
        }
    }
}

}  // namespace platform::headless
