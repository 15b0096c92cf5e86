#include "app/qt/PelorinProgram.h"

#include <filesystem>
#include <memory>

#include "app/core/Application.h"
#include "app/qt/QtHost.h"
#include "app/qt/QtInstanceChannel.h"
#include "platform/InstanceLock.h"
#include "platform/Texts.h"

namespace {

// The socket of the running copy: beside its lock file.
std::string socketPath(const platform::InstanceLock& lock) {
    std::string path = lock.path();
    const std::string suffix = ".lock";
    if (path.size() > suffix.size() &&
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0) {
        path.resize(path.size() - suffix.size());
    }
    return path + ".sock";
}

std::vector<std::string> absolute(const std::vector<std::string>& files) {
    std::vector<std::string> paths;
    for (const std::string& file : files) {
        std::error_code ignored;
        paths.push_back(std::filesystem::absolute(file, ignored).lexically_normal().string());
    }
    return paths;
}

}  // namespace

int runPelorin(QtHost& host, platform::InstanceLock& lock, const SettingsLocation& settings,
               RecoveryOptions recovery, const std::vector<std::string>& files) {
    std::unique_ptr<QtInstanceServer> server;
    Application* running = nullptr;
    switch (lock.acquire()) {
        case platform::InstanceLock::Result::Acquired:
            server = std::make_unique<QtInstanceServer>(
                socketPath(lock), [&running](const std::vector<std::string>& paths) {
                    if (running != nullptr) {
                        running->openFilesInFront(paths);
                    }
                });
            break;
        case platform::InstanceLock::Result::HeldElsewhere:
            // Files go to the copy that runs; without files, or when it does not answer, the
            // second start only says that one runs.
            if (!files.empty() && handToRunningCopy(socketPath(lock), absolute(files))) {
                return 0;
            }
            host.messageBox(nullptr, PELORIN_TEXT("既に起動しています"), PELORIN_TEXT("起動エラー"),
                            platform::MessageButtons::Ok, platform::MessageIcon::Error);
            return 0;
        case platform::InstanceLock::Result::Failed:
            // Nothing is known of other copies then; the user is told why, and may work on
            // (refusing would let whoever spoiled the lock keep the editor from starting).
            host.messageBox(
                nullptr,
                host.formatText(PELORIN_TEXT("二重起動を防ぐロックファイルを使えません。\n%s\n"
                                             "二重起動を確かめずに起動します。"),
                                lock.error().c_str()),
                PELORIN_TEXT("起動エラー"), platform::MessageButtons::Ok,
                platform::MessageIcon::Warning);
            break;
    }
    Application application(host, settings, std::move(recovery));
    if (!application.start(files)) {
        return 0;
    }
    running = &application;
    const int code = application.run();
    running = nullptr;
    return code;
}
