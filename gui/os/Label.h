#pragma once

#include "foundation/thread/Pool.h"
#include "gui/Component.h"
#include "gui/os/Bound.h"

#include <string>

class QTimer;

namespace s::gui::os {

// A line of text. It sizes itself to its text (unless setAutoSize(false)) and lets the mouse
// through to what lies below, so a window stays draggable by its labels. In link mode it takes
// the mouse instead: it underlines while hovered, darkens while pressed, and a release inside it
// opens the link target (when set) and fires code 1.
class Label : public Bound<Component> {
    S_POOLED_CLASS(Label, "s_gui_os_Label")
public:
    enum Event : int32_t { Clicked = 1 };

    Label() = default;

    // Shows text for a while, then the text from before. A later call restarts the time and
    // keeps the text saved by the first.
    void setTextFor(std::u16string_view text, int32_t milliseconds);
    bool isShowingTimedText() const
    {
        S_ON_GUI_THREAD(isShowingTimedText());
        return m_savedText.has_value();
    }

    void setLink(bool on);
    bool isLink() const { return m_link; }
    void setLinkTarget(std::u16string_view target)
    {
        S_ON_GUI_THREAD(setLinkTarget(target));
        m_linkTarget.assign(target);
    }
    const std::u16string& getLinkTarget() const { return m_linkTarget; }
    void addClickListener(events::IEventListener* listener) { m_clickListeners.add(listener); }
    // Whether a release inside the label opens the link target with the desktop (default on).
    void setOpensLinks(bool on) { m_opensLinks = on; }

    // Off: the size stays what the program sets.
    void setAutoSize(bool on) { m_autoSize = on; }

    // The state of link mode: 0 normal, 1 hovered, 2 pressed.
    int32_t getLinkState() const { return m_linkState; }
    // The binding reports the mouse here (GUI thread).
    void linkEntered(bool inside);
    void linkPressed();
    void linkReleased(bool inside);

    void reset() override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void platformText() override;
    void applyStyle() override;
    void textChanged() override;

private:
    void restoreText();

    bool m_link { false };
    bool m_opensLinks { true };
    bool m_autoSize { true };
    int32_t m_linkState { 0 };
    std::u16string m_linkTarget;
    std::optional<std::u16string> m_savedText;
    QTimer* m_textTimer { nullptr };
    events::ListenerList m_clickListeners;
};

}
