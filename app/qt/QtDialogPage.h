#pragma once

#include <QObject>
#include <memory>
#include <vector>

#include "platform/Dialog.h"

class QWidget;
class QtDialogControl;
class QtDialogWindow;

// The controls of one dialog, or one page of a sheet, built from its template as Qt widgets
// placed at the template's rectangles, with what the user does forwarded to the dialog.
class QtDialogPage : public QObject, public platform::DialogControls {
public:
    QtDialogPage(QtDialogWindow& window, platform::Dialog& dialog, QWidget* parent);
    ~QtDialogPage() override;

    QWidget& widget() const { return *m_widget; }
    platform::Dialog& dialog() const { return m_dialog; }
    const platform::DialogTemplate& layout() const { return m_template; }
    // Calls onInit the first time.
    void init();
    bool isInitialised() const { return m_initialised; }
    // Forwards a command that does not come from one of the page's widgets (Escape, Enter).
    void command(int id, platform::DialogNotification code);
    // The widget of control id (either id of a spin edit), for tests; null when missing.
    QWidget* control(int id) const;

    platform::NativeWindow& window() override;
    void setText(int id, const std::string& text) override;
    std::string text(int id) const override;
    void setChecked(int id, bool checked) override;
    bool isChecked(int id) const override;
    void setEnabled(int id, bool enabled) override;
    bool isEnabled(int id) const override;
    void setShown(int id, bool shown) override;
    void setRange(int id, int minimum, int maximum) override;
    void setPosition(int id, int position) override;
    platform::SpinPosition position(int id) const override;
    void setColour(int id, std::uint32_t colour) override;
    void insertItem(int id, int index, const std::vector<std::string>& cells) override;
    void deleteItem(int id, int index) override;
    void clearItems(int id) override;
    int itemCount(int id) const override;
    std::string itemText(int id, int index, int column = 0) const override;
    int selection(int id) const override;
    void select(int id, int index) override;
    void end(platform::DialogResult result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Control {
        platform::ControlSpec spec;
        std::unique_ptr<QtDialogControl> control;
    };

    void build();
    void focusFirstField();
    std::unique_ptr<QtDialogControl> makeControl(const platform::ControlSpec& spec);
    std::unique_ptr<QtDialogControl> makeSpinEdit(int id);
    std::unique_ptr<QtDialogControl> makeListBox(const platform::ControlSpec& spec);
    std::unique_ptr<QtDialogControl> makeListView(const platform::ControlSpec& spec);
    const Control* find(int id) const;
    const Control* findWidget(const QObject* widget) const;
    void notify(int id, platform::DialogNotification code, int key = 0, int from = -1, int to = -1);

    QtDialogWindow& m_window;
    platform::Dialog& m_dialog;
    platform::DialogTemplate m_template;
    QWidget* m_widget;  // owned by its Qt parent
    std::vector<Control> m_controls;
    bool m_initialised = false;
    int m_quiet = 0;  // > 0 while the page itself changes a list: no notifications
};
