#pragma once

#include <QLabel>
#include <QString>

namespace QMWebView {

class WebViewInQt;

// Holds the browser frame at its own full size and passes its signals on.
class NativeWebViewInternal : public QLabel
{
    Q_OBJECT
public:
    explicit NativeWebViewInternal(QWidget *parent = nullptr);

    void navigate(const QString &url);

signals:
    void loadStart(const QString &url, const QString &frame);
    void loadFinish(const QString &url, const QString &frame);
    void loadError();
    void urlChanged(const QString &url);

public slots:
    void slotLoadStart(const QString &url, const QString &frame);
    void slotLoadFinish(const QString &url, const QString &frame);
    void slotLoadError();
    void slotUrlChanged(const QString &url);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    WebViewInQt *m_frame; // child of this label
};

} // namespace QMWebView
