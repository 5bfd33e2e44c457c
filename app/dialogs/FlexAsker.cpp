#include "app/dialogs/FlexAsker.h"

#include "app/IAppBase.h"
#include "app/os/AppWindow.h"
#include "gui/os/Box.h"
#include "gui/os/Button.h"
#include "gui/os/CheckBox.h"
#include "gui/os/Label.h"
#include "gui/os/Window.h"

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

#include <algorithm>
#include <cassert>
#include <vector>

namespace s::gui::dialogs {

// Outside a dialog a Qt push button answers Space only, and Tab would also visit the check box:
// the keys of the question are taken here, before the buttons see them.
class AskerKeys final : public QObject {
public:
    explicit AskerKeys(FlexAsker& asker)
        : m_asker(asker)
    {
    }

    QWidget* yes { nullptr };
    QWidget* no { nullptr };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            m_asker.moveFocus();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_asker.answerWith(watched != no);
            return true;
        case Qt::Key_Escape:
            m_asker.answerWith(false);
            return true;
        default:
            return false;
        }
    }

private:
    FlexAsker& m_asker;
};

namespace {

// The message's lines, each a label of its own (a label is one line of text).
std::vector<std::u16string> linesOf(const std::u16string& text)
{
    std::vector<std::u16string> lines;
    std::u16string line;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            lines.push_back(line);
            line.clear();
            continue;
        }
        line += c;
    }
    lines.push_back(line);
    return lines;
}

}

FlexAsker::~FlexAsker() = default;

void FlexAsker::reset()
{
    m_holder = nullptr;
    m_yesTextId = defaultYesTextId;
    m_noTextId = defaultNoTextId;
    m_checkBoxText = false;
    m_answer = false;
    m_checked = false;
    m_window = nullptr;
    m_yes = nullptr;
    m_no = nullptr;
    m_checkBox = nullptr;
    m_keys = nullptr;
}

std::u16string FlexAsker::text(int32_t id) const
{
    if (!m_holder || !m_holder->app())
        return {};
    return m_holder->app()->text(id);
}

bool FlexAsker::askOnce(app::IAppBase& app, os::Window* owner, const std::u16string& title, const std::u16string& message)
{
    thread::Pooled<app::os::AppWindow> holder = app::os::AppWindow::create(&app, u"FlexAskerWindow", app.softwareType(), 400, 200,
        app::os::AppWindow::actionDoNothing);
    thread::Pooled<FlexAsker> asker;
    asker->setHolder(holder.get());
    return asker->ask(owner, title, message);
}

bool FlexAsker::ask(os::Window* owner, const std::optional<std::u16string>& title, const std::optional<std::u16string>& message)
{
    assert(m_window == nullptr && "one question at a time");
    m_answer = false;
    m_checked = false;

    // 1. The window, bound to its holder, without resize frame or maximise and minimise boxes.
    thread::Pooled<os::Window> window = os::Window::make();
    m_window = window.get();
    window->setMaximizeBox(false);
    window->setMinimizeBox(false);
    if (m_holder) {
        window->bindSettings(m_holder, false);
        window->setKeepOnScreen(true);
    }
    window->setTitle(title ? *title : text(defaultTitleId));
    window->addCloseListener(this);

    // 2. The contents, then the size and place.
    std::u16string shown = message ? *message : text(defaultMessageId);
    build(*window, shown);
    int32_t messageWidth = 0;
    for (const std::u16string& line : linesOf(shown))
        messageWidth = std::max(messageWidth, os::measureText(window->getFont(), line).width());
    place(*window, owner, messageWidth);
    // Fixes the frame at the size it has now, so only after the size is decided.
    window->setResizable(false);

    // 3. The owner waits in its modal state; the yes button has the focus.
    if (owner)
        os::onUiThread([&] { owner->setEnabled(false); });
    window->show(true, true);
    os::onUiThread([&] {
        if (QWidget* yes = m_yes->widget())
            yes->setFocus(Qt::OtherFocusReason);
    });

    // 4. Until it is closed: a nested loop on the GUI thread, a plain wait elsewhere.
    window->waitUntilClosed();
    os::onUiThread([&] {
        m_checked = m_checkBox->isChecked();
        delete m_keys;
        m_keys = nullptr;
    });
    if (owner)
        os::onUiThread([&] { owner->setEnabled(true); });
    m_window = nullptr;
    m_yes = nullptr;
    m_no = nullptr;
    m_checkBox = nullptr;
    window.replace();
    return m_answer.load();
}

void FlexAsker::build(os::Window& window, const std::u16string& message)
{
    window.setInsetHorizontal(10);
    window.setInsetTop(10);
    window.setInsetBottom(5);
    window.setVerticalGap(0);
    window.alignCentre();

    os::Box* lines = os::Box::get();
    lines->setInsetBottom(12);
    lines->alignCentre();
    lines->setWidthPercent(100, false);
    for (const std::u16string& line : linesOf(message)) {
        os::Label* label = os::Label::get();
        label->setText(line);
        lines->add(label);
    }
    window.add(lines);

    os::Box* buttons = os::Box::get();
    buttons->layoutHorizontal();
    buttons->alignRight();
    buttons->setHorizontalGap(7);
    buttons->setWidthPercent(100, false);
    m_yes = os::Button::get();
    m_yes->setText(text(m_yesTextId));
    m_yes->addClickListener(this);
    m_no = os::Button::get();
    m_no->setText(text(m_noTextId));
    m_no->addClickListener(this);
    buttons->add(m_yes);
    buttons->add(m_no);
    window.add(buttons);

    os::Box* checkRow = os::Box::get();
    checkRow->setInsetTop(5);
    checkRow->setWidthPercent(100, false);
    m_checkBox = os::CheckBox::get();
    m_checkBox->setText(m_checkBoxText ? text(checkTextId) : std::u16string());
    checkRow->add(m_checkBox);
    window.add(checkRow);

    os::onUiThread([&] {
        m_keys = new AskerKeys(*this);
        m_keys->yes = m_yes->widget();
        m_keys->no = m_no->widget();
        for (QWidget* w : { m_yes->widget(), m_no->widget() }) {
            if (!w)
                continue;
            w->setFocusPolicy(Qt::StrongFocus);
            w->installEventFilter(m_keys);
        }
        // The focus stays on the two buttons; the check box is ticked with the mouse.
        if (QWidget* box = m_checkBox->widget())
            box->setFocusPolicy(Qt::NoFocus);
    });
}

void FlexAsker::place(os::Window& window, os::Window* owner, int32_t messageWidth)
{
    os::onUiThread([&] {
        int32_t width = std::max(window.getWidth(), messageWidth + messageMargin);
        int32_t height = window.getInsetTop() + window.getInsetBottom();
        for (uint32_t i = 0; i < window.getChildCount(); ++i)
            height += window.getChild(i)->getMinHeight();
        height = std::max(height, window.getInsetTop() + window.getInsetBottom() + 60);
        int32_t x = window.getX();
        int32_t y = window.getY();
        if (owner) {
            x = owner->getX() + (owner->getWidth() - width) / 2;
            y = owner->getY() + (owner->getHeight() - height) / 2;
        }
        window.setBounds(x, y, width, height);
        window.doLayout();
        window.clampToScreen();
    });
}

void FlexAsker::handle(base::IObject* sender, int32_t code)
{
    if (sender == m_window && code == os::Window::CloseRequested)
        return; // closing by the frame leaves the answer at no
    if (sender == m_yes)
        answerWith(true);
    else if (sender == m_no)
        answerWith(false);
}

void FlexAsker::answerWith(bool yes)
{
    if (!m_window || m_window->isClosed())
        return;
    m_answer = yes;
    m_window->close();
}

void FlexAsker::moveFocus()
{
    QWidget* yes = m_yes ? m_yes->widget() : nullptr;
    QWidget* no = m_no ? m_no->widget() : nullptr;
    if (!yes || !no)
        return;
    (yes->hasFocus() ? no : yes)->setFocus(Qt::TabFocusReason);
}

}
