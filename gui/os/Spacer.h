#pragma once

#include "foundation/thread/Pool.h"
#include "gui/SpacerBase.h"
#include "gui/os/Bound.h"

namespace s::gui::os {

// An empty gap; paints only its background (nothing when transparent).
class Spacer : public Bound<SpacerBase> {
    S_POOLED_CLASS(Spacer, "s_gui_os_Spacer")
public:
    Spacer() = default;

protected:
    QWidget* makeWidget(QWidget* parent) override;
};

}
