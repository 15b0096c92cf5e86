#include "app/qt/QtNativeWindow.h"

#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <QWindow>

#include "app/qt/QtClientArea.h"
#include "app/qt/QtConvert.h"
#include "app/qt/QtFrameWidget.h"
#include "app/qt/QtMenus.h"
#include "app/qt/QtTexts.h"

using platform::Message;

namespace {

Qt::WindowFlags flagsFor(const platform::WindowSpec& spec) {
    Qt::WindowFlags flags = spec.toolWindow ? Qt::Tool : Qt::Window;
    flags |= Qt::CustomizeWindowHint;
    if (spec.caption) {
        flags |= Qt::WindowTitleHint;
    } else {
        flags |= Qt::FramelessWindowHint;
    }
    if (spec.closeBox) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if (spec.minimiseBox) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    return flags;
}

}  // namespace

QtNativeWindow::QtNativeWindow(QtHost* host, const platform::WindowSpec& spec, QWidget* owner)
    : QtWindow(host),
      m_resizable(spec.resizable),
      m_frame(std::make_unique<QtFrameWidget>(*this, flagsFor(spec))) {
    m_frame->setObjectName(qtconvert::toQt(spec.className));
    auto* layout = new QVBoxLayout(m_frame.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // A fixed window is exactly as large as its contents; a resizable one only starts so.
    layout->setSizeConstraint(m_resizable ? QLayout::SetDefaultConstraint : QLayout::SetFixedSize);
    if (!spec.menuBar.empty()) {
        m_menuBar = new QMenuBar(m_frame.get());
        setMenuBar(spec.menuBar);
        QObject::connect(m_menuBar, &QMenuBar::triggered, m_frame.get(), [this](QAction* action) {
            if (const int id = qtmenus::commandId(action)) {
                deliver(Message::command(id));
            }
        });
        layout->setMenuBar(m_menuBar);
    }
    m_client = new QtClientArea(*this, m_resizable, m_frame.get());
    layout->addWidget(m_client);
    m_frame->setFocusProxy(m_client);
    m_client->setClientSize(spec.clientSize);
    setTitle(spec.title);
    if (spec.position) {
        m_frame->move(qtconvert::toQt(*spec.position));
    }
    if (m_resizable) {
        layout->activate();
        m_frame->resize(m_frame->sizeHint());
    }
    if (owner != nullptr) {
        // An owner without Qt ownership: the window stays above it, and each side is deleted
        // by its own holder.
        m_frame->winId();
        owner->winId();
        m_frame->windowHandle()->setTransientParent(owner->windowHandle());
    }
}

QtNativeWindow::~QtNativeWindow() = default;

QWidget& QtNativeWindow::frameWidget() const {
    return *m_frame;
}

QWidget& QtNativeWindow::clientWidget() const {
    return *m_client->viewport();
}

platform::Size QtNativeWindow::clientSize() const {
    return m_client->clientSize();
}

void QtNativeWindow::resizeClient(platform::Size size) {
    m_client->setClientSize(size);
    clientHintChanged();
}

void QtNativeWindow::present(const platform::Rect& rect, const std::uint32_t* pixels,
                             std::ptrdiff_t pitch) {
    m_client->present(rect, pixels, pitch);
}

void QtNativeWindow::setScrollInfo(platform::ScrollAxis axis, const platform::ScrollInfo& info) {
    m_client->setScrollInfo(axis, info);
}

platform::ScrollInfo QtNativeWindow::scrollInfo(platform::ScrollAxis axis) const {
    return m_client->scrollInfo(axis);
}

void QtNativeWindow::showScrollBar(platform::ScrollAxis axis, bool shown) {
    m_client->showScrollBar(axis, shown);
}

bool QtNativeWindow::isScrollBarShown(platform::ScrollAxis axis) const {
    return m_client->isScrollBarShown(axis);
}

void QtNativeWindow::setMenuBarVisible(bool visible) {
    if (m_menuBar != nullptr) {
        m_menuBar->setVisible(visible);
    }
}

void QtNativeWindow::setMenuBar(const platform::Menu& items) {
    if (m_menuBar == nullptr) {
        return;
    }
    m_menuBar->clear();  // deletes the menus and their actions
    m_menuActions.clear();
    for (const platform::MenuItem& item : items) {
        if (item.kind != platform::MenuItem::Kind::Submenu) {
            continue;  // a menu bar holds menus
        }
        QMenu* menu = m_menuBar->addMenu(qttexts::translated(item.text));
        qtmenus::fillMenu(*menu, item.items, &m_menuActions);
        QObject::connect(menu, &QMenu::aboutToShow, m_frame.get(),
                         [this] { deliver(Message::plain(platform::WM_INITMENU)); });
    }
}

void QtNativeWindow::setMenuItemState(int commandId, bool enabled, bool checked) {
    auto range = m_menuActions.equal_range(commandId);
    for (auto it = range.first; it != range.second; ++it) {
        qtmenus::setActionState(*it->second, enabled, checked);
    }
}

void QtNativeWindow::frameClosing() {
    if (!isDestroyed()) {
        deliver(Message::plain(platform::WM_CLOSE));
    }
}

void QtNativeWindow::frameMoved() {
    // Qt reports some moves twice (from the widget and from the window system).
    const platform::Point origin = qtconvert::fromQt(clientWidget().mapToGlobal(QPoint(0, 0)));
    if (origin == m_lastClientOrigin || isDestroyed()) {
        return;
    }
    m_lastClientOrigin = origin;
    deliver(Message::move(origin.x, origin.y));
}

void QtNativeWindow::frameActivationChanged(bool active) {
    if (!isDestroyed()) {
        deliver(Message::activate(active ? platform::WA_ACTIVE : platform::WA_INACTIVE,
                                  m_frame->isMinimized()));
    }
}

void QtNativeWindow::frameStateChanged(bool wasMinimised, bool minimised) {
    if (isDestroyed() || wasMinimised == minimised) {
        return;
    }
    const platform::Size size = clientSize();
    deliver(minimised ? Message::size(platform::SIZE_MINIMIZED, 0, 0)
                      : Message::size(platform::SIZE_RESTORED, size.width, size.height));
}

void QtNativeWindow::clientHintChanged() {
    // A fixed frame follows its layout by itself; a resizable one is told.
    if (m_resizable) {
        m_frame->layout()->activate();
        m_frame->resize(m_frame->sizeHint());
    } else {
        m_frame->layout()->activate();
    }
}
