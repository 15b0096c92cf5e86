#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProgressDialog>
#include <QTimer>
#include <set>
#include <vector>

#include "platform/Host.h"
#include "platform/IdleHandler.h"

class QWidget;
class QtNativeWindow;
class QtWindow;

// The window system's host on Qt Widgets. Needs a QApplication, made before it; windows and
// dialogs it makes must not outlive it. Message boxes, menus and choosers run modally and hold
// the idle work back while they do, as Win32's modal loops do; dialogs and sheets hold only
// their owner window, and the idle work goes on for the others.
class QtHost : public QObject, public platform::Host {
public:
    QtHost();
    ~QtHost() override;

    platform::MessageAnswer messageBox(platform::NativeWindow* owner, const std::string& text,
                                       const std::string& title, platform::MessageButtons buttons,
                                       platform::MessageIcon icon) override;
    std::unique_ptr<platform::NativeWindow> createWindow(
        const platform::WindowSpec& spec, platform::MessageHandler* handler) override;
    platform::Rect desktopRect() const override;
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
    void beginBusy(platform::NativeWindow* owner, const std::string& what) override;
    void busyProgress(std::uint64_t done, std::uint64_t total) override;
    void endBusy() override;
    bool isApplicationActive() const override;
    void setIdleHandler(platform::IdleHandler* handler) override;
    void wakeIdle() override;
    int run() override;
    void quit(int exitCode) override;
    std::string text(const std::string& source) const override;

    // Every QtWindow enters itself here while it lives.
    void adopt(QtWindow* window);
    void forget(QtWindow* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class ModalScope;

    QWidget* widgetOf(platform::NativeWindow* window) const;
    void settleFrame(QtNativeWindow& window, const platform::WindowSpec& spec);
    std::vector<std::string> chooseFiles(platform::NativeWindow* owner,
                                         const platform::FileRequest& request, int mode);
    void setKeyDown(int key, bool down);
    void applicationStateChanged(bool active);
    void idleTick();

    std::vector<QtWindow*> m_windows;
    std::set<int> m_keysDown;
    bool m_active;
    int m_modalDepth = 0;
    platform::IdlePasses m_idle;
    QTimer m_idleTimer;
    // The long work going on, if any.
    int m_busyDepth = 0;
    QElapsedTimer m_busyClock;
    qint64 m_busyPainted = 0;
    std::string m_busyWhat;
    QWidget* m_busyOwner = nullptr;
    std::unique_ptr<QProgressDialog> m_busyWindow;
};
