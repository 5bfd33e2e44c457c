#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"
#include "gui/events/ListenerList.h"

#include <cstdint>

namespace s::gui {

// The window-wide font size: one font code (see FontDescription) that every subscribed component applies
// when it changes. Listeners hear handle(setting, code) with the new code.
class FontSetting final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(FontSetting, "s_gui_FontSetting")
public:
    void reset() override
    {
        m_code = 0;
        m_listeners.clear();
    }

    int32_t getFontCode() const { return m_code; }
    void setFontCode(int32_t code)
    {
        if (code == m_code)
            return;
        m_code = code;
        m_listeners.fire(this, code);
    }

    void addListener(events::IEventListener* listener) { m_listeners.add(listener); }
    void removeListener(events::IEventListener* listener) { m_listeners.remove(listener); }
    uint32_t listenerCount() const { return m_listeners.count(); }

private:
    int32_t m_code { 0 };
    events::ListenerList m_listeners;
};

}
