#pragma once

#include <QFrame>
#include <QPixmap>

class QLabel;
class QMovie;
class QPushButton;
class QScrollArea;

namespace QMWidgets {

// Shows one picture either fitted to the frame or at a zoom percentage,
// scrolling it where it is larger than the frame. Floats previous/next
// buttons, an info text and a loading indicator over the picture.
class ImageArea : public QFrame
{
    Q_OBJECT

public:
    // Zoom percentages outside this range are clamped to it.
    static constexpr int MinimumPercent = 1;
    static constexpr int MaximumPercent = 100;

    explicit ImageArea(QWidget *parent = nullptr);

    // Stores the unscaled picture, refreshes in the current mode and ends
    // the loading indicator.
    void setPixmap(const QPixmap &pixmap);
    // A copy of the unscaled picture.
    QPixmap pixmap() const;
    // A non-empty text is shown in the info label; an empty one hides it.
    void setInfo(const QString &text);
    void setNavigationHidden(bool hidden);

    bool isFitMode() const { return m_fit; }
    int percent() const { return m_percent; }

signals:
    void next();
    void previous();
    void infoChanged();

public slots:
    void slotZoom(int percent);
    void slotFitScreen();
    void slotHideInfo();
    void slotShowInfo();
    void slotNextClicked();
    void slotPreviousClicked();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void zoom(int percent);
    void fitToWindow();
    void refresh();

    QScrollArea *m_scrollArea;
    QLabel *m_previewLabel;
    int m_percent = 100;
    QPixmap m_source;
    bool m_fit = true;
    QPushButton *m_nextButton;
    QPushButton *m_previousButton;
    QLabel *m_infoLabel;
    QLabel *m_loadingLabel;
    QMovie *m_loadingMovie;
    bool m_navigationHidden = false;
};

} // namespace QMWidgets
