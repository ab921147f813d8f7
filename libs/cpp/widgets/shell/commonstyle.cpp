#include "commonstyle.h"

#include "app.h"

#include <climits>

namespace QMWidgets {

QString CommonStyle::styleSheet()
{
    return QString();
}

int CommonStyle::scaled(float divisor)
{
    if (!(divisor > 0.0f))
        return 0;
    const double pixels = double(App::screenMinSide()) / double(divisor);
    return pixels >= double(INT_MAX) ? INT_MAX : int(pixels);
}

} // namespace QMWidgets
