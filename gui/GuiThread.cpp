#include "gui/GuiThread.h"

#include <atomic>

namespace s::gui {

namespace {

std::atomic<bool (*)()> g_isCurrent { nullptr };
std::atomic<void (*)(const std::function<void()>&)> g_runAndWait { nullptr };

}

void GuiThread::install(const Binding& binding)
{
    g_runAndWait = binding.runAndWait;
    g_isCurrent = binding.isCurrent;
}

bool GuiThread::isCurrent()
{
    auto isCurrent = g_isCurrent.load();
    return !isCurrent || isCurrent();
}

void GuiThread::runAndWait(const std::function<void()>& f)
{
    if (auto run = g_runAndWait.load())
        run(f);
    else
        f();
}

}
