#include "browsercontrol.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>

namespace QMWebView {

BrowserControl::BrowserControl(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this)) // default cookie jar: memory only, no cache
{
}

BrowserControl::~BrowserControl()
{
    stop();
}

bool BrowserControl::isNoOpAddress(const QString &url)
{
    if (url.trimmed().isEmpty())
        return true;
    QString host = pageUrl(url).host().toLower();
    if (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    return host == QLatin1String("invalid") || host.endsWith(QLatin1String(".invalid"));
}

QUrl BrowserControl::pageUrl(const QString &text)
{
    const QString trimmed = text.trimmed();
    const QUrl url(trimmed, QUrl::TolerantMode);
    if (trimmed.contains(QLatin1String("://")))
        return url;
    // "mailto:", "about:" and the like name another protocol; "host:port/..."
    // and texts without a scheme are http addresses.
    static const QRegularExpression hostAndPort(QStringLiteral("^[^:/]+:\\d"));
    if (!url.scheme().isEmpty() && !hostAndPort.match(trimmed).hasMatch())
        return url;
    return QUrl(QStringLiteral("http://") + trimmed, QUrl::TolerantMode);
}

void BrowserControl::navigate(const QString &url)
{
    if (isNoOpAddress(url))
        return;
    stop();
    const QUrl target = pageUrl(url);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || target.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        QTimer::singleShot(0, this, [this, url] { emit navigateError(url); });
        return;
    }

    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    m_reply = m_manager->get(request);
    // The page is not shown, so its bytes are dropped as they come.
    QNetworkReply *reply = m_reply;
    connect(reply, &QNetworkReply::readyRead, reply, [reply] { reply->skip(reply->bytesAvailable()); });
    connect(m_reply, &QNetworkReply::finished, this, &BrowserControl::onFinished);
}

void BrowserControl::stop()
{
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void BrowserControl::onFinished()
{
    QNetworkReply *reply = m_reply;
    if (!reply || reply != sender())
        return;
    m_reply = nullptr;
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        emit navigateError(reply->request().url().toString());
        return;
    }
    m_location = reply->url().toString();
    emit locationChanged(m_location);
    emit documentComplete(m_location, QString());
}

} // namespace QMWebView
