#pragma once

#include "foundation/base/IObject.h"
#include "foundation/col/ArrayP.h"
#include "foundation/thread/IPoolable.h"
#include "gui/events/IEventListener.h"

namespace s::gui {
class IComponent;
}

namespace s::gui::events {

// A state binder: when its source fires, it sets one state (enabled or editable) on every target.
// The targets are not owned; the owner of the binder (a check box, say) releases it.
class Binder : public base::IObject
    , public thread::IPoolable
    , public IEventListener {
public:
    void setSource(base::IObject* source) { m_source = source; }
    base::IObject* getSource() const { return m_source; }
    void addTarget(IComponent* target);
    uint32_t targetCount() const { return m_targets.count(); }

    void handle(base::IObject* sender, int32_t code) override;
    void reset() override;

protected:
    virtual void apply(IComponent* target) = 0;

private:
    base::IObject* m_source { nullptr };
    col::_array::ArrayP m_targets;
};

}
