#include "app/qt/QtHost.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include "app/qt/QtNativeWindow.h"
#include "platform/IdleHandler.h"
#include "tests/app/qt/QtTestSupport.h"
#include "tests/support/MessageLog.h"

using namespace platform;
using qt_testing::whenModal;

namespace {

enum : int { kMemo = 1038, kPassable = 1057, kLeft = 1118, kLeftUpDown = 1122, kList = 1108 };

// A small dialog that logs what arrives and ends on OK and Cancel.
class ProbeDialog : public Dialog {
public:
    explicit ProbeDialog(std::string title = "チップ属性の設定") : m_title(std::move(title)) {}

    DialogTemplate dialogTemplate() const override {
        DialogTemplate t{m_title, {300, 200}, {}};
        t.controls.push_back(
            ControlSpec::make(ControlKind::CheckBox, kPassable, "通行可能", {10, 10, 140, 30}));
        t.controls.push_back(ControlSpec::spinEdit(kLeft, kLeftUpDown, {10, 40, 80, 62}));
        t.controls.push_back(ControlSpec::make(ControlKind::Edit, kMemo, "", {10, 70, 200, 92}));
        t.controls.push_back(
            ControlSpec::make(ControlKind::ListBox, kList, "", {10, 100, 200, 160}));
        t.controls.push_back(ControlSpec::make(ControlKind::Button, 1, "OK", {200, 170, 240, 192}));
        t.controls.push_back(
            ControlSpec::make(ControlKind::Button, 2, "ｷｬﾝｾﾙ", {245, 170, 295, 192}));
        return t;
    }
    void onInit(DialogControls& c) override {
        log.push_back("init");
        c.setRange(kLeftUpDown, 0, 31);
        c.setPosition(kLeftUpDown, 4);
        c.setText(kMemo, "石垣");
        c.addItem(kList, "a.png");
        c.addItem(kList, "b.png");
        c.select(kList, 1);
    }
    void onCommand(DialogControls& c, const DialogCommand& command) override {
        log.push_back(std::to_string(command.control) + " " +
                      std::to_string(static_cast<int>(command.code)));
        if (command.control == 1 && command.code == DialogNotification::Clicked) {
            memo = c.text(kMemo);
            left = c.position(kLeftUpDown);
            passable = c.isChecked(kPassable);
            selected = c.selection(kList);
            c.end(DialogResult::Ok);
        } else if (command.control == 2 && command.code == DialogNotification::Clicked) {
            c.end(DialogResult::Cancel);
        }
    }
    bool onApply(DialogControls&) override {
        log.push_back("apply");
        return true;
    }

    std::vector<std::string> log;
    std::string memo;
    SpinPosition left;
    bool passable = false;
    int selected = -2;

private:
    std::string m_title;
};

const char* clicked = "1 0";  // OK, Clicked

std::unique_ptr<NativeWindow> makeOwner(QtHost& host) {
    WindowSpec spec;
    spec.className = "mapeditor";
    spec.clientSize = {320, 200};
    return host.createWindow(spec, nullptr);
}

}  // namespace

TEST(QtHostMessageBox, ShowsTheTextsWithJapaneseButtonsAndReturnsTheAnswer) {
    QtHost host;
    auto owner = makeOwner(host);
    QString text, title, yes, no;
    QWidget* parent = nullptr;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModal([&](QWidget& widget) {
        auto* box = qobject_cast<QMessageBox*>(&widget);
        ASSERT_NE(box, nullptr);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        parent = box->parentWidget();
        yes = box->button(QMessageBox::Yes)->text();
        no = box->button(QMessageBox::No)->text();
        box->button(QMessageBox::No)->click();
    });
    const MessageAnswer answer = host.messageBox(
        owner.get(), "マップの再読み込みをします。作業中の内容は失われますが、よろしいですか？",
        "確認", MessageButtons::YesNo, MessageIcon::Question);
    EXPECT_EQ(answer, MessageAnswer::No);
    EXPECT_EQ(text.toStdString(),
              "マップの再読み込みをします。作業中の内容は失われますが、よろしいですか？");
    EXPECT_EQ(title.toStdString(), "確認");
    EXPECT_EQ(yes.toStdString(), "はい(&Y)");
    EXPECT_EQ(no.toStdString(), "いいえ(&N)");
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(parent, &static_cast<QtNativeWindow&>(*owner).frameWidget());

    QString cancel;
    whenModal([&](QWidget& widget) {
        auto* box = qobject_cast<QMessageBox*>(&widget);
        ASSERT_NE(box, nullptr);
        cancel = box->button(QMessageBox::Cancel)->text();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &escape);
    });
    EXPECT_EQ(host.messageBox(nullptr, "終了しますか？", "確認", MessageButtons::OkCancel,
                              MessageIcon::Question),
              MessageAnswer::Cancel);
    EXPECT_EQ(cancel.toStdString(), "キャンセル");
}

TEST(QtHostDialog, BuildsTheControlsAndForwardsWhatTheUserDoes) {
    QtHost host;
    auto owner = makeOwner(host);
    ProbeDialog dialog;
    QString title;
    QWidget* parent = nullptr;
    whenModal([&](QWidget& widget) {
        title = widget.windowTitle();
        parent = widget.parentWidget();
        widget.findChild<QCheckBox*>("1057")->click();
        widget.findChild<QSpinBox*>("1118")->stepUp();
        widget.findChild<QLineEdit*>("1038")->setText("岩");
        widget.findChild<QListWidget*>("1108")->setCurrentRow(0);  // as a click would
        widget.findChild<QPushButton*>("1")->click();
    });
    EXPECT_EQ(host.runDialog(owner.get(), dialog), DialogResult::Ok);
    EXPECT_EQ(title.toStdString(), "チップ属性の設定");
    EXPECT_EQ(parent, &static_cast<QtNativeWindow&>(*owner).frameWidget());
    // The same notifications as the fake dialog gives for the same actions.
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"init", "1118 1", "1038 1", "1057 0", "1118 1",
                                                    "1038 1", "1108 2", clicked}));
    EXPECT_EQ(dialog.memo, "岩");
    EXPECT_EQ(dialog.left.value, 5);
    EXPECT_TRUE(dialog.left.valid);
    EXPECT_TRUE(dialog.passable);
    EXPECT_EQ(dialog.selected, 0);
}

TEST(QtHostDialog, EscapeArrivesAsCancelAndTypedValuesOutsideTheRangeAreKept) {
    QtHost host;
    ProbeDialog dialog;
    whenModal([&](QWidget& widget) {
        widget.findChild<QSpinBox*>("1118")->findChild<QLineEdit*>()->setText("6000");
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&widget, &escape);
    });
    EXPECT_EQ(host.runDialog(nullptr, dialog), DialogResult::Cancel);
    EXPECT_EQ(dialog.log.back(), "2 0");

    ProbeDialog typed;
    whenModal([&](QWidget& widget) {
        widget.findChild<QSpinBox*>("1118")->findChild<QLineEdit*>()->setText("6000");
        widget.findChild<QPushButton*>("1")->click();
    });
    EXPECT_EQ(host.runDialog(nullptr, typed), DialogResult::Ok);
    EXPECT_EQ(typed.left.value, 6000);
    EXPECT_FALSE(typed.left.valid);
}

TEST(QtHostSheet, InitialisesPagesWhenShownAndAppliesThemOnOk) {
    QtHost host;
    ProbeDialog size("サイズ変更"), list("チップ属性設定"), colour("色設定");
    QStringList tabs;
    whenModal([&](QWidget& widget) {
        auto* tabWidget = widget.findChild<QTabWidget*>();
        ASSERT_NE(tabWidget, nullptr);
        for (int i = 0; i < tabWidget->count(); ++i) {
            tabs << tabWidget->tabText(i);
        }
        tabWidget->setCurrentIndex(2);
        auto* buttons = widget.findChild<QDialogButtonBox*>();
        buttons->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(host.runSheet(nullptr, "設定", {&size, &list, &colour}), DialogResult::Ok);
    EXPECT_EQ(tabs.join('|').toStdString(), "サイズ変更|チップ属性設定|色設定");
    EXPECT_EQ(size.log.back(), "apply");
    EXPECT_TRUE(list.log.empty());
    EXPECT_EQ(colour.log.back(), "apply");
}

TEST(QtHostMenu, PopupReturnsTheChosenCommand) {
    QtHost host;
    auto owner = makeOwner(host);
    const Menu menu = {
        MenuItem::command(40014, "コピー(&C)", "Ctrl+C"),
        MenuItem::command(40015, "貼り付け(&V)", "Ctrl+V").setEnabled(false), MenuItem::separator(),
        MenuItem::submenu("表示",
                          {MenuItem::command(40017, "グリッドの表示(&G)", "G").setChecked(true)})};
    QStringList texts;
    bool pasteEnabled = true, gridChecked = false;
    whenModal(
        [&](QWidget& widget) {
            auto* popup = qobject_cast<QMenu*>(&widget);
            ASSERT_NE(popup, nullptr);
            for (QAction* action : popup->actions()) {
                texts << action->text();
            }
            pasteEnabled = popup->actions().at(1)->isEnabled();
            QAction* grid = popup->actions().at(3)->menu()->actions().at(0);
            gridChecked = grid->isChecked();
            popup->setActiveAction(popup->actions().at(0));
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(popup, &enter);
        },
        true);
    EXPECT_EQ(host.popupMenu(*owner, menu, {5, 5}), 40014);
    EXPECT_EQ(texts.join('|').toStdString(), "コピー(&C)\tCtrl+C|貼り付け(&V)\tCtrl+V||表示");
    EXPECT_FALSE(pasteEnabled);
    EXPECT_TRUE(gridChecked);

    whenModal(
        [](QWidget& widget) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&widget, &escape);
        },
        true);
    EXPECT_EQ(host.popupMenu(*owner, menu, {5, 5}), 0);
}

TEST(QtHostIdle, RunsWhileActiveUntilThereIsNoWorkAndAgainAfterAMessage) {
    QtHost host;
    const bool activeBefore = host.isApplicationActive();
    testing_support::MessageLog log;
    WindowSpec spec;
    spec.className = "mapeditor";
    spec.clientSize = {320, 200};
    auto window = host.createWindow(spec, &log);
    static_cast<QtNativeWindow&>(*window).frameWidget().activateWindow();
    ASSERT_TRUE(qt_testing::waitUntil([&] { return host.isApplicationActive(); }));
    // Offscreen, the application stays active once it was: only a process of its own (as
    // ctest runs each test) sees the change.
    if (!activeBefore) {
        EXPECT_EQ(log.of(WM_ACTIVATEAPP), std::vector<Message>{Message::activateApp(true)});
    }

    struct Work : IdleHandler {
        int left = 3;
        int steps = 0;
        bool idleStep() override {
            ++steps;
            return --left > 0;
        }
    } work;
    host.setIdleHandler(&work);
    ASSERT_TRUE(qt_testing::waitUntil([&] { return work.steps == 3; }));
    qt_testing::settle(30);
    EXPECT_EQ(work.steps, 3);  // no work, no passes

    work.left = 1;
    window->setTimer(1, 1);  // a message arrives: idle passes resume
    ASSERT_TRUE(qt_testing::waitUntil([&] { return work.steps >= 4; }));
    window->killTimer(1);
    host.setIdleHandler(nullptr);
}
