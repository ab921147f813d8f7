#pragma once

#include <QMainWindow>
#include <QString>

namespace QMWidgets {

class CssDoc;

// A window for styling the running program by hand: the typed or loaded style
// sheet is applied to the whole application, and widgets can be labelled with
// their class and object name in their tool tips. Deleted when closed.
class CssEditor : public QMainWindow
{
    Q_OBJECT

public:
    explicit CssEditor(QWidget *parent = nullptr);

    CssDoc *document() const;

public slots:
    void slotApply();
    void slotAbout();
    void slotReset();
    void slotChangeWindowTitle(const QString &title);
    void slotApplyToolTipsInfo();

private:
    CssDoc *m_doc = nullptr;
};

} // namespace QMWidgets
