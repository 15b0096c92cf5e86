// A drawing tree bound to a real window: what the screen draws is what the window shows, and
// the window's input reaches the screen's handler chain.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>
#include <cmath>

#include "app/qt/QtClientArea.h"
#include "app/qt/QtHost.h"
#include "app/qt/QtNativeWindow.h"
#include "gfx/CNxSprite.h"
#include "gfx/CNxSurface.h"
#include "gfx/CNxWindow.h"
#include "platform/VirtualKey.h"
#include "tests/app/qt/QtTestSupport.h"
#include "tests/support/MessageLog.h"

using namespace platform;
using qt_testing::settle;
using qt_testing::waitUntil;

TEST(QtScreen, ASpriteDrawnByTheTreeIsWhatTheWindowShows) {
    QtHost host;
    testing_support::MessageLog log;
    WindowSpec spec;
    spec.className = "chipview";
    spec.title = "Pelorin";
    spec.clientSize = Size{80, 40};
    std::unique_ptr<NativeWindow> window = host.createWindow(spec, &log);
    ASSERT_NE(window, nullptr);
    auto& qt = static_cast<QtNativeWindow&>(*window);
    ASSERT_TRUE(waitUntil([&] { return qt.frameWidget().windowHandle()->isExposed(); }));

    // A 16 × 8 sprite whose pixel (x, y) is (x × 16, y × 32, 200), half transparent in its
    // right half, drawn with per-pixel alpha over a grey background.
    CNxSurface picture(32);
    ASSERT_EQ(picture.Create(16, 8), 1);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t alpha = x < 8 ? 255 : 128;
            picture.Fill(
                x, y, 1, 1,
                alpha << 24 | std::uint32_t(x * 16) << 16 | std::uint32_t(y * 32) << 8 | 200);
        }
    }
    CNxWindow screen;
    ASSERT_EQ(screen.Attach(window.get(), &log), 1);
    screen.SetBackgroundColour(0xFF404040);
    auto* sprite = &screen.AddChild<CNxSprite>(&picture);
    CNxBlitParams params;
    params.m_flags = NxBlt_SourceAlpha;
    sprite->SetParams(&params);
    sprite->SetPosition(30, 20);
    ASSERT_EQ(screen.Update(), 1);
    settle();

    const QImage shown = qt.clientWidget().grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(80, 40));
    int wrong = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 80; ++x) {
            std::uint32_t want = 0xFF404040;
            if (x >= 30 && x < 46 && y >= 20 && y < 28) {
                const int sx = x - 30, sy = y - 20;
                const std::uint32_t s[3] = {std::uint32_t(sx * 16), std::uint32_t(sy * 32), 200};
                std::uint32_t out = 0xFF000000;
                for (int c = 0; c < 3; ++c) {
                    // Normal blend at weight alpha + 1 over the background's 0x40.
                    const int w = sx < 8 ? 256 : 129;
                    const int d = 0x40;
                    const int mixed = d + static_cast<int>(std::floor((int(s[c]) - d) * w / 256.0));
                    out |= std::uint32_t(mixed) << (16 - 8 * c);
                }
                want = out;
            }
            if (shown.pixel(x, y) != want && ++wrong <= 5) {
                ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << shown.pixel(x, y)
                              << " instead of " << want;
            }
        }
    }
    EXPECT_EQ(wrong, 0);

    // Input passes through the screen to the handler behind it.
    log.entries.clear();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(&qt.clientArea(), &press);
    const QPointF at(5, 6);
    QMouseEvent click(QEvent::MouseButtonPress, at, qt.clientWidget().mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&qt.clientWidget(), &click);
    EXPECT_EQ(log.of(WM_KEYDOWN), (std::vector<Message>{Message::keyDown(VK_LEFT)}));
    EXPECT_EQ(log.of(WM_LBUTTONDOWN),
              (std::vector<Message>{Message::mouse(WM_LBUTTONDOWN, 5, 6, MK_LBUTTON)}));
}
