// Pelorin: the tile map editor.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/core/SettingsLocation.h"
#include "app/qt/PelorinProgram.h"
#include "app/qt/QtHost.h"
#include "platform/InstanceLock.h"
#include "platform/RecoveryFolder.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Pelorin");
    // The editor speaks Japanese; so should Qt's own dialogs (the colour chooser, the file
    // chooser's buttons). Without the translation files they stay in English.
    QTranslator qtTexts;
    if (qtTexts.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }
    QtHost host;
    platform::InstanceLock lock("mapeditor");
    RecoveryOptions recovery;
    recovery.root = platform::RecoveryFolder::defaultRoot();
    return runPelorin(host, lock, SettingsLocation::forThisProcess(), std::move(recovery));
}
