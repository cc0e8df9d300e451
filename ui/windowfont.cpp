#include "windowfont.h"

#include <QFontDatabase>
#include <QFontMetricsF>

#include <algorithm>

namespace WindowFont {

QFont choose(const QFont &toolkitDefault, const QStringList &lines, int width)
{
    if (QFontDatabase::hasFamily(QLatin1String(kFamily))) {
        QFont font{QString::fromLatin1(kFamily)};
        font.setPointSizeF(kPointSize);
        return font;
    }
    QFont font = toolkitDefault;
    const auto widest = [&lines](const QFont &f) {
        const QFontMetricsF metrics(f);
        qreal most = 0;
        for (const QString &line : lines)
            most = std::max(most, metrics.horizontalAdvance(line));
        return most;
    };
    const qreal start =
        font.pointSizeF() > 0 ? std::min(font.pointSizeF(), kPointSize) : kPointSize;
    for (qreal size = start; size >= 6; size -= 0.5) {
        font.setPointSizeF(size);
        if (widest(font) <= width)
            break;
    }
    return font;
}

} // namespace WindowFont
