#pragma once

#include <QListWidgetItem>
#include <QString>

namespace QMWidgets {

// A list-widget item with an extra string key. Every constructor leaves the
// key empty, the copy from another item too.
class ListWidgetItem : public QListWidgetItem
{
public:
    explicit ListWidgetItem(QListWidget *view = nullptr, int type = Type);
    explicit ListWidgetItem(const QString &text, QListWidget *view = nullptr, int type = Type);
    ListWidgetItem(const QIcon &icon, const QString &text, QListWidget *view = nullptr, int type = Type);
    ListWidgetItem(const QListWidgetItem &other);
    // Without this the compiler's copy would carry the key over.
    ListWidgetItem(const ListWidgetItem &other);

    void setKey(const QString &key) { m_key = key; }
    QString key() const { return m_key; }

private:
    QString m_key;
};

} // namespace QMWidgets
