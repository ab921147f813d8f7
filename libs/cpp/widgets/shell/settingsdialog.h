#pragma once

#include <QDialog>
#include <QDomElement>
#include <QStringList>

class QTabWidget;

namespace QMWidgets {

// The shell's preferences dialog: one tab per page registered with
// registerWidget(), built when the dialog is first shown. Ok and Apply let
// every page (a SettingsWidget) apply its values; two icon buttons save all
// pages into a ".tssettings" XML file (root "Settings", one element per page)
// and load such a file back.
//
// Pages are not owned by the registry. A dialog shows them as children of its
// tab widget and hands them back (parentless, hidden) when it is destroyed, so
// they stay usable for later dialogs; whoever registered a page deletes it.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SettingsDialog(QWidget *parent = nullptr);
    ~SettingsDialog() override;

    // Registers a page under a name. A name registered again gets the new page
    // and keeps its first place in the tab order.
    static void registerWidget(const QString &name, QWidget *page);
    // Removes the page registered under the name (the page is not deleted).
    static void unregisterWidget(const QString &name);
    // Registry names in registration order.
    static QStringList registeredNames();

    // Hands every child element of the root to the pages whose name() equals
    // its tag name; other elements are ignored.
    static void loadFromElement(const QDomElement &root);

    // The name a settings file chosen as fileName is written under:
    // ".tssettings" appended unless the name already ends in it.
    static QString fileNameToWrite(const QString &fileName);
    // Writes the state of all pages to fileNameToWrite(fileName). The file is
    // replaced only after the whole text was written, so a failure keeps an
    // existing file; a folder, device or pipe of that name is never replaced.
    // Returns false and sets *error on failure; *writtenName
    // (when given) is the name used. A page whose element would not read back
    // by loadFromFile() (its name is no XML name, or a value holds a control
    // character or half a surrogate pair, say) is left out and named in
    // *skippedPages. A CDATA section that holds a carriage return or "]]>" is
    // written as text, where both are escaped and read back as they were.
    static bool saveToFile(const QString &fileName, QString *error = nullptr,
                           QString *writtenName = nullptr, QStringList *skippedPages = nullptr);
    // Reads a settings file: a regular file of at most 4 MiB, well-formed XML
    // (read to its end before any page sees it) with any root element and no
    // document type, nested at most 256 levels deep, at most 256 attributes
    // an element and 50,000 elements, attributes, texts and comments in all;
    // without an XML declaration it is UTF-8, or Latin-1 when it is not valid
    // UTF-8 (see SettingsReader). A file that is refused changes no page
    // and returns false with *error set.
    static bool loadFromFile(const QString &fileName, QString *error = nullptr);

    QTabWidget *tabWidget() const { return m_tabWidget; }

public slots:
    void slotOk();
    void slotApply();
    void slotLoadSettings();
    void slotSaveSettings();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildUi();

    bool m_built = false;
    QTabWidget *m_tabWidget = nullptr;
};

} // namespace QMWidgets
