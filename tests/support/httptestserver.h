#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// A scripted HTTP/1.1 server on 127.0.0.1 with an ephemeral port, for tests.
// Routes are looked up by the request path with its query first, then by the
// path alone; a path without a route gets 404 "not found". Every request is
// recorded. The server lives on the test's thread, so a client that blocks in
// a nested event loop is still served.
class HttpTestServer : public QObject
{
    Q_OBJECT
public:
    using Header = QPair<QByteArray, QByteArray>;

    // How the body is framed: with a Content-Length header, chunked, or ended
    // by closing the connection (the last two announce no total length).
    enum class Framing { ContentLength, Chunked, CloseConnection };

    struct Route
    {
        int status = 200;
        QByteArray body;
        QList<Header> headers; // sent in addition to the framing headers
        int delayMs = 0;       // wait this long before answering
        bool neverAnswer = false;
        Framing framing = Framing::ContentLength;
        // When above 0, the body goes out in pieces of 1024 bytes with this
        // pause between them, so a client sees progress before the end.
        int pieceDelayMs = 0;
    };

    struct Request
    {
        QByteArray method;
        QString path; // path with query, as sent
        QList<Header> headers;
        QByteArray body;
        // The first header of that name, compared without case; empty if absent.
        QByteArray header(const QByteArray &name) const;
    };

    // Starts listening at once; isListening() tells whether that worked.
    explicit HttpTestServer(QObject *parent = nullptr);
    ~HttpTestServer() override;

    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    // "http://127.0.0.1:<port>" followed by path (which should start with "/").
    QUrl url(const QString &path) const;

    void setRoute(const QString &path, const Route &route);
    void setRoute(const QString &path, int status, const QByteArray &body,
                  const QList<Header> &headers = {});
    void setNeverAnswer(const QString &path);
    void clearRoutes() { m_routes.clear(); }

    QList<Request> requests() const { return m_requests; }
    int requestCount() const { return m_requests.size(); }
    Request lastRequest() const { return m_requests.isEmpty() ? Request() : m_requests.last(); }
    void clearRequests() { m_requests.clear(); }
    // Processes events until count requests have arrived; false on time-out.
    bool waitForRequests(int count, int timeoutMs = 5000);

    // Client connections that are still open.
    int openConnections() const { return m_connections.size(); }

    // A loopback port on which nothing listens (a connection there is refused).
    static quint16 unusedPort();

signals:
    void requestReceived(const QString &path);

private slots:
    void onNewConnection();
    void onReadyRead();
    void onDisconnected();

private:
    struct Connection
    {
        QByteArray buffer;
        bool busy = false; // a request is being answered (or never will be)
    };

    void processBuffer(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Route &route, bool headRequest);
    void sendBody(QTcpSocket *socket, const Route &route, int offset);
    void endAnswer(QTcpSocket *socket, const Route &route);
    Route routeFor(const QString &path) const;

    QTcpServer m_server;
    QHash<QString, Route> m_routes;
    QList<Request> m_requests;
    QHash<QTcpSocket *, Connection> m_connections;
};
