#include "xaniframe.h"

namespace MGraphX {

XaniFrame::XaniFrame()
    : m_format(QStringLiteral("PNG"))
{
}

XaniFrame::XaniFrame(const XaniFrame &other) = default;

XaniFrame &XaniFrame::operator=(const XaniFrame &other) = default;

QString XaniFrame::baseName() const
{
    const int dot = m_name.indexOf(QLatin1Char('.'));
    return dot < 0 ? m_name : m_name.left(dot);
}

} // namespace MGraphX
