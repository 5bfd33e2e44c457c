#include "gui/os/UiExecutor.h"

#include "gui/os/UIThread.h"

namespace s::gui::os {

bool UiExecutor::isCurrent() const
{
    return UIThread::instance().isCurrent();
}

void UiExecutor::runAndWait(const std::function<void()>& work)
{
    UIThread::instance().call([&] { work(); });
}

}
