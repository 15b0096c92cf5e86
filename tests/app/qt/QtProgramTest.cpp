// The editor's program on real widgets: what a new user sees first, closing it, and a second
// copy that is turned away.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "app/qt/PelorinProgram.h"
#include "app/qt/QtHost.h"
#include "platform/InstanceLock.h"
#include "platform/ProfileFile.h"
#include "tests/app/qt/QtTestSupport.h"
#include "tests/support/TempDir.h"

using qt_testing::waitUntil;
using qt_testing::whenModal;
using testing_support::TempDir;

namespace {

const char kNewMapTitle[] =
    "Pelorin  マップ位置:(0,0) 視点座標:(0,0) チップ総数:(横40個,縦40行) 選択範囲:(-1:-1～-1:-1)";

QWidget* visibleWindowTitled(const QString& start) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle().startsWith(start)) {
            return w;
        }
    }
    return nullptr;
}

// Presses the button of the next message box and keeps what it said.
void answerNextBox(QMessageBox::StandardButton button, QString* text = nullptr) {
    whenModal([button, text](QWidget& widget) {
        auto* box = qobject_cast<QMessageBox*>(&widget);
        ASSERT_NE(box, nullptr);
        if (text != nullptr) {
            *text = box->text();
        }
        box->button(button)->click();
    });
}

}  // namespace

TEST(QtProgram, StartsWithANewMapAndEndsOnlyWhenTheUserSaysSo) {
    TempDir dir;
    QtHost host;
    const SettingsLocation settings{dir.file("Pelorin.ini"), dir.file("Pelorin.ini"), {}};
    platform::InstanceLock lock("mapeditor", dir.path());

    std::string title;
    bool keptAfterCancel = false;
    QString question;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(
            waitUntil([] { return visibleWindowTitled("Pelorin  マップ位置") != nullptr; }));
        QWidget* map = visibleWindowTitled("Pelorin  マップ位置");
        title = map->windowTitle().toStdString();
        answerNextBox(QMessageBox::Cancel, &question);
        map->close();
        keptAfterCancel = map->isVisible();
        answerNextBox(QMessageBox::Ok);
        map->close();
    });
    EXPECT_EQ(runPelorin(host, lock, settings), 0);
    EXPECT_EQ(title, kNewMapTitle);
    EXPECT_EQ(question.toStdString(), "終了しますか？");
    EXPECT_TRUE(keptAfterCancel) << "Cancel keeps the editor running";

    platform::ProfileFile written(settings.writePath);
    ASSERT_TRUE(written.load());
    EXPECT_EQ(written.getString("MapInfo", "windw", ""), "800");
    EXPECT_EQ(written.getString("ChipInfo", "grid", ""), "1");
}

TEST(QtProgram, ASecondCopyIsTurnedAway) {
    TempDir dir;
    QtHost host;
    platform::InstanceLock first("mapeditor", dir.path());
    ASSERT_EQ(first.acquire(), platform::InstanceLock::Result::Acquired);
    platform::InstanceLock second("mapeditor", dir.path());
    QString said;
    answerNextBox(QMessageBox::Ok, &said);
    EXPECT_EQ(runPelorin(host, second, {dir.file("Pelorin.ini"), dir.file("Pelorin.ini"), {}}), 0);
    EXPECT_EQ(said.toStdString(), "既に起動しています");
    EXPECT_EQ(visibleWindowTitled("Pelorin"), nullptr) << "no window of a second copy";
    EXPECT_FALSE(testing_support::exists(dir.file("Pelorin.ini")));
}
