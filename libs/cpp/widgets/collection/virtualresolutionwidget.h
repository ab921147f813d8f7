#pragma once

#include <QSize>
#include <QWidget>

class QGraphicsProxyWidget;
class QGraphicsScene;
class QGraphicsView;

namespace QMWidgets {

// A graphics view showing one widget at a fixed (virtual) size, stretched to
// fill the view whatever the window's size.
class VirtualResolutionWidget : public QWidget
{
    Q_OBJECT

public:
    explicit VirtualResolutionWidget(QWidget *parent = nullptr);

    // Puts the widget into the scene; the scene's proxy takes ownership of it.
    void setWidget(QWidget *widget);

    // The process-wide view window, created without parent on first use.
    static VirtualResolutionWidget *instance();

    QGraphicsView *view() const { return m_view; }
    QSize virtualSize() const { return m_virtualSize; }

public slots:
    void slotSetWidth(int width);
    void slotSetHeight(int height);
    void slotSetSize(QSize size);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void applySize();
    void fitView();

    QGraphicsScene *m_scene;
    QGraphicsView *m_view;
    QGraphicsProxyWidget *m_proxy = nullptr;
    QSize m_virtualSize;
};

} // namespace QMWidgets
