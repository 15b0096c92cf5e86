// A dialog page on Qt widgets: each control kind's widget, made with what it reports, and the
// dialog's calls handed to the control (QtDialogControls) that answers them for its kind.
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
#include <QTreeWidget>
#include <QWidget>
#include <algorithm>

#include "app/qt/QtConvert.h"
#include "app/qt/QtDialogControls.h"
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
        if (c.control->widget().focusPolicy() != Qt::NoFocus && !c.control->isCaption()) {
            order.push_back(&c);
        }
    }
    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
        // Controls whose tops lie within a few pixels share a row.
        const int rowA = a->spec.rect.top / 8, rowB = b->spec.rect.top / 8;
        return rowA != rowB ? rowA < rowB : a->spec.rect.left < b->spec.rect.left;
    });
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(&order[i - 1]->control->widget(), &order[i]->control->widget());
    }
    for (const Control* c : order) {
        QWidget& widget = c->control->widget();
        if (c->control->isField() && widget.isEnabled() && widget.isVisibleTo(m_widget)) {
            widget.setFocus(Qt::TabFocusReason);
            c->control->selectText();
            return;
        }
    }
}

void QtDialogPage::command(int id, DialogNotification code) {
    notify(id, code);
}

QWidget* QtDialogPage::control(int id) const {
    const Control* c = find(id);
    return c != nullptr ? &c->control->widget() : nullptr;
}

platform::NativeWindow& QtDialogPage::window() {
    return m_window;
}

void QtDialogPage::setText(int id, const std::string& text) {
    if (const Control* c = find(id)) {
        c->control->setText(text);
    }
}

std::string QtDialogPage::text(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->control->text() : std::string();
}

void QtDialogPage::setChecked(int id, bool checked) {
    if (const Control* c = find(id)) {
        c->control->setChecked(checked);
    }
}

bool QtDialogPage::isChecked(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->control->isChecked();
}

void QtDialogPage::setEnabled(int id, bool enabled) {
    if (const Control* c = find(id)) {
        c->control->widget().setEnabled(enabled);
    }
}

bool QtDialogPage::isEnabled(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->control->widget().isEnabled();
}

void QtDialogPage::setShown(int id, bool shown) {
    if (const Control* c = find(id)) {
        c->control->widget().setVisible(shown);
    }
}

void QtDialogPage::setRange(int id, int minimum, int maximum) {
    if (const Control* c = find(id)) {
        c->control->setRange(minimum, maximum);
    }
}

void QtDialogPage::setPosition(int id, int position) {
    if (const Control* c = find(id)) {
        c->control->setPosition(position);
    }
}

platform::SpinPosition QtDialogPage::position(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->control->position() : platform::SpinPosition{};
}

void QtDialogPage::setColour(int id, std::uint32_t colour) {
    if (const Control* c = find(id)) {
        c->control->setColour(colour);
    }
}

void QtDialogPage::insertItem(int id, int index, const std::vector<std::string>& cells) {
    const Control* c = find(id);
    if (c == nullptr) {
        return;
    }
    const Quiet quiet(m_quiet);
    const int count = c->control->itemCount();
    if (index < 0 || index > count) {
        index = count;
    }
    c->control->insertItem(index, cells);
}

void QtDialogPage::deleteItem(int id, int index) {
    const Control* c = find(id);
    if (c == nullptr || index < 0 || index >= c->control->itemCount()) {
        return;
    }
    const Quiet quiet(m_quiet);
    const bool wasSelected = c->control->selection() == index;
    c->control->deleteItem(index);
    // Qt hands the selection to a neighbour; a list whose selected item goes has none left,
    // so that the dialog does not act on an item the user never chose.
    if (wasSelected) {
        c->control->select(-1);
    }
}

void QtDialogPage::clearItems(int id) {
    if (const Control* c = find(id)) {
        const Quiet quiet(m_quiet);
        c->control->clearItems();
    }
}

int QtDialogPage::itemCount(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->control->itemCount() : 0;
}

std::string QtDialogPage::itemText(int id, int index, int column) const {
    const Control* c = find(id);
    if (c == nullptr || index < 0 || index >= c->control->itemCount()) {
        return {};
    }
    return c->control->itemText(index, column);
}

int QtDialogPage::selection(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->control->selection() : -1;
}

void QtDialogPage::select(int id, int index) {
    const Control* c = find(id);
    if (c == nullptr) {
        return;
    }
    const Quiet quiet(m_quiet);
    c->control->select(index < c->control->itemCount() ? index : -1);
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
            std::unique_ptr<QtDialogControl> control = makeControl(spec);
            control->widget().setGeometry(toQt(spec.rect));
            if (spec.id != 0) {
                control->widget().setObjectName(QString::number(spec.id));  // found by id in tests
            }
            m_controls.push_back(Control{spec, std::move(control)});
        }
    }
}

// The one place that knows which control answers for which kind.
std::unique_ptr<QtDialogControl> QtDialogPage::makeControl(const platform::ControlSpec& spec) {
    const QString text = spec.kind == ControlKind::Edit ? toQt(spec.text) : translated(spec.text);
    const int id = spec.id;
    switch (spec.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(text, m_widget);
            if (spec.alignRight) {
                label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            return std::make_unique<QtLabelControl>(label);
        }
        case ControlKind::GroupBox:
            return std::make_unique<QtGroupBoxControl>(new QGroupBox(text, m_widget));
        case ControlKind::Button: {
            auto* button = new QPushButton(text, m_widget);
            button->setAutoDefault(false);
            button->setDefault(spec.isDefault);
            connect(button, &QPushButton::clicked, this,
                    [this, id] { notify(id, DialogNotification::Clicked); });
            return std::make_unique<QtButtonControl>(button);
        }
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(text, m_widget);
            connect(box, &QCheckBox::clicked, this,
                    [this, id] { notify(id, DialogNotification::Clicked); });
            return std::make_unique<QtCheckBoxControl>(box);
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(text, m_widget);
            if (spec.maxBytes > 0) {
                edit->setValidator(new QtTextLimit(spec.maxBytes, edit));
            }
            // As a Win32 edit: every change, also from code, is reported.
            connect(edit, &QLineEdit::textChanged, this,
                    [this, id] { notify(id, DialogNotification::Changed); });
            return std::make_unique<QtEditControl>(edit);
        }
        case ControlKind::SpinEdit:
            return makeSpinEdit(id);
        case ControlKind::ComboBox: {
            auto* combo = new QComboBox(m_widget);
            connect(combo, &QComboBox::activated, this,
                    [this, id] { notify(id, DialogNotification::SelectionChanged); });
            return std::make_unique<QtComboBoxControl>(combo);
        }
        case ControlKind::ListBox:
            return makeListBox(spec);
        case ControlKind::ListView:
            return makeListView(spec);
        case ControlKind::Swatch: {
            auto* swatch = new QPushButton(m_widget);
            swatch->setAutoDefault(false);
            swatch->setFocusPolicy(Qt::NoFocus);
            connect(swatch, &QPushButton::clicked, this,
                    [this, id] { notify(id, DialogNotification::Clicked); });
            return std::make_unique<QtSwatchControl>(swatch);
        }
    }
    return std::make_unique<QtDialogControl>(new QWidget(m_widget));
}

std::unique_ptr<QtDialogControl> QtDialogPage::makeSpinEdit(int id) {
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
    return std::make_unique<QtSpinEditControl>(spin);
}

std::unique_ptr<QtDialogControl> QtDialogPage::makeListBox(const platform::ControlSpec& spec) {
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
    return std::make_unique<QtListBoxControl>(list);
}

std::unique_ptr<QtDialogControl> QtDialogPage::makeListView(const platform::ControlSpec& spec) {
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
    return std::make_unique<QtListViewControl>(view);
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
        if (&c.control->widget() == widget) {
            return &c;
        }
    }
    return nullptr;
}

void QtDialogPage::notify(int id, DialogNotification code, int key, int from, int to) {
    if (m_window.hasEnded()) {
        return;
    }
    m_dialog.onCommand(*this, platform::DialogCommand{id, code, key, from, to});
}
