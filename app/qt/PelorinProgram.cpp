#include "app/qt/PelorinProgram.h"

#include "app/core/Application.h"
#include "app/qt/QtHost.h"
#include "platform/InstanceLock.h"

int runPelorin(QtHost& host, platform::InstanceLock& lock, const SettingsLocation& settings,
               RecoveryOptions recovery) {
    switch (lock.acquire()) {
        case platform::InstanceLock::Result::Acquired:
            break;
        case platform::InstanceLock::Result::HeldElsewhere:
            host.messageBox(nullptr, "既に起動しています", "起動エラー",
                            platform::MessageButtons::Ok, platform::MessageIcon::Error);
            return 0;
        case platform::InstanceLock::Result::Failed:
            // Nothing is known of other copies then; the user is told why, and may work on
            // (refusing would let whoever spoiled the lock keep the editor from starting).
            host.messageBox(nullptr,
                            "二重起動を防ぐロックファイルを使えません。\n" + lock.error() +
                                "\n二重起動を確かめずに起動します。",
                            "起動エラー", platform::MessageButtons::Ok,
                            platform::MessageIcon::Warning);
            break;
    }
    Application application(host, settings, std::move(recovery));
    if (!application.start()) {
        return 0;
    }
    return application.run();
}
