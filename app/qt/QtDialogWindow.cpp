#include "app/qt/QtDialogWindow.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/qt/QtConvert.h"
#include "app/qt/QtDialogFrame.h"
#include "app/qt/QtDialogPage.h"
#include "app/qt/QtTexts.h"
#include "platform/Texts.h"

using platform::DialogNotification;
using platform::DialogResult;

QtDialogWindow::QtDialogWindow(QtHost* host, QWidget* owner)
    : QtWindow(host),
      m_frame(std::make_unique<QtDialogFrame>(
          owner, [this] { cancel(); }, [this] { enter(); })) {
    QtWindow::setHandler(this);
}

QtDialogWindow::~QtDialogWindow() {
    // The pages watch widgets that the frame owns: let them go first.
    m_pages.clear();
}

DialogResult QtDialogWindow::runDialog(platform::Dialog& dialog) {
    auto page = std::make_unique<QtDialogPage>(*this, dialog, m_frame.get());
    setTitle(qtconvert::fromQt(qttexts::translated(page->layout().title)));
    m_frame->setFixedSize(page->widget().size());
    m_pages.push_back(std::move(page));
    m_pages.front()->init();
    return exec();
}

DialogResult QtDialogWindow::runSheet(const std::string& caption,
                                      const std::vector<platform::Dialog*>& pages) {
    setTitle(qtconvert::fromQt(qttexts::translated(caption)));
    auto* layout = new QVBoxLayout(m_frame.get());
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_tabs = new QTabWidget(m_frame.get());
    layout->addWidget(m_tabs);
    for (platform::Dialog* dialog : pages) {
        auto page = std::make_unique<QtDialogPage>(*this, *dialog, m_tabs);
        m_tabs->addTab(&page->widget(), qttexts::translated(page->layout().title));
        m_pages.push_back(std::move(page));
    }
    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, m_frame.get());
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)
        ->setText(qttexts::translated(PELORIN_TEXT("キャンセル")));
    QObject::connect(buttons, &QDialogButtonBox::accepted, m_frame.get(), [this] { applySheet(); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, m_frame.get(), [this] { cancel(); });
    layout->addWidget(buttons);
    // A page is initialised when it is first shown, as property sheets do.
    QObject::connect(m_tabs, &QTabWidget::currentChanged, m_frame.get(),
                     [this](int index) { showPage(index); });
    if (!m_pages.empty()) {
        showPage(0);
    }
    return exec();
}

void QtDialogWindow::end(DialogResult result) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_result = result;
    m_frame->finish();
}

QtDialogPage* QtDialogWindow::page(int index) const {
    return index >= 0 && index < static_cast<int>(m_pages.size()) ? m_pages[index].get() : nullptr;
}

QWidget& QtDialogWindow::frameWidget() const {
    return *m_frame;
}

QWidget& QtDialogWindow::clientWidget() const {
    return *m_frame;
}

void QtDialogWindow::setHandler(platform::MessageHandler*) {
    // Its messages belong to its dialogs.
}

void QtDialogWindow::destroy() {
    end(DialogResult::Cancel);
}

platform::Size QtDialogWindow::clientSize() const {
    return qtconvert::fromQt(m_frame->size());
}

void QtDialogWindow::resizeClient(platform::Size size) {
    m_frame->setFixedSize(qtconvert::toQt(size));
}

void QtDialogWindow::present(const platform::Rect&, const std::uint32_t*, std::ptrdiff_t) {}

void QtDialogWindow::setScrollInfo(platform::ScrollAxis, const platform::ScrollInfo&) {}

platform::ScrollInfo QtDialogWindow::scrollInfo(platform::ScrollAxis) const {
    return {};
}

void QtDialogWindow::showScrollBar(platform::ScrollAxis, bool) {}

bool QtDialogWindow::isScrollBarShown(platform::ScrollAxis) const {
    return false;
}

void QtDialogWindow::setMenuItemState(int, bool, bool) {}

void QtDialogWindow::handleMessage(platform::NativeWindow&, const platform::Message& message) {
    if (message.message != platform::WM_TIMER) {
        return;
    }
    for (const auto& page : m_pages) {
        if (page->isInitialised() && !m_ended) {
            page->dialog().onTimer(*page, message.id);
        }
    }
}

void QtDialogWindow::cancel() {
    if (m_tabs != nullptr) {
        end(DialogResult::Cancel);
    } else if (!m_pages.empty()) {
        m_pages.front()->command(platform::Dialog::kCancelId, DialogNotification::Clicked);
    }
}

void QtDialogWindow::enter() {
    if (m_tabs != nullptr) {
        applySheet();
    } else if (!m_pages.empty()) {
        m_pages.front()->command(platform::Dialog::kOkId, DialogNotification::Clicked);
    }
}

void QtDialogWindow::applySheet() {
    for (std::size_t i = 0; i < m_pages.size() && !m_ended; ++i) {
        QtDialogPage& page = *m_pages[i];
        if (page.isInitialised() && !page.dialog().onApply(page)) {
            m_tabs->setCurrentIndex(static_cast<int>(i));
            return;
        }
    }
    end(DialogResult::Ok);
}

void QtDialogWindow::showPage(int index) {
    if (index >= 0 && index < static_cast<int>(m_pages.size())) {
        m_pages[index]->init();
    }
}

DialogResult QtDialogWindow::exec() {
    // A dialog may end itself while initialising.
    if (!m_ended) {
        m_frame->exec();
    }
    m_frame->hide();
    return m_ended ? m_result : DialogResult::Cancel;
}
