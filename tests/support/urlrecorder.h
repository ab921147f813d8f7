#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Takes the place of the desktop's URL handlers in tests: every URL the code
// opens through QDesktopServices::openUrl is recorded instead of started.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    static UrlRecorder *instance();

    // Registers for http, https, mailto, file, ms-windows-store and for text without a scheme.
    void install();
    void clear() { m_urls.clear(); }
    QList<QUrl> urls() const { return m_urls; }
    QUrl last() const { return m_urls.isEmpty() ? QUrl() : m_urls.last(); }
    // What the next openUrl call answers (true by default).
    void setResult(bool result) { m_result = result; }

public slots:
    bool openUrl(const QUrl &url);

signals:
    void opened(const QUrl &url);

private:
    QList<QUrl> m_urls;
    bool m_result = true;
};
