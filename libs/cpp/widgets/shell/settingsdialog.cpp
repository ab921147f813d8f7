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
#include <QRegularExpression>
#include <QSaveFile>
#include <QTabWidget>
#include <QTextCodec>
#include <QTextStream>
#include <QVBoxLayout>
#include <QVector>
#include <QXmlStreamReader>

#include <cstring>

namespace QMWidgets {

namespace {

const char *const Extension = ".tssettings";
const char *const RootName = "Settings";
// Settings files are small; anything larger is not one of ours and is not read.
const qint64 MaxFileSize = 4 * 1024 * 1024;
// Settings files nest a few levels; the document is built and released
// recursively, once per level, so a file nested thousands deep would exhaust
// the stack.
const int MaxDepth = 256;
// A page writes one element with its values: some attributes, perhaps a
// list of child elements. The XML reader compares each attribute of an
// element with all before it, so attributes per element are bounded before
// it reads them; the number of nodes bounds the time and memory that
// building the document takes (some microseconds and 500 bytes a node).
const int MaxAttributes = 256;
const int MaxNodes = 50000;

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

// The codec the XML reader takes before any declaration: a byte-order mark
// or the bytes of the first "<" tell UTF-32 or UTF-16; otherwise UTF-8.
QTextCodec *undeclaredCodec(const QByteArray &bytes)
{
    const auto startsWith = [&bytes](const char *prefix, int size) {
        return bytes.size() >= size && std::memcmp(bytes.constData(), prefix, size_t(size)) == 0;
    };
    int mib = 106; // UTF-8
    if (startsWith("\0\0\xFE\xFF", 4) || startsWith("\xFF\xFE\0\0", 4))
        mib = 1017; // UTF-32, byte order from the mark
    else if (startsWith("<\0\0\0", 4))
        mib = 1019; // UTF-32LE
    else if (startsWith("\0\0\0<", 4))
        mib = 1018; // UTF-32BE
    else if (startsWith("\xFE\xFF", 2) || startsWith("\xFF\xFE", 2))
        mib = 1015; // UTF-16, byte order from the mark
    else if (startsWith("<\0", 2))
        mib = 1014; // UTF-16LE
    else if (startsWith("\0<", 2))
        mib = 1013; // UTF-16BE
    return QTextCodec::codecForMib(mib);
}

// The file's text as the XML reader would decode it: in the encoding its
// declaration names, else as undeclaredCodec() and decodeUndeclaredLatin1()
// tell. False with *error set for an unknown encoding or bytes that are not
// text in it.
bool decodeSettingsText(const QByteArray &bytes, QString *text, QString *error)
{
    if (decodeUndeclaredLatin1(bytes, text))
        return true;
    QTextCodec *codec = undeclaredCodec(bytes);
    QString decoded = codec->toUnicode(bytes);
    if (decoded.startsWith(QLatin1String("<?xml"))) {
        const int end = decoded.indexOf(QLatin1String("?>"));
        static const QRegularExpression encoding(
            QStringLiteral("\\sencoding\\s*=\\s*([\"'])([^\"']*)\\1"));
        const QRegularExpressionMatch match = encoding.match(decoded.left(end < 0 ? 0 : end));
        if (match.hasMatch()) {
            const QString name = match.captured(2);
            QTextCodec *declared = QTextCodec::codecForName(name.toLatin1());
            if (!declared) {
                setError(error, SettingsDialog::tr("The file is written in the encoding %1, which "
                                                   "cannot be read here.").arg(name));
                return false;
            }
            codec = declared;
        }
    }
    QTextCodec::ConverterState state;
    decoded = codec->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars != 0 || state.remainingChars != 0) {
        setError(error, SettingsDialog::tr("The file is not valid %1 text.")
                            .arg(QString::fromLatin1(codec->name())));
        return false;
    }
    *text = decoded;
    return true;
}

// A look at the raw markup before the XML reader sees it, linear in the
// text: refuses a document type declaration (its entities and attribute
// defaults could put markup into the document that is not in the text) and
// any tag with more than MaxAttributes attributes. Every attribute of a
// well-formed tag has one "=" outside quotes, and no attribute value holds a
// "<", so the "="s counted up to the tag's end (or the next "<") bound its
// attributes. Other faults are left to the reader.
bool markupWithinLimits(const QString &text, QString *error)
{
    const int size = text.size();
    const QChar *chars = text.constData();
    int at = 0;
    const auto skipPast = [&](const QLatin1String &end) {
        const int found = text.indexOf(end, at);
        at = found < 0 ? size : found + end.size();
    };
    while ((at = text.indexOf(QLatin1Char('<'), at)) >= 0) {
        const QStringRef rest = text.midRef(at);
        if (rest.startsWith(QLatin1String("<!--"))) {
            at += 4;
            skipPast(QLatin1String("-->"));
        } else if (rest.startsWith(QLatin1String("<![CDATA["))) {
            at += 9;
            skipPast(QLatin1String("]]>"));
        } else if (rest.startsWith(QLatin1String("<?"))) {
            at += 2;
            skipPast(QLatin1String("?>"));
        } else if (rest.startsWith(QLatin1String("<!"))) {
            setError(error, SettingsDialog::tr("The file declares a document type; settings files "
                                               "have none."));
            return false;
        } else {
            int equals = 0;
            QChar quote;
            for (++at; at < size && chars[at] != QLatin1Char('<'); ++at) {
                const QChar c = chars[at];
                if (!quote.isNull()) {
                    if (c == quote)
                        quote = QChar();
                } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                    quote = c;
                } else if (c == QLatin1Char('=')) {
                    ++equals;
                } else if (c == QLatin1Char('>')) {
                    ++at;
                    break;
                }
            }
            if (equals > MaxAttributes) {
                setError(error, SettingsDialog::tr("An element has more than %1 attributes; settings "
                                                   "files need far fewer.").arg(MaxAttributes));
                return false;
            }
        }
    }
    return true;
}

// Appends character data to the node, joined to a text node just before it
// so that a text split by the reader stays one node.
void appendText(QDomDocument &document, QDomNode &parent, const QString &text)
{
    QDomNode last = parent.lastChild();
    if (last.isText() && !last.isCDATASection())
        last.toText().appendData(text);
    else
        parent.appendChild(document.createTextNode(text));
}

// Reads the text to its end in one pass of the XML reader, without
// namespace processing, and builds the document from it as the DOM parser
// would: whitespace-only text between elements is left out, CDATA sections,
// comments and processing instructions are kept. Any error of the reader,
// nesting deeper than MaxDepth or more than MaxNodes nodes refuses the file:
// false with *error set.
bool buildDocument(const QString &text, QDomDocument *document, QString *error)
{
    if (!markupWithinLimits(text, error))
        return false;
    QXmlStreamReader reader;
    reader.setNamespaceProcessing(false);
    reader.addData(text);
    // A default-constructed document is a null node that takes no children.
    *document = QDomDocument(QString());
    QDomNode current = *document;
    int depth = 0;
    int nodes = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (++depth > MaxDepth) {
                setError(error, SettingsDialog::tr("The file nests its elements more than %1 levels "
                                                   "deep; settings files need only a few.").arg(MaxDepth));
                return false;
            }
            const QXmlStreamAttributes attributes = reader.attributes();
            nodes += 1 + attributes.size();
            if (nodes > MaxNodes)
                break;
            QDomElement element = document->createElement(reader.qualifiedName().toString());
            for (const QXmlStreamAttribute &attribute : attributes)
                element.setAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
            current = current.appendChild(element);
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            current = current.parentNode();
            break;
        case QXmlStreamReader::Characters:
            // Text outside the root is only whitespace; the reader refuses anything else there.
            if (depth == 0)
                break;
            if (reader.isCDATA()) {
                ++nodes;
                current.appendChild(document->createCDATASection(reader.text().toString()));
            } else if (!reader.isWhitespace()) {
                ++nodes;
                appendText(*document, current, reader.text().toString());
            }
            break;
        case QXmlStreamReader::Comment:
            ++nodes;
            current.appendChild(document->createComment(reader.text().toString()));
            break;
        case QXmlStreamReader::ProcessingInstruction:
            ++nodes;
            current.appendChild(document->createProcessingInstruction(
                reader.processingInstructionTarget().toString(), reader.processingInstructionData().toString()));
            break;
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            // Neither comes from a text without a document type; never built.
            setError(error, SettingsDialog::tr("Line %1, column %2: a document type or an entity "
                                               "reference; settings files have neither.")
                                .arg(reader.lineNumber())
                                .arg(reader.columnNumber()));
            return false;
        default:
            break;
        }
        if (nodes > MaxNodes) {
            setError(error, SettingsDialog::tr("The file holds more than %1 elements, attributes, texts "
                                               "and comments; settings files need far fewer.")
                                .arg(MaxNodes));
            return false;
        }
    }
    if (reader.hasError()) {
        setError(error, SettingsDialog::tr("Line %1, column %2: %3")
                            .arg(reader.lineNumber())
                            .arg(reader.columnNumber())
                            .arg(reader.errorString()));
        return false;
    }
    return true;
}

// Whether the element, written on its own, reads back: a tag or attribute
// name that is no XML name, or a character XML cannot hold, would make the
// whole file unreadable.
bool readsBack(const QDomElement &element)
{
    QDomDocument single;
    single.appendChild(single.importNode(element, true));
    QDomDocument parsed;
    return buildDocument(single.toString(1), &parsed, nullptr);
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
    QString text;
    if (!decodeSettingsText(bytes, &text, error))
        return false;
    bytes.clear();
    // The whole file is read before any page sees it: a broken file applies nothing.
    QDomDocument document;
    if (!buildDocument(text, &document, error))
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
