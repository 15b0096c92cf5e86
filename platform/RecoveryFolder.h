#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Outcome.h"

namespace platform {

// One running editor's folder of recovery data, under a root shared by all of them
// ($XDG_STATE_HOME/pelorin/recovery). The editor holds an advisory lock on the file "lock" in it
// for as long as it runs: the lock belongs to the open file, not to a process id, so it goes
// when the process ends however it ends, and a later process that happens to get the same id
// can never seem to hold it. A folder whose lock can be taken belongs to an editor that is gone.
//
// Folders are made under a hidden name and renamed into place once locked, so nobody sees one
// that is not yet locked. Folder names begin with the time they were made, so they sort oldest
// first.
class RecoveryFolder {
public:
    ~RecoveryFolder();
    RecoveryFolder(const RecoveryFolder&) = delete;
    RecoveryFolder& operator=(const RecoveryFolder&) = delete;

    // $XDG_STATE_HOME/pelorin/recovery when XDG_STATE_HOME is an absolute path, else
    // $HOME/.local/state/pelorin/recovery.
    static std::string defaultRoot();

    // Makes root (missing folders 0700) and a new folder of this process in it, locked. Null,
    // with one notice saying why, when it cannot.
    static Outcome<std::unique_ptr<RecoveryFolder>> create(const std::string& root);
    // Locks the folder at path for this process: null when a running editor holds it (the
    // notice "running") or it is not a private folder of this user's.
    static Outcome<std::unique_ptr<RecoveryFolder>> take(const std::string& path);

    struct Entry {
        std::string path;
        std::string name;
        bool running = false;  // its lock is held (by this process too)
    };
    // The recovery folders under root, oldest first.
    static std::vector<Entry> list(const std::string& root);

    const std::string& path() const { return m_path; }
    std::string name() const;
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    // The names in it, sorted, without the lock and the hidden ones (files being written).
    std::vector<std::string> files() const { return filesIn(m_path); }
    // The same of any folder at path, read without taking it, so a running editor's too.
    static std::vector<std::string> filesIn(const std::string& path);
    // Removes a file of it; false when it is there and stays.
    bool removeFile(const std::string& name) const;
    // Removes its files (and links, never what they point to), then the lock and the folder.
    // False when something stays, such as a folder inside it.
    bool remove();

private:
    RecoveryFolder(std::string path, int lockFd) : m_path(std::move(path)), m_lockFd(lockFd) {}

    std::string m_path;
    int m_lockFd = -1;
};

}  // namespace platform
