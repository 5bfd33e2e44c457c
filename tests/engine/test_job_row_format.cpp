// The texts of a job row's values: sizes, speeds, percentages, durations and states, in English
// and in another language, and unchanged under a decimal-comma locale.

#include "engine/JobState.h"
#include "engine/rows/RowFormat.h"
#include "engine/rows/RowTexts.h"
#include "foundation/str/StrBuffer.h"
#include "formats/lang/Localizer.h"
#include "tests/common/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace s::video::gui::dialogs::videodl;
using s::str::strbuffer::StrBuffer;
using s::thread::Pooled;

namespace {

template<typename Value>
std::u16string format(void (*formatter)(Value, StrBuffer&), Value value)
{
    Pooled<StrBuffer> out = StrBuffer::make(u"");
    formatter(value, *out);
    return std::u16string(out->view());
}

std::string utf8(const std::u16string& text)
{
    return StrBuffer::make(text)->toStdUtf8();
}

class RowFormatTest : public ::testing::Test {
protected:
    void SetUp() override { RowTexts::restoreBuiltIn(); }
    void TearDown() override { RowTexts::restoreBuiltIn(); }

    // Every table of this file, so that a second run can repeat them under another locale.
    static void checkTables()
    {
        struct SizeCase {
            int64_t bytes;
            std::u16string size;
            std::u16string speed;
        };
        const SizeCase sizes[] = {
            { 0, u"0 B", u"0 B/s" },
            { 1000, u"1000 B", u"1000 B/s" },
            { 1023, u"1023 B", u"1023 B/s" },
            { 1024, u"1.00 KB", u"1.00 KB/s" },
            { 1100, u"1.07 KB", u"1.07 KB/s" },
            { 1536, u"1.50 KB", u"1.50 KB/s" },
            { 10 * 1024 + 51, u"10.04 KB", u"10.04 KB/s" },
            { 1048575, u"1023.99 KB", u"1023.99 KB/s" },
            { 1048576, u"1.00 MB", u"1.00 MB/s" },
            { 1234567890, u"1.14 GB", u"1.14 GB/s" },
            { int64_t(5) << 40, u"5.00 TB", u"5.00 TB/s" },
            // Bits above the terabyte group do not count.
            { int64_t(1) << 50, u"0 B", u"0 B/s" },
            { -1, u"", u"" },
        };
        for (const SizeCase& c : sizes) {
            SCOPED_TRACE(c.bytes);
            EXPECT_EQ(format(RowFormat::FormatSize, c.bytes), c.size);
            EXPECT_EQ(format(RowFormat::FormatSpeed, c.bytes), c.speed);
        }

        struct PercentCase {
            double percent;
            std::u16string shown;
        };
        const PercentCase percents[] = {
            // Tools' percentages arrive in single precision: 45.3 is held as 45.2999992.
            { double(45.3f), u"45.2 %" },
            { double(45.5f), u"45.5 %" },
            { 0.0, u"0.0 %" },
            { 99.9, u"99.9 %" },
            { 100.0, u"100.0 %" },
            { 445.5, u"45.5 %" },
            { 400.0, u"100.0 %" },
            { 445.0, u"45.0 %" },
            { 100.1, u"0.1 %" },
            { -1.0, u"" },
        };
        for (const PercentCase& c : percents) {
            SCOPED_TRACE(c.percent);
            EXPECT_EQ(format(RowFormat::FormatPercent, RowFormat::PercentTenths(c.percent)), c.shown);
        }
        EXPECT_EQ(RowFormat::FoldPercentTenths(1001), 1);
        EXPECT_EQ(RowFormat::FoldPercentTenths(2000), 1000);
        EXPECT_EQ(RowFormat::FoldPercentTenths(4001), 1);
        EXPECT_EQ(RowFormat::FoldPercentTenths(5000), 1000);
        EXPECT_EQ(RowFormat::FoldPercentTenths(1000), 1000);

        struct DurationCase {
            int64_t ms;
            std::u16string shown;
        };
        const DurationCase durations[] = {
            { 0, u"0s" },
            { 999, u"0s" },
            { 5000, u"5s" },
            { 59999, u"59s" },
            { 60000, u"1m 0s" },
            { 65000, u"1m 5s" },
            { 3600000, u"1h 0m" },
            { 86399999, u"23h 59m" },
            { 86400000, u"1d 0h" },
            { 90000000, u"1d 1h" },
            { -1, u"" },
        };
        for (const DurationCase& c : durations) {
            SCOPED_TRACE(c.ms);
            EXPECT_EQ(format(RowFormat::FormatDuration, c.ms), c.shown);
        }
    }
};

TEST_F(RowFormatTest, Tables)
{
    checkTables();
}

TEST_F(RowFormatTest, TablesUnderADecimalCommaLocale)
{
    fetchwick::test::DecimalCommaLocale german;
    if (!german.active())
        GTEST_SKIP() << "the de_DE.UTF-8 locale could not be built here";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5") << "the locale is not in force";
    checkTables();
}

TEST_F(RowFormatTest, StateTextsBuiltInAndOutOfRange)
{
    EXPECT_EQ(format(RowFormat::FormatState, int32_t(JobState::Error)), u"Error");
    EXPECT_EQ(format(RowFormat::FormatState, int32_t(JobState::Pending)), u"Pending...");
    EXPECT_EQ(format(RowFormat::FormatState, int32_t(JobState::Completed)), u"Completed!");
    EXPECT_EQ(format(RowFormat::FormatState, int32_t(JobState::None)), u"");
    EXPECT_EQ(format(RowFormat::FormatState, int32_t(11)), u"");
    EXPECT_EQ(format(RowFormat::FormatState, int32_t(-7)), u"");
}

TEST_F(RowFormatTest, TextsComeFromTheLanguagePack)
{
    Pooled<s::lang::Localizer> localizer = s::lang::Localizer::createEmbedded();
    localizer->selectLanguage(u"English");
    RowTexts::fill(*localizer);
    EXPECT_EQ(format(RowFormat::FormatState, int32_t(JobState::Completed)), u"Completed");
    EXPECT_EQ(format(RowFormat::FormatState, int32_t(JobState::Merging)), u"Merging Files...");
    EXPECT_EQ(format(RowFormat::FormatDuration, int64_t(86400000)), u"1d 0h");

    localizer->selectLanguage(u"German");
    RowTexts::fill(*localizer);
    EXPECT_EQ(utf8(format(RowFormat::FormatState, int32_t(JobState::Downloading))), "L\xc3\xa4" "dt herunter");
    EXPECT_EQ(format(RowFormat::FormatDuration, int64_t(86400000)), u"1T 0h");

    localizer->selectLanguage(u"Polish");
    RowTexts::fill(*localizer);
    EXPECT_EQ(format(RowFormat::FormatDuration, int64_t(3600000)), u"1godz. 0min");
    EXPECT_EQ(format(RowFormat::FormatDuration, int64_t(65000)), u"1min 5s");
}

TEST_F(RowFormatTest, LongAndMissingLanguageTexts)
{
    std::u16string longest(RowTexts::MaxStateLength, u'x');
    std::u16string tooLong(RowTexts::MaxStateLength + 10, u'y');
    // A surrogate pair that would straddle the limit is left out whole.
    std::u16string straddling(RowTexts::MaxUnitLength - 1, u'u');
    straddling += u"\U0001F600";
    RowTexts::fill([&](int32_t id) -> std::u16string_view {
        switch (id) {
        case 3820000:
            return longest;
        case 3820100:
            return tooLong;
        case 3810010:
            return straddling;
        default:
            return {};
        }
    });
    EXPECT_EQ(RowTexts::state(JobState::Error), longest);
    EXPECT_EQ(RowTexts::state(JobState::Canceled), std::u16string(RowTexts::MaxStateLength, u'y'));
    // Texts the language does not have keep their built-in form.
    EXPECT_EQ(RowTexts::state(JobState::Completed), u"Completed!");
    EXPECT_EQ(RowTexts::unit(TimeUnit::Day), std::u16string(RowTexts::MaxUnitLength - 1, u'u'));
    EXPECT_EQ(RowTexts::unit(TimeUnit::Second), u"s");
}

}
