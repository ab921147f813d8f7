#include "settingsdialog.h"

#include "app.h"
#include "filedialog.h"
#include "filehelpers.h"
#include "mmessagebox.h"
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
#include <QTextCodec>
#include <QTextStream>
#include <QVBoxLayout>
#include <QVector>
#include <QXmlStreamReader>

namespace QMWidgets {

namespace {

const char *const Extension = ".tssettings";
const char *const RootName = "Settings";
// Settings files are small; anything larger is not one of ours and is not read.
const qint64 MaxFileSize = 4 * 1024 * 1024;
// Settings files nest a few levels; the document builder recurses once per
// level, so a file nested thousands deep would exhaust the stack.
const int MaxDepth = 256;

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

// Whether the element, written on its own, parses back: a tag or attribute
// name that is no XML name would make the whole file unreadable.
bool readsBack(const QDomElement &element)
{
    QDomDocument single;
    single.appendChild(single.importNode(element, true));
    QDomDocument parsed;
    return parsed.setContent(single.toString(1));
}

// Files without an XML declaration are read as UTF-8; an older file in
// Latin-1 is not valid UTF-8 and is decoded as Latin-1 instead of being
// loaded with damaged characters. Returns false when the bytes are left to
// the parser as they are.
bool decodeUndeclaredLatin1(const QByteArray &bytes, QString *text)
{
    if (bytes.startsWith("<?xml") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")
        || bytes.contains('\0'))
        return false;
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0)
        return false;
    *text = QString::fromLatin1(bytes);
    return true;
}

// Whether no element of the XML lies deeper than MaxDepth, found in one pass
// that does not recurse. Malformed XML passes here and is reported by the
// parser itself.
bool nestedWithinLimit(QXmlStreamReader &reader)
{
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > MaxDepth)
            return false;
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return true;
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
    QByteArray bytes;
    if (!MTools::readRegularFile(fileName, MaxFileSize, &bytes, error))
        return false;
    QString latin1;
    const bool isLatin1 = decodeUndeclaredLatin1(bytes, &latin1);
    QXmlStreamReader reader;
    if (isLatin1)
        reader.addData(latin1);
    else
        reader.addData(bytes);
    if (!nestedWithinLimit(reader)) {
        setError(error, tr("The file nests its elements more than %1 levels deep; "
                           "settings files need only a few.").arg(MaxDepth));
        return false;
    }
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    // The whole file is parsed before any page sees it: a broken file applies nothing.
    const bool parsed = isLatin1 ? document.setContent(latin1, false, &message, &line, &column)
                                 : document.setContent(bytes, false, &message, &line, &column);
    if (!parsed) {
        setError(error, tr("Line %1, column %2: %3").arg(line).arg(column).arg(message));
        return false;
    }
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
