#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QLabel;
class QPushButton;
class QTextBrowser;

namespace QMWidgets {

// The about window: an information page (logo area and a black strip with the
// program's name, version, build date, rights notice and the maker's address)
// and a legal-notices page showing the application's about text. A link to
// the licence file shows the licence in the same view; other links open in the
// desktop's browser or mail program.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

    // Registers a notice for the legal-notices page; "<!bundlepath!>" in it
    // becomes the resources folder. Each registered notice is appended to the
    // application's about text once, by the next dialog that is built.
    static void addLegalNotice(const QString &notice);
    // All notices registered so far.
    static QString legalNotices();

    // The maker's rights notice for the given year.
    static QString rightsNotice(int year);

    // true: the information page; false: the legal-notices page.
    void showLegalNotices(bool information);

public slots:
    void slotLegalNoticesClicked();
    void slotOkClicked();
    void slotAnchorClicked(const QUrl &url);

private:
    QLabel *m_logoLabel = nullptr;
    QTextBrowser *m_legalView = nullptr;
    QLabel *m_infoLabel = nullptr;
    QPushButton *m_legalButton = nullptr;
};

} // namespace QMWidgets
