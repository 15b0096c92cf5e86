#include "app/qt/QtInstanceChannel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <memory>

namespace {

const QByteArray kGreeting = "PELORIN 1\n";
constexpr int kMaxBytes = 256 * 1024;
constexpr int kMaxPath = 4096;
constexpr int kTimeoutMs = 5000;

// The paths of a whole request, or none while it is incomplete; ok false for one that is wrong.
std::vector<std::string> parse(const QByteArray& bytes, bool& complete, bool& ok) {
    complete = false;
    ok = true;
    std::vector<std::string> paths;
    if (!bytes.startsWith(kGreeting.left(std::min(bytes.size(), kGreeting.size())))) {
        ok = false;
        return paths;
    }
    const int end = bytes.indexOf("\n\n", kGreeting.size() - 1);
    if (end < 0) {
        return paths;
    }
    complete = true;
    const QList<QByteArray> lines =
        bytes.mid(kGreeting.size(), end - kGreeting.size() + 1).split('\n');
    for (const QByteArray& line : lines) {
        if (line.isEmpty()) {
            continue;
        }
        if (line.size() > kMaxPath || !line.startsWith('/') || line.contains('\0')) {
            ok = false;
            return {};
        }
        paths.push_back(line.toStdString());
    }
    ok = bytes.size() == end + 2;  // nothing may follow the request
    return paths;
}

// Opens when no modal dialog runs: a request that comes during one waits for its end.
void openWhenFree(QtInstanceServer::Open open, std::vector<std::string> paths) {
    if (QApplication::activeModalWidget() != nullptr) {
        QTimer::singleShot(200, [open = std::move(open), paths = std::move(paths)]() mutable {
            openWhenFree(std::move(open), std::move(paths));
        });
        return;
    }
    open(paths);
}

}  // namespace

QtInstanceServer::QtInstanceServer(const std::string& path, Open open)
    : m_server(new QLocalServer(this)), m_open(std::move(open)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = QString::fromStdString(path);
    QLocalServer::removeServer(name);
    if (m_server->listen(name)) {
        connect(m_server, &QLocalServer::newConnection, this, [this] { accept(); });
    }
}

QtInstanceServer::~QtInstanceServer() {
    m_server->close();
}

bool QtInstanceServer::isListening() const {
    return m_server->isListening();
}

void QtInstanceServer::accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // The request as it arrives; it goes with the socket's connections.
        auto buffer = std::make_shared<QByteArray>();
        auto* timer = new QTimer(socket);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, socket, [socket] { socket->abort(); });
        timer->start(kTimeoutMs);
        connect(socket, &QLocalSocket::disconnected, socket, [socket] { socket->deleteLater(); });
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            bool complete = false, ok = true;
            std::vector<std::string> paths = parse(*buffer, complete, ok);
            if (!ok || buffer->size() > kMaxBytes) {
                socket->abort();
                return;
            }
            if (complete) {
                socket->write("OK\n");
                socket->flush();
                socket->disconnectFromServer();
                openWhenFree(m_open, std::move(paths));
            }
        });
    }
}

bool handToRunningCopy(const std::string& path, const std::vector<std::string>& paths,
                       int timeoutMs) {
    QLocalSocket socket;
    QElapsedTimer clock;
    clock.start();
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    QByteArray request = kGreeting;
    for (const std::string& p : paths) {
        request += QByteArray::fromStdString(p) + '\n';
    }
    request += '\n';
    socket.write(request);
    if (!socket.waitForBytesWritten(std::max<int>(1, timeoutMs - clock.elapsed()))) {
        return false;
    }
    QByteArray answer;
    while (!answer.contains('\n')) {
        const int left = timeoutMs - static_cast<int>(clock.elapsed());
        if (left <= 0 || !socket.waitForReadyRead(left)) {
            return false;
        }
        answer += socket.readAll();
    }
    return answer.startsWith("OK\n");
}
