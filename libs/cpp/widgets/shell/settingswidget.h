#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QWidget>

namespace QMWidgets {

// One page of the settings dialog. A page keeps its state in one XML element
// whose tag name is the page's name().
class SettingsWidget : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // Fills the page from its element.
    virtual void load(const QDomElement &element) = 0;
    // Builds the page's element in the document (not yet appended anywhere).
    virtual QDomElement save(QDomDocument &document) = 0;
    // The page's name: the tag name of its element, a valid XML name.
    virtual QString name() = 0;

public slots:
    // Applies the page's values; nothing here.
    virtual void slotApply();
};

} // namespace QMWidgets
