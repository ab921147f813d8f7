#include "settingsdialog.h"

#include "app.h"
#include "filedialog.h"
#include "filehelpers.h"
#include "mmessagebox.h"
#include "settingsreader.h"
#include "settingswidget.h"
#include "stylehelpers.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMap>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QTabWidget>
#include <QTextStream>
#include <QVBoxLayout>
#include <QVector>

namespace QMWidgets {

namespace {

const char *const Extension = ".tssettings";
const char *const RootName = "Settings";
// The process-wide page registry. Pages are guarded: one deleted by its owner
// simply drops out.
struct Registry
{
    QMap<QString, QPointer<QWidget>> pages;
    QVector<QString> order;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

// The registered settings pages in the registry's key order.
QList<SettingsWidget *> settingsPages()
{
    QList<SettingsWidget *> pages;
    const Registry &r = registry();
    for (auto it = r.pages.cbegin(); it != r.pages.cend(); ++it) {
        if (auto *page = qobject_cast<SettingsWidget *>(it.value().data()))
            pages << page;
    }
    return pages;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// Whether the element, written on its own, reads back: a tag or attribute
// name that is no XML name, or a character XML cannot hold, would make the
// whole file unreadable.
bool readsBack(const QDomElement &element)
{
    QDomDocument single;
    single.appendChild(single.importNode(element, true));
    QDomDocument parsed;
    return SettingsReader::readText(single.toString(1), &parsed, nullptr);
}

// Makes every CDATA section below the node that CDATA cannot carry a text
// node: an XML reader hands a carriage return in a CDATA section on as a line
// feed, and a "]]>" would end the section early. In text a carriage return is
// written as a character reference and ">" as an entity, both read back as
// they were. The value the page reads with text() is the same.
void writeAsTextWhereCDataCannot(QDomNode node)
{
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isCDATASection()) {
            const QString data = child.toCDATASection().data();
            if (data.contains(QLatin1Char('\r')) || data.contains(QLatin1String("]]>"))) {
                const QDomText text = node.ownerDocument().createTextNode(data);
                node.replaceChild(text, child);
                child = text;
            }
        } else if (child.isElement()) {
            writeAsTextWhereCDataCannot(child);
        }
    }
}

} // namespace

SettingsDialog::SettingsDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QCoreApplication::applicationName() + tr(" Settings"));
}

SettingsDialog::~SettingsDialog()
{
    // Hand the registered pages back so they outlive this dialog.
    if (!m_tabWidget)
        return;
    QList<QWidget *> shown;
    for (int i = 0; i < m_tabWidget->count(); ++i)
        shown << m_tabWidget->widget(i);
    const Registry &r = registry();
    for (QWidget *page : qAsConst(shown)) {
        for (const QPointer<QWidget> &registered : r.pages) {
            if (registered == page) {
                page->hide();
                page->setParent(nullptr);
                break;
            }
        }
    }
}

void SettingsDialog::registerWidget(const QString &name, QWidget *page)
{
    Registry &r = registry();
    r.pages[name] = page;
    if (!r.order.contains(name))
        r.order.append(name);
}

void SettingsDialog::unregisterWidget(const QString &name)
{
    Registry &r = registry();
    r.pages.remove(name);
    r.order.removeAll(name);
}

QStringList SettingsDialog::registeredNames()
{
    return registry().order.toList();
}

void SettingsDialog::showEvent(QShowEvent *event)
{
    if (!m_built) {
        buildUi();
        m_built = true;
    }
    QDialog::showEvent(event);
}

void SettingsDialog::buildUi()
{
    m_tabWidget = new QTabWidget;
    const Registry &r = registry();
    for (const QString &name : r.order) {
        if (QWidget *page = r.pages.value(name))
            m_tabWidget->addTab(page, name);
    }

    auto *ok = new QPushButton(tr("&Ok"));
    auto *apply = new QPushButton(tr("&Apply"));
    auto *cancel = new QPushButton(tr("&Cancel"));
    auto *save = new QPushButton;
    auto *load = new QPushButton;
    setNameAndToolTip(save, QStringLiteral("StorageBrowserSS"), tr("Save the Settings"));
    setNameAndToolTip(load, QStringLiteral("StorageBrowserLS"), tr("Load the Settings"));
    stylePushButton(ok);
    stylePushButton(apply);
    stylePushButton(cancel);
    styleIconButton(save);
    styleIconButton(load);
    setDefaultIcon(save, QStyle::SP_DialogSaveButton);
    setDefaultIcon(load, QStyle::SP_DialogOpenButton);

    connect(save, SIGNAL(clicked()), this, SLOT(slotSaveSettings()));
    connect(load, SIGNAL(clicked()), this, SLOT(slotLoadSettings()));
    connect(apply, SIGNAL(clicked()), this, SLOT(slotApply()));
    connect(ok, SIGNAL(clicked()), this, SLOT(slotOk()));
    connect(cancel, SIGNAL(clicked()), this, SLOT(reject()));

    auto *top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(2);
    top->addWidget(save);
    top->addWidget(load);
    top->addStretch(1);

    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(2);
    bottom->addStretch(1);
    bottom->addWidget(ok);
    bottom->addWidget(apply);
    bottom->addWidget(cancel);

    auto *main = new QVBoxLayout;
    main->setContentsMargins(7, 7, 7, 7);
    main->setSpacing(4);
    main->addLayout(top);
    main->addWidget(m_tabWidget);
    main->addLayout(bottom);
    setLayout(main);
}

void SettingsDialog::slotApply()
{
    const QList<SettingsWidget *> pages = settingsPages();
    for (SettingsWidget *page : pages)
        page->slotApply();
}

void SettingsDialog::slotOk()
{
    slotApply();
    accept();
}

QString SettingsDialog::fileNameToWrite(const QString &fileName)
{
    if (fileName.endsWith(QLatin1String(Extension)))
        return fileName;
    return fileName + QLatin1String(Extension);
}

bool SettingsDialog::saveToFile(const QString &fileName, QString *error, QString *writtenName,
                                QStringList *skippedPages)
{
    QDomDocument document(QString{});
    QDomElement root = document.createElement(QLatin1String(RootName));
    document.appendChild(root);
    const QList<SettingsWidget *> pages = settingsPages();
    for (SettingsWidget *page : pages) {
        const QDomElement element = page->save(document);
        if (element.isNull())
            continue;
        writeAsTextWhereCDataCannot(element);
        if (!readsBack(element)) {
            if (skippedPages)
                *skippedPages << page->name();
            continue;
        }
        root.appendChild(element);
    }

    const QString name = fileNameToWrite(fileName);
    if (writtenName)
        *writtenName = name;

    QString refusal;
    if (!MTools::isSaveTarget(name, &refusal)) {
        setError(error, refusal);
        return false;
    }
    // Written as UTF-8, the encoding an XML file without a declaration is read in.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    stream << document.toString(1);
    stream.flush();
    if (stream.status() != QTextStream::Ok || file.error() != QFileDevice::NoError) {
        setError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

bool SettingsDialog::loadFromFile(const QString &fileName, QString *error)
{
    // The whole file is read before any page sees it: a broken file applies nothing.
    QDomDocument document;
    if (!SettingsReader::readFile(fileName, &document, error))
        return false;
    loadFromElement(document.documentElement());
    return true;
}

void SettingsDialog::loadFromElement(const QDomElement &root)
{
    const QList<SettingsWidget *> pages = settingsPages();
    for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (!node.isElement())
            continue;
        const QDomElement element = node.toElement();
        for (SettingsWidget *page : pages) {
            if (page->name() == element.tagName())
                page->load(element);
        }
    }
}

void SettingsDialog::slotSaveSettings()
{
    App *app = App::instance();
    const QString start = (app ? app->lastSaveDirectory() : QString()) + QStringLiteral("/Settings")
        + QLatin1String(Extension);
    QPointer<SettingsDialog> self(this);
    const QString fileName = FileDialog::getSaveFileName(this, tr("Save Settings"), start,
                                                         QStringLiteral("*") + QLatin1String(Extension));
    if (fileName.isEmpty() || !self)
        return;
    if (app)
        app->setLastSaveDirectory(fileName);

    const QString title = QCoreApplication::applicationName() + tr(" Settings");
    // The file dialog asked about the name as typed; the extension may make it
    // another, existing file.
    const QString written = fileNameToWrite(fileName);
    if (written != fileName && QFileInfo::exists(written)) {
        if (!FileDialog::confirmReplace(this, title, written) || !self)
            return;
    }

    QString error;
    QStringList skipped;
    const bool saved = saveToFile(fileName, &error, nullptr, &skipped);
    if (!self)
        return;
    if (!saved) {
        MMessageBox::warning(this, title,
                             tr("The settings could not be saved to %1.<BR>%2")
                                 .arg(written.toHtmlEscaped(), error.toHtmlEscaped()),
                             QMessageBox::Ok);
    } else if (!skipped.isEmpty()) {
        MMessageBox::warning(this, title,
                             tr("These pages could not be written and were left out:<BR>%1")
                                 .arg(skipped.join(QStringLiteral(", ")).toHtmlEscaped()),
                             QMessageBox::Ok);
    }
}

void SettingsDialog::slotLoadSettings()
{
    App *app = App::instance();
    const QString start = (app ? app->lastSettingsDirectory() : QString()) + QLatin1Char('/');
    QPointer<SettingsDialog> self(this);
    const QString fileName = FileDialog::getOpenFileName(this, tr("Load Settings"), start,
                                                         QStringLiteral("*") + QLatin1String(Extension));
    if (fileName.isEmpty() || !self)
        return;

    QString error;
    const bool loaded = loadFromFile(fileName, &error);
    if (app)
        app->setLastSettingsDirectory(fileName);
    if (!loaded) {
        MMessageBox::warning(this, QCoreApplication::applicationName() + tr(" Settings"),
                             tr("The settings could not be loaded from %1.<BR>%2")
                                 .arg(fileName.toHtmlEscaped(), error.toHtmlEscaped()),
                             QMessageBox::Ok);
    }
}

} // namespace QMWidgets
