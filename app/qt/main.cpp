// Pelorin: the tile map editor.
#include <QApplication>
#include <QGuiApplication>

#include "app/core/Application.h"
#include "app/core/SettingsLocation.h"
#include "app/qt/QtHost.h"
#include "platform/InstanceLock.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Pelorin");
    QtHost host;

    // One editor at a time: the second start says so and leaves the first alone.
    platform::InstanceLock lock("mapeditor");
    if (!lock.tryAcquire() && !lock.unavailable()) {
        host.messageBox(nullptr, "既に起動しています", "起動エラー", platform::MessageButtons::Ok,
                        platform::MessageIcon::Error);
        return 0;
    }

    Application application(host, SettingsLocation::forThisProcess());
    if (!application.start()) {
        return 0;
    }
    return application.run();
}
