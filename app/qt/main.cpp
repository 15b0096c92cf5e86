// Pelorin: the tile map editor.
#include <QApplication>

#include "app/core/SettingsLocation.h"
#include "app/qt/PelorinProgram.h"
#include "app/qt/QtHost.h"
#include "platform/InstanceLock.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Pelorin");
    QtHost host;
    platform::InstanceLock lock("mapeditor");
    return runPelorin(host, lock, SettingsLocation::forThisProcess());
}
