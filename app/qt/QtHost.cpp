#include "app/qt/QtHost.h"

#include <QElapsedTimer>
#include <QWindow>

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "app/qt/QtConvert.h"
#include "app/qt/QtDialogWindow.h"
#include "app/qt/QtKeyMap.h"
#include "app/qt/QtMenus.h"
#include "app/qt/QtNativeWindow.h"
#include "app/qt/QtTexts.h"
#include "platform/Texts.h"
#include "platform/VirtualKey.h"

using platform::MessageAnswer;
using qtconvert::fromQt;
using qtconvert::toQt;

// Counts a modal loop for as long as it runs.
class QtHost::ModalScope {
public:
    explicit ModalScope(QtHost& host) : m_host(host) {
        // No pass runs while the loop does: what the editor drew is presented as it opens.
        m_host.m_idle.run();
        ++m_host.m_modalDepth;
        m_host.m_idleTimer.stop();
    }
    ~ModalScope() {
        --m_host.m_modalDepth;
        m_host.wakeIdle();
    }

private:
    QtHost& m_host;
};

QtHost::QtHost() : m_active(QGuiApplication::applicationState() == Qt::ApplicationActive) {
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                applicationStateChanged(state == Qt::ApplicationActive);
            });
    // About as often as the idle passes of a message loop that sleeps a millisecond each.
    m_idleTimer.setInterval(1);
    m_idleTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] { idleTick(); });
}

QtHost::~QtHost() {
    qApp->removeEventFilter(this);
}

namespace {

// Room the window frame takes from a title: its buttons and icon.
constexpr int kTitleFrameWidth = 120;

// A short message makes a box narrower than its title, which the window frame then cuts short
// ("Re…ed" for "Replaced"). The box is kept wide enough to show the whole title.
void keepTitleVisible(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleFrameWidth;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

MessageAnswer QtHost::messageBox(platform::NativeWindow* owner, const std::string& text,
                                 const std::string& title, platform::MessageButtons buttons,
                                 platform::MessageIcon icon) {
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
        case platform::MessageIcon::None:
            boxIcon = QMessageBox::NoIcon;
            break;
        case platform::MessageIcon::Information:
            boxIcon = QMessageBox::Information;
            break;
        case platform::MessageIcon::Warning:
            boxIcon = QMessageBox::Warning;
            break;
        case platform::MessageIcon::Error:
            boxIcon = QMessageBox::Critical;
            break;
        case platform::MessageIcon::Question:
            boxIcon = QMessageBox::Question;
            break;
    }
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    switch (buttons) {
        case platform::MessageButtons::Ok:
            standard = QMessageBox::Ok;
            break;
        case platform::MessageButtons::OkCancel:
            standard = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case platform::MessageButtons::YesNo:
            standard = QMessageBox::Yes | QMessageBox::No;
            break;
    }
    QMessageBox box(boxIcon, qttexts::translated(title), qttexts::translated(text), standard,
                    widgetOf(owner));
    // The buttons speak the editor's language, not Qt's.
    const std::pair<QMessageBox::StandardButton, const char*> labels[] = {
        {QMessageBox::Ok, "OK"},
        {QMessageBox::Cancel, PELORIN_TEXT("キャンセル")},
        {QMessageBox::Yes, PELORIN_TEXT("はい(&Y)")},
        {QMessageBox::No, PELORIN_TEXT("いいえ(&N)")},
    };
    for (const auto& label : labels) {
        if (QAbstractButton* button = box.button(label.first)) {
            button->setText(qttexts::translated(label.second));
        }
    }
    keepTitleVisible(box);
    {
        ModalScope modal(*this);
        box.exec();
    }
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            break;
    }
    // Closed without a button: what Escape would have pressed.
    switch (buttons) {
        case platform::MessageButtons::Ok:
            return MessageAnswer::Ok;
        case platform::MessageButtons::OkCancel:
            return MessageAnswer::Cancel;
        case platform::MessageButtons::YesNo:
            return MessageAnswer::No;
    }
    return MessageAnswer::Cancel;
}

std::unique_ptr<platform::NativeWindow> QtHost::createWindow(const platform::WindowSpec& spec,
                                                             platform::MessageHandler* handler) {
    auto window = std::make_unique<QtNativeWindow>(this, spec, widgetOf(spec.owner));
    window->setHandler(handler);
    window->deliver(platform::Message::plain(platform::WM_CREATE));
    if (spec.visible && !window->isDestroyed()) {
        window->frameWidget().show();
        settleFrame(*window, spec);
    }
    return window;
}

namespace {

// Runs the window system's own events (the user's input waits) until done() or ms have passed,
// sleeping while none arrive.
template <typename Done>
void runWindowEventsUntil(int ms, Done done) {
    QElapsedTimer clock;
    clock.start();
    QTimer deadline;  // wakes the wait below at the latest when the time is up
    deadline.setSingleShot(true);
    deadline.start(ms);
    while (!done() && clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
}

}  // namespace

void QtHost::settleFrame(QtNativeWindow& window, const platform::WindowSpec& spec) {
    // An X11 window manager frames a window only after it is shown; until then its outer
    // rectangle is the client's, and a position puts the client, not the frame, there. Wait
    // for the frame briefly, then place the frame as asked. Other platforms know the frame at
    // once, or have none.
    if (QGuiApplication::platformName() != "xcb") {
        return;
    }
    QWidget& frame = window.frameWidget();
    QWindow* handle = frame.windowHandle();
    runWindowEventsUntil(500, [&] { return handle == nullptr || handle->isExposed(); });
    runWindowEventsUntil(200, [&] { return frame.frameGeometry() != frame.geometry(); });
    if (!spec.position || window.isDestroyed()) {
        return;
    }
    const QPoint asked = toQt(*spec.position);
    frame.move(asked);
    // Some window managers put the client area, not the frame, where a window asks to be,
    // which leaves the title bar above the screen. Once the frame has landed, ask again by what
    // it missed, until it stays where it was asked to be; meanwhile the editor goes on starting.
    // On a slow start (the first after an install, a busy machine) the frame and its place
    // arrive late, and what Qt reports may lag behind the window manager, so keep looking for a
    // while and correct the last request rather than the first.
    auto* watch = new QTimer(&frame);
    watch->setInterval(100);
    QObject::connect(
        watch, &QTimer::timeout, &frame,
        [&frame, watch, asked, target = asked, looks = 0, settled = 0, pause = 0]() mutable {
            if (++looks >= 30) {
                watch->deleteLater();
                return;
            }
            if (pause > 0) {  // a request on its way
                --pause;
                return;
            }
            const bool framed = frame.frameGeometry() != frame.geometry();
            const QPoint missed = asked - frame.frameGeometry().topLeft();
            if (framed && !missed.isNull()) {
                target += missed;
                frame.move(target);
                settled = 0;
                pause = 2;
            } else if (framed) {
                ++settled;
            }
            if (settled >= 3) {
                watch->deleteLater();
            }
        });
    watch->start();
}

platform::Rect QtHost::desktopRect() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    // Where windows may go: the screen without the desktop's own panels.
    return screen != nullptr ? fromQt(screen->availableGeometry()) : platform::Rect{};
}

bool QtHost::isKeyDown(int key) const {
    switch (key) {
        case platform::VK_LBUTTON:
            return (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0;
        case platform::VK_RBUTTON:
            return (QGuiApplication::mouseButtons() & Qt::RightButton) != 0;
        case platform::VK_MBUTTON:
            return (QGuiApplication::mouseButtons() & Qt::MiddleButton) != 0;
        default:
            return m_keysDown.count(key) != 0;
    }
}

int QtHost::popupMenu(platform::NativeWindow& owner, const platform::Menu& menu,
                      platform::Point at) {
    auto* window = dynamic_cast<QtWindow*>(&owner);
    QMenu popup(widgetOf(&owner));
    qtmenus::fillMenu(popup, menu);
    const QPoint global =
        window != nullptr ? window->clientWidget().mapToGlobal(toQt(at)) : toQt(at);
    ModalScope modal(*this);
    return qtmenus::commandId(popup.exec(global));
}

std::string QtHost::openFile(platform::NativeWindow* owner, const platform::FileRequest& request) {
    const std::vector<std::string> files = chooseFiles(owner, request, QFileDialog::ExistingFile);
    return files.empty() ? std::string() : files.front();
}

std::vector<std::string> QtHost::openFiles(platform::NativeWindow* owner,
                                           const platform::FileRequest& request) {
    return chooseFiles(owner, request, QFileDialog::ExistingFiles);
}

std::string QtHost::saveFile(platform::NativeWindow* owner, const platform::FileRequest& request) {
    const std::vector<std::string> files = chooseFiles(owner, request, QFileDialog::AnyFile);
    return files.empty() ? std::string() : files.front();
}

std::vector<std::string> QtHost::chooseFiles(platform::NativeWindow* owner,
                                             const platform::FileRequest& request, int mode) {
    QFileDialog dialog(widgetOf(owner), qttexts::translated(request.title));
    QStringList filters;
    for (const platform::FileFilter& filter : request.filters) {
        // The description already shows the patterns; Qt reads its own from the last brackets,
        // which it then hides.
        QString patterns = toQt(filter.patterns);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << qttexts::translated(filter.description) + QStringLiteral(" (") + patterns +
                       QLatin1Char(')');
    }
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(static_cast<QFileDialog::FileMode>(mode));
    dialog.setAcceptMode(mode == QFileDialog::AnyFile ? QFileDialog::AcceptSave
                                                      : QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(toQt(request.defaultSuffix));
    if (!request.initialPath.empty()) {
        const QFileInfo initial(toQt(request.initialPath));
        if (initial.isDir()) {
            dialog.setDirectory(initial.absoluteFilePath());
        } else {
            dialog.setDirectory(initial.absolutePath());
            dialog.selectFile(initial.fileName());
        }
    }
    int result;
    {
        ModalScope modal(*this);
        result = dialog.exec();
    }
    std::vector<std::string> chosen;
    if (result == QDialog::Accepted) {
        for (const QString& file : dialog.selectedFiles()) {
            chosen.push_back(fromQt(file));
        }
    }
    return chosen;
}

std::optional<std::uint32_t> QtHost::chooseColour(platform::NativeWindow* owner,
                                                  std::uint32_t initial,
                                                  platform::CustomColours& custom) {
    // Qt keeps one set of custom colours for the process; the caller's set is put in and
    // taken back around each opening.
    for (int i = 0; i < static_cast<int>(custom.size()); ++i) {
        QColorDialog::setCustomColor(i, QColor::fromRgb(custom[i] | 0xFF000000u));
    }
    QColorDialog dialog(QColor::fromRgb(initial | 0xFF000000u), widgetOf(owner));
    int result;
    {
        ModalScope modal(*this);
        result = dialog.exec();
    }
    for (int i = 0; i < static_cast<int>(custom.size()); ++i) {
        custom[i] = QColorDialog::customColor(i).rgb() | 0xFF000000u;
    }
    if (result != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.selectedColor().rgb() | 0xFF000000u;
}

// A dialog or sheet holds only its owner: the other windows stay live (the preview plays, the
// chip window takes clicks), so the idle work that presents them goes on.
platform::DialogResult QtHost::runDialog(platform::NativeWindow* owner, platform::Dialog& dialog) {
    QtDialogWindow window(this, widgetOf(owner));
    return window.runDialog(dialog);
}

platform::DialogResult QtHost::runSheet(platform::NativeWindow* owner, const std::string& caption,
                                        const std::vector<platform::Dialog*>& pages) {
    QtDialogWindow window(this, widgetOf(owner));
    return window.runSheet(caption, pages);
}

void QtHost::beginBusy(platform::NativeWindow* owner, const std::string& what) {
    if (m_busyDepth++ > 0) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_busyClock.start();
    m_busyPainted = 0;
    m_busyWhat = what;
    m_busyOwner = widgetOf(owner);
}

void QtHost::busyProgress(std::uint64_t done, std::uint64_t total) {
    // Work that ends within half a second shows only the pointer.
    const qint64 now = m_busyClock.elapsed();
    if (m_busyDepth == 0 || now < 500) {
        return;
    }
    if (!m_busyWindow) {
        m_busyWindow = std::make_unique<QProgressDialog>(qttexts::translated(m_busyWhat), QString(),
                                                         0, 1000, m_busyOwner);
        m_busyWindow->setWindowModality(Qt::WindowModal);
        m_busyWindow->setCancelButton(nullptr);
        m_busyWindow->setMinimumDuration(0);
        m_busyWindow->setAutoClose(false);
        m_busyWindow->setAutoReset(false);
        m_busyWindow->show();
    }
    m_busyWindow->setValue(total > 0 ? static_cast<int>(std::min(done, total) * 1000 / total) : 0);
    // The windows are painted now and then; what the user does waits for the work's end.
    if (now - m_busyPainted >= 50) {
        m_busyPainted = now;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void QtHost::endBusy() {
    if (m_busyDepth == 0 || --m_busyDepth > 0) {
        return;
    }
    m_busyWindow.reset();
    QApplication::restoreOverrideCursor();
}

bool QtHost::isApplicationActive() const {
    return m_active;
}

void QtHost::setIdleHandler(platform::IdleHandler* handler) {
    m_idle.setHandler(handler);
    wakeIdle();
}

void QtHost::wakeIdle() {
    if (m_idle.hasHandler() && m_active && m_modalDepth == 0 && !m_idleTimer.isActive()) {
        m_idleTimer.start();
    }
}

int QtHost::run() {
    return QApplication::exec();
}

void QtHost::quit(int exitCode) {
    QCoreApplication::exit(exitCode);
}

std::string QtHost::text(const std::string& source) const {
    return fromQt(qttexts::translated(source));
}

void QtHost::adopt(QtWindow* window) {
    m_windows.push_back(window);
}

void QtHost::forget(QtWindow* window) {
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
}

bool QtHost::eventFilter(QObject* watched, QEvent* event) {
    // Key state as GetKeyState sees it: what the input reaching our windows says. An event
    // passed on to parents is seen again, which changes nothing.
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel: {
            // Every input event tells the modifiers, also those pressed elsewhere.
            const Qt::KeyboardModifiers modifiers = static_cast<QInputEvent*>(event)->modifiers();
            setKeyDown(platform::VK_SHIFT, (modifiers & Qt::ShiftModifier) != 0);
            setKeyDown(platform::VK_CONTROL, (modifiers & Qt::ControlModifier) != 0);
            setKeyDown(platform::VK_MENU, (modifiers & Qt::AltModifier) != 0);
            break;
        }
        default:
            break;
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (const int vk = qtkeymap::virtualKey(key->key(), key->modifiers())) {
            if (event->type() == QEvent::KeyPress) {
                setKeyDown(vk, true);
            } else if (!key->isAutoRepeat()) {
                setKeyDown(vk, false);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void QtHost::setKeyDown(int key, bool down) {
    if (down) {
        m_keysDown.insert(key);
    } else {
        m_keysDown.erase(key);
    }
}

QWidget* QtHost::widgetOf(platform::NativeWindow* window) const {
    auto* qtWindow = dynamic_cast<QtWindow*>(window);
    return qtWindow != nullptr ? &qtWindow->frameWidget() : nullptr;
}

void QtHost::applicationStateChanged(bool active) {
    if (active == m_active) {
        return;
    }
    m_active = active;
    if (!active) {
        // Keys released elsewhere are never seen here.
        m_keysDown.clear();
        m_idleTimer.stop();
    }
    const std::vector<QtWindow*> windows = m_windows;  // a handler may make or drop windows
    for (QtWindow* window : windows) {
        if (std::find(m_windows.begin(), m_windows.end(), window) != m_windows.end() &&
            dynamic_cast<QtNativeWindow*>(window) != nullptr && !window->isDestroyed()) {
            window->deliver(platform::Message::activateApp(active));
        }
    }
    wakeIdle();
}

void QtHost::idleTick() {
    if (!m_idle.hasHandler() || !m_active || m_modalDepth > 0) {
        m_idleTimer.stop();
        return;
    }
    if (!m_idle.run()) {
        m_idleTimer.stop();
    }
}
