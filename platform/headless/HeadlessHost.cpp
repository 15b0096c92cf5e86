#include "platform/headless/HeadlessHost.h"

#include <algorithm>

namespace platform::headless {

using platform::DialogResult;

namespace {

template <typename T>
T takeFront(std::deque<T>& queue, T none) {
    if (queue.empty()) {
        return none;
    }
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

}  // namespace

HeadlessHost::~HeadlessHost() {
    for (HeadlessWindow* window : m_windows) {
        window->m_host = nullptr;
    }
}

platform::MessageAnswer HeadlessHost::messageBox(platform::NativeWindow* owner,
                                                 const std::string& text, const std::string& title,
                                                 platform::MessageButtons buttons,
                                                 platform::MessageIcon icon) {
    m_idle.run();
    boxes.push_back({owner, text, title, buttons, icon});
    runMeanwhile();
    return takeFront(answers, platform::MessageAnswer::Ok);
}

std::string HeadlessHost::text(const std::string& source) const {
    const auto found = dictionary.find(source);
    return found != dictionary.end() ? found->second : source;
}

std::unique_ptr<platform::NativeWindow> HeadlessHost::createWindow(
    const platform::WindowSpec& spec, platform::MessageHandler* handler) {
    if (refusedClasses.count(spec.className) != 0) {
        return nullptr;
    }
    platform::WindowSpec placed = spec;
    if (!placed.position) {
        // Cascade, as the window system's default placement does.
        const int step = 32 * static_cast<int>(m_windows.size() + 1);
        placed.position = platform::Point{step, step};
    }
    auto window = std::make_unique<HeadlessWindow>(placed, this);
    window->setHandler(handler);
    window->send(platform::Message::plain(platform::WM_CREATE));
    runMeanwhile();
    return window;
}

bool HeadlessHost::isKeyDown(int key) const {
    return m_keysDown.count(key) != 0;
}

int HeadlessHost::popupMenu(platform::NativeWindow& owner, const platform::Menu& menu,
                            platform::Point at) {
    m_idle.run();
    menus.push_back({&owner, menu, at});
    return takeFront(menuAnswers, 0);
}

std::vector<std::string> HeadlessHost::takeFileAnswer(ChooserKind kind,
                                                      platform::NativeWindow* owner,
                                                      const platform::FileRequest& request) {
    m_idle.run();
    fileChoosers.push_back({kind, owner, request});
    return takeFront(fileAnswers, std::vector<std::string>{});
}

std::string HeadlessHost::openFile(platform::NativeWindow* owner,
                                   const platform::FileRequest& request) {
    std::vector<std::string> answer = takeFileAnswer(ChooserKind::Open, owner, request);
    return answer.empty() ? std::string() : answer.front();
}

std::vector<std::string> HeadlessHost::openFiles(platform::NativeWindow* owner,
                                                 const platform::FileRequest& request) {
    return takeFileAnswer(ChooserKind::OpenMany, owner, request);
}

std::string HeadlessHost::saveFile(platform::NativeWindow* owner,
                                   const platform::FileRequest& request) {
    std::vector<std::string> answer = takeFileAnswer(ChooserKind::Save, owner, request);
    return answer.empty() ? std::string() : answer.front();
}

std::optional<std::uint32_t> HeadlessHost::chooseColour(platform::NativeWindow* owner,
                                                        std::uint32_t initial,
                                                        platform::CustomColours& custom) {
    m_idle.run();
    colourChoosers.push_back({owner, initial, custom});
    if (customColoursAfter) {
        custom = *customColoursAfter;
    }
    std::optional<std::uint32_t> answer = takeFront(colourAnswers, std::optional<std::uint32_t>{});
    if (answer) {
        *answer |= 0xFF000000u;
    }
    return answer;
}

DialogResult HeadlessHost::runDialog(platform::NativeWindow* owner, platform::Dialog& dialog) {
    std::function<void(ScriptedDialog&)> script = takeFront(dialogScripts, {});
    const platform::DialogTemplate layout = dialog.dialogTemplate();
    dialogs.push_back({owner, layout.title});

    platform::WindowSpec spec;
    spec.className = "dialog";
    spec.title = layout.title;
    spec.clientSize = layout.size;
    spec.owner = owner;
    HeadlessWindow window(spec, nullptr);
    ScriptedDialog controls(dialog, window);
    window.setHandler(&controls);
    controls.init();
    if (script && !controls.hasEnded()) {
        script(controls);
    }
    if (!controls.hasEnded()) {
        controls.pressEscape();
    }
    return controls.hasEnded() ? controls.result() : DialogResult::Cancel;
}

DialogResult HeadlessHost::runSheet(platform::NativeWindow* owner, const std::string& caption,
                                    const std::vector<platform::Dialog*>& pages) {
    std::function<void(ScriptedSheet&)> script = takeFront(sheetScripts, {});
    SheetCall call{owner, caption, {}};
    for (platform::Dialog* page : pages) {
        call.pageTitles.push_back(page->dialogTemplate().title);
    }
    sheets.push_back(call);

    platform::WindowSpec spec;
    spec.className = "sheet";
    spec.title = caption;
    spec.owner = owner;
    HeadlessWindow window(spec, nullptr);
    ScriptedSheet sheet(pages, window);
    window.setHandler(&sheet);
    if (!pages.empty()) {
        sheet.page(0);
    }
    if (script && !sheet.hasEnded()) {
        script(sheet);
    }
    sheet.cancel();
    return sheet.result();
}

void HeadlessHost::setKeyDown(int key, bool down) {
    if (down) {
        m_keysDown.insert(key);
    } else {
        m_keysDown.erase(key);
    }
}

void HeadlessHost::setActive(bool active) {
    if (active == m_active) {
        return;
    }
    m_active = active;
    // A copy: a handler may destroy or make windows.
    const std::vector<HeadlessWindow*> windows = m_windows;
    for (HeadlessWindow* window : windows) {
        if (std::find(m_windows.begin(), m_windows.end(), window) != m_windows.end()) {
            window->send(platform::Message::activateApp(active));
        }
    }
}

int HeadlessHost::runIdle(int maxSteps) {
    int steps = 0;
    while (m_active && m_idle.hasHandler() && steps < maxSteps) {
        ++steps;
        if (!m_idle.run()) {
            break;
        }
    }
    return steps;
}

HeadlessWindow* HeadlessHost::window(const std::string& className) const {
    for (HeadlessWindow* window : m_windows) {
        if (window->spec().className == className) {
            return window;
        }
    }
    return nullptr;
}

void HeadlessHost::runMeanwhile() {
    if (meanwhile && !m_inMeanwhile) {
        m_inMeanwhile = true;
        meanwhile();
        m_inMeanwhile = false;
    }
}

void HeadlessHost::adopt(HeadlessWindow* window) {
    m_windows.push_back(window);
}

void HeadlessHost::forget(HeadlessWindow* window) {
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
}

}  // namespace platform::headless
