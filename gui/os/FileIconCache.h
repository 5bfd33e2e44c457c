#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

#include <string_view>

namespace s::gui::os {

// Small icons for file names, chosen by the name's extension through the MIME database and the
// icon theme: the file is never touched, so a file that is still being written (or gone) shows
// the right icon without disk access. Cached per extension. GUI thread only.
class FileIconCache {
public:
    QIcon iconFor(std::u16string_view path);
    int size() const { return static_cast<int>(m_icons.size()); }

private:
    QHash<QString, QIcon> m_icons;
};

}
