// Registering a player's frames and playing them, through the editor's real widgets.
#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/qt/PelorinProgram.h"
#include "app/qt/QtHost.h"
#include "platform/InstanceLock.h"
#include "tests/app/qt/QtTestSupport.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

using qt_testing::waitUntil;
using qt_testing::whenModal;
using testing_support::TempDir;

namespace {

QPushButton* button(QWidget& dialog, int id) {
    return dialog.findChild<QPushButton*>(QString::number(id));
}

}  // namespace

TEST(QtPlayer, TheMenuOpensTheDialogWhereTwoImagesAreAddedPlayedAndStopped) {
    TempDir dir;
    for (const char* name : {"one.bmp", "two.bmp"}) {
        testing_support::BmpPicture bmp;
        bmp.width = bmp.height = 8;
        bmp.pixels = testing_support::bottomUpRows(
            std::vector<testing_support::Bytes>(8, testing_support::Bytes(24, 0x80)));
        testing_support::writeBytes(dir.file(name), testing_support::encodeBmp(bmp));
    }
    QtHost host;
    platform::InstanceLock lock("mapeditor", dir.path());
    QStringList listed, titles;
    QString caption;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(
            waitUntil([] { return qt_testing::windowTitled("Pelorin  マップ位置") != nullptr; }));
        QWidget* map = qt_testing::windowTitled("Pelorin  マップ位置");
        whenModal([&](QWidget& dialog) {
            caption = dialog.windowTitle();
            whenModal([&](QWidget& chooser) {
                auto* files = qobject_cast<QFileDialog*>(&chooser);
                ASSERT_NE(files, nullptr);
                files->setDirectory(QString::fromStdString(dir.path()));
                files->selectFile("\"one.bmp\" \"two.bmp\"");
                QMetaObject::invokeMethod(files, "accept");
            });
            button(dialog, 1104)->click();
            auto* list = dialog.findChild<QListWidget*>("1108");
            for (int i = 0; i < list->count(); ++i) {
                listed << list->item(i)->text();
            }
            // Enter in the list opens the frame's settings; it does not press OK.
            list->setCurrentRow(1);
            whenModal([&](QWidget& settings) {
                titles << settings.windowTitle();
                button(settings, 2)->click();
            });
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(list, &press);
            QApplication::sendEvent(list, &release);
            titles << (dialog.isVisible() ? "open" : "closed");
            button(dialog, 1126)->click();
            titles << button(dialog, 1126)->text();
            QWidget* preview = nullptr;
            waitUntil([&] { return (preview = qt_testing::windowTitled("2/2  ")) != nullptr; });
            titles << (preview != nullptr ? preview->windowTitle() : QString());
            button(dialog, 1126)->click();
            titles << button(dialog, 1126)->text();
            titles << (qt_testing::windowTitled("2/2  ") == nullptr ? "hidden" : "shown");
            button(dialog, 1)->click();
        });
        for (QAction* action : map->findChildren<QAction*>()) {
            if (action->data().toInt() == 40028) {
                action->trigger();
                break;
            }
        }
        whenModal([](QWidget& box) {
            qobject_cast<QMessageBox*>(&box)->button(QMessageBox::Ok)->click();
        });
        map->close();
    });
    EXPECT_EQ(runPelorin(host, lock, {dir.file("Pelorin.ini"), dir.file("Pelorin.ini"), {}}), 0);
    EXPECT_EQ(caption.toStdString(), "プレイヤー登録");
    EXPECT_EQ(listed, (QStringList{QString::fromStdString(dir.file("one.bmp")),
                                   QString::fromStdString(dir.file("two.bmp"))}));
    EXPECT_EQ(titles, (QStringList{"フレームの設定", "open", "プレビュー終了",
                                   "2/2  " + QString::fromStdString(dir.file("two.bmp")),
                                   "プレビュー開始", "hidden"}));
}
