#pragma once

#include "gui/listbox2/IExecutor.h"

namespace s::gui::os {

// The GUI thread as the list's model sees it.
class UiExecutor final : public listbox2::IExecutor {
public:
    bool isCurrent() const override;
    void runAndWait(const std::function<void()>& work) override;
};

}
