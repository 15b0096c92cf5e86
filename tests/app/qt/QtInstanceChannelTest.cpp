// A second start hands its files to the running copy; stale, silent and hostile sockets never
// hold a start up or upset the copy that runs.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QLocalSocket>
#include <future>

#include "app/qt/QtInstanceChannel.h"
#include "tests/app/qt/QtTestSupport.h"
#include "tests/support/TempDir.h"

using qt_testing::waitUntil;

namespace {

// The second start in a thread of its own, while this one runs the running copy's events.
bool handOver(const std::string& path, const std::vector<std::string>& paths, int timeoutMs) {
    auto result =
        std::async(std::launch::async, [&] { return handToRunningCopy(path, paths, timeoutMs); });
    waitUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
              timeoutMs + 2000);
    return result.get();
}

// A socket of the file system that listens (and never answers) or that nobody listens on.
int rawSocket(const std::string& path, bool listening) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (listening) {
        ::listen(fd, 4);
        return fd;
    }
    ::close(fd);  // the file stays: a socket whose copy is gone
    return -1;
}

}  // namespace

TEST(QtInstanceChannel, FilesReachTheRunningCopyAndNothingElseDoes) {
    testing_support::TempDir dir;
    const std::string path = dir.file("mapeditor.sock");
    rawSocket(path, false);  // left by a copy that was killed: replaced
    std::vector<std::vector<std::string>> opened;
    QtInstanceServer server(path, [&](const std::vector<std::string>& p) { opened.push_back(p); });
    ASSERT_TRUE(server.isListening());

    EXPECT_TRUE(handOver(path, {"/maps/a.map", "/maps/b c.knd"}, 3000));
    ASSERT_TRUE(waitUntil([&] { return !opened.empty(); }));
    EXPECT_EQ(opened[0], (std::vector<std::string>{"/maps/a.map", "/maps/b c.knd"}));

    // Whatever is not a request is dropped, and the copy goes on taking requests.
    const QByteArray hostile[] = {
        "GET / HTTP/1.0\r\n\r\n",     "PELORIN 1\nrelative/path\n\n",
        "PELORIN 1\n/a.map\n\nextra", "PELORIN 1\n" + QByteArray(300 * 1024, 'x'),
        "PELORIN 1\n/never/ends",
    };
    for (const QByteArray& bytes : hostile) {
        QLocalSocket socket;
        socket.connectToServer(QString::fromStdString(path));
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(bytes);
        socket.waitForBytesWritten(1000);
        waitUntil([] { return false; }, 100);
    }
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_TRUE(handOver(path, {"/maps/c.map"}, 3000));
    ASSERT_TRUE(waitUntil([&] { return opened.size() == 2; }));
    EXPECT_EQ(opened[1], (std::vector<std::string>{"/maps/c.map"}));
}

TEST(QtInstanceChannel, ASecondStartGivesUpOnStaleOrSilentSockets) {
    testing_support::TempDir dir;
    rawSocket(dir.file("stale.sock"), false);
    testing_support::writeText(dir.file("plain.sock"), "not a socket");
    const int silent = rawSocket(dir.file("silent.sock"), true);
    for (const char* name : {"stale.sock", "plain.sock", "missing.sock", "silent.sock"}) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(handOver(dir.file(name), {"/a.map"}, 500)) << name;
        EXPECT_LT(clock.elapsed(), 2000) << name;
    }
    ::close(silent);
}
