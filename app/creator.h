#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

class QLabel;
class CreatorDropArea;
class CreatorEffects;

// The left column: the "Original" caption, the drop area and the effects form.
// Loads each file the drop area reports and passes the form's pixmap, format
// string and real-preview requests on. textsComing comes as soon as a value,
// the format or the picture starts to change (a file dropped or opened is
// still being read, a value is still being processed), textsSettled once the
// last pixmap sent is the one for what the user set last, or the file was
// refused and the picture stays.
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
    void textsComing();
    void textsSettled();

public slots:
    void slotDropped(bool);

private slots:
    void slotFormRealPreview();
    void slotRefused();

private:
    CreatorDropArea *dropArea;
    CreatorEffects *effects;
    QLabel *caption;
};
