#pragma once

#include <string>
#include <vector>

#include "app/core/RecoveryKeeper.h"
#include "app/core/SettingsLocation.h"

class QtHost;

namespace platform {
class InstanceLock;
}

// The editor's program on a host: refuses to run beside another copy (lock held elsewhere;
// a lock that cannot be used is reported, and the editor starts), then starts the editor and
// runs it until its map window closes. Returns the exit code. recovery: where the unsaved work
// is kept (by default nowhere).
// files: opened at the start, or handed to the copy that runs.
int runPelorin(QtHost& host, platform::InstanceLock& lock, const SettingsLocation& settings,
               RecoveryOptions recovery = {}, const std::vector<std::string>& files = {});
