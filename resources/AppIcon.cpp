#include "resources/AppIcon.h"

#include "resources/MainTemplate.h"

QIcon AppIcon()
{
    QIcon icon;
    for (const int size : kAppIconSizes)
        icon.addFile(QString::fromLatin1(kAppIconPrefix) + QString::number(size) + QStringLiteral(".png"),
                     QSize(size, size));
    return icon;
}
