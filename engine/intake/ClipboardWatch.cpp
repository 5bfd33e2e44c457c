#include "engine/intake/ClipboardWatch.h"

#include "engine/intake/IMainInputs.h"
#include "engine/intake/LinkText.h"

namespace s::video::gui::dialogs::videodl {

void ClipboardWatch::begin(int64_t nowMs)
{
    m_settledAt = nowMs + SettleMs;
}

int ClipboardWatch::changed(bool ownedByWindow, int64_t nowMs, std::u16string_view text, IMainInputs& window, const std::function<void()>& takeLink)
{
    if (ownedByWindow)
        return 0;
    if (m_settledAt != 0) {
        if (nowMs < m_settledAt)
            return 0;
        m_settledAt = 0;
    }

    int handled = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string_view line = LinkText::trimEnd(text.substr(start, end - start));
        start = end + 1;
        if (!LinkText::qualifiesFromClipboard(line))
            continue;
        ++handled;
        window.setLinkText(line);
        if (!window.autoStartFromClipboard()) {
            window.focusLinkText();
            break;
        }
        takeLink();
    }
    return handled;
}

}
