#include "httptestserver.h"
#include "idle.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace {
QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

const int ChunkSize = 1024;
}

QByteArray HttpTestServer::Request::header(const QByteArray &name) const
{
    for (const Header &h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return QByteArray();
}

HttpTestServer::HttpTestServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpTestServer::onNewConnection);
    m_server.listen(QHostAddress::LocalHost, 0);
}

HttpTestServer::~HttpTestServer()
{
    m_server.close();
    const auto sockets = m_connections.keys();
    m_connections.clear();
    for (QTcpSocket *s : sockets) {
        s->disconnect(this);
        s->abort();
        delete s;
    }
}

QUrl HttpTestServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path));
}

void HttpTestServer::setRoute(const QString &path, const Route &route)
{
    m_routes.insert(path, route);
}

void HttpTestServer::setRoute(const QString &path, int status, const QByteArray &body,
                              const QList<Header> &headers)
{
    Route r;
    r.status = status;
    r.body = body;
    r.headers = headers;
    setRoute(path, r);
}

void HttpTestServer::setNeverAnswer(const QString &path)
{
    Route r;
    r.neverAnswer = true;
    setRoute(path, r);
}

bool HttpTestServer::waitForRequests(int count, int timeoutMs)
{
    return Idle::waitUntil([&] { return m_requests.size() >= count; }, timeoutMs);
}

quint16 HttpTestServer::unusedPort()
{
    // Bind an ephemeral port and let it go again: nothing listens there afterwards.
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 1;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void HttpTestServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        m_connections.insert(socket, Connection());
        connect(socket, &QTcpSocket::readyRead, this, &HttpTestServer::onReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, &HttpTestServer::onDisconnected);
    }
}

void HttpTestServer::onReadyRead()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (!socket || !m_connections.contains(socket))
        return;
    m_connections[socket].buffer += socket->readAll();
    processBuffer(socket);
}

void HttpTestServer::onDisconnected()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (!socket)
        return;
    m_connections.remove(socket);
    socket->deleteLater();
}

HttpTestServer::Route HttpTestServer::routeFor(const QString &path) const
{
    auto it = m_routes.constFind(path);
    if (it != m_routes.constEnd())
        return *it;
    const int q = path.indexOf(QLatin1Char('?'));
    if (q >= 0) {
        it = m_routes.constFind(path.left(q));
        if (it != m_routes.constEnd())
            return *it;
    }
    Route notFound;
    notFound.status = 404;
    notFound.body = "not found";
    return notFound;
}

// Takes one complete request off the connection's buffer (if there is one and
// no earlier request is still being answered) and answers it.
void HttpTestServer::processBuffer(QTcpSocket *socket)
{
    Connection &conn = m_connections[socket];
    if (conn.busy)
        return;
    const int headerEnd = conn.buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;

    const QList<QByteArray> lines = conn.buffer.left(headerEnd).split('\n');
    Request request;
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.path = QString::fromLatin1(requestLine.value(1));
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const int colon = line.indexOf(':');
        if (colon > 0)
            request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    const int bodyLength = request.header("Content-Length").toInt();
    if (conn.buffer.size() < headerEnd + 4 + bodyLength)
        return; // the body is not complete yet
    request.body = conn.buffer.mid(headerEnd + 4, bodyLength);
    conn.buffer.remove(0, headerEnd + 4 + bodyLength);
    conn.busy = true;

    m_requests.append(request);
    emit requestReceived(request.path);

    const Route route = routeFor(request.path);
    if (route.neverAnswer)
        return; // stays busy: this connection gets no answer
    const bool head = request.method == "HEAD";
    if (route.delayMs > 0) {
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(route.delayMs, this, [this, guard, route, head] {
            if (guard && m_connections.contains(guard))
                answer(guard, route, head);
        });
    } else {
        answer(socket, route, head);
    }
}

void HttpTestServer::answer(QTcpSocket *socket, const Route &route, bool headRequest)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' '
                      + reasonPhrase(route.status) + "\r\n";
    switch (route.framing) {
    case Framing::ContentLength:
        head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
        break;
    case Framing::Chunked:
        head += "Transfer-Encoding: chunked\r\n";
        break;
    case Framing::CloseConnection:
        head += "Connection: close\r\n";
        break;
    }
    for (const Header &h : route.headers)
        head += h.first + ": " + h.second + "\r\n";
    head += "\r\n";
    socket->write(head);

    if (headRequest) {
        endAnswer(socket, route);
        return;
    }
    sendBody(socket, route, 0);
}

// Writes the body from offset on: all at once, or one piece now and the rest
// from a timer.
void HttpTestServer::sendBody(QTcpSocket *socket, const Route &route, int offset)
{
    const int size = route.body.size();
    const int end = route.pieceDelayMs > 0 ? qMin(size, offset + ChunkSize) : size;
    const bool chunked = route.framing == Framing::Chunked;
    for (int i = offset; i < end; i += ChunkSize) {
        const QByteArray piece = route.body.mid(i, qMin(ChunkSize, end - i));
        if (chunked)
            socket->write(QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n");
        else
            socket->write(piece);
    }
    if (end >= size) {
        endAnswer(socket, route);
        return;
    }
    socket->flush();
    QPointer<QTcpSocket> guard(socket);
    QTimer::singleShot(route.pieceDelayMs, this, [this, guard, route, end] {
        if (guard && m_connections.contains(guard))
            sendBody(guard, route, end);
    });
}

void HttpTestServer::endAnswer(QTcpSocket *socket, const Route &route)
{
    if (route.framing == Framing::Chunked)
        socket->write("0\r\n\r\n");
    if (route.framing == Framing::CloseConnection) {
        socket->disconnectFromHost(); // flushes first
        return;
    }
    m_connections[socket].busy = false;
    processBuffer(socket); // a pipelined request may be waiting
}
