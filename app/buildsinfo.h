#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

// The build information the maker site publishes for the program: a short
// text of "key:value" entries separated by ";", for example
// "build:1.9;date:2020-03-01;windows:00_A0". Only a text that contains
// "build:" counts; blanks and line characters anywhere are ignored.
class BuildsInfo
{
public:
    // The reply bytes up to the first NUL byte, read as UTF-8.
    static QString textFromReply(const QByteArray &reply);

    // Parses the text; entries without ":" are skipped, an entry's key is its
    // first ":"-separated part and its value the last one, and later entries
    // of a key replace earlier ones ("windows" entries are all kept).
    static BuildsInfo parse(const QString &text);

    // True when the text contained "build:" before anything was removed.
    bool isValid() const { return m_valid; }
    bool hasBuild() const { return m_hasBuild; }
    QString build() const { return m_build; }
    // The day of the last "date" entry: "yyyy-MM-dd", alone or with an ISO
    // 8601 time of day (and offset) after it, whose ":" do not split the
    // value. Null when there was no "date" entry or the last one did not read.
    QDate date() const { return m_date; }
    // The value of the last "date" entry as the reply has it (all after the
    // key's ":", blanks inside kept); empty when there was none.
    QString dateText() const { return m_dateText; }

    // True when one "windows" entry admits a system with this tag: its value
    // is "all", or it holds "_" and the tag does not sort below it.
    bool admits(const QString &windowsVersionTag) const;

    // A valid text whose date lies after the running build's date and which
    // admits the running system.
    bool offersUpdate(const QDate &runningBuildDate, const QString &windowsVersionTag) const;

    // The whole decision for one reply text.
    static bool isNewerBuild(const QString &text, const QDate &runningBuildDate,
                             const QString &windowsVersionTag);

private:
    bool m_valid = false;
    bool m_hasBuild = false;
    QString m_build;
    QDate m_date;
    QString m_dateText;
    QStringList m_windows;
};
