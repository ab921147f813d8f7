#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

class QLabel;
class CreatorDropArea;
class CreatorEffects;

// The left column: the "Original" caption, the drop area and the effects form.
// Loads each file the drop area reports and passes the form's pixmap, format
// string and real-preview requests on.
class Creator : public QWidget
{
    Q_OBJECT
public:
    explicit Creator(QWidget *parent = nullptr);
    ~Creator() override;

signals:
    void pixmapChanged(const QPixmap &pixmap);
    void formatChanged(const QString &format);
    void realPreview();
    void valuesHeld();

public slots:
    void slotDropped(bool);

private:
    CreatorDropArea *dropArea;
    CreatorEffects *effects;
    QLabel *caption;
};
