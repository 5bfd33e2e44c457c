#pragma once

#include <cassert>
#include <functional>
#include <type_traits>

namespace s::gui {

// The toolkit's thread rule as the Qt-free parts see it. Once a component is created, every
// change of it and every layout runs on the GUI thread, and every listener is called there; a
// call made on another thread hops: it runs on the GUI thread while the caller waits. The binding
// (s::gui::os::UIThread) installs the GUI thread here when it starts; until then there is none,
// and everything runs where it is called.
class GuiThread {
public:
    struct Binding {
        bool (*isCurrent)();
        void (*runAndWait)(const std::function<void()>& f);
    };
    static void install(const Binding& binding);

    // True on the GUI thread, and anywhere while there is none.
    static bool isCurrent();

    // Runs f on the GUI thread and waits for it (at once when already there). When the GUI loop
    // has ended, f is dropped and a value-initialised result comes back.
    template<class F>
    static auto call(F&& f) -> std::invoke_result_t<F&>
    {
        using R = std::invoke_result_t<F&>;
        if (isCurrent())
            return f();
        if constexpr (std::is_void_v<R>) {
            runAndWait([&] { f(); });
        } else {
            R result {};
            runAndWait([&] { result = f(); });
            return result;
        }
    }

private:
    static void runAndWait(const std::function<void()>& f);
};

}

// The first line of an operation that follows the thread rule: on another thread the operation
// is made again on the GUI thread while the caller waits, and its result is returned.
// `operation` is the operation's own call with its arguments.
#define S_ON_GUI_THREAD(operation)                                      \
    do {                                                                \
        if (!::s::gui::GuiThread::isCurrent())                          \
            return ::s::gui::GuiThread::call([&] { return operation; }); \
    } while (0)

// Debug builds check that GUI-thread-only code runs there.
#define S_ASSERT_GUI_THREAD() assert(::s::gui::GuiThread::isCurrent() && "GUI thread only")
