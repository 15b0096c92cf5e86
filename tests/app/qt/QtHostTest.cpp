#include "app/qt/QtHost.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <deque>

#include "app/qt/QtConvert.h"
#include "app/qt/QtDialogPage.h"
#include "app/qt/QtNativeWindow.h"
#include "app/qt/QtWindow.h"
#include "tests/app/qt/QtTestSupport.h"
#include "tests/platform/HostContract.h"

using namespace platform;
using host_contract::Shown;
using qt_testing::whenModal;
using qtconvert::fromQt;
using qtconvert::toQt;

namespace {

void sendKey(QWidget* to, QEvent::Type type, int key) {
    QKeyEvent event(type, key, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

// A menu as the user sees it.
Menu menuOf(const QMenu& menu) {
    Menu items;
    for (QAction* a : menu.actions()) {
        const QStringList text = a->text().split('\t');
        MenuItem item =
            a->isSeparator() ? MenuItem::separator()
            : a->menu() != nullptr
                ? MenuItem::submenu(fromQt(text[0]), menuOf(*a->menu()))
                : MenuItem::command(a->data().toInt(), fromQt(text[0]), fromQt(text.value(1)));
        items.push_back(item.setEnabled(a->isEnabled()).setChecked(a->isChecked()));
    }
    return items;
}

// The user at a dialog, or a sheet page, of real widgets found by their control ids; true when
// the action reached a usable control.
class QtUser {
public:
    QtUser(QWidget& frame, QWidget& page) : m_frame(frame), m_page(page) {}
    bool click(int id) {
        auto* button = usable<QAbstractButton>(id);
        if (button != nullptr) {
            button->click();
        }
        return button != nullptr;
    }
    bool type(int id, const std::string& text) {
        auto* edit = usable<QLineEdit>(id);
        if (auto* spin = usable<QAbstractSpinBox>(id)) {
            edit = spin->findChild<QLineEdit*>();
        }
        if (edit != nullptr) {
            edit->selectAll();
            edit->insert(toQt(text));  // typed over the selection: the field may refuse it
        }
        return edit != nullptr && edit->text() == toQt(text);
    }
    // As a click on the item does.
    bool choose(int id, int index) {
        auto* view = usable<QAbstractItemView>(id);
        if (view == nullptr || index < 0 || index >= view->model()->rowCount()) {
            return false;
        }
        view->setCurrentIndex(view->model()->index(index, 0));
        return true;
    }
    bool doubleClick(int id, int index) {
        auto* view = usable<QAbstractItemView>(id);
        if (choose(id, index)) {
            emit view->doubleClicked(view->currentIndex());
        }
        return view != nullptr;
    }
    bool keyUp(int id, int key) {
        auto* view = usable<QAbstractItemView>(id);
        if (view != nullptr) {
            sendKey(view, QEvent::KeyRelease,
                    key >= VK_F1 && key <= VK_F12 ? Qt::Key_F1 + (key - VK_F1) : key);
        }
        return view != nullptr;
    }
    bool drag(int id, int from, int to) {
        auto* list = usable<QListWidget>(id);
        if (list == nullptr || list->currentRow() != from) {
            return false;
        }
        QWidget* viewport = list->viewport();
        const QPoint at = to < list->count() ? list->visualItemRect(list->item(to)).center()
                                             : QPoint(4, viewport->height() - 2);
        // Offscreen there is no drag to be the drop's source, which a list that only moves its
        // own items asks for: it takes drops from anywhere while the item lands.
        const std::unique_ptr<QMimeData> data(list->model()->mimeData({list->currentIndex()}));
        list->setDragDropMode(QAbstractItemView::DragDrop);
        QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QApplication::sendEvent(viewport, &drop);
        list->setDragDropMode(QAbstractItemView::InternalMove);
        return true;
    }
    void pressEnter() { sendKey(&m_frame, QEvent::KeyPress, Qt::Key_Return); }
    void pressEscape() { sendKey(&m_frame, QEvent::KeyPress, Qt::Key_Escape); }

private:
    template <typename Widget>
    Widget* usable(int id) {
        auto* widget = m_page.findChild<Widget*>(QString::number(id));
        return widget != nullptr && widget->isEnabled() && widget->isVisible() ? widget : nullptr;
    }

    QWidget& m_frame;
    QWidget& m_page;
};

class QtSheet {
public:
    explicit QtSheet(QWidget& frame) : m_frame(frame), m_tabs(*frame.findChild<QTabWidget*>()) {}
    QtUser& page(int index) {
        m_tabs.setCurrentIndex(index);
        return m_pages.emplace_back(m_frame, *m_tabs.widget(index));
    }
    int currentPage() const { return m_tabs.currentIndex(); }
    void ok() { m_frame.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click(); }
    void cancel() {
        m_frame.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    }
    bool hasEnded() const { return !m_frame.isVisible(); }

private:
    QWidget& m_frame;
    QTabWidget& m_tabs;
    std::deque<QtUser> m_pages;
};

// The host contract on real widgets: the user acts from inside each modal loop.
struct QtDriver {
    Host& host() { return m_host; }
    std::unique_ptr<NativeWindow> window() {
        WindowSpec spec;
        spec.clientSize = {320, 200};
        auto window = m_host.createWindow(spec, nullptr);
        static_cast<QtNativeWindow&>(*window).frameWidget().activateWindow();
        EXPECT_TRUE(qt_testing::waitUntil([&] { return m_host.isApplicationActive(); }));
        return window;
    }
    const void* ownerKey(NativeWindow* window) {
        return window != nullptr ? &dynamic_cast<QtWindow&>(*window).frameWidget() : nullptr;
    }
    template <typename Modal, typename Act>
    void answer(Act act, bool popup = false) {
        whenModal(
            [this, act](QWidget& widget) {
                auto* modal = qobject_cast<Modal*>(&widget);
                ASSERT_NE(modal, nullptr);
                m_shown = Shown{};
                m_shown.owner = modal->parentWidget();
                m_shown.title = fromQt(modal->windowTitle());
                act(*modal);
            },
            popup);
    }
    void answerBox(MessageAnswer press) {
        answer<QMessageBox>([this, press](QMessageBox& box) {
            m_shown.text = fromQt(box.text());
            const QMessageBox::StandardButton buttons[] = {QMessageBox::Ok, QMessageBox::Cancel,
                                                           QMessageBox::Yes, QMessageBox::No};
            QAbstractButton* button = box.button(buttons[static_cast<int>(press)]);
            ASSERT_NE(button, nullptr);
            button->click();
        });
    }
    void answerFiles(std::vector<std::string> chosen) {
        answer<QFileDialog>([this, chosen](QFileDialog& files) {
            for (const QString& filter : files.nameFilters()) {
                const int open = filter.lastIndexOf(" (");
                m_shown.filters.push_back(fromQt(filter.left(open)) + " = " +
                                          fromQt(filter.mid(open + 2).chopped(1)));
            }
            m_shown.initialPath = fromQt(files.selectedFiles().value(0));
            m_shown.defaultSuffix = fromQt(files.defaultSuffix());
            QStringList names;
            for (const std::string& path : chosen) {
                const QString name = QFileInfo(toQt(path)).fileName();
                names << (chosen.size() > 1 ? '"' + name + '"' : name);
            }
            if (!chosen.empty()) {
                files.setDirectory(QFileInfo(toQt(chosen[0])).absolutePath());
                files.selectFile(names.join(' '));
            }
            QMetaObject::invokeMethod(&files, chosen.empty() ? "reject" : "accept");
        });
    }
    void answerColour(std::optional<std::uint32_t> pick, CustomColours leave) {
        answer<QColorDialog>([this, pick, leave](QColorDialog& chooser) {
            m_shown.initial = chooser.currentColor().rgba();
            for (int i = 0; i < static_cast<int>(leave.size()); ++i) {
                m_shown.custom[i] = QColorDialog::customColor(i).rgba();
                QColorDialog::setCustomColor(i, QColor::fromRgba(leave[i]));
            }
            chooser.setCurrentColor(QColor::fromRgb(pick.value_or(0)));
            QMetaObject::invokeMethod(&chooser, pick ? "accept" : "reject");
        });
    }
    void answerMenu(int id) {
        answer<QMenu>(
            [this, id](QMenu& popup) {
                m_shown.menu = menuOf(popup);
                for (QAction* action : popup.actions()) {
                    if (id != 0 && action->menu() == nullptr && action->data().toInt() == id) {
                        popup.setActiveAction(action);
                    }
                }
                sendKey(&popup, QEvent::KeyPress, id != 0 ? Qt::Key_Return : Qt::Key_Escape);
            },
            true);
    }
    template <typename Act>
    void answerDialog(Act act) {
        answer<QDialog>([act](QDialog& frame) {
            QtUser user(frame, frame);
            act(user);
        });
    }
    template <typename Act>
    void answerSheet(Act act) {
        answer<QDialog>([this, act](QDialog& frame) {
            QtSheet sheet(frame);
            for (int i = 0; i < frame.findChild<QTabWidget*>()->count(); ++i) {
                m_shown.tabs.push_back(fromQt(frame.findChild<QTabWidget*>()->tabText(i)));
            }
            act(sheet);
        });
    }
    Shown shown() { return m_shown; }
    void letTimersRun(NativeWindow&) { qt_testing::settle(); }
    void runIdle(const std::function<bool()>& until) {
        qt_testing::waitUntil(until);
        qt_testing::settle(30);
    }

    QtHost m_host;
    Shown m_shown;
};

}  // namespace

namespace host_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, HostContract, ::QtDriver);
}  // namespace host_contract

// What only Qt shows: the buttons' Japanese labels, the icons, Escape answering as the close box
// would, and an owned dialog holding only its owner.
TEST(QtHost, BoxesSpeakJapaneseEscapeAnswersAndOwnedDialogsHoldOnlyTheirOwner) {
    QtDriver driver;
    const struct {
        MessageButtons buttons;
        MessageIcon icon;
        const char* labels;
        QMessageBox::Icon shown;
        MessageAnswer escape;
    } cases[] = {
        {MessageButtons::YesNo, MessageIcon::Question, "はい(&Y)|いいえ(&N)", QMessageBox::Question,
         MessageAnswer::No},
        {MessageButtons::OkCancel, MessageIcon::Warning, "OK|キャンセル", QMessageBox::Warning,
         MessageAnswer::Cancel},
        {MessageButtons::Ok, MessageIcon::Error, "OK", QMessageBox::Critical, MessageAnswer::Ok},
        {MessageButtons::Ok, MessageIcon::Information, "OK", QMessageBox::Information,
         MessageAnswer::Ok}};
    for (const auto& c : cases) {
        QStringList labels;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        driver.answer<QMessageBox>([&](QMessageBox& box) {
            for (QAbstractButton* button : box.buttons()) {
                labels << button->text();
            }
            icon = box.icon();
            sendKey(&box, QEvent::KeyPress, Qt::Key_Escape);
        });
        EXPECT_EQ(driver.host().messageBox(nullptr, "終了しますか？", "確認", c.buttons, c.icon),
                  c.escape);
        EXPECT_EQ(labels.join('|').toStdString(), c.labels);
        EXPECT_EQ(icon, c.shown);
    }
    // A title longer than the message still shows whole: the box is wide enough for it.
    const std::string title = "A title much longer than its message";
    int boxWidth = 0, titleWidth = 0;
    driver.answer<QMessageBox>([&](QMessageBox& box) {
        boxWidth = box.width();
        titleWidth = box.fontMetrics().horizontalAdvance(QString::fromStdString(title));
        sendKey(&box, QEvent::KeyPress, Qt::Key_Escape);
    });
    driver.host().messageBox(nullptr, "1", title, MessageButtons::Ok, MessageIcon::None);
    EXPECT_GE(boxWidth, titleWidth + 100);
    auto owner = driver.window();
    host_contract::ProbeDialog dialog;
    Qt::WindowModality modality = Qt::NonModal;
    driver.answer<QDialog>([&](QDialog& frame) {
        modality = frame.windowModality();
        sendKey(&frame, QEvent::KeyPress, Qt::Key_Escape);
    });
    EXPECT_EQ(driver.host().runDialog(owner.get(), dialog), DialogResult::Cancel);
    EXPECT_EQ(modality, Qt::WindowModal);
}

// Offscreen, the application stays active once it was: only a process of its own (as ctest
// runs each test) sees the first activation.
TEST(QtHost, TheFirstActivationReachesTheWindows) {
    QtHost host;
    const bool activeBefore = host.isApplicationActive();
    testing_support::MessageLog log;
    WindowSpec spec;
    spec.clientSize = {320, 200};  // a window of no size is never activated
    auto window = host.createWindow(spec, &log);
    static_cast<QtNativeWindow&>(*window).frameWidget().activateWindow();
    ASSERT_TRUE(qt_testing::waitUntil([&] { return host.isApplicationActive(); }));
    if (!activeBefore) {
        EXPECT_EQ(log.of(WM_ACTIVATEAPP), std::vector<Message>{Message::activateApp(true)});
    }
}

// Long work shows the busy pointer at once and, once it has taken half a second, a window with
// its progress; both go with its end.
TEST(QtHostBusy, TheBusyPointerAtOnceAndTheProgressAfterHalfASecond) {
    QtHost host;
    const auto progressWindow = [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* p = qobject_cast<QProgressDialog*>(w); p != nullptr && p->isVisible()) {
                return p;
            }
        }
        return static_cast<QProgressDialog*>(nullptr);
    };
    host.beginBusy(nullptr, "マップを読み込んでいます…");
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    host.busyProgress(1, 10);
    EXPECT_EQ(progressWindow(), nullptr) << "quick work: the pointer only";
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 550) {
    }
    host.busyProgress(5, 10);
    QProgressDialog* window = progressWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->value(), 500);
    EXPECT_EQ(window->labelText().toStdString(), "マップを読み込んでいます…");
    host.endBusy();
    EXPECT_EQ(progressWindow(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Every dialog call on every kind of control: each kind answers its own calls and reads as
// empty for the others. Items go in at the front, past the end and between.
TEST(QtHost, EachControlKindAnswersItsOwnCallsAndNoOthers) {
    using K = ControlKind;
    // text | checked | position | count, third item's cells | selected, text | after deleting it
    // | after clearing | colour
    const struct {
        K kind;
        const char* calls;
    } cases[] = {{K::Label, "t1|off|0?|0 [] []|-1 t1|-1 []|0|-"},
                 {K::GroupBox, "t1|off|0?|0 [] []|-1 t1|-1 []|0|-"},
                 {K::Button, "t1|off|0?|0 [] []|-1 t1|-1 []|0|-"},
                 {K::CheckBox, "t1|on|0?|0 [] []|-1 t1|-1 []|0|-"},
                 {K::Edit, "t1|off|0?|0 [] []|-1 t1|-1 []|0|-"},
                 {K::SpinEdit, "t1|off|3|0 [] []|-1 3|-1 []|0|-"},
                 {K::ComboBox, "|off|0?|4 [b] []|2 b|-1 [d]|0|-"},
                 {K::ListBox, "|off|0?|4 [b] []|2 |-1 [d]|0|-"},
                 {K::ListView, "|off|0?|4 [b] [b2]|2 |-1 [d]|0|-"},
                 {K::Swatch, "|off|0?|0 [] []|-1 |-1 []|0|+"}};
    struct AllCalls : Dialog {
        DialogTemplate dialogTemplate() const override {
            DialogTemplate t{"probe", {300, 300}, {}};
            for (int id = 0; id < static_cast<int>(read.size()); ++id) {
                t.controls.push_back(ControlSpec::make(static_cast<K>(id), 1000 + id, "",
                                                       {10, 25 * id, 200, 25 * id + 22}));
                t.controls.back().columns = {{"a", 50}, {"b", 50}};
            }
            return t;
        }
        void onInit(DialogControls& c) override {
            for (int id = 1000; id < 1000 + static_cast<int>(read.size()); ++id) {
                c.setText(id, "t1");
                std::string r = c.text(id);
                c.setChecked(id, true);
                c.setRange(id, 0, 9);
                c.setPosition(id, 3);
                r += (c.isChecked(id) ? "|on|" : "|off|") + std::to_string(c.position(id).value) +
                     (c.position(id).valid ? "|" : "?|");
                c.insertItem(id, 0, {"c", "c2"});
                c.insertItem(id, -1, {"d"});
                c.insertItem(id, 1, {"b", "b2"});
                c.insertItem(id, 0, {"a"});
                r += std::to_string(c.itemCount(id)) + " [" + c.itemText(id, 2) + "] [" +
                     c.itemText(id, 2, 1) + "]|";
                c.select(id, 2);
                r += std::to_string(c.selection(id)) + " " + c.text(id) + "|";
                c.deleteItem(id, 2);
                r += std::to_string(c.selection(id)) + " [" + c.itemText(id, 2) + "]|";
                c.clearItems(id);
                c.setColour(id, 0x80123456);
                const QString style = dynamic_cast<QtDialogPage&>(c).control(id)->styleSheet();
                read[id - 1000] =
                    r + std::to_string(c.itemCount(id)) + (style.contains("123456") ? "|+" : "|-");
            }
            c.end(DialogResult::Ok);
        }
        void onCommand(DialogControls&, const DialogCommand&) override {}
        std::vector<std::string> read;  // by kind
    } dialog;
    dialog.read.resize(std::size(cases));
    QtHost host;
    ASSERT_EQ(host.runDialog(nullptr, dialog), DialogResult::Ok);
    for (const auto& c : cases) {
        EXPECT_EQ(dialog.read[static_cast<int>(c.kind)], c.calls) << static_cast<int>(c.kind);
    }
}
