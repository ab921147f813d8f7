#include "urlrecorder.h"

#include <QDesktopServices>

UrlRecorder *UrlRecorder::instance()
{
    static UrlRecorder recorder;
    return &recorder;
}

void UrlRecorder::install()
{
    const char *schemes[] = {"http", "https", "mailto", "file", "ms-windows-store", ""};
    for (const char *scheme : schemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "openUrl");
}

bool UrlRecorder::openUrl(const QUrl &url)
{
    m_urls.append(url);
    emit opened(url);
    return m_result;
}
