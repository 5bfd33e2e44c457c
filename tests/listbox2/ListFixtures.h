#pragma once

// Shared pieces of the list model tests: a list with a text and a number column, rows made from
// (name, size), an event recorder and an executor thread standing in for the GUI thread.

#include "gui/listbox2/CellValues.h"
#include "gui/listbox2/Comparators.h"
#include "gui/listbox2/DataType.h"
#include "gui/listbox2/Formatters.h"
#include "gui/listbox2/IExecutor.h"
#include "gui/listbox2/ListBoxModel.h"
#include "gui/listbox2/Record.h"
#include "gui/listbox2/SubRecord.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace listtest {

using namespace s::gui::listbox2;

// Column 0: name (text), column 1: size (64-bit), both sortable and ascending.
inline void addNameAndSize(ListBoxModel& model)
{
    model.addColumn(u"Name", 120, Alignment::Left, true, comparators::text, true);
    model.addColumn(u"Size", 60, Alignment::Right, true, comparators::s64, true);
}

inline Record* makeRow(std::u16string_view name, int64_t size)
{
    Record* row = Record::get();
    row->addTextCell(name, formatters::text);
    row->addInt64Cell(size, formatters::s64);
    return row;
}

inline std::u16string nameAt(const ListBoxModel& model, int32_t position)
{
    RowHandle handle = model.getRow(position);
    std::u16string name;
    model.readCellText(handle.row, handle.id, 0, name);
    return name;
}

inline std::u16string names(const ListBoxModel& model)
{
    std::u16string all;
    for (int32_t i = 0; i < model.getRowCount(); ++i) {
        if (i)
            all += u",";
        all += nameAt(model, i);
    }
    return all;
}

// The codes a list fired, in order.
struct Recorder : s::gui::events::IEventListener {
    std::mutex mutex;
    std::vector<int32_t> codes;
    std::function<void(int32_t)> onEvent;

    void handle(s::base::IObject*, int32_t code) override
    {
        if (onEvent)
            onEvent(code);
        std::lock_guard lock(mutex);
        codes.push_back(code);
    }
    std::vector<int32_t> take()
    {
        std::lock_guard lock(mutex);
        return std::exchange(codes, {});
    }
    void listenTo(ListBoxModel& model)
    {
        for (int32_t code = 0; code < ListEvent::CodeLimit; ++code)
            model.addListener(code, this);
    }
};

// A thread of its own that runs the list's changes, as the GUI thread does in the program.
class ExecutorThread final : public IExecutor {
public:
    ExecutorThread()
        : m_thread([this] { loop(); })
    {
    }
    ~ExecutorThread() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    bool isCurrent() const override { return std::this_thread::get_id() == m_thread.get_id(); }

    void runAndWait(const std::function<void()>& work) override
    {
        bool done = false;
        {
            std::lock_guard lock(m_mutex);
            ++m_hops;
            m_queue.push_back([&] {
                work();
                std::lock_guard doneLock(m_mutex);
                done = true;
                m_done.notify_all();
            });
        }
        m_wake.notify_all();
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [&] { return done; });
    }

    int hops()
    {
        std::lock_guard lock(m_mutex);
        return m_hops;
    }

private:
    void loop()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [&] { return m_stop || !m_queue.empty(); });
            if (m_queue.empty())
                return;
            auto work = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            work();
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<std::function<void()>> m_queue;
    bool m_stop { false };
    int m_hops { 0 };
    std::thread m_thread;
};

}
