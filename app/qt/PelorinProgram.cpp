#include "app/qt/PelorinProgram.h"

#include "app/core/Application.h"
#include "app/qt/QtHost.h"
#include "platform/InstanceLock.h"

int runPelorin(QtHost& host, platform::InstanceLock& lock, const SettingsLocation& settings) {
    // A lock file that cannot be made at all promises nothing either way; starting is better
    // than refusing then.
    if (!lock.tryAcquire() && !lock.unavailable()) {
        host.messageBox(nullptr, "既に起動しています", "起動エラー", platform::MessageButtons::Ok,
                        platform::MessageIcon::Error);
        return 0;
    }
    Application application(host, settings);
    if (!application.start()) {
        return 0;
    }
    return application.run();
}
