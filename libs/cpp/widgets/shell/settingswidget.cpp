#include "settingswidget.h"

namespace QMWidgets {

void SettingsWidget::slotApply()
{
}

} // namespace QMWidgets
