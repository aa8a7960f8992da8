#include "ui/AppIcon.h"

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/UserDirectories.h"

#include <QPainter>
#include <QPainterPath>

namespace parvela {

QPixmap AppIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2e, 0x7d, 0x32));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    painter.setBrush(QColor(0x4f, 0xa3, 0xd9));
    painter.drawRect(QRectF(2, 44, 60, 12));
    painter.setPen(QPen(QColor(0xf4, 0xe0, 0x8b), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(32, 46), QPointF(32, 14));
    painter.drawLine(QPointF(32, 34), QPointF(22, 20));
    painter.drawLine(QPointF(32, 30), QPointF(42, 18));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf4, 0xe0, 0x8b));
    for (const QPointF& grain : {QPointF(32, 12), QPointF(21, 18), QPointF(43, 16)})
        painter.drawEllipse(grain, 3.0, 4.5);
    return pixmap;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(AppIconPixmap(size));
    return icon;
}

std::string AppIconFilePath() {
    return UserCacheDirectory() + "Parvela.ico";
}

bool SaveAppIconFile() {
    try {
        CreateDirectories(UserCacheDirectory(), TFileAccess::OwnerOnly);
    } catch (const EOSError&) {
        return false;
    }
    return AppIconPixmap(32).save(QString::fromStdString(AppIconFilePath()), "ICO");
}

} // namespace parvela
