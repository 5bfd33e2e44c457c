// Components in a real window: events only on changes, binders, geometry with suspend/resume,
// visibility, text ids that follow the language, font codes.

#include "GuiTest.h"

#include "formats/lang/Localizer.h"
#include "formats/xml/Node.h"
#include "gui/FontSetting.h"
#include "gui/os/Button.h"
#include "gui/os/CheckBox.h"
#include "gui/os/TabBox.h"
#include "gui/os/TextField.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <string_view>
#include <thread>

using namespace guitest;
using s::gui::os::Button;
using s::gui::os::CheckBox;
using s::gui::os::TextField;

namespace {

template<class W>
W* qtOf(const IComponent* c)
{
    return static_cast<W*>(c->getNativeHandle());
}

constexpr std::string_view twoLanguages = R"(<lang>
  <languages>
    <entry tagName="eng" engName="English" trueName="English"/>
    <entry tagName="deu" engName="German" trueName="Deutsch"/>
  </languages>
  <entries>
    <entry id="1"><eng>Download</eng><deu>Herunterladen</deu></entry>
    <entry id="2"><eng>Options</eng><deu>Einstellungen</deu></entry>
    <entry id="3"><eng>Video Getter</eng><deu>Videoholer</deu></entry>
    <entry id="13"><eng>1.0</eng><deu>1,0</deu></entry>
  </entries>
</lang>)";

s::thread::Pooled<s::lang::Localizer> twoLanguageLocalizer()
{
    s::thread::Pooled<s::lang::Localizer> localizer;
    localizer->setSystemLanguageName(u"English");
    s::thread::Pooled<s::xml::Node> root;
    root->parseBytes(reinterpret_cast<const uint8_t*>(twoLanguages.data()), twoLanguages.size());
    localizer->load(root.get());
    return localizer;
}

}

TEST_F(WindowTest, CheckBoxFiresOnlyOnChanges)
{
    CheckBox* box = CheckBox::get();
    box->setText(u"Audio only");
    Recorder recorder;
    box->addCheckedListener(&recorder);
    box->addUncheckedListener(&recorder);
    window->add(box);

    box->setChecked(true);
    box->setChecked(true);
    EXPECT_EQ(recorder.count(CheckBox::Checked), 1) << "checked twice fires once";
    box->setChecked(false);
    box->setChecked(false);
    EXPECT_EQ(recorder.count(CheckBox::Unchecked), 1);
    EXPECT_FALSE(onUiThread([&] { return qtOf<QCheckBox>(box)->isChecked(); }));

    // The user's click goes the same way.
    window->show();
    onUiThread([&] { QTest::mouseClick(qtOf<QCheckBox>(box), Qt::LeftButton, {}, QPoint(6, qtOf<QCheckBox>(box)->height() / 2)); });
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(recorder.count(CheckBox::Checked), 2);
    ASSERT_EQ(recorder.size(), 3u);
    EXPECT_EQ(recorder.at(2).sender, static_cast<s::base::IObject*>(box));
}

TEST_F(WindowTest, BindersFollowTheirSource)
{
    CheckBox* useLogin = CheckBox::get();
    TextField* name = TextField::get();
    TextField* password = TextField::get();
    Button* test = Button::get();
    password->setPassword(true);
    window->add(useLogin);
    window->add(name);
    window->add(password);
    window->add(test);
    useLogin->bindEnabled(name);
    useLogin->bindEnabled(password);
    useLogin->enableWhenChecked(test);

    name->setEnabled(false);
    password->setEnabled(false);
    test->setEnabled(false);
    useLogin->setChecked(true);
    EXPECT_TRUE(name->isEnabled());
    EXPECT_TRUE(password->isEnabled());
    EXPECT_TRUE(test->isEnabled());
    EXPECT_TRUE(onUiThread([&] { return qtOf<QLineEdit>(password)->isEnabled(); }));
    useLogin->setChecked(false);
    EXPECT_FALSE(name->isEnabled());
    EXPECT_FALSE(password->isEnabled());
    EXPECT_TRUE(test->isEnabled()) << "only bound one way";
    EXPECT_FALSE(onUiThread([&] { return qtOf<QLineEdit>(name)->isEnabled(); }));
    EXPECT_EQ(onUiThread([&] { return qtOf<QLineEdit>(password)->echoMode(); }), QLineEdit::Password);
}

TEST_F(WindowTest, EditablersSwitchReadOnly)
{
    TextField* source = TextField::get();
    TextField* target = TextField::get();
    window->add(source);
    window->add(target);
    source->readOnlyWhen(target);
    source->focusLost();
    EXPECT_FALSE(target->isEditable());
    EXPECT_TRUE(onUiThread([&] { return qtOf<QLineEdit>(target)->isReadOnly(); }));
    source->editableWhen(target);
    source->userEdited(u"x");
    EXPECT_TRUE(target->isEditable());
}

TEST_F(WindowTest, TextFieldReportsUserEditsEnterAndFocusLoss)
{
    TextField* field = TextField::get();
    Recorder recorder;
    field->addChangeListener(&recorder);
    field->addEnterListener(&recorder);
    field->addFocusLostListener(&recorder);
    window->add(field);
    window->show();
    onUiThread([&] { QTest::keyClicks(qtOf<QLineEdit>(field), QStringLiteral("ab")); });
    EXPECT_EQ(recorder.count(TextField::Changed), 2);
    EXPECT_EQ(field->getText(), u"ab");
    // The program's own text is no user change.
    field->setText(u"set by the program");
    EXPECT_EQ(recorder.count(TextField::Changed), 2);
    EXPECT_EQ(onUiThread([&] { return qtOf<QLineEdit>(field)->text(); }), QStringLiteral("set by the program"));
    field->setChangeNotification(false);
    onUiThread([&] { QTest::keyClick(qtOf<QLineEdit>(field), Qt::Key_C); });
    EXPECT_EQ(recorder.count(TextField::Changed), 2);
    onUiThread([&] { QTest::keyClick(qtOf<QLineEdit>(field), Qt::Key_Return); });
    EXPECT_EQ(recorder.count(TextField::EnterPressed), 1);
}

TEST_F(WindowTest, ButtonsClickToggleAndSizeToTheirCaption)
{
    Button* button = Button::get();
    button->setText(u"Download");
    Recorder recorder;
    button->addClickListener(&recorder);
    button->addToggleListener(&recorder);
    window->add(button);
    window->show();
    EXPECT_GT(button->getWidth(), 40);
    EXPECT_EQ(button->getMinWidth(), button->getMaxWidth());
    onUiThread([&] { QTest::mouseClick(qtOf<QPushButton>(button), Qt::LeftButton); });
    EXPECT_EQ(recorder.count(Button::Clicked), 1);
    EXPECT_EQ(recorder.count(Button::Toggled), 0);
    button->setToggle(true);
    onUiThread([&] { QTest::mouseClick(qtOf<QPushButton>(button), Qt::LeftButton); });
    EXPECT_EQ(recorder.count(Button::Clicked), 2);
    EXPECT_EQ(recorder.count(Button::Toggled), 1);
    EXPECT_TRUE(button->isToggled());
}

TEST_F(WindowTest, AMovedHiddenComponentStaysHiddenAndShowsAtItsNewPlace)
{
    Box* box = fixedBox(200, 200);
    box->layoutPile();
    Label* label = leaf(20, 10, 20, 10);
    box->add(label);
    label->setVisible(false);
    EXPECT_FALSE(shownOnPlatform(label));
    EXPECT_EQ(geometryOf(label).x(), -10000) << "hidden components wait off-screen";
    label->setLocation(5, 6);
    EXPECT_FALSE(shownOnPlatform(label)) << "a move never changes visibility";
    EXPECT_FALSE(label->isVisible());
    EXPECT_EQ(geometryOf(label).x(), -10000);
    label->setVisible(true);
    EXPECT_TRUE(shownOnPlatform(label));
    // Showing lays the parent out again, and the widget stands where the component now is.
    EXPECT_EQ(geometryOf(label), QRect(label->getX(), label->getY(), 20, 10));
}

TEST_F(WindowTest, SuspendedComponentsMoveOnceWhenResumed)
{
    Box* box = fixedBox(200, 200);
    box->layoutPile();
    Label* label = leaf(20, 10, 20, 10);
    box->add(label);
    label->suspendLayout();
    label->setLocation(10, 10);
    label->setSize(30, 30);
    EXPECT_TRUE(label->isBoundsPending());
    EXPECT_NE(geometryOf(label), QRect(10, 10, 30, 30));
    label->resumeLayout();
    EXPECT_FALSE(label->isBoundsPending());
    EXPECT_EQ(geometryOf(label), QRect(10, 10, 30, 30));
}

TEST_F(WindowTest, ValuesSetBeforeCreationApplyWhenCreated)
{
    Box* box = Box::get();
    box->setFixedWidth(100, false);
    box->setFixedHeight(100, false);
    box->layoutPile();
    Label* label = Label::get();
    label->setText(u"configured first");
    label->setEnabled(false);
    label->setBackgroundColour(10, 20, 30, false);
    box->add(label);
    EXPECT_FALSE(label->isCreated());
    EXPECT_FALSE(label->isVisible()) << "visible means created too";
    window->add(box);
    EXPECT_TRUE(label->isCreated());
    EXPECT_EQ(label->getWindow(), static_cast<s::gui::IWindow*>(window.get()));
    EXPECT_FALSE(onUiThread([&] { return qtOf<QWidget>(label)->isEnabled(); }));
    EXPECT_EQ(onUiThread([&] { return qtOf<QLabel>(label)->text(); }), QStringLiteral("configured first"));
    // Removing a container destroys and releases its children.
    window->remove(box);
    EXPECT_EQ(window->getChildCount(), 0u);
}

TEST_F(WindowTest, TransparentComponentsShowTheNearestOpaqueAncestorsColour)
{
    Box* outer = fixedBox(100, 100);
    outer->setBackgroundColour(1, 2, 3);
    Box* middle = Box::get();
    outer->add(middle);
    Label* label = leaf(1, 1, 1, 1);
    middle->add(label);
    EXPECT_TRUE(label->isBackgroundTransparent());
    EXPECT_EQ(label->getBackgroundColour(), 0x030201u);
    label->setBackgroundWhite();
    EXPECT_EQ(label->getBackgroundColour(), 0xFFFFFFu);
    label->setBackgroundLight();
    EXPECT_EQ(label->getBackgroundColour(), 0x808080u);
}

TEST_F(WindowTest, LanguageSwitchRelabelsComponentsTabsAndTitle)
{
    s::thread::Pooled<s::lang::Localizer> localizer = twoLanguageLocalizer();
    Recorder recorder;
    window->addListener(Window::LanguageChanged, &recorder);
    window->setLocalizer(localizer.get());
    window->setTitleId(3, 13);
    EXPECT_EQ(window->getTitle(), u"Video Getter v1.0");

    Button* button = Button::get();
    button->setTextId(1);
    Label* label = Label::get();
    label->setTextId(2);
    auto* tabs = s::gui::os::TabBox::get();
    window->add(button);
    window->add(label);
    window->add(tabs);
    tabs->addPageId(Box::get(), 2);
    EXPECT_EQ(button->getText(), u"Download");
    EXPECT_EQ(label->getText(), u"Options");
    int32_t englishWidth = label->getWidth();
    int heardBefore = recorder.count(Window::LanguageChanged);

    onUiThread([&] { localizer->selectLanguage(u"German"); });
    EXPECT_EQ(button->getText(), u"Herunterladen");
    EXPECT_EQ(label->getText(), u"Einstellungen");
    EXPECT_EQ(onUiThread([&] { return qtOf<QPushButton>(button)->text(); }), QStringLiteral("Herunterladen"));
    EXPECT_GT(label->getWidth(), englishWidth) << "a label sizes itself to its new text";
    EXPECT_EQ(tabs->getTabText(0), u"Einstellungen");
    EXPECT_EQ(window->getTitle(), u"Videoholer v1,0");
    EXPECT_EQ(recorder.count(Window::LanguageChanged), heardBefore + 1);

    // A destroyed component no longer listens.
    window->remove(label);
    onUiThread([&] { localizer->selectLanguage(u"English"); });
    EXPECT_EQ(button->getText(), u"Download");
    window->setLocalizer(nullptr);
}

TEST_F(WindowTest, FontSettingReachesComponentsWithoutAnExplicitFont)
{
    s::thread::Pooled<s::gui::FontSetting> setting;
    window->setFontSetting(setting.get());
    Label* plain = Label::get();
    plain->setText(u"plain");
    Label* bold = Label::get();
    bold->setText(u"bold");
    bold->setBold(true);
    window->add(plain);
    window->add(bold);
    setting->setFontCode(4);
    EXPECT_EQ(plain->getFont().points, 14);
    EXPECT_EQ(bold->getFont().points, 10) << "an explicit font keeps its size";
    EXPECT_EQ(onUiThread([&] { return qtOf<QLabel>(plain)->font().pointSize(); }), 14);
    window->removeAll();
    EXPECT_EQ(setting->listenerCount(), 0u);
}

TEST(FontCode, WeightAndPointSize)
{
    struct Case {
        int32_t code;
        bool applies;
        int32_t weight;
        int32_t points;
    } cases[] = {
        { 0, true, 400, 10 }, { 2, true, 400, 12 }, { -2, true, 400, 8 }, { 99, true, 400, 109 },
        { 100, true, 700, 14 }, { 102, true, 700, 16 }, { 999, true, 700, 113 },
        { 100001, true, 400, 8 }, { 1000, false, 400, 10 }, { 5000, false, 400, 10 },
        { -50, true, 400, 1 }, // no size below one point
    };
    for (const Case& c : cases) {
        s::gui::FontDescription font;
        EXPECT_EQ(font.applyCode(c.code), c.applies) << c.code;
        EXPECT_EQ(font.weight, c.weight) << c.code;
        EXPECT_EQ(font.points, c.points) << c.code;
    }
}

TEST_F(WindowTest, TimedLabelTextComesBack)
{
    Label* label = Label::get();
    label->setText(u"Ready");
    window->add(label);
    // Long enough that a loaded machine still reads the timed text before the timer restores it.
    label->setTextFor(u"Copied", 1000);
    label->setTextFor(u"Copied again", 1000);
    EXPECT_EQ(onUiThread([&] { return std::u16string(label->getText()); }), u"Copied again");
    EXPECT_TRUE(eventually([&] { return !label->isShowingTimedText(); }));
    EXPECT_EQ(onUiThread([&] { return std::u16string(label->getText()); }), u"Ready") << "the text from before the first call";
}

TEST_F(WindowTest, LinkLabelsTakeTheMouseAndReportClicks)
{
    Label* link = Label::get();
    link->setText(u"Home page");
    link->setLink(true);
    link->setOpensLinks(false);
    Recorder recorder;
    link->addClickListener(&recorder);
    Label* plain = Label::get();
    plain->setText(u"plain");
    window->add(link);
    window->add(plain);
    window->show();
    EXPECT_TRUE(onUiThread([&] { return qtOf<QWidget>(plain)->testAttribute(Qt::WA_TransparentForMouseEvents); }));
    EXPECT_FALSE(onUiThread([&] { return qtOf<QWidget>(link)->testAttribute(Qt::WA_TransparentForMouseEvents); }));
    onUiThread([&] {
        QTest::mousePress(qtOf<QWidget>(link), Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(link->getLinkState(), 2);
        QTest::mouseRelease(qtOf<QWidget>(link), Qt::LeftButton, {}, QPoint(2, 2));
    });
    EXPECT_EQ(recorder.count(Label::Clicked), 1);
    // A release outside is no click.
    onUiThread([&] {
        QTest::mousePress(qtOf<QWidget>(link), Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseRelease(qtOf<QWidget>(link), Qt::LeftButton, {}, QPoint(-20, -20));
    });
    EXPECT_EQ(recorder.count(Label::Clicked), 1);
}
