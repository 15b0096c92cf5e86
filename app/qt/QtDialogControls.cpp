#include "app/qt/QtDialogControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <memory>
#include <type_traits>

#include "app/qt/QtConvert.h"
#include "app/qt/QtSpinBox.h"
#include "app/qt/QtTexts.h"

using qtconvert::fromQt;
using qtconvert::toQt;
using qttexts::translated;

namespace {

// Selects all of an edit's text, and again once the dialog shows, which moves the text cursor.
template <class Edit>
void selectAllOnceShown(Edit* edit) {
    edit->selectAll();
    QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
}

}  // namespace

// Captions are the editor's texts, translated; what edits hold is the user's, taken as it is.

QtLabelControl::QtLabelControl(QLabel* label) : QtDialogControl(label), m_label(label) {}

void QtLabelControl::setText(const std::string& text) {
    m_label->setText(translated(text));
}

std::string QtLabelControl::text() const {
    return fromQt(m_label->text());
}

QtGroupBoxControl::QtGroupBoxControl(QGroupBox* box) : QtDialogControl(box), m_box(box) {}

void QtGroupBoxControl::setText(const std::string& text) {
    m_box->setTitle(translated(text));
}

std::string QtGroupBoxControl::text() const {
    return fromQt(m_box->title());
}

QtButtonControl::QtButtonControl(QAbstractButton* button)
    : QtDialogControl(button), m_button(button) {}

void QtButtonControl::setText(const std::string& text) {
    m_button->setText(translated(text));
}

std::string QtButtonControl::text() const {
    return fromQt(m_button->text());
}

QtCheckBoxControl::QtCheckBoxControl(QCheckBox* box) : QtButtonControl(box), m_box(box) {}

void QtCheckBoxControl::setChecked(bool checked) {
    m_box->setChecked(checked);
}

bool QtCheckBoxControl::isChecked() const {
    return m_box->isChecked();
}

QtEditControl::QtEditControl(QLineEdit* edit) : QtDialogControl(edit), m_edit(edit) {}

void QtEditControl::selectText() {
    selectAllOnceShown(m_edit);
}

void QtEditControl::setText(const std::string& text) {
    m_edit->setText(toQt(text));
}

std::string QtEditControl::text() const {
    return fromQt(m_edit->text());
}

QtSpinEditControl::QtSpinEditControl(QtSpinBox* spin) : QtDialogControl(spin), m_spin(spin) {}

void QtSpinEditControl::selectText() {
    selectAllOnceShown(m_spin);
}

void QtSpinEditControl::setText(const std::string& text) {
    m_spin->editor().setText(toQt(text));
}

std::string QtSpinEditControl::text() const {
    return fromQt(m_spin->editor().text());
}

void QtSpinEditControl::setRange(int minimum, int maximum) {
    m_spin->setLogicalRange(minimum, maximum);
}

void QtSpinEditControl::setPosition(int position) {
    m_spin->setValue(position);
}

platform::SpinPosition QtSpinEditControl::position() const {
    return platform::DialogControls::spinPosition(
        fromQt(m_spin->editor().text()), m_spin->logicalMinimum(), m_spin->logicalMaximum());
}

// Each call in the words of the list's widget.
template <class Widget>
constexpr bool isCombo = std::is_same_v<Widget, QComboBox>;
template <class Widget>
constexpr bool isListBox = std::is_same_v<Widget, QListWidget>;

template <class Widget>
std::string QtListControl<Widget>::text() const {
    if constexpr (isCombo<Widget>) {
        return fromQt(m_list->currentText());
    } else {
        return QtDialogControl::text();
    }
}

template <class Widget>
void QtListControl<Widget>::insertItem(int index, const std::vector<std::string>& cells) {
    if constexpr (isCombo<Widget>) {
        // The choices a combo box offers are the editor's; list boxes hold the user's names.
        m_list->insertItem(index, cells.empty() ? QString() : translated(cells.front()));
    } else if constexpr (isListBox<Widget>) {
        m_list->insertItem(index, cells.empty() ? QString() : toQt(cells.front()));
    } else {
        auto* item = new QTreeWidgetItem;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            item->setText(static_cast<int>(i), toQt(cells[i]));
        }
        m_list->insertTopLevelItem(index, item);
    }
}

template <class Widget>
void QtListControl<Widget>::deleteItem(int index) {
    if constexpr (isCombo<Widget>) {
        m_list->removeItem(index);
    } else if constexpr (isListBox<Widget>) {
        // The widget hands the item over to be freed.
        std::unique_ptr<QListWidgetItem> taken(m_list->takeItem(index));
    } else {
        std::unique_ptr<QTreeWidgetItem> taken(m_list->takeTopLevelItem(index));
    }
}

template <class Widget>
void QtListControl<Widget>::clearItems() {
    m_list->clear();
}

template <class Widget>
int QtListControl<Widget>::itemCount() const {
    if constexpr (std::is_same_v<Widget, QTreeWidget>) {
        return m_list->topLevelItemCount();
    } else {
        return m_list->count();
    }
}

template <class Widget>
std::string QtListControl<Widget>::itemText(int index, int column) const {
    if constexpr (isCombo<Widget>) {
        return column == 0 ? fromQt(m_list->itemText(index)) : std::string();
    } else if constexpr (isListBox<Widget>) {
        return column == 0 ? fromQt(m_list->item(index)->text()) : std::string();
    } else {
        return fromQt(m_list->topLevelItem(index)->text(column));
    }
}

template <class Widget>
int QtListControl<Widget>::selection() const {
    if constexpr (isCombo<Widget>) {
        return m_list->currentIndex();
    } else {
        const auto selected = m_list->selectedItems();
        if (selected.isEmpty()) {
            return -1;
        }
        if constexpr (isListBox<Widget>) {
            return m_list->row(selected.front());
        } else {
            return m_list->indexOfTopLevelItem(selected.front());
        }
    }
}

template <class Widget>
void QtListControl<Widget>::select(int index) {
    if constexpr (isCombo<Widget>) {
        m_list->setCurrentIndex(index);
    } else if constexpr (isListBox<Widget>) {
        m_list->clearSelection();
        m_list->setCurrentRow(index);
    } else {
        m_list->clearSelection();
        m_list->setCurrentItem(index >= 0 ? m_list->topLevelItem(index) : nullptr);
    }
}

template class QtListControl<QComboBox>;
template class QtListControl<QListWidget>;
template class QtListControl<QTreeWidget>;

// A swatch starts black.
QtSwatchControl::QtSwatchControl(QPushButton* swatch) : QtDialogControl(swatch), m_swatch(swatch) {
    QtSwatchControl::setColour(0);
}

void QtSwatchControl::setColour(std::uint32_t colour) {
    m_swatch->setStyleSheet(
        QStringLiteral("QPushButton { background-color: #%1; border: 1px solid black; }")
            .arg(colour & 0xFFFFFFu, 6, 16, QLatin1Char('0')));
}
