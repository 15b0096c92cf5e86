#include "app/qt/QtNativeWindow.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWindow>

#include "app/qt/QtClientArea.h"
#include "app/qt/QtHost.h"
#include "platform/VirtualKey.h"
#include "tests/app/qt/QtTestSupport.h"
#include "tests/platform/NativeWindowContract.h"
#include "tests/support/MessageLog.h"

using namespace platform;
using qt_testing::settle;
using qt_testing::waitUntil;
using testing_support::MessageLog;

namespace {

constexpr Size kClient{64, 48};

// A shown, exposed window of the host with its messages in log.
class QtWindowTest : public testing::Test {
protected:
    void SetUp() override {
        WindowSpec spec;
        spec.className = "mapeditor";
        spec.title = "Pelorin  マップ位置:(0,0)";
        spec.clientSize = kClient;
        spec.position = Point{40, 30};
        spec.closeBox = true;
        spec.menuBar = {MenuItem::submenu(
            "表示(&V)", {MenuItem::command(40017, "グリッドの表示(&G)"), MenuItem::separator(),
                         MenuItem::command(40018, "スクロールバーの表示(&S)")})};
        m_window = m_host.createWindow(spec, &m_log);
        ASSERT_NE(m_window, nullptr);
        ASSERT_TRUE(waitUntil([this] { return qt().frameWidget().windowHandle()->isExposed(); }));
        settle();
        m_log.entries.clear();
    }

    QtNativeWindow& qt() { return static_cast<QtNativeWindow&>(*m_window); }
    QtClientArea& area() { return qt().clientArea(); }
    QWidget& viewport() { return qt().clientWidget(); }

    void send(QWidget& to, QEvent& event) { QApplication::sendEvent(&to, &event); }
    void key(QEvent::Type type, int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = {}, bool repeat = false) {
        QKeyEvent event(type, qtKey, modifiers, text, repeat);
        send(area(), event);
    }
    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(type, at, viewport().mapToGlobal(at), button, held, modifiers);
        send(viewport(), event);
    }
    void wheel(int angle, Qt::MouseButtons held = Qt::NoButton) {
        const QPointF at(20, 7);
        QWheelEvent event(at, viewport().mapToGlobal(at), QPoint(), QPoint(0, angle), held,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        send(viewport(), event);
    }

    QtHost m_host;
    MessageLog m_log;
    std::unique_ptr<NativeWindow> m_window;
};

QImage grabClient(QWidget& viewport) {
    return viewport.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Records the areas the viewport repaints.
class PaintSpy : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
    QRegion painted;
};

// The window contract on real widgets: what the user sees is grabbed from the screen.
struct QtDriver {
    std::unique_ptr<NativeWindow> make(const WindowSpec& spec, MessageHandler* handler) {
        auto window = host.createWindow(spec, handler);
        waitUntil([&] { return frame(*window).windowHandle()->isExposed(); });
        return window;
    }
    static QWidget& frame(NativeWindow& w) { return static_cast<QtNativeWindow&>(w).frameWidget(); }
    static QWidget& client(NativeWindow& w) {
        return static_cast<QtNativeWindow&>(w).clientWidget();
    }
    void settle() {
        qt_testing::settle();
        grabbed = QImage();
    }
    std::uint32_t shown(NativeWindow& window, int x, int y) {
        if (grabbed.isNull()) {
            grabbed = grabClient(client(window));
        }
        return grabbed.pixel(x, y);
    }
    Point clientOrigin(NativeWindow& window) {
        const QPoint origin = client(window).mapToGlobal(QPoint(0, 0));
        return {origin.x(), origin.y()};
    }
    void closeBox(NativeWindow& window) { frame(window).close(); }
    bool timerFires(NativeWindow&, const MessageLog& log, int) {
        const std::size_t before = log.of(WM_TIMER).size();
        return waitUntil([&] { return log.of(WM_TIMER).size() > before; }, 100);
    }
    QtHost host;
    QImage grabbed;
};

}  // namespace

namespace window_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, NativeWindowContract, ::QtDriver);
}  // namespace window_contract

TEST_F(QtWindowTest, OnlyThePresentedRectanglesAreRepainted) {
    PaintSpy spy;
    viewport().installEventFilter(&spy);
    const std::uint32_t pixels[8 * 8] = {};
    m_window->present(Rect{2, 2, 6, 6}, pixels, 8 * 4);
    m_window->present(Rect{30, 10, 38, 12}, pixels, 8 * 4);
    ASSERT_TRUE(waitUntil([&] { return !spy.painted.isEmpty(); }));
    settle();
    const QRegion presented = QRegion(2, 2, 4, 4) + QRegion(30, 10, 8, 2);
    EXPECT_EQ(spy.painted, presented) << "painted " << spy.painted.boundingRect().width() << "x"
                                      << spy.painted.boundingRect().height();
    viewport().removeEventFilter(&spy);
}

TEST_F(QtWindowTest, KeysArriveAsWin32KeyMessages) {
    key(QEvent::KeyPress, Qt::Key_Left);
    key(QEvent::KeyRelease, Qt::Key_Left);
    key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    key(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    key(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier, {}, false);
    key(QEvent::KeyRelease, Qt::Key_Home, Qt::NoModifier, {}, true);  // Qt's repeat pair
    key(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier, {}, true);
    key(QEvent::KeyRelease, Qt::Key_Home);
    key(QEvent::KeyPress, Qt::Key_Menu);
    key(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, "\t");
    key(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("あ"));  // text only, as from IME
    EXPECT_EQ(
        m_log.messages(),
        (std::vector<Message>{
            Message::keyDown(VK_LEFT), Message::keyUp(VK_LEFT), Message::keyDown('A'),
            Message::character('a'), Message::keyUp('A'), Message::keyDown(VK_HOME),
            Message::keyDown(VK_HOME, true), Message::keyUp(VK_HOME), Message::keyDown(VK_APPS),
            Message::keyDown(VK_TAB), Message::character('\t'), Message::character(0x3042)}));
}

TEST_F(QtWindowTest, HeldKeysShowInTheHostsKeyState) {
    key(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    key(QEvent::KeyPress, Qt::Key_G, Qt::ShiftModifier, "G");
    EXPECT_TRUE(m_host.isKeyDown(VK_SHIFT));
    EXPECT_TRUE(m_host.isKeyDown('G'));
    EXPECT_FALSE(m_host.isKeyDown(VK_CONTROL));
    key(QEvent::KeyRelease, Qt::Key_G, Qt::ShiftModifier, "G");
    key(QEvent::KeyRelease, Qt::Key_Shift);
    EXPECT_FALSE(m_host.isKeyDown('G'));
    EXPECT_FALSE(m_host.isKeyDown(VK_SHIFT));
    // A modifier held before the window had the keyboard shows with the next input.
    mouse(QEvent::MouseMove, {1, 1}, Qt::NoButton, Qt::NoButton, Qt::ControlModifier);
    EXPECT_TRUE(m_host.isKeyDown(VK_CONTROL));
    mouse(QEvent::MouseMove, {1, 2}, Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(m_host.isKeyDown(VK_CONTROL));
}

TEST_F(QtWindowTest, MouseButtonsArriveWithClientPositionAndHeldKeys) {
    mouse(QEvent::MouseButtonPress, {10, 12}, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {10, 12}, Qt::LeftButton, Qt::NoButton);
    mouse(QEvent::MouseButtonDblClick, {10, 12}, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {10, 12}, Qt::LeftButton, Qt::NoButton);
    mouse(QEvent::MouseButtonPress, {63, 47}, Qt::RightButton, Qt::RightButton, Qt::ShiftModifier);
    mouse(QEvent::MouseMove, {70, -3}, Qt::NoButton, Qt::RightButton, Qt::ControlModifier);
    mouse(QEvent::MouseButtonRelease, {70, -3}, Qt::RightButton, Qt::NoButton);
    mouse(QEvent::MouseButtonPress, {0, 0}, Qt::MiddleButton, Qt::MiddleButton);
    EXPECT_EQ(m_log.messages(), (std::vector<Message>{
                                    Message::mouse(WM_LBUTTONDOWN, 10, 12, MK_LBUTTON),
                                    Message::mouse(WM_LBUTTONUP, 10, 12, 0),
                                    Message::mouse(WM_LBUTTONDBLCLK, 10, 12, MK_LBUTTON),
                                    Message::mouse(WM_LBUTTONUP, 10, 12, 0),
                                    Message::mouse(WM_RBUTTONDOWN, 63, 47, MK_RBUTTON | MK_SHIFT),
                                    Message::mouse(WM_MOUSEMOVE, 70, -3, MK_RBUTTON | MK_CONTROL),
                                    Message::mouse(WM_RBUTTONUP, 70, -3, 0),
                                    Message::mouse(WM_MBUTTONDOWN, 0, 0, MK_MBUTTON),
                                }));
}

TEST_F(QtWindowTest, TheWheelArrivesInWholeNotchesOf120) {
    wheel(120);
    wheel(60);
    wheel(60);
    wheel(-240, Qt::RightButton);
    wheel(-50);
    EXPECT_EQ(m_log.messages(),
              (std::vector<Message>{Message::wheel(120, 20, 7, 0), Message::wheel(120, 20, 7, 0),
                                    Message::wheel(-240, 20, 7, MK_RBUTTON)}));
}

TEST_F(QtWindowTest, ScrollBarsReportActionsAndMoveOnlyWhereTheHandlerPutsThem) {
    const QSize frame = qt().frameWidget().size();
    m_window->showScrollBar(ScrollAxis::Vertical, true);
    m_window->setScrollInfo(ScrollAxis::Vertical, ScrollInfo{0, 15, 1, 3});
    settle();
    QScrollBar& bar = *area().verticalScrollBar();
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(viewport().size(), QSize(kClient.width, kClient.height));
    EXPECT_EQ(m_window->clientSize(), kClient);
    EXPECT_GT(qt().frameWidget().width(), frame.width());
    EXPECT_EQ(bar.maximum(), 15);
    EXPECT_EQ(bar.value(), 3);

    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar.value(), 3);  // nobody moved it
    m_log.onMessage = [this](NativeWindow& w, const Message& m) {
        if (m.message == WM_VSCROLL && m.code == SB_PAGEDOWN) {
            w.setScrollInfo(ScrollAxis::Vertical, {0, 15, 1, 9});
        }
    };
    bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar.value(), 9);
    m_log.onMessage = nullptr;
    bar.setSliderDown(true);
    bar.setSliderPosition(12);
    bar.setSliderDown(false);
    EXPECT_EQ(bar.value(), 9);  // back where the handler keeps it
    EXPECT_EQ(m_log.messages(),
              (std::vector<Message>{Message::scroll(WM_VSCROLL, SB_LINEDOWN),
                                    Message::scroll(WM_VSCROLL, SB_PAGEDOWN),
                                    Message::scroll(WM_VSCROLL, SB_THUMBTRACK, 12),
                                    Message::scroll(WM_VSCROLL, SB_THUMBPOSITION, 12),
                                    Message::scroll(WM_VSCROLL, SB_ENDSCROLL)}));
}

TEST_F(QtWindowTest, MenuBarCommandsAndStates) {
    QMenuBar* bar = qt().frameWidget().findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    QMenu* menu = bar->actions().front()->menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QString::fromUtf8("表示(&V)"));
    QAction* grid = menu->actions().at(0);
    EXPECT_EQ(grid->text(), QString::fromUtf8("グリッドの表示(&G)"));
    emit menu->aboutToShow();
    m_window->setMenuItemState(40017, false, true);
    EXPECT_FALSE(grid->isEnabled());
    EXPECT_TRUE(grid->isChecked());
    m_window->setMenuItemState(40017, true, false);
    grid->trigger();
    EXPECT_EQ(m_log.messages(),
              (std::vector<Message>{Message::plain(WM_INITMENU), Message::command(40017)}));
}
