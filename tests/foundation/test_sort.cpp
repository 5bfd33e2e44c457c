#include "foundation/col/ArrayP.h"
#include "foundation/col/ArrayS08.h"
#include "foundation/col/ArrayS32.h"
#include "foundation/col/ArrayS64.h"
#include "foundation/col/ArrayU08.h"
#include "foundation/col/ArrayU32.h"
#include "foundation/col/Sort.h"
#include "foundation/comp/CompP.h"
#include "foundation/comp/CompS08.h"
#include "foundation/comp/CompS32.h"
#include "foundation/comp/CompS64.h"
#include "foundation/comp/CompU08.h"
#include "foundation/comp/CompU32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

using s::thread::Pooled;

namespace {

// A record sorted by key only; seq tells whether equal keys kept their input order.
struct Record {
    int32_t key;
    int32_t seq;
    bool operator==(const Record&) const = default;
};

// An odd-sized record, to exercise the sort's path for widths other than 1, 2, 4 and 8.
struct Wide {
    int32_t key;
    int32_t seq;
    int32_t pad;
    bool operator==(const Wide&) const = default;
};

struct Counted {
    int calls { 0 };
};

template<class T>
int byKey(const void* a, const void* b, void* user)
{
    if (user)
        ++static_cast<Counted*>(user)->calls;
    int32_t x = static_cast<const T*>(a)->key;
    int32_t y = static_cast<const T*>(b)->key;
    return x < y ? -1 : (x > y ? 1 : 0);
}

template<class T>
std::vector<T> sortedByMergeSort(std::vector<T> records, Counted* counted = nullptr)
{
    s::col::mergeSort(records.data(), static_cast<uint32_t>(records.size()), sizeof(T), byKey<T>, counted);
    return records;
}

template<class T>
std::vector<T> sortedByStdStableSort(std::vector<T> records)
{
    std::stable_sort(records.begin(), records.end(), [](const T& a, const T& b) { return a.key < b.key; });
    return records;
}

template<class T>
std::vector<T> randomRecords(uint32_t count, int32_t distinctKeys, uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int32_t> key(0, distinctKeys - 1);
    std::vector<T> records(count);
    for (uint32_t i = 0; i < count; ++i) {
        records[i] = T {};
        records[i].key = key(random);
        records[i].seq = static_cast<int32_t>(i);
    }
    return records;
}

}

TEST(MergeSort, SmallCasesAndTies)
{
    struct Case {
        const char* name;
        std::vector<int32_t> keys;
        std::vector<Record> expected; // key, input position
    };
    const Case cases[] = {
        { "empty", {}, {} },
        { "one", { 4 }, { { 4, 0 } } },
        { "three", { 3, 1, 2 }, { { 1, 1 }, { 2, 2 }, { 3, 0 } } },
        { "ties in a short range", { 2, 1, 2, 1 }, { { 1, 1 }, { 1, 3 }, { 2, 0 }, { 2, 2 } } },
        { "ties across halves", { 5, 1, 5, 1, 5, 1, 5, 1, 0 },
            { { 0, 8 }, { 1, 1 }, { 1, 3 }, { 1, 5 }, { 1, 7 }, { 5, 0 }, { 5, 2 }, { 5, 4 }, { 5, 6 } } },
        { "seven descending", { 7, 6, 5, 4, 3, 2, 1 },
            { { 1, 6 }, { 2, 5 }, { 3, 4 }, { 4, 3 }, { 5, 2 }, { 6, 1 }, { 7, 0 } } },
        { "all equal", { 3, 3, 3, 3, 3, 3, 3, 3 },
            { { 3, 0 }, { 3, 1 }, { 3, 2 }, { 3, 3 }, { 3, 4 }, { 3, 5 }, { 3, 6 }, { 3, 7 } } },
    };
    for (const Case& c : cases) {
        std::vector<Record> records;
        for (size_t i = 0; i < c.keys.size(); ++i)
            records.push_back({ c.keys[i], static_cast<int32_t>(i) });
        EXPECT_EQ(sortedByMergeSort(records), c.expected) << c.name;
    }
}

TEST(MergeSort, AnOrderedInputIsLeftAsItIsWithOneCompareLessThanItsLength)
{
    // The ordered-halves shortcut: every leaf costs its length - 1 compares, every split one.
    for (uint32_t n : { 7u, 8u, 13u, 100u, 1000u }) {
        std::vector<Record> records;
        for (uint32_t i = 0; i < n; ++i)
            records.push_back({ static_cast<int32_t>(i / 3), static_cast<int32_t>(i) }); // ordered, with ties
        Counted counted;
        EXPECT_EQ(sortedByMergeSort(records, &counted), records) << n;
        EXPECT_EQ(counted.calls, static_cast<int>(n - 1)) << n;
    }
}

TEST(MergeSort, MatchesStdStableSortForEverySizeAndWidth)
{
    struct Case {
        uint32_t count;
        int32_t distinctKeys;
    };
    const Case cases[] = { { 2, 2 }, { 6, 3 }, { 7, 3 }, { 8, 2 }, { 14, 5 }, { 15, 1 }, { 100, 10 }, { 1001, 50 }, { 5000, 5000 } };
    for (const Case& c : cases) {
        auto records = randomRecords<Record>(c.count, c.distinctKeys, c.count);
        EXPECT_EQ(sortedByMergeSort(records), sortedByStdStableSort(records)) << c.count;
        auto wide = randomRecords<Wide>(c.count, c.distinctKeys, c.count + 1);
        EXPECT_EQ(sortedByMergeSort(wide), sortedByStdStableSort(wide)) << c.count << " wide";
    }
}

TEST(MergeSort, ArraysSortByTheirDefaultComparator)
{
    Pooled<s::col::_array::ArrayU08> u08;
    Pooled<s::col::_array::ArrayS08> s08;
    Pooled<s::col::_array::ArrayU32> u32;
    Pooled<s::col::_array::ArrayS32> s32;
    Pooled<s::col::_array::ArrayS64> s64;
    for (uint8_t v : { 200, 1, 128, 0 })
        u08->push(v);
    for (int8_t v : { 100, -100, 0, -1 })
        s08->push(v);
    for (uint32_t v : { 3000000000u, 1u, 2147483648u })
        u32->push(v);
    for (int32_t v : { 3, 1, 2 })
        s32->push(v);
    for (int64_t v : { int64_t(1) << 40, -(int64_t(1) << 40), int64_t(0) })
        s64->push(v);
    u08->sort();
    s08->sort();
    u32->sort();
    s32->sort();
    s64->sort();
    EXPECT_EQ(std::vector<uint8_t>(u08->begin(), u08->end()), (std::vector<uint8_t> { 0, 1, 128, 200 }));
    EXPECT_EQ(std::vector<int8_t>(s08->begin(), s08->end()), (std::vector<int8_t> { -100, -1, 0, 100 }));
    EXPECT_EQ(std::vector<uint32_t>(u32->begin(), u32->end()), (std::vector<uint32_t> { 1u, 2147483648u, 3000000000u }));
    EXPECT_EQ(std::vector<int32_t>(s32->begin(), s32->end()), (std::vector<int32_t> { 1, 2, 3 }));
    EXPECT_EQ(std::vector<int64_t>(s64->begin(), s64->end()), (std::vector<int64_t> { -(int64_t(1) << 40), 0, int64_t(1) << 40 }));

    // An explicit comparator wins over the default one.
    class Descending final : public s::base::IComparator {
    public:
        int compare(const void* a, const void* b) const override { return -s::comp::CompS32::order(a, b); }
        const char* className() const override { return "s_test_Descending"; }
    } descending;
    s32->sort(&descending);
    EXPECT_EQ(std::vector<int32_t>(s32->begin(), s32->end()), (std::vector<int32_t> { 3, 2, 1 }));
}

TEST(Comparators, OrderByNumericValueSignedOrUnsigned)
{
    struct Case {
        const s::base::IComparator* comparator;
        const char* className;
        int64_t low;  // stored in the comparator's element type
        int64_t high;
    };
    const Case cases[] = {
        { &s::comp::CompU08::instance(), "s_comp_CompU08", 1, 255 },
        { &s::comp::CompS08::instance(), "s_comp_CompS08", -128, 127 },
        { &s::comp::CompU32::instance(), "s_comp_CompU32", 7, 4294967295LL },
        { &s::comp::CompS32::instance(), "s_comp_CompS32", -2147483648LL, 2147483647 },
        { &s::comp::CompS64::instance(), "s_comp_CompS64", std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max() },
    };
    auto store = [](const char* name, int64_t value, void* slot) {
        std::string n = name;
        if (n == "s_comp_CompU08" || n == "s_comp_CompS08")
            *static_cast<int8_t*>(slot) = static_cast<int8_t>(value);
        else if (n == "s_comp_CompU32" || n == "s_comp_CompS32")
            *static_cast<int32_t*>(slot) = static_cast<int32_t>(value);
        else
            *static_cast<int64_t*>(slot) = value;
    };
    for (const Case& c : cases) {
        alignas(8) unsigned char low[8];
        alignas(8) unsigned char high[8];
        store(c.className, c.low, low);
        store(c.className, c.high, high);
        EXPECT_STREQ(c.comparator->className(), c.className);
        EXPECT_EQ(c.comparator->compare(low, high), -1) << c.className;
        EXPECT_EQ(c.comparator->compare(high, low), 1) << c.className;
        EXPECT_EQ(c.comparator->compare(low, low), 0) << c.className;
        EXPECT_EQ(c.comparator->compareIgnoreCase(high, low), 1) << c.className;
    }

    // The pointer comparator orders element slots by the addresses they hold, unsigned.
    void* lowAddress = reinterpret_cast<void*>(uintptr_t(0x10));
    void* highAddress = reinterpret_cast<void*>(~uintptr_t(0));
    const auto& byAddress = s::comp::CompP::instance();
    EXPECT_STREQ(byAddress.className(), "s_comp_CompP");
    EXPECT_EQ(byAddress.compare(&lowAddress, &highAddress), -1);
    EXPECT_EQ(byAddress.compare(&highAddress, &lowAddress), 1);
    EXPECT_EQ(byAddress.compare(&highAddress, &highAddress), 0);

    Pooled<s::col::_array::ArrayP> pointers;
    pointers->push(highAddress);
    pointers->push(lowAddress);
    pointers->sort();
    EXPECT_EQ(pointers->first(), lowAddress);
}

TEST(Comparators, ArePooled)
{
    s::comp::CompS32* comparator = s::comp::CompS32::get();
    ASSERT_NE(comparator, nullptr);
    comparator->release();
    EXPECT_EQ(s::comp::CompS32::get(), comparator);
    comparator->release();
}
