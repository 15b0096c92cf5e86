#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/core/EditorSettings.h"
#include "app/core/KeyReleaseGate.h"
#include "app/core/MapWindowRouter.h"
#include "app/core/RecoveryKeeper.h"
#include "app/core/SettingsLocation.h"
#include "app/core/Workspace.h"
#include "platform/FileStamp.h"
#include "platform/Geometry.h"
#include "platform/IdleHandler.h"
#include "platform/Menu.h"
#include "platform/MessageHandler.h"

class ChipScreen;
class KindDialogState;
class MapScreen;
class PlayerRegistrationDialog;
class PreviewScreen;
class ReplaceDialog;
class SettingsSheet;
struct RecoveredWork;

namespace platform {
class Host;
class NativeWindow;
struct FileRequest;
struct Message;
class RecoveryFolder;
}  // namespace platform

// The editor as a program: it makes the five top-level windows and their screens in order,
// applies the settings, routes every window's messages to the screen that handles them, carries
// out the menu commands, runs the idle work, and tears everything down at the end, writing the
// settings. It holds no editing logic of its own.
//
// Its parts live in three files: Application.cpp (start-up and tear-down), WindowRouting.cpp
// (each window's router; the map window's is MapWindowRouter, shared with the command-line
// tool) and ApplicationCommands.cpp (the menu commands and the menus' state).
class Application : public platform::IdleHandler, private MapWindowShell {
public:
    // The owner window's timer that looks at the watched files.
    static constexpr int kWatchTimerId = 2;
    static constexpr int kWatchMs = 500;

    // recovery: where and how often the unsaved work is kept (by default: not at all).
    Application(platform::Host& host, SettingsLocation settings, RecoveryOptions recovery = {});
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The start-up steps. A failure shows its message under "起動エラー", undoes what was made
    // and returns false.
    bool start(const std::vector<std::string>& files = {});
    // Opens files (from the command line, a drop, another start) by what their contents say
    // they are: chip images and attribute files first, then maps, then player frames. Relative
    // paths are taken from the current folder.
    void openFiles(const std::vector<std::string>& files);
    // The same for files handed over by another start: the map window comes to the front.
    void openFilesInFront(const std::vector<std::string>& files);
    // The recent maps, newest first.
    const std::vector<RecentMap>& recentMaps() const { return m_recent; }
    // Runs until the map window is closed; the exit code.
    int run();
    bool idleStep() override;

    // Whether tear-down has run.
    bool hasEnded() const { return m_ended; }

    MapScreen* mapScreen() const { return m_work ? &m_work->map() : nullptr; }
    Workspace* workspace() const { return m_work.get(); }
    platform::NativeWindow* ownerWindow() const { return m_ownerWindow.get(); }
    platform::NativeWindow* mapWindow() const { return m_mapWindow.get(); }
    // The current map path: where "マップのリロード(&R)" loads from.
    const std::string& mapPath() const { return m_mapPath; }
    const std::string& chipPath() const { return m_chipPath; }
    const std::string& kindPath() const { return m_kindPath; }
    RecoveryKeeper& recovery() { return m_recovery; }

private:
    // Sends a tool window's messages to one member function, holding back the key releases
    // that do not belong to the window; a key message comes with the modifiers held at its
    // key's press.
    class Router : public platform::MessageHandler {
    public:
        using Handler = void (Application::*)(platform::NativeWindow&, const platform::Message&,
                                              platform::KeyModifiers);
        Router(Application& app, Handler handler) : m_app(app), m_handler(handler) {}
        void handleMessage(platform::NativeWindow& window,
                           const platform::Message& message) override {
            if (m_keys.admits(message, m_app.m_host) && m_app.accepts(message)) {
                (m_app.*m_handler)(window, message, m_keys.modifiersAtPress());
            }
        }
        void handleDrop(platform::NativeWindow& window,
                        const std::vector<std::string>& paths) override {
            m_app.toolWindowDrop(window, paths);
        }

    private:
        Application& m_app;
        Handler m_handler;
        KeyReleaseGate m_keys;
    };

    // --- Start-up and tear-down (Application.cpp).
    // Whether a window's message is handled now (not all are during start-up).
    bool accepts(const platform::Message& message) const override;
    bool fail(const char* text, platform::NativeWindow* owner);
    bool makeOwnerWindow();
    bool makeMapWindow();
    bool makeKindWindow();
    bool makeChipWindow();
    bool makePreviewWindow();
    void applyGridSwitches();
    // Makes the map and chip windows smaller where the desktop has no room for their client
    // sizes (a high scale factor on a small screen): every title bar and the menu stay on the
    // screen, and the attribute window below the map window with them.
    void fitWindowsToDesktop();
    // The settings sheet's pages and the attribute dialogs' shared state.
    void makeDialogs();
    void dropScreens();
    void tearDown();
    void writeSettings();

    // --- Unsaved work of editors that are gone (ApplicationRecovery.cpp).
    // Offers each folder's work in "作業の復元", newest first; at most one is restored.
    void offerRecovery();
    void restore(RecoveredWork& work, std::unique_ptr<platform::RecoveryFolder> folder);
    // The title and the recovery records follow a change besides the map's.
    void workChanged();

    // --- The windows' routers (WindowRouting.cpp).
    void ownerMessage(platform::NativeWindow& window, const platform::Message& message,
                      platform::KeyModifiers held);
    void chipMessage(platform::NativeWindow& window, const platform::Message& message,
                     platform::KeyModifiers held);
    void kindMessage(platform::NativeWindow& window, const platform::Message& message,
                     platform::KeyModifiers held);
    void previewMessage(platform::NativeWindow& window, const platform::Message& message,
                        platform::KeyModifiers held);
    // The map window's part that is the shell's.
    void nextWindow() override;
    void popup(platform::NativeWindow& window, platform::Point at) override;
    void command(int id) override;
    void windowMessage(platform::NativeWindow& window, const platform::Message& message) override;
    void drop(const std::vector<std::string>& paths) override;
    // Files dropped on the chip window: its images become the chip image, the rest open as on
    // the map window. The other tool windows take none.
    void toolWindowDrop(platform::NativeWindow& window, const std::vector<std::string>& paths);
    void endPointerModes(bool map, bool chip);

    // --- Commands and the menus' state (ApplicationCommands.cpp).
    void mapCommand(int id);
    void mapPopupCommand(int id);
    void chipCommand(int id);
    void kindCommand(int id);
    void setMapMenuState();
    platform::Menu mapPopupWithState() const;
    platform::Menu chipPopupWithState() const;
    platform::Menu kindPopupWithState() const;
    // Shows menu over window at (client) at and carries out the command chosen.
    void popup(platform::NativeWindow& window, const platform::Menu& menu, platform::Point at,
               void (Application::*command)(int));
    // --- Files by path (ApplicationFiles.cpp): as their menu commands load them, each failure
    // with that command's message.
    bool openMap(const std::string& path);
    bool openChips(const std::string& path);
    bool openKinds(const std::string& path);
    bool openFrames(const std::string& path);
    // A map opened or saved goes to the top of the recent maps, with the chip image and
    // attribute file in use.
    void rememberMap(const std::string& path);
    void openRecent(int index);
    void recentChanged();
    // The chip image and the map's file are watched: a new chip image shows at once, a changed
    // map file is offered for reloading. note* takes the files as they are now as known.
    void noteChipFile();
    void noteMapFile();
    void checkFiles();

    void loadMapCommand();
    void loadChipsCommand();
    void loadKindsCommand();
    std::string chooseSavePath(const platform::FileRequest& chooser, const char* extension);
    void saveMapCommand();
    void saveKindsCommand();
    void closeMapWindow();
    bool ask(const std::string& text, platform::NativeWindow* owner);

    platform::Host& m_host;
    SettingsLocation m_location;
    EditorSettings m_settings;
    Router m_ownerRouter{*this, &Application::ownerMessage};
    MapWindowRouter m_mapRouter{m_host, this};
    Router m_chipRouter{*this, &Application::chipMessage};
    Router m_kindRouter{*this, &Application::kindMessage};
    Router m_previewRouter{*this, &Application::previewMessage};

    std::unique_ptr<platform::NativeWindow> m_ownerWindow;
    std::unique_ptr<platform::NativeWindow> m_mapWindow;
    std::unique_ptr<platform::NativeWindow> m_kindWindow;
    std::unique_ptr<platform::NativeWindow> m_chipWindow;
    std::unique_ptr<platform::NativeWindow> m_previewWindow;
    std::unique_ptr<Workspace> m_work;
    std::unique_ptr<PreviewScreen> m_previewScreen;
    std::unique_ptr<PlayerRegistrationDialog> m_playerDialog;
    std::unique_ptr<ReplaceDialog> m_replaceDialog;
    std::unique_ptr<KindDialogState> m_kindDialogs;
    std::unique_ptr<SettingsSheet> m_settingsSheet;

    std::vector<RecentMap> m_recent;
    // The watched files as last seen, and of which path.
    std::string m_chipSeenPath, m_mapSeenPath;
    platform::FileStamp m_chipSeen, m_mapSeen;
    bool m_askingReload = false;
    // The file choosers' names: the map and chip open names are the current paths.
    std::string m_mapPath;
    std::string m_chipPath;
    std::string m_kindPath;
    std::string m_mapSavePath;
    std::string m_kindSavePath;

    RecoveryKeeper m_recovery;
    // The client sizes the desktop made windows take instead of the settings' (zero: none);
    // the settings keep the user's own while the windows keep these.
    platform::Size m_fittedMap, m_fittedChip;
    GridPointer m_chipPointer;
    bool m_starting = false;
    bool m_ended = false;
};
