#pragma once

// A stand-in for the program's GUI thread and main window, without a display: one thread with a
// work queue that serves the list model's changes (IExecutor), the workers' requests (IWindow),
// the engine's waits (IGuiWait) and the window's inputs (IMainInputs). Tests run engine commands
// on it with call().

#include "engine/WorkerEvents.h"
#include "engine/intake/IMainInputs.h"
#include "engine/workers/IGuiWait.h"
#include "gui/IWindow.h"
#include "gui/listbox2/IExecutor.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

namespace enginetest {

class FakeGui final : public s::gui::listbox2::IExecutor
    , public s::video::gui::dialogs::videodl::IGuiWait
    , public s::video::gui::dialogs::videodl::IMainInputs
    , public s::gui::IWindow {
public:
    FakeGui()
    {
        m_thread = std::thread([this] { loop(); });
    }
    ~FakeGui() override
    {
        {
            std::scoped_lock guard(m_lock);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    // --- running things on the GUI thread ---
    template<class F>
    auto call(F&& f) -> std::invoke_result_t<F&>
    {
        using R = std::invoke_result_t<F&>;
        if constexpr (std::is_void_v<R>) {
            runAndWait([&] { f(); });
        } else {
            R result {};
            runAndWait([&] { result = f(); });
            return result;
        }
    }

    // IExecutor
    bool isCurrent() const override { return std::this_thread::get_id() == m_thread.get_id(); }
    void runAndWait(const std::function<void()>& work) override
    {
        if (isCurrent()) {
            work();
            return;
        }
        std::mutex doneLock;
        std::condition_variable doneSignal;
        bool done = false;
        post([&] {
            work();
            std::scoped_lock guard(doneLock);
            done = true;
            doneSignal.notify_all();
        });
        std::unique_lock guard(doneLock);
        doneSignal.wait(guard, [&] { return done; });
    }

    // IGuiWait
    bool isGuiThread() const override { return isCurrent(); }
    void waitServing(const std::function<bool()>& done) override
    {
        while (!done()) {
            if (isCurrent())
                serveFor(std::chrono::milliseconds(5));
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ++waitsServed;
    }

    // IWindow: the workers' requests, counted and kept.
    intptr_t sendRequest(const char* name, intptr_t a1, intptr_t a2, intptr_t) override
    {
        if (closed)
            return 0;
        runAndWait([&] {
            using namespace s::video::gui::dialogs::videodl;
            if (name == ProcessUpdateDownloadedNum) {
                running += a1 ? 1 : -1;
                (a1 ? starts : ends)++;
            } else if (name == ProcessUpdateSpeedAndEta) {
                ++rateReports;
                lastSpeed = *reinterpret_cast<const int64_t*>(a1);
                lastEta = *reinterpret_cast<const int64_t*>(a2);
            }
        });
        return 0;
    }

    // IMainInputs: plain fields, read and written on the GUI thread.
    std::u16string link;
    bool mp3 { false };
    bool login { false };
    std::u16string loginName;
    std::u16string loginSecret;
    bool autoStart { false };
    std::u16string folder;
    int32_t nextIndex { 1 };
    std::vector<int32_t> messages;
    int focused { 0 };

    std::u16string linkText() override { return link; }
    void setLinkText(std::u16string_view text) override { link = text; }
    void focusLinkText() override { ++focused; }
    bool onlyMp3() override { return mp3; }
    bool requireLogin() override { return login; }
    std::u16string loginId() override { return loginName; }
    std::u16string loginPassword() override { return loginSecret; }
    bool autoStartFromClipboard() override { return autoStart; }
    std::u16string downloadFolder() override { return folder; }
    int32_t takeNextIndex() override { return nextIndex++; }
    void showInformation(int32_t textId) override { messages.push_back(textId); }

    // What the workers reported (written on the GUI thread).
    std::atomic<int> running { 0 };
    std::atomic<int> starts { 0 };
    std::atomic<int> ends { 0 };
    std::atomic<int> rateReports { 0 };
    std::atomic<int64_t> lastSpeed { 0 };
    std::atomic<int64_t> lastEta { 0 };
    std::atomic<int> waitsServed { 0 };
    // A window without its platform window drops requests.
    std::atomic<bool> closed { false };

private:
    void post(std::function<void()> work)
    {
        {
            std::scoped_lock guard(m_lock);
            m_queue.push_back(std::move(work));
        }
        m_wake.notify_all();
    }

    // Runs queued work for a while (GUI thread).
    void serveFor(std::chrono::milliseconds span)
    {
        auto until = std::chrono::steady_clock::now() + span;
        std::unique_lock guard(m_lock);
        while (true) {
            while (!m_queue.empty()) {
                std::function<void()> work = std::move(m_queue.front());
                m_queue.pop_front();
                guard.unlock();
                work();
                guard.lock();
            }
            if (m_wake.wait_until(guard, until) == std::cv_status::timeout && m_queue.empty())
                return;
        }
    }

    void loop()
    {
        std::unique_lock guard(m_lock);
        while (true) {
            m_wake.wait(guard, [this] { return m_stopping || !m_queue.empty(); });
            if (m_queue.empty() && m_stopping)
                return;
            std::function<void()> work = std::move(m_queue.front());
            m_queue.pop_front();
            guard.unlock();
            work();
            guard.lock();
        }
    }

    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_queue;
    bool m_stopping { false };
};

}
