// The editor in English on real widgets: the settings sheet and every dialog with room for its
// words, opened as a user opens them.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTranslator>
#include <QTreeWidget>

#include "app/core/RecoveredWork.h"
#include "app/core/RecoveryDialog.h"
#include "app/qt/PelorinProgram.h"
#include "app/qt/QtClientArea.h"
#include "app/qt/QtHost.h"
#include "map/ReplaceDialog.h"
#include "platform/InstanceLock.h"
#include "preview/FrameNameDialog.h"
#include "preview/FrameSettingsDialog.h"
#include "preview/PreviewScreen.h"
#include "tests/app/qt/QtTestSupport.h"
#include "tests/support/TempDir.h"

using qt_testing::captions;
using qt_testing::whenModal;
using qt_testing::windowTitled;

namespace {

void trigger(QWidget& window, int command) {
    for (QAction* a : window.findChildren<QAction*>()) {
        if (a->data().toInt() == command) {
            a->trigger();
            return;
        }
    }
    ADD_FAILURE() << "no command " << command;
}

bool isJapanese(const QString& text) {
    for (const QChar c : text) {
        if ((c.unicode() >= 0x3000 && c.unicode() <= 0x9FFF) ||
            (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF)) {
            return true;
        }
    }
    return false;
}

// The English texts for as long as the test runs.
class English {
public:
    English() {
        EXPECT_TRUE(m_texts.load(QStringLiteral(PELORIN_ENGLISH_QM)));
        QApplication::installTranslator(&m_texts);
    }
    ~English() { QApplication::removeTranslator(&m_texts); }

private:
    QTranslator m_texts;
};

}  // namespace

TEST(QtEnglish, TheSheetAndTheDialogsSpeakEnglishAndTheirWordsFit) {
    const English english;
    testing_support::TempDir dir;
    QtHost host;
    platform::InstanceLock lock("mapeditor", dir.path());
    QStringList menus, commands, seen;  // seen: each dialog's title and captions
    const auto look = [&seen](QWidget& dialog) {
        seen << dialog.windowTitle() + ": " + captions(dialog);
    };
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(
            qt_testing::waitUntil([] { return windowTitled("Pelorin  attribute") != nullptr; }));
        QWidget* map = windowTitled("Pelorin  cursor:");
        ASSERT_NE(map, nullptr);
        for (QAction* menu : map->findChild<QMenuBar*>()->actions()) {
            menus << menu->text();
        }
        for (QWidget* window : QApplication::topLevelWidgets()) {
            for (QAction* item : window->findChildren<QAction*>()) {
                commands << item->text();
            }
        }
        whenModal([&](QWidget& sheet) {
            auto* tabs = sheet.findChild<QTabWidget*>();
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                seen << tabs->tabText(i);
            }
            look(sheet);
            auto* list = sheet.findChild<QTreeWidget*>("100");
            for (int i = 0; i < list->columnCount(); ++i) {
                seen << list->headerItem()->text(i);
            }
            sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        });
        trigger(*map, 40009);
        whenModal([&](QWidget& dialog) {
            look(dialog);
            dialog.findChild<QPushButton*>("2")->click();
        });
        trigger(*map, 40028);
        QWidget* client =
            windowTitled("Pelorin  attribute")->findChild<QtClientArea*>()->viewport();
        whenModal([&](QWidget& dialog) {
            look(dialog);
            dialog.findChild<QPushButton*>("2")->click();
        });
        const QPointF at(40, 8);  // attribute 1
        qt_testing::doubleClick(*client, at);
        whenModal([&](QWidget& box) {
            seen << box.windowTitle() + ": " + static_cast<QMessageBox&>(box).text() + "|" +
                        static_cast<QMessageBox&>(box).button(QMessageBox::Cancel)->text();
            static_cast<QMessageBox&>(box).button(QMessageBox::Ok)->click();
        });
        map->close();
    });
    EXPECT_EQ(runPelorin(host, lock, {dir.file("Pelorin.ini"), dir.file("Pelorin.ini"), {}}), 0);

    // The replace dialog, which the editor opens only over a map file with chips.
    ReplaceDialog replace([](int, int, int, int) {});
    whenModal([&](QWidget& dialog) {
        look(dialog);
        dialog.findChild<QPushButton*>("2")->click();
    });
    replace.run(host, nullptr, 64);

    // The restore dialog, over work of every kind with its notes.
    RecoveredWork work;
    work.map.found = work.map.modified = true;
    work.map.grid.reset(40, 30);
    work.kinds.found = work.kinds.modified = true;
    work.player.found = work.player.modified = true;
    work.restoreFailed = true;
    work.problems = {"journal"};
    RecoveryDialog restore(work, host);
    whenModal([&](QWidget& dialog) {
        auto* list = dialog.findChild<QTreeWidget*>(QString::number(RecoveryDialog::kListId));
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            seen << list->topLevelItem(row)->text(0) + " " + list->topLevelItem(row)->text(2);
        }
        look(dialog);
        dialog.findChild<QPushButton*>("2")->click();
    });
    host.runDialog(nullptr, restore);

    // A frame's name and settings, which the player dialog opens over a frame it has.
    PlayerFrame frame;
    frame.displayName = "stand";
    PreviewScreen preview(host);
    FrameNameDialog name(frame);
    FrameSettingsDialog settings(frame, preview);
    for (platform::Dialog* dialog : std::initializer_list<platform::Dialog*>{&name, &settings}) {
        whenModal([&](QWidget& shown) {
            look(shown);
            shown.findChild<QPushButton*>("2")->click();
        });
        host.runDialog(nullptr, *dialog);
    }

    EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&View"}));
    EXPECT_GT(commands.size(), 20);
    for (const QString& text : commands) {
        EXPECT_FALSE(isJapanese(text)) << text.toStdString();
    }
    ASSERT_EQ(seen.size(), 21) << seen.join("\n").toStdString();
    EXPECT_EQ(seen.mid(0, 3), (QStringList{"Sizes", "Attributes", "Colours"}));
    for (const QString& text : seen) {
        EXPECT_FALSE(isJapanese(text)) << text.toStdString();
    }
    EXPECT_TRUE(seen[3].startsWith("Settings: ")) << seen[3].toStdString();
    EXPECT_TRUE(seen[11].startsWith("Player Frames: ")) << seen[11].toStdString();
    EXPECT_TRUE(seen[12].startsWith("Attribute 1: ")) << seen[12].toStdString();
    EXPECT_EQ(seen[13].toStdString(), "Confirm: Quit Pelorin?|Cancel");
    EXPECT_TRUE(seen[14].startsWith("Replace: ")) << seen[14].toStdString();
    EXPECT_EQ(seen.mid(15, 3),
              (QStringList{"Map 40×30", "Attributes 0 records", "Player 0 frames"}));
    EXPECT_TRUE(seen[18].startsWith("Restore Work: ")) << seen[18].toStdString();
    EXPECT_TRUE(seen[19].startsWith("Rename: ")) << seen[19].toStdString();
    EXPECT_TRUE(seen[20].startsWith("Frame Settings: ")) << seen[20].toStdString();
}
