#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace test {

QByteArray Http_Response(int intStatus, const QByteArray& body) {
    return "HTTP/1.1 " + QByteArray::number(intStatus) + " Status\r\nContent-Type: text/plain; charset=utf-8\r\n" +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

Loopback_Server::Loopback_Server(QByteArray response, Mode mode) : m_response(std::move(response)), m_mode(mode) {
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(m_fd, 8) != 0 ||
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        ADD_FAILURE() << "loopback server could not listen";
    m_intPort = ntohs(addr.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

Loopback_Server::~Loopback_Server() {
    m_blnStop = true;
    m_thread.join();
    ::close(m_fd);
}

QString Loopback_Server::Url(const QString& strPath) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_intPort).arg(strPath);
}

QList<QByteArray> Loopback_Server::Request_Lines() {
    QMutexLocker lock(&m_mutex);
    return m_requestLines;
}

bool Loopback_Server::Wait_Readable(int fd) {
    while (!m_blnStop) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0) return true;
    }
    return false;
}

void Loopback_Server::Serve() {
    while (Wait_Readable(m_fd)) {
        const int intClient = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (intClient < 0) continue;
        QByteArray request;
        char chunk[4096];
        while (!request.contains("\r\n\r\n") && Wait_Readable(intClient)) {
            const ssize_t n = ::recv(intClient, chunk, sizeof chunk, 0);
            if (n <= 0) break;
            request.append(chunk, n);
        }
        {
            QMutexLocker lock(&m_mutex);
            m_requestLines << request.left(request.indexOf("\r\n"));
        }
        if (m_mode == Mode::Answer) {
            ::send(intClient, m_response.constData(), m_response.size(), MSG_NOSIGNAL);
        } else if (m_mode == Mode::Endless_Chunked) {
            const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nTransfer-Encoding: chunked\r\n\r\n";
            const QByteArray chunkOut = "1000\r\n" + QByteArray(0x1000, '9') + "\r\n";
            bool blnOpen = ::send(intClient, head.constData(), head.size(), MSG_NOSIGNAL) == head.size();
            while (blnOpen && !m_blnStop) {
                pollfd p{intClient, POLLOUT, 0};
                if (::poll(&p, 1, 20) <= 0) continue;
                blnOpen = ::send(intClient, chunkOut.constData(), chunkOut.size(), MSG_NOSIGNAL) > 0;
                if (blnOpen) m_lngBytesSent += 0x1000;
            }
        } else
            while (Wait_Readable(intClient) && ::recv(intClient, chunk, sizeof chunk, 0) > 0) {
            }
        ::close(intClient);
    }
}

int Closed_Port() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

}  // namespace test
