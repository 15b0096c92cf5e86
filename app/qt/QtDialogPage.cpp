// A dialog page on Qt widgets: each control kind's widget and every dialog call on it. One file
// (above the usual size) because a new control kind changes both together.
#include "app/qt/QtDialogPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <algorithm>

#include "app/qt/QtConvert.h"
#include "app/qt/QtDialogWindow.h"
#include "app/qt/QtKeyMap.h"
#include "app/qt/QtSpinBox.h"
#include "app/qt/QtTextLimit.h"
#include "app/qt/QtTexts.h"

using platform::ControlKind;
using platform::DialogNotification;
using qtconvert::fromQt;
using qtconvert::toQt;
using qttexts::translated;

namespace {

const char kReportedText[] = "pelorinReportedText";

// Holds notifications back while the page changes a list itself.
class Quiet {
public:
    explicit Quiet(int& count) : m_count(count) { ++m_count; }
    ~Quiet() { --m_count; }

private:
    int& m_count;
};

QString colourStyle(std::uint32_t colour) {
    return QStringLiteral("QPushButton { background-color: #%1; border: 1px solid black; }")
        .arg(colour & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
}

}  // namespace

QtDialogPage::QtDialogPage(QtDialogWindow& window, platform::Dialog& dialog, QWidget* parent)
    : m_window(window),
      m_dialog(dialog),
      m_template(dialog.dialogTemplate()),
      m_widget(new QWidget(parent)) {
    m_widget->setFixedSize(toQt(m_template.size));
    build();
}

QtDialogPage::~QtDialogPage() = default;

void QtDialogPage::init() {
    if (!m_initialised) {
        m_initialised = true;
        m_dialog.onInit(*this);
    }
    focusFirstField();
}

// Tab goes through the controls as they lie, row by row from the top, each row from the left;
// the keyboard starts in the first field, its text selected, so that a value can be typed at
// once (as property sheets open).
void QtDialogPage::focusFirstField() {
    std::vector<const Control*> order;
    for (const Control& c : m_controls) {
        if (c.widget->focusPolicy() != Qt::NoFocus && c.spec.kind != ControlKind::Label &&
            c.spec.kind != ControlKind::GroupBox) {
            order.push_back(&c);
        }
    }
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        // Controls whose tops lie within a few pixels share a row.
        const int rowA = a->spec.rect.top / 8, rowB = b->spec.rect.top / 8;
        return rowA != rowB ? rowA < rowB : a->spec.rect.left < b->spec.rect.left;
    });
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1]->widget, order[i]->widget);
    }
    for (const Control* c : order) {
        const ControlKind kind = c->spec.kind;
        const bool field = kind == ControlKind::Edit || kind == ControlKind::SpinEdit ||
                           kind == ControlKind::ComboBox || kind == ControlKind::ListBox ||
                           kind == ControlKind::ListView;
        if (field && c->widget->isEnabled() && c->widget->isVisibleTo(m_widget)) {
            QWidget* widget = c->widget;
            widget->setFocus(Qt::TabFocusReason);
            // Selected once the dialog shows: showing it moves the text cursor.
            const auto selectAll = [widget] {
                if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                    edit->selectAll();
                } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget)) {
                    spin->selectAll();
                }
            };
            selectAll();
            QTimer::singleShot(0, widget, selectAll);
            return;
        }
    }
}

void QtDialogPage::command(int id, DialogNotification code) {
    notify(id, code);
}

QWidget* QtDialogPage::control(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->widget : nullptr;
}

platform::NativeWindow& QtDialogPage::window() {
    return m_window;
}

void QtDialogPage::setText(int id, const std::string& text) {
    const Control* c = find(id);
    if (c == nullptr) {
        return;
    }
    // Captions are the editor's texts; what edits hold is the user's.
    switch (c->spec.kind) {
        case ControlKind::Label:
            static_cast<QLabel*>(c->widget)->setText(translated(text));
            break;
        case ControlKind::GroupBox:
            static_cast<QGroupBox*>(c->widget)->setTitle(translated(text));
            break;
        case ControlKind::Button:
        case ControlKind::CheckBox:
            static_cast<QAbstractButton*>(c->widget)->setText(translated(text));
            break;
        case ControlKind::Edit:
            static_cast<QLineEdit*>(c->widget)->setText(toQt(text));
            break;
        case ControlKind::SpinEdit:
            static_cast<QtSpinBox*>(c->widget)->editor().setText(toQt(text));
            break;
        default:
            break;
    }
}

std::string QtDialogPage::text(int id) const {
    const Control* c = find(id);
    if (c == nullptr) {
        return {};
    }
    switch (c->spec.kind) {
        case ControlKind::Label:
            return fromQt(static_cast<QLabel*>(c->widget)->text());
        case ControlKind::GroupBox:
            return fromQt(static_cast<QGroupBox*>(c->widget)->title());
        case ControlKind::Button:
        case ControlKind::CheckBox:
            return fromQt(static_cast<QAbstractButton*>(c->widget)->text());
        case ControlKind::Edit:
            return fromQt(static_cast<QLineEdit*>(c->widget)->text());
        case ControlKind::SpinEdit:
            return fromQt(static_cast<QtSpinBox*>(c->widget)->editor().text());
        case ControlKind::ComboBox:
            return fromQt(static_cast<QComboBox*>(c->widget)->currentText());
        default:
            return {};
    }
}

void QtDialogPage::setChecked(int id, bool checked) {
    const Control* c = find(id);
    if (c != nullptr && c->spec.kind == ControlKind::CheckBox) {
        static_cast<QCheckBox*>(c->widget)->setChecked(checked);
    }
}

bool QtDialogPage::isChecked(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->spec.kind == ControlKind::CheckBox &&
           static_cast<QCheckBox*>(c->widget)->isChecked();
}

void QtDialogPage::setEnabled(int id, bool enabled) {
    if (const Control* c = find(id)) {
        c->widget->setEnabled(enabled);
    }
}

bool QtDialogPage::isEnabled(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->widget->isEnabled();
}

void QtDialogPage::setShown(int id, bool shown) {
    if (const Control* c = find(id)) {
        c->widget->setVisible(shown);
    }
}

void QtDialogPage::setRange(int id, int minimum, int maximum) {
    const Control* c = find(id);
    if (c != nullptr && c->spec.kind == ControlKind::SpinEdit) {
        static_cast<QtSpinBox*>(c->widget)->setLogicalRange(minimum, maximum);
    }
}

void QtDialogPage::setPosition(int id, int position) {
    const Control* c = find(id);
    if (c != nullptr && c->spec.kind == ControlKind::SpinEdit) {
        static_cast<QtSpinBox*>(c->widget)->setValue(position);
    }
}

platform::SpinPosition QtDialogPage::position(int id) const {
    const Control* c = find(id);
    if (c == nullptr || c->spec.kind != ControlKind::SpinEdit) {
        return {};
    }
    const auto* spin = static_cast<QtSpinBox*>(c->widget);
    return spinPosition(fromQt(spin->editor().text()), spin->logicalMinimum(),
                        spin->logicalMaximum());
}

void QtDialogPage::setColour(int id, std::uint32_t colour) {
    const Control* c = find(id);
    if (c != nullptr && c->spec.kind == ControlKind::Swatch) {
        c->widget->setStyleSheet(colourStyle(colour));
    }
}

void QtDialogPage::insertItem(int id, int index, const std::vector<std::string>& cells) {
    const Control* c = find(id);
    if (c == nullptr) {
        return;
    }
    const Quiet quiet(m_quiet);
    const QString first = cells.empty() ? QString() : toQt(cells.front());
    const int count = itemCount(id);
    if (index < 0 || index > count) {
        index = count;
    }
    switch (c->spec.kind) {
        case ControlKind::ComboBox:
            // The choices a combo box offers are the editor's; list boxes hold the user's names.
            static_cast<QComboBox*>(c->widget)->insertItem(
                index, cells.empty() ? QString() : translated(cells.front()));
            break;
        case ControlKind::ListBox:
            static_cast<QListWidget*>(c->widget)->insertItem(index, first);
            break;
        case ControlKind::ListView: {
            auto* item = new QTreeWidgetItem;
            for (std::size_t i = 0; i < cells.size(); ++i) {
                item->setText(static_cast<int>(i), toQt(cells[i]));
            }
            static_cast<QTreeWidget*>(c->widget)->insertTopLevelItem(index, item);
            break;
        }
        default:
            break;
    }
}

void QtDialogPage::deleteItem(int id, int index) {
    const Control* c = find(id);
    if (c == nullptr || index < 0 || index >= itemCount(id)) {
        return;
    }
    const Quiet quiet(m_quiet);
    const bool wasSelected = selection(id) == index;
    switch (c->spec.kind) {
        case ControlKind::ComboBox:
            static_cast<QComboBox*>(c->widget)->removeItem(index);
            break;
        case ControlKind::ListBox:
            delete static_cast<QListWidget*>(c->widget)->takeItem(index);
            break;
        case ControlKind::ListView:
            delete static_cast<QTreeWidget*>(c->widget)->takeTopLevelItem(index);
            break;
        default:
            break;
    }
    // Qt hands the selection to a neighbour; a list whose selected item goes has none left,
    // so that the dialog does not act on an item the user never chose.
    if (wasSelected) {
        select(id, -1);
    }
}

void QtDialogPage::clearItems(int id) {
    const Control* c = find(id);
    if (c == nullptr) {
        return;
    }
    const Quiet quiet(m_quiet);
    switch (c->spec.kind) {
        case ControlKind::ComboBox:
            static_cast<QComboBox*>(c->widget)->clear();
            break;
        case ControlKind::ListBox:
            static_cast<QListWidget*>(c->widget)->clear();
            break;
        case ControlKind::ListView:
            static_cast<QTreeWidget*>(c->widget)->clear();
            break;
        default:
            break;
    }
}

int QtDialogPage::itemCount(int id) const {
    const Control* c = find(id);
    if (c == nullptr) {
        return 0;
    }
    switch (c->spec.kind) {
        case ControlKind::ComboBox:
            return static_cast<QComboBox*>(c->widget)->count();
        case ControlKind::ListBox:
            return static_cast<QListWidget*>(c->widget)->count();
        case ControlKind::ListView:
            return static_cast<QTreeWidget*>(c->widget)->topLevelItemCount();
        default:
            return 0;
    }
}

std::string QtDialogPage::itemText(int id, int index, int column) const {
    const Control* c = find(id);
    if (c == nullptr || index < 0 || index >= itemCount(id)) {
        return {};
    }
    switch (c->spec.kind) {
        case ControlKind::ComboBox:
            return column == 0 ? fromQt(static_cast<QComboBox*>(c->widget)->itemText(index))
                               : std::string();
        case ControlKind::ListBox:
            return column == 0 ? fromQt(static_cast<QListWidget*>(c->widget)->item(index)->text())
                               : std::string();
        case ControlKind::ListView:
            return fromQt(static_cast<QTreeWidget*>(c->widget)->topLevelItem(index)->text(column));
        default:
            return {};
    }
}

int QtDialogPage::selection(int id) const {
    const Control* c = find(id);
    if (c == nullptr) {
        return -1;
    }
    switch (c->spec.kind) {
        case ControlKind::ComboBox:
            return static_cast<QComboBox*>(c->widget)->currentIndex();
        case ControlKind::ListBox: {
            auto* list = static_cast<QListWidget*>(c->widget);
            const QList<QListWidgetItem*> selected = list->selectedItems();
            return selected.isEmpty() ? -1 : list->row(selected.front());
        }
        case ControlKind::ListView: {
            auto* view = static_cast<QTreeWidget*>(c->widget);
            const QList<QTreeWidgetItem*> selected = view->selectedItems();
            return selected.isEmpty() ? -1 : view->indexOfTopLevelItem(selected.front());
        }
        default:
            return -1;
    }
}

void QtDialogPage::select(int id, int index) {
    const Control* c = find(id);
    if (c == nullptr) {
        return;
    }
    const Quiet quiet(m_quiet);
    if (index >= itemCount(id)) {
        index = -1;
    }
    switch (c->spec.kind) {
        case ControlKind::ComboBox:
            static_cast<QComboBox*>(c->widget)->setCurrentIndex(index);
            break;
        case ControlKind::ListBox: {
            auto* list = static_cast<QListWidget*>(c->widget);
            list->clearSelection();
            list->setCurrentRow(index);
            break;
        }
        case ControlKind::ListView: {
            auto* view = static_cast<QTreeWidget*>(c->widget);
            view->clearSelection();
            view->setCurrentItem(index >= 0 ? view->topLevelItem(index) : nullptr);
            break;
        }
        default:
            break;
    }
}

void QtDialogPage::end(platform::DialogResult result) {
    m_window.end(result);
}

bool QtDialogPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // Enter in a list box belongs to the list (the dialog acts on its release) and does not
        // press the default button.
        const int key = static_cast<QKeyEvent*>(event)->key();
        const Control* c = findWidget(watched);
        if (c != nullptr && c->spec.kind == ControlKind::ListBox &&
            (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            return true;
        }
    } else if (event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Control* c = findWidget(watched);
        if (c != nullptr && !key->isAutoRepeat()) {
            if (const int vk = qtkeymap::virtualKey(key->key(), key->modifiers())) {
                notify(c->spec.id, DialogNotification::KeyUp, vk);
            }
        }
    } else if (event->type() == QEvent::Drop) {
        // A dragged list box item: the dialog moves it (or not); the list itself changes
        // nothing, so the drop is refused.
        auto* drop = static_cast<QDropEvent*>(event);
        auto* list = qobject_cast<QListWidget*>(watched->parent());
        const Control* c = list != nullptr ? findWidget(list) : nullptr;
        if (c != nullptr) {
            const QModelIndex target = list->indexAt(drop->position().toPoint());
            const int from = list->currentRow();
            drop->setDropAction(Qt::IgnoreAction);
            drop->ignore();
            notify(c->spec.id, DialogNotification::ItemDragged, 0, from,
                   target.isValid() ? target.row() : -1);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void QtDialogPage::build() {
    // Group boxes first, so that the controls inside lie above them.
    for (int pass = 0; pass < 2; ++pass) {
        for (const platform::ControlSpec& spec : m_template.controls) {
            if ((spec.kind == ControlKind::GroupBox) != (pass == 0)) {
                continue;
            }
            QWidget* widget = makeControl(spec);
            widget->setGeometry(toQt(spec.rect));
            if (spec.id != 0) {
                widget->setObjectName(QString::number(spec.id));  // found by id in tests
            }
            m_controls.push_back(Control{spec, widget});
        }
    }
}

QWidget* QtDialogPage::makeControl(const platform::ControlSpec& spec) {
    const QString text = spec.kind == ControlKind::Edit ? toQt(spec.text) : translated(spec.text);
    const int id = spec.id;
    switch (spec.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(text, m_widget);
            if (spec.alignRight) {
                label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            return label;
        }
        case ControlKind::GroupBox:
            return new QGroupBox(text, m_widget);
        case ControlKind::Button: {
            auto* button = new QPushButton(text, m_widget);
            button->setAutoDefault(false);
            button->setDefault(spec.isDefault);
            connect(button, &QPushButton::clicked, this,
                    [this, id] { notify(id, DialogNotification::Clicked); });
            return button;
        }
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(text, m_widget);
            connect(box, &QCheckBox::clicked, this,
                    [this, id] { notify(id, DialogNotification::Clicked); });
            return box;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(text, m_widget);
            if (spec.maxBytes > 0) {
                edit->setValidator(new QtTextLimit(spec.maxBytes, edit));
            }
            // As a Win32 edit: every change, also from code, is reported.
            connect(edit, &QLineEdit::textChanged, this,
                    [this, id] { notify(id, DialogNotification::Changed); });
            return edit;
        }
        case ControlKind::SpinEdit:
            return makeSpinEdit(id);
        case ControlKind::ComboBox: {
            auto* combo = new QComboBox(m_widget);
            connect(combo, &QComboBox::activated, this,
                    [this, id] { notify(id, DialogNotification::SelectionChanged); });
            return combo;
        }
        case ControlKind::ListBox:
            return makeListBox(spec);
        case ControlKind::ListView:
            return makeListView(spec);
        case ControlKind::Swatch: {
            auto* swatch = new QPushButton(m_widget);
            swatch->setAutoDefault(false);
            swatch->setFocusPolicy(Qt::NoFocus);
            swatch->setStyleSheet(colourStyle(0));
            connect(swatch, &QPushButton::clicked, this,
                    [this, id] { notify(id, DialogNotification::Clicked); });
            return swatch;
        }
    }
    return new QWidget(m_widget);
}

QWidget* QtDialogPage::makeSpinEdit(int id) {
    auto* spin = new QtSpinBox(m_widget);
    // The spin box writes its edit with the edit's signals blocked and reports that
    // through its own; typing and setText come through the edit's. Both are watched and
    // each change of text is reported once.
    spin->setProperty(kReportedText, spin->editor().text());
    auto changed = [this, id, spin] {
        const QString now = spin->editor().text();
        if (spin->property(kReportedText).toString() != now) {
            spin->setProperty(kReportedText, now);
            notify(id, DialogNotification::Changed);
        }
    };
    connect(&spin->editor(), &QLineEdit::textChanged, this, changed);
    connect(spin, &QSpinBox::textChanged, this, changed);
    return spin;
}

QWidget* QtDialogPage::makeListBox(const platform::ControlSpec& spec) {
    const int id = spec.id;
    auto* list = new QListWidget(m_widget);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->installEventFilter(this);
    if (spec.draggable) {
        list->setDragDropMode(QAbstractItemView::InternalMove);
        list->viewport()->installEventFilter(this);
    }
    connect(list, &QListWidget::currentRowChanged, this, [this, id] {
        if (m_quiet == 0) {
            notify(id, DialogNotification::SelectionChanged);
        }
    });
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this, id] { notify(id, DialogNotification::DoubleClicked); });
    return list;
}

QWidget* QtDialogPage::makeListView(const platform::ControlSpec& spec) {
    const int id = spec.id;
    auto* view = new QTreeWidget(m_widget);
    view->setRootIsDecorated(false);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->header()->setSectionsMovable(true);
    view->setColumnCount(static_cast<int>(spec.columns.size()));
    QStringList headers;
    for (const platform::ListColumn& column : spec.columns) {
        headers << translated(column.header);
    }
    view->setHeaderLabels(headers);
    for (std::size_t i = 0; i < spec.columns.size(); ++i) {
        view->setColumnWidth(static_cast<int>(i), spec.columns[i].width);
    }
    view->installEventFilter(this);
    connect(view, &QTreeWidget::currentItemChanged, this, [this, id] {
        if (m_quiet == 0) {
            notify(id, DialogNotification::SelectionChanged);
        }
    });
    connect(view, &QTreeWidget::itemDoubleClicked, this,
            [this, id] { notify(id, DialogNotification::DoubleClicked); });
    return view;
}

const QtDialogPage::Control* QtDialogPage::find(int id) const {
    if (id == 0) {
        return nullptr;
    }
    for (const Control& c : m_controls) {
        if (c.spec.id == id || (c.spec.kind == ControlKind::SpinEdit && c.spec.buddyId == id)) {
            return &c;
        }
    }
    return nullptr;
}

const QtDialogPage::Control* QtDialogPage::findWidget(const QObject* widget) const {
    for (const Control& c : m_controls) {
        if (c.widget == widget) {
            return &c;
        }
    }
    return nullptr;
}

void QtDialogPage::notify(int id, DialogNotification code, int key, int from, int to) {
    if (m_window.hasEnded()) {
        return;
    }
    platform::DialogCommand command;
    command.control = id;
    command.code = code;
    command.key = key;
    command.from = from;
    command.to = to;
    m_dialog.onCommand(*this, command);
}
