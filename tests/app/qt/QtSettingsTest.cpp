// The settings sheet and the attribute edit dialog on real widgets, opened as a user opens them:
// from the menu bar and by a double-click in the attribute window of the running editor.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "app/qt/PelorinProgram.h"
#include "app/qt/QtClientArea.h"
#include "app/qt/QtHost.h"
#include "platform/InstanceLock.h"
#include "tests/app/qt/QtTestSupport.h"
#include "tests/support/TempDir.h"

using qt_testing::captions;
using qt_testing::whenModal;
using qt_testing::windowTitled;

TEST(QtSettings, TheSheetAndTheEditDialogOpenFromTheMenuAndTheDoubleClick) {
    testing_support::TempDir dir;
    QtHost host;
    platform::InstanceLock lock("mapeditor", dir.path());
    QStringList tabs;
    QString sheetText, dialogText, said, editTitle, kindTitle, typed, dialogFocus;
    int rows = 0;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(qt_testing::waitUntil([] { return windowTitled("Pelorin  属性") != nullptr; }));
        QAction* settings = nullptr;
        for (QAction* a : windowTitled("Pelorin  マップ位置")->findChildren<QAction*>()) {
            settings = a->data().toInt() == 40009 ? a : settings;
        }
        ASSERT_TRUE(settings != nullptr && settings->isEnabled());
        whenModal([&](QWidget& sheet) {
            // The keyboard starts in the first field, "横チップ数": digits typed once it shows land
            // there.
            qt_testing::settle(20);
            if (QWidget* focused = sheet.focusWidget()) {
                QKeyEvent seven(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7");
                QApplication::sendEvent(focused, &seven);
                typed = sheet.findChild<QWidget*>("1021")->findChild<QLineEdit*>()->text();
            }
            auto* pages = sheet.findChild<QTabWidget*>();
            for (int i = pages->count() - 1; i >= 0; --i) {
                tabs.prepend(pages->tabText(i));
                pages->setCurrentIndex(i);  // shown, so initialised
            }
            sheetText = captions(sheet);
            rows = sheet.findChild<QTreeWidget*>("100")->topLevelItemCount();
            sheet.findChild<QWidget*>("1021")->findChild<QLineEdit*>()->setText("6000");
            whenModal([&](QWidget& box) {
                said = static_cast<QMessageBox&>(box).text();
                static_cast<QMessageBox&>(box).button(QMessageBox::Ok)->click();
            });
            sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        settings->trigger();

        QWidget* kinds = windowTitled("Pelorin  属性");
        QWidget* client = kinds->findChild<QtClientArea*>()->viewport();
        whenModal([&](QWidget& dialog) {
            editTitle = dialog.windowTitle();
            dialogFocus =
                dialog.focusWidget() ? dialog.focusWidget()->metaObject()->className() : "none";
            dialogText = captions(dialog);
            dialog.findChild<QLineEdit*>("1038")->setText("石垣");
            dialog.findChild<QCheckBox*>("1058")->click();
            dialog.findChild<QPushButton*>("1")->click();
        });
        const QPointF at(40, 8);  // attribute 1
        qt_testing::doubleClick(*client, at);
        kindTitle = kinds->windowTitle();
        whenModal(
            [](QWidget& box) { static_cast<QMessageBox&>(box).button(QMessageBox::Ok)->click(); });
        windowTitled("Pelorin  マップ位置")->close();
    });
    EXPECT_EQ(runPelorin(host, lock, {dir.file("Pelorin.ini"), dir.file("Pelorin.ini"), {}}), 0);
    EXPECT_EQ(tabs, (QStringList{"サイズ変更", "チップ属性設定", "色設定"}));
    for (const char* text : {"キャンバスサイズ設定", "横チップ数", "縦チップ数", "チップサイズ設定",
                             "チップ横幅", "チップ縦幅", "ウィンドウサイズ設定", "ウィンドウ種別",
                             "ウィンドウ横幅", "ウィンドウ縦幅", "属性の編集", "グリッド色",
                             "カーソル色", "複数カーソル色", "複数選択色", "OK", "キャンセル"}) {
        EXPECT_TRUE(sheetText.contains(QString::fromUtf8(text) + "|")) << text;
    }
    for (const char* text : {"当り判定", "通行可能", "下りられる", "当り判定矩形", "左", "右", "上",
                             "下", "属性メモ", "現在の属性色", "色の選択", "Z位置", "ｷｬﾝｾﾙ"}) {
        EXPECT_TRUE(dialogText.contains("|" + QString::fromUtf8(text) + "|")) << text;
    }
    EXPECT_EQ(rows, 100);
    EXPECT_EQ(typed.left(1).toStdString(), "7") << "typed into the first field";
    EXPECT_NE(dialogFocus.toStdString(), "none");
    EXPECT_NE(dialogFocus.toStdString(), "QPushButton");
    EXPECT_EQ(said.toStdString(),
              "不正な値が指定されました。キャンバスの横サイズは1～5000の範囲内に納めて下さい。");
    EXPECT_EQ(editTitle.toStdString(), "チップ属性　1番の設定");
    EXPECT_TRUE(kindTitle.startsWith("Pelorin  属性1番 [石垣]")) << kindTitle.toStdString();
    EXPECT_TRUE(kindTitle.contains("段下り可 ")) << kindTitle.toStdString();
}
