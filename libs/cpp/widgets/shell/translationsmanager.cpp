#include "translationsmanager.h"

#include "app.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace QMWidgets {

namespace {
TranslationsManager *s_instance = nullptr;
// The application object the translators were last installed in. A later
// application object (tests build several) gets them installed anew.
QPointer<QCoreApplication> s_loadedFor;

QString storedLanguage()
{
    const QString fallback = QLocale::system().name();
    App *app = App::instance();
    return app ? app->value(QStringLiteral("Language"), fallback).toString() : fallback;
}
} // namespace

TranslationsManager::TranslationsManager()
    : QObject(nullptr)
    , m_qtTranslator(new QTranslator(this))
    , m_libsTranslator(new QTranslator(this))
    , m_appTranslator(new QTranslator(this))
{
}

TranslationsManager *TranslationsManager::instance()
{
    if (!s_instance) {
        // Stored first, loaded second: code reacting to the load may ask again.
        s_instance = new TranslationsManager();
        s_instance->load(languageFor(storedLanguage()));
    } else if (s_loadedFor.isNull() && QCoreApplication::instance()) {
        s_instance->load(languageFor(storedLanguage()));
    }
    return s_instance;
}

QStringList TranslationsManager::supportedLanguages()
{
    return {QStringLiteral("de"), QStringLiteral("ru"),    QStringLiteral("fr"),
            QStringLiteral("nl"), QStringLiteral("it"),    QStringLiteral("pt"),
            QStringLiteral("es"), QStringLiteral("ko"),    QStringLiteral("ja"),
            QStringLiteral("zh_CN"), QStringLiteral("zh_TW"), QStringLiteral("hi"),
            QStringLiteral("ar")};
}

QString TranslationsManager::languageFor(const QString &stored)
{
    const QStringList codes = supportedLanguages();
    for (const QString &code : codes) {
        if (stored.contains(code, Qt::CaseSensitive))
            return code;
    }
    return QStringLiteral("en");
}

QStringList TranslationsManager::fileNames(const QString &language) const
{
    return {QStringLiteral(":/") + m_qtPrefix + QStringLiteral("Translations/qt_") + language,
            QStringLiteral(":/") + m_libsPrefix + QStringLiteral("/Translations/libs_") + language,
            QStringLiteral(":/") + m_appPrefix + QStringLiteral("Translations/")
                + QCoreApplication::applicationName() + QLatin1Char('_') + language};
}

void TranslationsManager::load(const QString &language)
{
    QTranslator *const translators[] = {m_qtTranslator, m_libsTranslator, m_appTranslator};
    QCoreApplication *app = QCoreApplication::instance();

    if (app) {
        for (QTranslator *translator : translators)
            QCoreApplication::removeTranslator(translator);
    }

    if (language != QLatin1String("en")) {
        const QStringList names = fileNames(language);
        for (int i = 0; i < 3; ++i) {
            // A missing file leaves the translator empty: source texts show.
            translators[i]->load(names.at(i));
            if (app)
                QCoreApplication::installTranslator(translators[i]);
        }
    }

    m_language = language;
    s_loadedFor = app;
    QGuiApplication::setLayoutDirection(language == QLatin1String("ar") ? Qt::RightToLeft
                                                                         : Qt::LeftToRight);
    if (App *shell = App::instance()) {
        shell->setValue(QStringLiteral("Language"), language);
        shell->setLanguage(language);
    }
}

void TranslationsManager::reload()
{
    load(m_language);
}

QString TranslationsManager::language() const
{
    return m_language;
}

void TranslationsManager::setQtPrefix(const QString &prefix)
{
    m_qtPrefix = prefix;
}

void TranslationsManager::setLibsPrefix(const QString &prefix)
{
    m_libsPrefix = prefix;
}

void TranslationsManager::setAppPrefix(const QString &prefix)
{
    m_appPrefix = prefix;
}

QTranslator *TranslationsManager::qtTranslator() const
{
    return m_qtTranslator;
}

QTranslator *TranslationsManager::libsTranslator() const
{
    return m_libsTranslator;
}

QTranslator *TranslationsManager::appTranslator() const
{
    return m_appTranslator;
}

} // namespace QMWidgets
