#pragma once
// A one-thread HTTP server on 127.0.0.1 for the tests that make a real request (the
// update check), with a port of its own. It answers every request with one fixed
// response, or (Never_Answer) reads the request and keeps the connection open
// without a word until it is destroyed, or (Endless_Chunked) answers 200 with a
// chunked body that never ends, until the client hangs up.

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <atomic>
#include <thread>

namespace test {

// "HTTP/1.1 <status> ..." with the body and Connection: close.
QByteArray Http_Response(int intStatus, const QByteArray& body);

class Loopback_Server {
public:
    enum class Mode { Answer, Never_Answer, Endless_Chunked };

    explicit Loopback_Server(QByteArray response, Mode mode = Mode::Answer);
    ~Loopback_Server();
    Loopback_Server(const Loopback_Server&) = delete;
    Loopback_Server& operator=(const Loopback_Server&) = delete;

    QString Url(const QString& strPath) const;
    // The request lines received so far ("GET /x?y HTTP/1.1").
    QList<QByteArray> Request_Lines();
    // Body bytes sent in endless replies so far.
    qint64 Bytes_Sent() const { return m_lngBytesSent; }

private:
    bool Wait_Readable(int fd);
    void Serve();

    QByteArray m_response;
    Mode m_mode;
    int m_fd = -1;
    int m_intPort = 0;
    std::atomic<bool> m_blnStop{false};
    std::atomic<qint64> m_lngBytesSent{0};
    QMutex m_mutex;
    QList<QByteArray> m_requestLines;
    std::thread m_thread;
};

// A loopback port where nobody listens.
int Closed_Port();

}  // namespace test
