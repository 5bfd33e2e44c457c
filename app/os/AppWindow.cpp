#include "app/os/AppWindow.h"

#include "app/IAppBase.h"
#include "formats/map/IMappedData.h"
#include "foundation/str/CaseFold.h"
#include "foundation/str/StrBuffer.h"
#include "gui/os/UIThread.h"

#include <QGuiApplication>
#include <QScreen>

#include <climits>

namespace s::app::os {

namespace {

constexpr char16_t keyX[] = u"X";
constexpr char16_t keyY[] = u"Y";
constexpr char16_t keyWidth[] = u"Width";
constexpr char16_t keyHeight[] = u"Height";
constexpr char16_t keyEasyDrag[] = u"EasyDrag";
constexpr char16_t keyMaximized[] = u"Maximized";
constexpr char16_t keyKeepOnTop[] = u"KeepOnTop";
constexpr char16_t keyOnMClick[] = u"OnMClick";
constexpr char16_t keyUpdate[] = u"Update";

bool equalsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (str::CaseFold::asciiLower(a[i]) != str::CaseFold::asciiLower(b[i]))
            return false;
    }
    return true;
}

AppWindow::ScreenArea desktopArea()
{
    if (!QGuiApplication::instance())
        return {};
    return gui::os::onUiThread([] {
        AppWindow::ScreenArea area;
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect r = screen->virtualGeometry();
            area = { r.x(), r.y(), r.width(), r.height() };
        }
        return area;
    });
}

}

AppWindow::~AppWindow() = default;

void AppWindow::reset()
{
    m_taskbar.remove();
    m_app = nullptr;
    m_name.clear();
    m_viewPath.clear();
    m_softwareType.clear();
    m_width = 0;
    m_height = 0;
    m_middleClick.clear();
    m_screenArea = nullptr;
    m_taskbar = TaskbarProgress();
}

thread::Pooled<AppWindow> AppWindow::create(IAppBase* app, std::u16string_view windowName, std::u16string_view softwareType,
    int32_t width, int32_t height, std::u16string_view middleClickAction)
{
    auto holder = thread::Pooled<AppWindow>::adopt(AppWindow::get());
    holder->m_app = app;
    holder->m_name = windowName;
    holder->m_viewPath = holder->sectionPath(u"View");
    holder->m_softwareType = softwareType;
    holder->m_width = width;
    holder->m_height = height;
    holder->m_middleClick = middleClickAction;

    // The window's identity keys, written at every creation.
    if (map::IMappedData* store = holder->store()) {
        std::u16string id = app->text(IAppBase::registryNameId);
        std::u16string version = app->versionText();
        store->setString(holder->sectionPath(u"SoftwareType").c_str(), u"", holder->m_softwareType.c_str());
        store->setString(holder->sectionPath(u"SoftwareID").c_str(), u"", id.c_str());
        store->setString(holder->sectionPath(u"Version").c_str(), u"", version.c_str());
    }
    return holder;
}

AppWindow::ScreenArea AppWindow::screenArea() const
{
    return m_screenArea ? m_screenArea() : desktopArea();
}

std::u16string AppWindow::sectionPath(std::u16string_view section) const
{
    std::u16string path = m_name;
    path += u'\\';
    path += section;
    return path;
}

int32_t AppWindow::langBaseId() const
{
    return IAppBase::languageBaseId;
}

lang::Localizer* AppWindow::languagePack() const
{
    return m_app ? m_app->localizer() : nullptr;
}

map::IMappedData* AppWindow::store() const
{
    return m_app ? m_app->store() : nullptr;
}

bool AppWindow::hasViewValue(const char16_t* name) const
{
    map::IMappedData* s = store();
    return s && s->hasValue(m_viewPath.c_str(), name);
}

int32_t AppWindow::viewS32(const char16_t* name, int32_t fallback) const
{
    map::IMappedData* s = store();
    return s ? s->getS32(m_viewPath.c_str(), name, fallback) : fallback;
}

void AppWindow::setViewS32(const char16_t* name, int32_t value)
{
    if (map::IMappedData* s = store())
        s->setS32(m_viewPath.c_str(), name, value);
}

bool AppWindow::viewBool(const char16_t* name, bool fallback) const
{
    map::IMappedData* s = store();
    return s ? s->getBool(m_viewPath.c_str(), name, fallback) : fallback;
}

void AppWindow::setViewBool(const char16_t* name, bool value)
{
    if (map::IMappedData* s = store())
        s->setBool(m_viewPath.c_str(), name, value);
}

bool AppWindow::hasX() const { return hasViewValue(keyX); }
bool AppWindow::hasY() const { return hasViewValue(keyY); }
int32_t AppWindow::getX() const { return viewS32(keyX, 0); }
int32_t AppWindow::getY() const { return viewS32(keyY, 0); }
void AppWindow::setX(int32_t x) { setViewS32(keyX, x); }
void AppWindow::setY(int32_t y) { setViewS32(keyY, y); }

void AppWindow::setBounds(int32_t x, int32_t y, int32_t width, int32_t height)
{
    setX(x);
    setY(y);
    setSize(width, height);
}

void AppWindow::setSize(int32_t width, int32_t height)
{
    setWidth(width);
    setHeight(height);
}

void AppWindow::removeBounds()
{
    map::IMappedData* s = store();
    if (!s)
        return;
    for (const char16_t* name : { keyX, keyY, keyWidth, keyHeight })
        s->deleteValue(m_viewPath.c_str(), name);
}

bool AppWindow::isUsableWidth(int32_t width) const
{
    ScreenArea area = screenArea();
    // Without a desktop to measure, only the lower bound can be checked.
    return width >= 10 && (area.width <= 0 || width <= area.width);
}

bool AppWindow::isUsableHeight(int32_t height) const
{
    ScreenArea area = screenArea();
    return height >= 10 && (area.height <= 0 || height <= area.height);
}

bool AppWindow::hasWidth() const { return hasViewValue(keyWidth); }
bool AppWindow::hasHeight() const { return hasViewValue(keyHeight); }

int32_t AppWindow::getWidth() const
{
    int32_t width = viewS32(keyWidth, m_width);
    return isUsableWidth(width) ? width : m_width;
}

int32_t AppWindow::getHeight() const
{
    int32_t height = viewS32(keyHeight, m_height);
    return isUsableHeight(height) ? height : m_height;
}

void AppWindow::setWidth(int32_t width) { setViewS32(keyWidth, width); }
void AppWindow::setHeight(int32_t height) { setViewS32(keyHeight, height); }

bool AppWindow::getEasyDrag() const { return viewBool(keyEasyDrag, true); }
void AppWindow::setEasyDrag(bool on) { setViewBool(keyEasyDrag, on); }
bool AppWindow::getMaximized() const { return viewBool(keyMaximized, false); }
void AppWindow::setMaximized(bool on) { setViewBool(keyMaximized, on); }
bool AppWindow::getKeepOnTop() const { return viewBool(keyKeepOnTop, true); }
void AppWindow::setKeepOnTop(bool on) { setViewBool(keyKeepOnTop, on); }

std::u16string AppWindow::getOnMClick() const
{
    std::u16string stored = m_middleClick;
    if (map::IMappedData* s = store())
        stored = std::u16string(s->getString(m_viewPath.c_str(), keyOnMClick, m_middleClick.c_str()).view());
    if (equalsIgnoreAsciiCase(stored, actionIconize))
        return std::u16string(actionIconize);
    if (equalsIgnoreAsciiCase(stored, actionClose))
        return std::u16string(actionClose);
    return std::u16string(actionDoNothing);
}

void AppWindow::setOnMClick(std::u16string_view action)
{
    if (map::IMappedData* s = store()) {
        std::u16string text(action);
        s->setString(m_viewPath.c_str(), keyOnMClick, text.c_str());
    }
}

int32_t AppWindow::getUpdateHour() const
{
    map::IMappedData* s = store();
    return s ? s->getS32(sectionPath(u"Version").c_str(), keyUpdate, 0) : 0;
}

void AppWindow::setUpdateHour(int32_t hours)
{
    if (map::IMappedData* s = store())
        s->setS32(sectionPath(u"Version").c_str(), keyUpdate, hours);
}

std::span<const uint8_t> AppWindow::getIconData()
{
    return m_app ? m_app->iconData() : std::span<const uint8_t> {};
}

std::string AppWindow::getMiddleClickAction()
{
    std::u16string action = getOnMClick();
    return std::string(action.begin(), action.end());
}

bool AppWindow::readValue(Value which, int32_t& out)
{
    switch (which) {
    case X:
    case Y: {
        if (!hasPosition())
            return false;
        // A position from another screen layout is pulled back so that the window's top-left
        // part is on the screens that exist now.
        ScreenArea area = screenArea();
        int32_t value = which == X ? getX() : getY();
        if (area.width > 0 && area.height > 0) {
            int32_t low = which == X ? area.x : area.y;
            int32_t extent = which == X ? area.width : area.height;
            int64_t high = int64_t(low) + extent - 50;
            if (value < low)
                value = low;
            else if (value > high)
                value = int32_t(high);
        }
        out = value;
        return true;
    }
    case Width:
        if (!hasWidth())
            return false;
        out = getWidth();
        return true;
    case Height:
        if (!hasHeight())
            return false;
        out = getHeight();
        return true;
    case Maximized:
        out = getMaximized() ? 1 : 0;
        return true;
    case Topmost:
        out = getKeepOnTop() ? 1 : 0;
        return true;
    case EasyDrag:
        out = getEasyDrag() ? 1 : 0;
        return true;
    }
    return false;
}

void AppWindow::writeValue(Value which, int32_t value)
{
    switch (which) {
    case X:
        setX(value);
        break;
    case Y:
        setY(value);
        break;
    case Width:
        setWidth(value);
        break;
    case Height:
        setHeight(value);
        break;
    case Maximized:
        setMaximized(value != 0);
        break;
    case Topmost:
        setKeepOnTop(value != 0);
        break;
    case EasyDrag:
        setEasyDrag(value != 0);
        break;
    }
}

}
