#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QObject>

class QLocalServer;

// How a second start of the editor hands its files to the one that runs: a local socket beside
// the instance lock, in a folder of this user's alone, and reachable by this user only. The
// second start writes "PELORIN 1", one absolute path a line and an empty line; the running one
// answers "OK" and opens them. Anything else that comes (another program, too much, too slow) is
// dropped without a word, and a second start that gets no answer in time gives up.
class QtInstanceServer : public QObject {
public:
    using Open = std::function<void(const std::vector<std::string>& paths)>;

    // Listens at path, replacing a socket that nobody listens on any more (the caller holds
    // the instance lock, so no other copy can).
    QtInstanceServer(const std::string& path, Open open);
    ~QtInstanceServer() override;
    bool isListening() const;

private:
    void accept();

    QLocalServer* m_server;
    Open m_open;
};

// The second start's side: hands paths (absolute) to the copy listening at path. False when
// nothing answers as the editor does within timeoutMs.
bool handToRunningCopy(const std::string& path, const std::vector<std::string>& paths,
                       int timeoutMs = 3000);
