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

#include "app/qt/QtConvert.h"
#include "app/qt/QtSpinBox.h"
#include "app/qt/QtTexts.h"

using qtconvert::fromQt;
using qtconvert::toQt;
using qttexts::translated;

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
    // Showing the dialog moves the text cursor: selected again once it shows.
    QLineEdit* edit = m_edit;
    edit->selectAll();
    QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
}

void QtEditControl::setText(const std::string& text) {
    m_edit->setText(toQt(text));
}

std::string QtEditControl::text() const {
    return fromQt(m_edit->text());
}

QtSpinEditControl::QtSpinEditControl(QtSpinBox* spin) : QtDialogControl(spin), m_spin(spin) {}

void QtSpinEditControl::selectText() {
    QtSpinBox* spin = m_spin;
    spin->selectAll();
    QTimer::singleShot(0, spin, [spin] { spin->selectAll(); });
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

QtComboBoxControl::QtComboBoxControl(QComboBox* combo) : QtDialogControl(combo), m_combo(combo) {}

std::string QtComboBoxControl::text() const {
    return fromQt(m_combo->currentText());
}

void QtComboBoxControl::insertItem(int index, const std::vector<std::string>& cells) {
    // The choices a combo box offers are the editor's; list boxes hold the user's names.
    m_combo->insertItem(index, cells.empty() ? QString() : translated(cells.front()));
}

void QtComboBoxControl::deleteItem(int index) {
    m_combo->removeItem(index);
}

void QtComboBoxControl::clearItems() {
    m_combo->clear();
}

int QtComboBoxControl::itemCount() const {
    return m_combo->count();
}

std::string QtComboBoxControl::itemText(int index, int column) const {
    return column == 0 ? fromQt(m_combo->itemText(index)) : std::string();
}

int QtComboBoxControl::selection() const {
    return m_combo->currentIndex();
}

void QtComboBoxControl::select(int index) {
    m_combo->setCurrentIndex(index);
}

QtListBoxControl::QtListBoxControl(QListWidget* list) : QtDialogControl(list), m_list(list) {}

void QtListBoxControl::insertItem(int index, const std::vector<std::string>& cells) {
    m_list->insertItem(index, cells.empty() ? QString() : toQt(cells.front()));
}

void QtListBoxControl::deleteItem(int index) {
    delete m_list->takeItem(index);
}

void QtListBoxControl::clearItems() {
    m_list->clear();
}

int QtListBoxControl::itemCount() const {
    return m_list->count();
}

std::string QtListBoxControl::itemText(int index, int column) const {
    return column == 0 ? fromQt(m_list->item(index)->text()) : std::string();
}

int QtListBoxControl::selection() const {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.front());
}

void QtListBoxControl::select(int index) {
    m_list->clearSelection();
    m_list->setCurrentRow(index);
}

QtListViewControl::QtListViewControl(QTreeWidget* view) : QtDialogControl(view), m_view(view) {}

void QtListViewControl::insertItem(int index, const std::vector<std::string>& cells) {
    auto* item = new QTreeWidgetItem;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        item->setText(static_cast<int>(i), toQt(cells[i]));
    }
    m_view->insertTopLevelItem(index, item);
}

void QtListViewControl::deleteItem(int index) {
    delete m_view->takeTopLevelItem(index);
}

void QtListViewControl::clearItems() {
    m_view->clear();
}

int QtListViewControl::itemCount() const {
    return m_view->topLevelItemCount();
}

std::string QtListViewControl::itemText(int index, int column) const {
    return fromQt(m_view->topLevelItem(index)->text(column));
}

int QtListViewControl::selection() const {
    const QList<QTreeWidgetItem*> selected = m_view->selectedItems();
    return selected.isEmpty() ? -1 : m_view->indexOfTopLevelItem(selected.front());
}

void QtListViewControl::select(int index) {
    m_view->clearSelection();
    m_view->setCurrentItem(index >= 0 ? m_view->topLevelItem(index) : nullptr);
}

// A swatch starts black.
QtSwatchControl::QtSwatchControl(QPushButton* swatch) : QtDialogControl(swatch), m_swatch(swatch) {
    QtSwatchControl::setColour(0);
}

void QtSwatchControl::setColour(std::uint32_t colour) {
    m_swatch->setStyleSheet(
        QStringLiteral("QPushButton { background-color: #%1; border: 1px solid black; }")
            .arg(colour & 0xFFFFFFu, 6, 16, QLatin1Char('0')));
}
