#include "formatbytesize.h"

QString formatByteSize(qint64 count)
{
    if (count <= 1023)
        return QString::number(count) + QLatin1String(" B");

    static const char units[] = "BKMGT";
    int shifts = 0;
    do {
        count >>= 10;
        ++shifts;
    } while (count > 1023 && shifts < 4);
    return QString::number(count) + QLatin1Char(' ') + QLatin1Char(units[shifts])
           + QLatin1Char('B');
}
