#pragma once

#include "foundation/thread/Pool.h"
#include "gui/counter/CounterData.h"
#include "gui/counter/ICounterView.h"
#include "gui/os/Box.h"
#include "gui/os/SkinLink.h"

#include <atomic>
#include <memory>

class QPainter;

namespace s::gui::drawer::counter {
class Basic;
}

namespace s::gui::os {

// A graph of the recent history of a number (see CounterData), painted by its counter drawer into
// an image of its client size, with one optional child container drawn on top (setContent).
//
// Any thread adds samples to its series; a completed point asks for a repaint without waiting: the
// request goes to the GUI thread through a token that the graph clears when it is destroyed or
// reset, so a late request reaches nobody.
class Counter : public Box
    , public counter::ICounterView
    , public ISkinnable {
    S_POOLED_CLASS(Counter, "s_gui_os_Counter")
public:
    Counter();
    ~Counter() override;

    // 0 columns, 1 bar, 2 centred columns.
    void setGraphKind(int32_t kind);
    int32_t getGraphKind() const { return m_kind; }
    void setInsets(int32_t left, int32_t top, int32_t right, int32_t bottom);
    counter::CounterData* getMainSeries() const { return m_main.get(); }
    counter::CounterData* getSecondSeries() const { return m_second.get(); }
    void setShowSecond(bool on);
    bool isShowingSecond() const { return m_showSecond; }
    void toggleSwap();
    bool isSwapped() const { return m_swapped; }
    // An owned drawer is released when replaced or reset; null brings back the default one. Runs
    // on the GUI thread once created.
    void setCounterDrawer(drawer::counter::Basic* drawer, bool own);
    drawer::counter::Basic* getCounterDrawer() const { return m_drawer; }
    // The one child shown on top of the graph; the previous one is removed and released.
    void setContent(IComponent* content);

    // Any thread.
    void pointCompleted(counter::CounterData* series) override;
    // How many repaints completed points have caused (for tests).
    uint64_t repaintsFromPoints() const { return m_token->repaints.load(); }

    // GUI thread.
    void paintWith(QPainter& painter, int32_t width, int32_t height);

    // Takes the drawer of the window's skin, if the window has a skinner (GUI thread).
    void followSkin() override;

    void reset() override;

private:
    // What a posted repaint holds on to: the graph while it lives, null afterwards.
    struct Token {
        std::atomic<Counter*> view { nullptr };
        std::atomic<bool> pending { false };
        std::atomic<uint64_t> repaints { 0 };
    };

    QWidget* makeWidget(QWidget* parent) override;
    void afterCreate() override;
    void beforeDestroy() override;
    void takeDrawer(drawer::counter::Basic* drawer, bool own);
    void releaseDrawer();
    void forgetToken();

    int32_t m_kind { 0 };
    int32_t m_insetLeft { 0 };
    int32_t m_insetTop { 0 };
    int32_t m_insetRight { 0 };
    int32_t m_insetBottom { 0 };
    bool m_showSecond { false };
    bool m_swapped { false };
    thread::Pooled<counter::CounterData> m_main;
    thread::Pooled<counter::CounterData> m_second;
    drawer::counter::Basic* m_drawer { nullptr };
    bool m_ownsDrawer { false };
    std::shared_ptr<Token> m_token;
    // A drawer the program set stays when the window's skin changes.
    bool m_drawerFromProgram { false };
    SkinLink m_skinLink;
};

}
