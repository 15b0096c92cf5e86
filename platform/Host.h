#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Geometry.h"
#include "platform/Menu.h"
#include "platform/MessagePort.h"
#include "platform/NativeWindow.h"
#include "platform/VirtualKey.h"
#include "platform/WindowSpec.h"

namespace platform {

class IdleHandler;
class MessageHandler;

// One line of a file chooser's type list: "MAP Files (*.map)" with "*.map", or
// "IMAGE Files (*.bmp,*.jpg,*.png)" with "*.bmp;*.jpg;*.png".
struct FileFilter {
    std::string description;
    std::string patterns;  // ';'-separated
};

struct FileRequest {
    std::string title;  // "ファイル選択"
    std::vector<FileFilter> filters;
    std::string initialPath;  // the file the chooser starts on; empty: none
    // Save choosers: the extension (without the dot) given to a name typed without one, before
    // the chooser asks about replacing an existing file. Empty: none.
    std::string defaultSuffix;
};

// The colour chooser's custom colours (0xAARRGGBB), kept by the caller between openings.
using CustomColours = std::array<std::uint32_t, 16>;

// What the editor needs of the window system beyond its windows: making windows, modal message
// boxes (MessagePort), key state, popup menus, file and colour choosers, modal dialogs and
// sheets, the application's activity, idle work and the event loop. Owners are the windows that
// a modal box, chooser or dialog belongs to (null: none).
class Host : public MessagePort {
public:
    // A new top-level window, or null when the window system refuses it. WM_CREATE reaches
    // handler before this returns.
    virtual std::unique_ptr<NativeWindow> createWindow(const WindowSpec& spec,
                                                       MessageHandler* handler) = 0;
    // The screen area that windows are placed in (the desktop's client rectangle).
    virtual Rect desktopRect() const = 0;

    // Whether the key (VK_* code, VK_LBUTTON … for mouse buttons) is held now (GetKeyState).
    virtual bool isKeyDown(int key) const = 0;
    KeyModifiers heldModifiers() const { return {isKeyDown(VK_SHIFT), isKeyDown(VK_CONTROL)}; }

    // Shows menu at at (owner's client coordinates) and waits; returns the id of the chosen
    // command, 0 when the menu was dismissed.
    virtual int popupMenu(NativeWindow& owner, const Menu& menu, Point at) = 0;

    // File choosers; the path chosen, or empty (none) when cancelled. openFile only offers
    // existing files; saveFile asks before replacing one.
    virtual std::string openFile(NativeWindow* owner, const FileRequest& request) = 0;
    virtual std::vector<std::string> openFiles(NativeWindow* owner, const FileRequest& request) = 0;
    virtual std::string saveFile(NativeWindow* owner, const FileRequest& request) = 0;

    // The colour chooser, starting at initial (0xAARRGGBB); the colour chosen, opaque, or none
    // when cancelled. custom is shown and takes back the user's custom colours either way.
    virtual std::optional<std::uint32_t> chooseColour(NativeWindow* owner, std::uint32_t initial,
                                                      CustomColours& custom) = 0;

    // Runs dialog modally until it ends itself (see Dialog); returns its result.
    virtual DialogResult runDialog(NativeWindow* owner, Dialog& dialog) = 0;
    // Runs a sheet: one page per dialog, in order, captioned caption, with OK and Cancel and
    // no Apply. A page is initialised when first shown; OK applies the pages shown (Ok), Cancel
    // applies nothing (Cancel).
    virtual DialogResult runSheet(NativeWindow* owner, const std::string& caption,
                                  const std::vector<Dialog*>& pages) = 0;

    // Long work on the user-interface thread: the busy pointer from beginBusy to endBusy, and once
    // the work has taken half a second a window that shows how far it is, from busyProgress,
    // which also keeps the windows painted meanwhile. Calls nest; the outermost counts.
    virtual void beginBusy(NativeWindow* owner, const std::string& what) = 0;
    virtual void busyProgress(std::uint64_t done, std::uint64_t total) = 0;
    virtual void endBusy() = 0;

    // Whether one of the application's windows has the focus (the last WM_ACTIVATEAPP).
    virtual bool isApplicationActive() const = 0;
    virtual void setIdleHandler(IdleHandler* handler) = 0;
    virtual void wakeIdle() = 0;

    // The event loop: returns the code given to quit().
    virtual int run() = 0;
    virtual void quit(int exitCode) = 0;
};

// Long work from its start to the end of the scope; progress() is what the work reports to.
class BusyWork {
public:
    BusyWork(Host& host, NativeWindow* owner, const std::string& what) : m_host(host) {
        m_host.beginBusy(owner, what);
    }
    ~BusyWork() { m_host.endBusy(); }
    BusyWork(const BusyWork&) = delete;
    BusyWork& operator=(const BusyWork&) = delete;

    std::function<void(std::uint64_t, std::uint64_t)> progress() {
        return
            [this](std::uint64_t done, std::uint64_t total) { m_host.busyProgress(done, total); };
    }

private:
    Host& m_host;
};

}  // namespace platform
