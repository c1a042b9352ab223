#include "shell/dialog_service.h"

#include <QString>

namespace quillet {

namespace {

QString qtPatterns(const QString& patterns)
{
    QStringList out;
    for (const QString& raw : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString pattern = raw.trimmed();
        if (pattern == QStringLiteral("*.*")) {
            out << QStringLiteral("*");
            continue;
        }
        for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()}) {
            if (!out.contains(variant))
                out << variant;
        }
    }
    return out.join(u' ');
}

} // namespace

QStringList qtFileFilters(const Text& filter)
{
    const QStringList parts = QString::fromStdU16String(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The description already names its patterns in parentheses; Qt
        // reads the patterns from the last parenthesis, so replace it.
        const qsizetype open = description.lastIndexOf(u'(');
        if (open > 0)
            description = description.left(open).trimmed();
        filters << description + QStringLiteral(" (") + qtPatterns(parts[i + 1]) + u')';
    }
    return filters;
}

} // namespace quillet
