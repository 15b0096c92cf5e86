#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/qt/QtWindow.h"
#include "platform/Dialog.h"
#include "platform/MessageHandler.h"

class QTabWidget;
class QtDialogFrame;
class QtDialogPage;

// The window of one running dialog or sheet: owner of what the dialog opens, and the source of
// its timers (which go to onTimer of its pages). It has no client pixels or scroll bars; those
// calls do nothing.
class QtDialogWindow : public QtWindow, private platform::MessageHandler {
public:
    QtDialogWindow(QtHost* host, QWidget* owner);
    ~QtDialogWindow() override;

    // Each runs once, modally, and returns how the dialog ended.
    platform::DialogResult runDialog(platform::Dialog& dialog);
    platform::DialogResult runSheet(const std::string& caption,
                                    const std::vector<platform::Dialog*>& pages);

    void end(platform::DialogResult result);
    bool hasEnded() const { return m_ended; }
    // The pages built so far (one for a dialog), for tests.
    QtDialogPage* page(int index) const;
    QtDialogFrame& frame() const { return *m_frame; }

    QWidget& frameWidget() const override;
    QWidget& clientWidget() const override;
    void setHandler(platform::MessageHandler* handler) override;
    void destroy() override;
    platform::Size clientSize() const override;
    void resizeClient(platform::Size size) override;
    void present(const platform::Rect& rect, const std::uint32_t* pixels,
                 std::ptrdiff_t pitch) override;
    void setScrollInfo(platform::ScrollAxis axis, const platform::ScrollInfo& info) override;
    platform::ScrollInfo scrollInfo(platform::ScrollAxis axis) const override;
    void showScrollBar(platform::ScrollAxis axis, bool shown) override;
    bool isScrollBarShown(platform::ScrollAxis axis) const override;
    void setMenuItemState(int commandId, bool enabled, bool checked) override;

private:
    void handleMessage(platform::NativeWindow& window, const platform::Message& message) override;
    void cancel();
    void enter();
    void applySheet();
    void showPage(int index);
    platform::DialogResult exec();

    std::unique_ptr<QtDialogFrame> m_frame;
    QTabWidget* m_tabs = nullptr;  // sheets only; owned by m_frame
    std::vector<std::unique_ptr<QtDialogPage>> m_pages;
    bool m_ended = false;
    platform::DialogResult m_result = platform::DialogResult::Cancel;
};
