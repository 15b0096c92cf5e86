#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DialogControls.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QWidget;
class QtSpinBox;

// One control of a dialog page as the dialog calls it: each kind's widget with the calls that
// kind answers. A call a kind does not answer does nothing and reads as empty (no text, not
// checked, no items, no selection). The page checks item indexes before they come here.
class QtDialogControl {
public:
    explicit QtDialogControl(QWidget* widget) : m_widget(widget) {}
    virtual ~QtDialogControl() = default;
    QtDialogControl(const QtDialogControl&) = delete;
    QtDialogControl& operator=(const QtDialogControl&) = delete;

    QWidget& widget() const { return *m_widget; }
    // Captions (labels, group boxes) stay out of the tab order.
    virtual bool isCaption() const { return false; }
    // A field takes the keyboard when the dialog opens.
    virtual bool isField() const { return false; }
    // Selects a field's text now and again once the dialog shows.
    virtual void selectText() {}

    virtual void setText(const std::string& text) {}
    virtual std::string text() const { return {}; }
    virtual void setChecked(bool checked) {}
    virtual bool isChecked() const { return false; }
    virtual void setRange(int minimum, int maximum) {}
    virtual void setPosition(int position) {}
    virtual platform::SpinPosition position() const { return {}; }
    virtual void setColour(std::uint32_t colour) {}
    // index lies within 0 … itemCount().
    virtual void insertItem(int index, const std::vector<std::string>& cells) {}
    virtual void deleteItem(int index) {}
    virtual void clearItems() {}
    virtual int itemCount() const { return 0; }
    virtual std::string itemText(int index, int column) const { return {}; }
    virtual int selection() const { return -1; }
    // index is -1 (none) or below itemCount().
    virtual void select(int index) {}

private:
    QWidget* m_widget;  // owned by its Qt parent
};

class QtLabelControl : public QtDialogControl {
public:
    explicit QtLabelControl(QLabel* label);
    bool isCaption() const override { return true; }
    void setText(const std::string& text) override;
    std::string text() const override;

private:
    QLabel* m_label;
};

class QtGroupBoxControl : public QtDialogControl {
public:
    explicit QtGroupBoxControl(QGroupBox* box);
    bool isCaption() const override { return true; }
    void setText(const std::string& text) override;
    std::string text() const override;

private:
    QGroupBox* m_box;
};

class QtButtonControl : public QtDialogControl {
public:
    explicit QtButtonControl(QAbstractButton* button);
    void setText(const std::string& text) override;
    std::string text() const override;

private:
    QAbstractButton* m_button;
};

class QtCheckBoxControl : public QtButtonControl {
public:
    explicit QtCheckBoxControl(QCheckBox* box);
    void setChecked(bool checked) override;
    bool isChecked() const override;

private:
    QCheckBox* m_box;
};

class QtEditControl : public QtDialogControl {
public:
    explicit QtEditControl(QLineEdit* edit);
    bool isField() const override { return true; }
    void selectText() override;
    void setText(const std::string& text) override;
    std::string text() const override;

private:
    QLineEdit* m_edit;
};

class QtSpinEditControl : public QtDialogControl {
public:
    explicit QtSpinEditControl(QtSpinBox* spin);
    bool isField() const override { return true; }
    void selectText() override;
    void setText(const std::string& text) override;
    std::string text() const override;
    void setRange(int minimum, int maximum) override;
    void setPosition(int position) override;
    platform::SpinPosition position() const override;

private:
    QtSpinBox* m_spin;
};

// A combo box, a list box or a list view: the same calls in each widget's words
// (QtDialogControls.cpp makes the three). Only a combo box answers text(), with its current one.
template <class Widget>
class QtListControl : public QtDialogControl {
public:
    explicit QtListControl(Widget* widget) : QtDialogControl(widget), m_list(widget) {}
    bool isField() const override { return true; }
    std::string text() const override;
    void insertItem(int index, const std::vector<std::string>& cells) override;
    void deleteItem(int index) override;
    void clearItems() override;
    int itemCount() const override;
    std::string itemText(int index, int column) const override;
    int selection() const override;
    void select(int index) override;

private:
    Widget* m_list;
};

extern template class QtListControl<QComboBox>;
extern template class QtListControl<QListWidget>;
extern template class QtListControl<QTreeWidget>;
using QtComboBoxControl = QtListControl<QComboBox>;
using QtListBoxControl = QtListControl<QListWidget>;
using QtListViewControl = QtListControl<QTreeWidget>;

class QtSwatchControl : public QtDialogControl {
public:
    explicit QtSwatchControl(QPushButton* swatch);
    void setColour(std::uint32_t colour) override;

private:
    QPushButton* m_swatch;
};
