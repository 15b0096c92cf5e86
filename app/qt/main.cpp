// Pelorin: the tile map editor.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <string>
#include <vector>

#include "app/core/CommandLine.h"
#include "app/core/SettingsLocation.h"
#include "app/qt/PelorinProgram.h"
#include "app/qt/QtHost.h"
#include "platform/InstanceLock.h"
#include "platform/RecoveryFolder.h"

int main(int argc, char** argv) {
    // Before the window system, which needs a display: --help and --version do not.
    const CommandLine line = CommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
        case CommandLine::Action::Help:
            std::fputs(CommandLine::usage().c_str(), stdout);
            return 0;
        case CommandLine::Action::Version:
            std::fputs(CommandLine::version().c_str(), stdout);
            return 0;
        case CommandLine::Action::Refuse:
            std::fprintf(stderr, "pelorin: %s\n%s", line.error.c_str(),
                         CommandLine::usage().c_str());
            return 2;
        case CommandLine::Action::Run:
            break;
    }
    // A screen's scale factor is rounded to a whole number (1.25 to 1, 1.5 and 1.75 to 2), so
    // that every pixel of a chip is the same square of device pixels: at a fractional factor
    // some would be one device pixel wide and their neighbours two.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Pelorin");
    // Lets the desktop match the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(PELORIN_APP_ID);
    // The editor's texts are Japanese; English is a translation built into the program. Qt's own
    // dialogs (the colour chooser, the file chooser's buttons) follow: in Japanese from Qt's
    // translation files (without them they stay in English), in English as Qt has them.
    const QStringList locales = QLocale::system().uiLanguages();
    const std::string language = CommandLine::languageFor(
        line.language,
        (locales.isEmpty() ? QLocale::system().name() : locales.front()).toStdString());
    QTranslator editorTexts;
    QTranslator qtTexts;
    if (language == "en") {
        if (editorTexts.load(QStringLiteral(":/i18n/pelorin_en.qm"))) {
            QApplication::installTranslator(&editorTexts);
        }
    } else if (qtTexts.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }
    QtHost host;
    platform::InstanceLock lock("mapeditor");
    RecoveryOptions recovery;
    recovery.root = platform::RecoveryFolder::defaultRoot();
    return runPelorin(host, lock, SettingsLocation::forThisProcess(), std::move(recovery),
                      line.files);
}
