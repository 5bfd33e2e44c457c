#pragma once

#include "gui/events/IEventListener.h"

#include <functional>

namespace s::gui {
class IWindow;
}

namespace s::gui::drawer {
class Skinner;
namespace skin {
class SkinBase;
}
}

namespace s::gui::os {

// A component that takes its drawer from its window's skin. A window that gets a skinner after its
// components were made asks each of them to follow it.
class ISkinnable {
public:
    virtual ~ISkinnable() = default;
    // Attaches to the skinner of the component's window, if it has one (GUI thread).
    virtual void followSkin() = 0;
};

// How a component of a skinned window follows its window's skin: attached when the component is
// created, it hands the current skin to the component at once and again after every change, and
// stops listening when detached (the component is destroyed or reset). GUI thread only.
class SkinLink final : public events::IEventListener {
public:
    using Apply = std::function<void(drawer::skin::SkinBase&)>;

    SkinLink() = default;
    ~SkinLink() override { detach(); }
    SkinLink(const SkinLink&) = delete;
    SkinLink& operator=(const SkinLink&) = delete;

    // Nothing happens for a window without a skinner.
    void attach(IWindow* window, Apply apply);
    void detach();
    bool isAttached() const { return m_skinner != nullptr; }
    drawer::Skinner* skinner() const { return m_skinner; }

    void handle(base::IObject* sender, int32_t code) override;

private:
    drawer::Skinner* m_skinner { nullptr };
    Apply m_apply;
};

}
