#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QTranslator;

namespace QMWidgets {

// Chooses the UI language and installs the translators for Qt's texts, the
// maker's libraries and the application. One per process, made on first use
// and kept until the process ends. Translation files are looked up in the
// compiled resources; a missing file leaves the source texts, silently.
class TranslationsManager : public QObject
{
    Q_OBJECT

public:
    // Creates the manager on the first call (which loads the translations).
    static TranslationsManager *instance();

    void load(const QString &language);
    void reload();
    QString language() const;

    void setQtPrefix(const QString &prefix);
    void setLibsPrefix(const QString &prefix);
    void setAppPrefix(const QString &prefix);

    // The supported code that a stored language text selects ("en" when none).
    static QStringList supportedLanguages();
    static QString languageFor(const QString &stored);
    // The three resource names load() tries for a language, in install order.
    QStringList fileNames(const QString &language) const;

    QTranslator *qtTranslator() const;
    QTranslator *libsTranslator() const;
    QTranslator *appTranslator() const;

private:
    TranslationsManager();

    QTranslator *m_qtTranslator;
    QTranslator *m_libsTranslator;
    QTranslator *m_appTranslator;
    QString m_language;
    QString m_appPrefix;
    QString m_libsPrefix;
    QString m_qtPrefix;
};

} // namespace QMWidgets
