#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace QMWidgets {

// The maker's products that the promotion menus offer, and the lists that
// compose the menu for one category word. Pure data and matching rules: the
// menu bar turns the ids into entries. In every id list an empty string stands
// for a separator.
class PromoTable
{
public:
    // How a requested id and the running application are compared with a row.
    enum MatchKind {
        Exact,     // the id equals the row id
        Suffix,    // the id ends with the row id
        Substring  // the id contains the row id
    };

    struct Row
    {
        QString id;              // lower case, no blanks
        MatchKind match;
        QString query;           // "?appname=" and the value the site knows the product by
        QString description;     // the entry's title ("&&" for a literal ampersand)
        QString icon;            // ":/" + name + "64x64.png"
        QStringList excludedBy;  // further running names that never show this row

        bool matches(const QString &requestedId) const;
        // True when the running application (its running name) must not show the row.
        bool isExcludedFor(const QString &runningName) const;
    };

    // The 42 rows, in the order they are tried.
    static const QVector<Row> &rows();

    // The application name in lower case without any "lite" and without blanks.
    static QString runningName(const QString &applicationName);

    // The first row that matches the id and is not excluded for the running
    // name; null when there is none. The row lives as long as the process.
    static const Row *find(const QString &requestedId, const QString &runningName);

    // The instrument words, in the order the empty category tries them.
    static QStringList instruments();
    // The family list of an instrument word; empty for any other word.
    static QStringList familyIds(const QString &instrument);
    // The list of products outside the instrument families.
    static QStringList otherIds();
    // The audio products, which have no row (they add nothing).
    static QStringList audioIds();

    // The ids of the categories "graphics", "photo", "developer", "audio" and
    // "music", composed for the running application (applicationName unchanged);
    // empty for any other word. The instrument words and the empty category
    // are composed by the menu bar from familyIds and otherIds.
    static QStringList categoryIds(const QString &category, const QString &applicationName);

    // Id of the batch photo processor: the "photo" category leaves the photo
    // tools out in an application whose lower-case name contains it.
    static QString batchPhotoProcessorId();
    // Name of the maker's player product: the "audio" category leaves the
    // player's own id out in an application whose name contains it.
    static QString playerProductName();

    // Name of the desktop platform, used in one description.
    static QString platformName();
};

} // namespace QMWidgets
