#include "gui/os/FileIconCache.h"

#include "gui/os/UIThread.h"

#include <QFileInfo>
#include <QMimeDatabase>

#include <cassert>

namespace s::gui::os {

QIcon FileIconCache::iconFor(std::u16string_view path)
{
    assert(UIThread::instance().isCurrent());
    QString name = QString::fromUtf16(path.data(), static_cast<qsizetype>(path.size()));
    QString extension = QFileInfo(name).suffix().toLower();
    auto found = m_icons.constFind(extension);
    if (found != m_icons.constEnd())
        return *found;

    static const QMimeDatabase database;
    QMimeType type = database.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("text-x-generic"));
    m_icons.insert(extension, icon);
    return icon;
}

}
