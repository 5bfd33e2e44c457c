#include "app/os/SingleCopy.h"

#include "gui/os/UIThread.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace s::app::os {

namespace {

constexpr int answerWaitMs = 3000;
constexpr char forwardWord[] = "forward ";

// The folder for per-user sockets: the runtime folder the session gives us, else a private
// one in /tmp that we own.
std::string runtimeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/')
        return runtime;
    std::string folder = "/tmp/fetchwick-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return {};
    return folder;
}

std::string fnv1a(const std::string& text)
{
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

// An exclusive lock on a file beside the socket, held for the lifetime of the object.
class LockFile {
public:
    explicit LockFile(const std::string& path)
    {
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd < 0)
            return;
        int rc;
        do {
            rc = ::flock(m_fd, LOCK_EX);
        } while (rc != 0 && errno == EINTR);
        m_locked = rc == 0;
    }
    ~LockFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool locked() const { return m_locked; }

private:
    int m_fd { -1 };
    bool m_locked { false };
};

// Asks the copy behind the socket to come forward; true when it answered.
bool askToComeForward(const std::string& path, const std::string& token)
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(answerWaitMs))
        return false;
    std::string message = forwardWord + token + "\n";
    socket.write(message.data(), qint64(message.size()));
    if (!socket.waitForBytesWritten(answerWaitMs))
        return false;
    // A copy that took the connection is running, whether or not its answer arrives in time.
    socket.waitForReadyRead(answerWaitMs);
    socket.disconnectFromServer();
    return true;
}

}

SingleCopy::SingleCopy() = default;

SingleCopy::~SingleCopy()
{
    if (!m_server)
        return;
    QLocalServer* server = m_server;
    m_server = nullptr;
    gui::os::onUiThread([server] {
        server->close();
        delete server;
    });
}

std::string SingleCopy::socketPath(const std::string& executablePath)
{
    std::string folder = runtimeFolder();
    if (folder.empty())
        return {};
    return folder + "/fetchwick-" + fnv1a(executablePath) + ".socket";
}

std::string SingleCopy::activationToken()
{
    for (const char* name : { "XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID" }) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return {};
}

SingleCopy::Outcome SingleCopy::claim(const std::string& executablePath, const std::string& activationToken,
    std::function<void(const std::string& token)> onForward)
{
    std::string path = socketPath(executablePath);
    if (path.empty())
        return Outcome::Alone;
    m_onForward = std::move(onForward);

    // Step 1: under the lock, a copy that answers is asked to come forward.
    LockFile lock(path + ".lock");
    if (!lock.locked())
        return Outcome::Alone;
    if (askToComeForward(path, activationToken))
        return Outcome::Forwarded;

    // Step 2: nobody answered, so a socket file there is a crashed copy's; ours replaces it.
    return listen(path) ? Outcome::First : Outcome::Alone;
}

bool SingleCopy::listen(const std::string& path)
{
    return gui::os::onUiThread([this, path] {
        QLocalServer::removeServer(QString::fromStdString(path));
        auto* server = new QLocalServer();
        server->setSocketOptions(QLocalServer::UserAccessOption);
        if (!server->listen(QString::fromStdString(path))) {
            delete server;
            return false;
        }
        QObject::connect(server, &QLocalServer::newConnection, server, [this, server] {
            while (QLocalSocket* client = server->nextPendingConnection()) {
                QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
                QObject::connect(client, &QLocalSocket::readyRead, client, [this, client] {
                    if (!client->canReadLine()) {
                        // A peer that never ends its line is cut off before it can fill memory.
                        if (client->bytesAvailable() > 4096)
                            client->abort();
                        return;
                    }
                    QByteArray line = client->readLine(4096).trimmed();
                    if (!line.startsWith(QByteArray(forwardWord).trimmed()))
                        return;
                    std::string token = line.mid(int(sizeof forwardWord) - 1).toStdString();
                    client->write("ok\n");
                    client->flush();
                    if (m_onForward)
                        m_onForward(token);
                });
            }
        });
        m_server = server;
        return true;
    });
}

}
