#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Host.h"
#include "platform/IdleHandler.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/ScriptedDialog.h"
#include "platform/headless/ScriptedSheet.h"

namespace platform::headless {

// The window system in memory: the editor without a screen. pelorin-tool runs the editor's
// screens on it, and the tests use it as their window system. It records every message box,
// menu, chooser, dialog and sheet with its owner, and answers each from its queue of scripted
// answers, taken from the front (when a queue is empty: OK, dismissed, cancelled). Windows it
// makes are HeadlessWindows; dialogs and sheets run on a ScriptedDialog or ScriptedSheet that
// the next script in line works as the user would. Single-threaded, like the editor.
class HeadlessHost : public platform::Host {
public:
    // What each kind of call is recorded as.
    struct Box {
        platform::NativeWindow* owner;
        std::string text;
        std::string title;
        platform::MessageButtons buttons;
        platform::MessageIcon icon;
    };
    struct MenuCall {
        platform::NativeWindow* owner;
        platform::Menu menu;
        platform::Point at;
    };
    enum class ChooserKind { Open, OpenMany, Save };
    struct FileCall {
        ChooserKind kind;
        platform::NativeWindow* owner;
        platform::FileRequest request;
    };
    struct ColourCall {
        platform::NativeWindow* owner;
        std::uint32_t initial;
        platform::CustomColours custom;  // as given
    };
    struct DialogCall {
        platform::NativeWindow* owner;
        std::string title;  // the template's
    };
    struct SheetCall {
        platform::NativeWindow* owner;
        std::string caption;
        std::vector<std::string> pageTitles;
    };

    // Windows still alive when the host goes keep working on their own.
    HeadlessHost() = default;
    ~HeadlessHost() override;
    HeadlessHost(const HeadlessHost&) = delete;
    HeadlessHost& operator=(const HeadlessHost&) = delete;

    // --- The host port. Each call is recorded below and answered from its queue; run() returns
    // at once with the code quit() left (0 if none): the caller drives the editor itself.
    platform::MessageAnswer messageBox(platform::NativeWindow* owner, const std::string& text,
                                       const std::string& title, platform::MessageButtons buttons,
                                       platform::MessageIcon icon) override;
    std::unique_ptr<platform::NativeWindow> createWindow(
        const platform::WindowSpec& spec, platform::MessageHandler* handler) override;
    platform::Rect desktopRect() const override { return desktop; }
    bool isKeyDown(int key) const override;
    int popupMenu(platform::NativeWindow& owner, const platform::Menu& menu,
                  platform::Point at) override;
    std::string openFile(platform::NativeWindow* owner,
                         const platform::FileRequest& request) override;
    std::vector<std::string> openFiles(platform::NativeWindow* owner,
                                       const platform::FileRequest& request) override;
    std::string saveFile(platform::NativeWindow* owner,
                         const platform::FileRequest& request) override;
    std::optional<std::uint32_t> chooseColour(platform::NativeWindow* owner, std::uint32_t initial,
                                              platform::CustomColours& custom) override;
    platform::DialogResult runDialog(platform::NativeWindow* owner,
                                     platform::Dialog& dialog) override;
    platform::DialogResult runSheet(platform::NativeWindow* owner, const std::string& caption,
                                    const std::vector<platform::Dialog*>& pages) override;
    void beginBusy(platform::NativeWindow*, const std::string& what) override {
        busy.push_back("begin " + what);
    }
    void busyProgress(std::uint64_t done, std::uint64_t total) override {
        busyDone = done;
        busyTotal = total;
        ++busyReports;
    }
    void endBusy() override { busy.push_back("end"); }
    bool isApplicationActive() const override { return m_active; }
    void setIdleHandler(platform::IdleHandler* handler) override { m_idle.setHandler(handler); }
    void wakeIdle() override { ++idleWakes; }
    int run() override { return quitCode.value_or(0); }
    void quit(int exitCode) override { quitCode = exitCode; }
    std::string text(const std::string& source) const override;

    // --- The user's and the window system's side.
    void setKeyDown(int key, bool down = true);
    // Switches the application's activity, sending WM_ACTIVATEAPP to every live window.
    void setActive(bool active);
    // Runs idle passes while the application is active and the handler has work, at most
    // maxSteps; returns how many ran.
    int runIdle(int maxSteps = 1000);

    // --- Windows. Live windows made by createWindow, in creation order; the first of a class,
    // or null.
    const std::vector<HeadlessWindow*>& windows() const { return m_windows; }
    HeadlessWindow* window(const std::string& className) const;

    // --- Records and scripts, read and filled by the caller. Records grow by one per call, in
    // call order. A dialog script acts on the running dialog; when it returns without the
    // dialog having ended, Escape is pressed, and a dialog that still runs yields Cancel.
    // A sheet script likewise ends with Cancel.
    std::vector<Box> boxes;
    std::deque<platform::MessageAnswer> answers;
    std::vector<MenuCall> menus;
    std::deque<int> menuAnswers;
    std::vector<FileCall> fileChoosers;
    std::deque<std::vector<std::string>> fileAnswers;  // an empty list cancels
    std::vector<ColourCall> colourChoosers;
    std::deque<std::optional<std::uint32_t>> colourAnswers;
    std::optional<platform::CustomColours> customColoursAfter;  // what the user leaves there
    std::vector<DialogCall> dialogs;
    std::deque<std::function<void(ScriptedDialog&)>> dialogScripts;
    std::vector<SheetCall> sheets;
    std::deque<std::function<void(ScriptedSheet&)>> sheetScripts;
    std::set<std::string> refusedClasses;  // createWindow fails for these
    platform::Rect desktop{0, 0, 1920, 1080};
    // Runs where a real window system may deliver messages of its own before answering: after
    // each window is made and while each message box is up (not from inside itself).
    std::function<void()> meanwhile;
    std::optional<int> quitCode;
    // Long work: "begin WHAT" and "end" in order, and the last progress reported.
    std::vector<std::string> busy;
    std::uint64_t busyDone = 0, busyTotal = 0;
    int busyReports = 0;
    int idleWakes = 0;
    // The user's language: source text to its translation. Empty: the source texts.
    std::map<std::string, std::string> dictionary;

private:
    friend class HeadlessWindow;
    void adopt(HeadlessWindow* window);
    void forget(HeadlessWindow* window);
    void runMeanwhile();
    std::vector<std::string> takeFileAnswer(ChooserKind kind, platform::NativeWindow* owner,
                                            const platform::FileRequest& request);

    std::vector<HeadlessWindow*> m_windows;
    std::set<int> m_keysDown;
    bool m_active = true;
    bool m_inMeanwhile = false;
    platform::IdlePasses m_idle;  // a box, menu or chooser runs one pass as it opens
};

}  // namespace platform::headless
