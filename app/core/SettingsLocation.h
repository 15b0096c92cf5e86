#pragma once

#include <string>

// Where the settings file "Pelorin.ini" is read from and written to. It lives beside the
// executable; for an installed program (its data in ../share/pelorin) or when that folder cannot
// be written, the user's own configuration folder takes its place, and is read from too once it
// holds a file.
struct SettingsLocation {
    std::string readPath;
    std::string writePath;
    // The chip sheet a first start shows when the settings name none (empty: none).
    std::string sampleChips;

    // moduleDirectory ends with "/". configHome is $XDG_CONFIG_HOME, or empty to use
    // home + "/.config".
    static SettingsLocation find(const std::string& moduleDirectory, const std::string& configHome,
                                 const std::string& home);
    // From this process's executable folder and environment.
    static SettingsLocation forThisProcess();

    // The sample chip sheet for a first start: <prefix>/share/pelorin/chips.png of an installed
    // program in <prefix>/bin/, else res/chips.png of the checkout whose <build>/app/qt/ holds
    // the program. An absolute path without "..", or empty when neither is there.
    static std::string sampleChipSheet(const std::string& moduleDirectory);

    // Makes the folder of writePath when it is missing; false when it cannot.
    bool prepareWrite() const;
};
