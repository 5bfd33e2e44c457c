#include "foundation/cleaner/CleanerPooledIObject.h"
#include "foundation/col/ArrayP.h"
#include "foundation/col/ArrayS08.h"
#include "foundation/col/ArrayS32.h"
#include "foundation/col/ArrayS64.h"
#include "foundation/col/ArrayU08.h"
#include "foundation/col/ArrayU32.h"
#include "foundation/col/CollectionInputStream.h"
#include "foundation/col/Growth.h"
#include "foundation/col/Iterator.h"
#include "foundation/comp/CompP.h"
#include "foundation/comp/CompS32.h"
#include "foundation/str/StrArray.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using s::col::_array::ArrayBase;
using s::col::_array::ArrayP;
using s::col::_array::ArrayS08;
using s::col::_array::ArrayS32;
using s::col::_array::ArrayS64;
using s::col::_array::ArrayU08;
using s::col::_array::ArrayU32;
using s::thread::Pooled;

namespace {

std::vector<int32_t> values(const ArrayS32& array) { return { array.begin(), array.end() }; }

Pooled<ArrayS32> arrayOf(std::vector<int32_t> elements)
{
    Pooled<ArrayS32> array;
    array->append(elements.data(), static_cast<uint32_t>(elements.size()));
    return array;
}

// An output stream that keeps what it is given, to see what an array writes.
class Collector final : public s::io::IOutputStream {
public:
    bool write(const void* data, uint32_t count, uint32_t& written) override
    {
        bytes.append(static_cast<const char*>(data), count);
        written = count;
        return true;
    }
    std::string bytes;
};

}

// Growth ------------------------------------------------------------------------------------------

TEST(ArrayGrowth, FollowsTheRuleAtEveryStep)
{
    struct Case {
        uint64_t capacity;
        uint64_t needed;
        uint64_t expected;
    };
    const Case cases[] = {
        { 0, 1, 100 },
        { 0, 100, 100 },
        { 99, 100, 100 },
        { 100, 101, 300 },
        { 300, 301, 900 },
        { 900, 901, 2700 },
        { 0, 250, 300 },           // repeated until the request fits
        { 0, 1000, 2700 },
        { 500, 400, 500 },         // already fits: unchanged
        { 9'999'999, 10'000'000, 29'999'997 },
        { 10'000'000, 10'000'001, 20'000'000 },
        { 49'999'999, 50'000'000, 99'999'998 },
        { 50'000'000, 50'000'001, 75'000'000 },
        { 99'999'999, 100'000'000, 149'999'998 },
        { 100'000'000, 100'000'001, 120'000'000 },
        { 100'000'000, 150'000'000, 172'800'000 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(s::col::grownCapacity(c.capacity, c.needed), c.expected) << c.capacity << " needing " << c.needed;
}

TEST(ArrayGrowth, OneElementAppendsGrowTo100Then300Then2700)
{
    struct Case {
        uint32_t appends;
        uint32_t capacity;
    };
    const Case cases[] = { { 1, 100 }, { 100, 100 }, { 101, 300 }, { 300, 300 }, { 301, 900 }, { 901, 2700 } };
    for (const Case& c : cases) {
        ArrayU32 array; // a fresh one: pooled arrays keep their blocks
        for (uint32_t i = 0; i < c.appends; ++i)
            array.push(i);
        EXPECT_EQ(array.capacity(), c.capacity) << c.appends << " appends";
        EXPECT_EQ(array.count(), c.appends);
        EXPECT_EQ(array.last(), c.appends - 1);
    }
}

TEST(ArrayGrowth, SetCountGrowsToExactlyTheCountAndBulkAppendsFollowTheRule)
{
    ArrayU08 array;
    array.setCount(150);
    EXPECT_EQ(array.capacity(), 150u);
    EXPECT_EQ(array.count(), 150u);
    array.setCount(20); // shrinking keeps the block
    EXPECT_EQ(array.capacity(), 150u);
    array.setCount(150);
    uint8_t one = 7;
    array.append(&one, 1);
    EXPECT_EQ(array.capacity(), 450u);

    ArrayU08 bulk;
    std::vector<uint8_t> many(250, 1);
    bulk.append(many.data(), 250);
    EXPECT_EQ(bulk.capacity(), 300u);
}

TEST(ArrayGrowth, PooledArraysComeBackEmptyWithTheirBlock)
{
    ArrayS32* array = ArrayS32::get();
    for (int i = 0; i < 150; ++i)
        array->push(i);
    uint32_t capacity = array->capacity();
    array->release();
    ArrayS32* again = ArrayS32::get();
    EXPECT_EQ(again, array);
    EXPECT_EQ(again->count(), 0u);
    EXPECT_EQ(again->capacity(), capacity);
    again->release();
}

// Operation families ------------------------------------------------------------------------------

TEST(ArrayOperations, InsertAtIndex)
{
    struct Case {
        uint32_t index;
        std::vector<int32_t> source;
        uint32_t count;
        uint32_t sourceIndex;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        { 0, { 9 }, 1, 0, { 9, 1, 2, 3 } },           // 0 prepends, everything moves up one
        { 3, { 9 }, 1, 0, { 1, 2, 3, 9 } },           // the count appends
        { 1, { 8, 9 }, 2, 0, { 1, 8, 9, 2, 3 } },
        { 2, { 7, 8, 9 }, 2, 1, { 1, 2, 8, 9, 3 } },  // from a source index
        { 1, { 9 }, 0, 0, { 1, 2, 3 } },              // nothing
    };
    for (const Case& c : cases) {
        auto array = arrayOf({ 1, 2, 3 });
        array->insertAt(c.index, c.source.data(), c.count, c.sourceIndex);
        EXPECT_EQ(values(*array), c.expected) << "at " << c.index;
    }
}

TEST(ArrayOperations, InsertAtZeroAcrossGrowthKeepsEveryElement)
{
    Pooled<ArrayS32> array;
    for (int32_t i = 0; i < 1000; ++i)
        array->insertAt(0, &i, 1);
    ASSERT_EQ(array->count(), 1000u);
    for (uint32_t i = 0; i < 1000; ++i)
        ASSERT_EQ((*array)[i], static_cast<int32_t>(999 - i));
}

TEST(ArrayOperations, AppendingItselfAcrossGrowthReadsTheOldBlockSafely)
{
    ArrayU08 array; // a fresh one, so the appends below must move the block
    const uint8_t seed[] = { 1, 2, 3 };
    array.append(seed, 3);
    for (int i = 0; i < 7; ++i) // 3 → 384 bytes: the block moves at 100 and at 300
        array.append(array.items(), array.count());
    ASSERT_EQ(array.count(), 384u);
    for (uint32_t i = 0; i < 384; ++i)
        ASSERT_EQ(array[i], seed[i % 3]) << i;
}

TEST(ArrayOperations, WritesAppendsAndPrepends)
{
    struct Case {
        const char* name;
        void (*apply)(ArrayS32&);
        std::vector<int32_t> expected;
    };
    static const int32_t source[] = { 10, 11, 12, 13 };
    const Case cases[] = {
        { "write inside", [](ArrayS32& a) { a.writeAt(source, 2, 0, 1); }, { 1, 10, 11, 4 } },
        { "write past the end extends", [](ArrayS32& a) { a.writeAt(source, 3, 1, 3); }, { 1, 2, 3, 11, 12, 13 } },
        { "write at the count", [](ArrayS32& a) { a.writeAt(source, 1, 3, 4); }, { 1, 2, 3, 4, 13 } },
        { "append from an index", [](ArrayS32& a) { a.append(source, 2, 2); }, { 1, 2, 3, 4, 12, 13 } },
        { "prepend", [](ArrayS32& a) { a.prepend(source, 2); }, { 10, 11, 1, 2, 3, 4 } },
        { "push", [](ArrayS32& a) { a.push(-5); }, { 1, 2, 3, 4, -5 } },
        { "copy from a range", [](ArrayS32& a) { auto b = arrayOf({ 7, 8, 9 }); a.copyFrom(*b, 1); }, { 8, 9 } },
        { "copy from a counted range", [](ArrayS32& a) { auto b = arrayOf({ 7, 8, 9 }); a.copyFrom(*b, 0, 1); }, { 7 } },
        { "copy from itself keeps the range", [](ArrayS32& a) { a.copyFrom(a, 1, 2); }, { 2, 3 } },
        { "append itself", [](ArrayS32& a) { a.append(a.items(), a.count()); }, { 1, 2, 3, 4, 1, 2, 3, 4 } },
        { "insert its own tail at its start", [](ArrayS32& a) { a.insertAt(0, a.items(), 2, 2); }, { 3, 4, 1, 2, 3, 4 } },
        { "write its own head over its tail", [](ArrayS32& a) { a.writeAt(a.items(), 3, 0, 2); }, { 1, 2, 1, 2, 3 } },
    };
    for (const Case& c : cases) {
        auto array = arrayOf({ 1, 2, 3, 4 });
        c.apply(*array);
        EXPECT_EQ(values(*array), c.expected) << c.name;
    }
}

TEST(ArrayOperations, DropsRemovesAndTakes)
{
    struct Case {
        const char* name;
        std::vector<int32_t> (*apply)(ArrayS32&); // returns what was taken out
        std::vector<int32_t> expected;
        std::vector<int32_t> taken;
    };
    const Case cases[] = {
        { "drop last", [](ArrayS32& a) { a.dropLast(2); return std::vector<int32_t>(); }, { 1, 2, 3 }, {} },
        { "drop first", [](ArrayS32& a) { a.dropFirst(2); return std::vector<int32_t>(); }, { 3, 4, 5 }, {} },
        { "drop all", [](ArrayS32& a) { a.dropFirst(5); return std::vector<int32_t>(); }, {}, {} },
        { "remove range", [](ArrayS32& a) { a.removeRange(1, 3); return std::vector<int32_t>(); }, { 1, 5 }, {} },
        { "remove empty range", [](ArrayS32& a) { a.removeRange(5, 0); return std::vector<int32_t>(); }, { 1, 2, 3, 4, 5 }, {} },
        { "remove at the end", [](ArrayS32& a) { return std::vector<int32_t> { a.removeAt(4) }; }, { 1, 2, 3, 4 }, { 5 } },
        { "remove at the start", [](ArrayS32& a) { return std::vector<int32_t> { a.removeAt(0) }; }, { 2, 3, 4, 5 }, { 1 } },
        { "take last", [](ArrayS32& a) { std::vector<int32_t> b(2); a.takeLast(2, b.data()); return b; }, { 1, 2, 3 }, { 4, 5 } },
        { "take first", [](ArrayS32& a) { std::vector<int32_t> b(2); a.takeFirst(2, b.data()); return b; }, { 3, 4, 5 }, { 1, 2 } },
        { "take range into a buffer index", [](ArrayS32& a) { std::vector<int32_t> b(3, 0); a.takeRange(2, b.data(), 2, 1); return b; }, { 1, 2, 5 }, { 0, 3, 4 } },
        { "copy out all from an index", [](ArrayS32& a) { std::vector<int32_t> b(3, 0); EXPECT_EQ(a.copyOut(b.data(), 0, 2), 3u); return b; }, { 1, 2, 3, 4, 5 }, { 3, 4, 5 } },
        { "copy out counted to a target index", [](ArrayS32& a) { std::vector<int32_t> b(3, 0); a.copyOut(b.data(), 2, 0, 1); return b; }, { 1, 2, 3, 4, 5 }, { 0, 0, 1 } },
        { "clear", [](ArrayS32& a) { a.clear(); return std::vector<int32_t>(); }, {}, {} },
        { "swap", [](ArrayS32& a) { a.swap(0, 4); a.swap(2, 2); return std::vector<int32_t>(); }, { 5, 2, 3, 4, 1 }, {} },
        { "reverse odd", [](ArrayS32& a) { a.reverse(); return std::vector<int32_t>(); }, { 5, 4, 3, 2, 1 }, {} },
        { "reverse even", [](ArrayS32& a) { a.dropLast(1); a.reverse(); return std::vector<int32_t>(); }, { 4, 3, 2, 1 }, {} },
        { "reverse one", [](ArrayS32& a) { a.dropLast(4); a.reverse(); return std::vector<int32_t>(); }, { 1 }, {} },
        { "reverse none", [](ArrayS32& a) { a.clear(); a.reverse(); return std::vector<int32_t>(); }, {}, {} },
    };
    for (const Case& c : cases) {
        auto array = arrayOf({ 1, 2, 3, 4, 5 });
        std::vector<int32_t> taken = c.apply(*array);
        EXPECT_EQ(values(*array), c.expected) << c.name;
        EXPECT_EQ(taken, c.taken) << c.name;
    }
}

TEST(ArrayOperations, ClearKeepsTheBlockAndFreeStorageDropsIt)
{
    auto array = arrayOf({ 1, 2, 3 });
    const void* block = array->data();
    uint32_t capacity = array->capacity();
    array->clear();
    EXPECT_EQ(array->count(), 0u);
    EXPECT_EQ(array->capacity(), capacity);
    EXPECT_EQ(array->data(), block);
    array->freeStorage();
    EXPECT_EQ(array->capacity(), 0u);
    EXPECT_EQ(array->data(), nullptr);
    array->push(4); // usable again
    EXPECT_EQ(values(*array), std::vector<int32_t> { 4 });
}

TEST(ArrayOperations, CompareRangeIsByteOrderWithTheShorterFirst)
{
    Pooled<ArrayU08> array;
    const uint8_t bytes[] = { 'a', 'b', 'c', 0xFF };
    array->append(bytes, 4);
    struct Case {
        uint32_t index;
        uint32_t count;
        std::vector<uint8_t> buffer;
        int expected;
    };
    const Case cases[] = {
        { 0, 3, { 'a', 'b', 'c' }, 0 },
        { 0, 2, { 'a', 'b', 'c' }, -1 },   // a prefix comes first
        { 0, 3, { 'a', 'b' }, 1 },
        { 1, 2, { 'b', 'd' }, -1 },
        { 3, 1, { 0x7F }, 1 },              // bytes are unsigned
        { 0, 0, {}, 0 },
        { 0, 0, { 'a' }, -1 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(array->compareRange(c.index, c.count, c.buffer.data(), static_cast<uint32_t>(c.buffer.size())), c.expected)
            << c.index << "+" << c.count;
}

TEST(ArrayOperations, FindGivesTheFirstIndex)
{
    auto array = arrayOf({ 5, 7, 5, 9 });
    EXPECT_EQ(array->find(5), 0);
    EXPECT_EQ(array->find(9), 3);
    EXPECT_EQ(array->find(6), -1);
    EXPECT_TRUE(array->contains(7));
}

TEST(ArrayOperations, TypesSizesAndDescriptions)
{
    Pooled<ArrayU08> u08;
    Pooled<ArrayS08> s08;
    Pooled<ArrayU32> u32;
    Pooled<ArrayS64> s64;
    Pooled<ArrayP> p;
    u08->push(200);
    u08->push(0);
    s08->push(-56);
    u32->push(4000000000u);
    s64->push(-9000000000LL);
    s64->push(1);
    p->push(nullptr);

    struct Case {
        const ArrayBase* array;
        const char* className;
        uint32_t typeCode;
        uint32_t elementBytes;
        uint64_t byteSize;
        std::string description;
    };
    const Case cases[] = {
        { u08.get(), "s_col__array_ArrayU08", 1, 1, 2, "s_col__array_ArrayU08 [ 200 0]" },
        { s08.get(), "s_col__array_ArrayS08", 2, 1, 1, "s_col__array_ArrayS08 [ -56]" },
        { u32.get(), "s_col__array_ArrayU32", 3, 4, 4, "s_col__array_ArrayU32 [ 4000000000]" },
        { s64.get(), "s_col__array_ArrayS64", 6, 8, 16, "s_col__array_ArrayS64 [ -9000000000 1]" },
        { p.get(), "s_col__array_ArrayP", 5, sizeof(void*), sizeof(void*), "" },
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.array->className(), c.className);
        EXPECT_EQ(c.array->elementTypeCode(), c.typeCode) << c.className;
        EXPECT_EQ(c.array->elementBytes(), c.elementBytes) << c.className;
        EXPECT_EQ(c.array->byteSize(), c.byteSize) << c.className;
        EXPECT_EQ(c.array->byteSize(3), 3u * c.elementBytes) << c.className;
        if (!c.description.empty()) {
            EXPECT_EQ(c.array->describe(), c.description);
        }
    }
    EXPECT_EQ(p->describe().rfind("s_col__array_ArrayP [ ", 0), 0u);
    // With an object cleaner the elements are known to be objects and show their class.
    Pooled<s::col::_array::Iterator> element;
    Pooled<ArrayP> objects;
    objects->setCleaner(&s::cleaner::CleanerPooledIObject::instance());
    objects->push(static_cast<s::base::IObject*>(element.take()));
    EXPECT_EQ(objects->describe().rfind("s_col__array_ArrayP [ s_col_array_Iterator@0x", 0), 0u) << objects->describe();
    Pooled<ArrayS32> empty;
    EXPECT_EQ(empty->describe(), "s_col__array_ArrayS32 []");
}

TEST(ArrayOperations, ByteStreamsReadFromThePositionAndAppendOnWrite)
{
    Pooled<ArrayU08> array;
    uint32_t written = 0;
    ASSERT_TRUE(array->write("hello ", 6, written));
    ASSERT_TRUE(array->write("world", 5, written));
    EXPECT_EQ(written, 5u);
    EXPECT_EQ(array->count(), 11u);

    std::string read;
    char piece[4];
    uint32_t got = 0;
    while (array->read(piece, sizeof piece, got))
        read.append(piece, got);
    EXPECT_EQ(read, "hello world");
    EXPECT_EQ(got, 0u);
    EXPECT_FALSE(array->read(piece, sizeof piece, got)); // stays at the end

    Collector out;
    auto numbers = arrayOf({ 1, -1 });
    ASSERT_TRUE(numbers->streamTo(out));
    ASSERT_EQ(out.bytes.size(), 8u);
    int32_t back[2];
    std::memcpy(back, out.bytes.data(), 8);
    EXPECT_EQ(back[0], 1);
    EXPECT_EQ(back[1], -1);
}

namespace {

// A collection whose slots are not one block, so readers must go element by element.
class Scattered final : public s::col::IEnumerable {
public:
    explicit Scattered(std::vector<uint16_t> values)
    {
        for (uint16_t v : values)
            slots.push_back(std::make_unique<uint16_t>(v));
    }
    uint32_t elementCount() const override { return static_cast<uint32_t>(slots.size()); }
    uint32_t elementBytes() const override { return 2; }
    const void* elementAt(uint32_t index) const override { return slots[index].get(); }
    std::vector<std::unique_ptr<uint16_t>> slots;
};

std::string readAll(s::col::CollectionInputStream& stream, uint32_t piece)
{
    std::string bytes;
    std::vector<char> buffer(piece);
    uint32_t got = 0;
    while (stream.read(buffer.data(), piece, got))
        bytes.append(buffer.data(), got);
    return bytes;
}

}

TEST(CollectionInputStream, ReadsElementBytesInAnyPieceSizeWithItsOwnPosition)
{
    auto numbers = arrayOf({ 0x04030201, 0x08070605, 0x0C0B0A09 });
    Scattered scattered({ 0x0201, 0x0403, 0x0605 });
    const std::string twelve = "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C";
    struct Case {
        const s::col::IEnumerable* collection;
        uint32_t piece;
        std::string expected;
    };
    const Case cases[] = {
        { numbers.get(), 1, twelve },
        { numbers.get(), 5, twelve },
        { numbers.get(), 100, twelve },
        { &scattered, 1, twelve.substr(0, 6) },
        { &scattered, 3, twelve.substr(0, 6) },
        { &scattered, 64, twelve.substr(0, 6) },
    };
    for (const Case& c : cases) {
        Pooled<s::col::CollectionInputStream> stream;
        stream->attach(c.collection);
        EXPECT_EQ(readAll(*stream, c.piece), c.expected) << c.piece;
        stream->rewind();
        EXPECT_EQ(readAll(*stream, c.piece), c.expected) << c.piece << " again";
    }
    EXPECT_EQ(numbers->readPosition(), 0u); // the array's own stream did not move

    Pooled<s::col::CollectionInputStream> empty;
    char byte;
    uint32_t got = 1;
    EXPECT_FALSE(empty->read(&byte, 1, got));
    EXPECT_EQ(got, 0u);
}

// Iterators ---------------------------------------------------------------------------------------

TEST(ArrayIterator, WalksBothWaysAndSkipsWithinTheEnds)
{
    auto array = arrayOf({ 10, 20, 30, 40 });
    {
        auto it = array->iteratorAtStart();
        EXPECT_STREQ(it->className(), "s_col_array_Iterator");
        EXPECT_FALSE(it->hasPrevious());
        std::vector<int32_t> seen;
        while (it->hasNext())
            seen.push_back(it->nextAs<int32_t>());
        EXPECT_EQ(seen, values(*array));
        EXPECT_EQ(it->previousAs<int32_t>(), 40);
    }
    struct Case {
        const char* name;
        Pooled<s::col::_array::Iterator> iterator;
        uint32_t position;
    };
    Case cases[] = {
        { "at end", array->iteratorAtEnd(), 4 },
        { "at index", array->iteratorAt(2), 2 },
        { "one from end", array->iteratorFromEnd(1), 3 },
        { "all from end", array->iteratorFromEnd(4), 0 },
    };
    for (Case& c : cases)
        EXPECT_EQ(c.iterator->position(), c.position) << c.name;

    auto it = array->iteratorAt(1);
    it->skip(2);
    EXPECT_EQ(it->nextAs<int32_t>(), 40);
    it->skip(10); // clamped at the end
    EXPECT_FALSE(it->hasNext());
    it->skipBack(3);
    EXPECT_EQ(it->nextAs<int32_t>(), 20);
    it->skipBack(10);
    EXPECT_EQ(it->position(), 0u);
}

TEST(ArrayIterator, SurvivesTheArrayMovingItsBlock)
{
    Pooled<ArrayS32> array;
    array->push(1);
    auto it = array->iteratorAtStart();
    for (int32_t i = 2; i <= 500; ++i)
        array->push(i); // moves the block several times
    int32_t sum = 0;
    while (it->hasNext())
        sum += it->nextAs<int32_t>();
    EXPECT_EQ(sum, 500 * 501 / 2);
}

// Pointer arrays and their cleaner ----------------------------------------------------------------

namespace {

class Item final : public s::base::IObject, public s::thread::IPoolable {
    S_POOLED_CLASS(Item, "s_test_Item")
public:
    void reset() override { value = 0; }
    int value { 0 };
};

std::vector<Item*> drainItemPool()
{
    std::vector<Item*> held;
    while (s::thread::poolOf<Item>().freeCount() > 0)
        held.push_back(Item::get());
    return held;
}

void releaseAll(std::vector<Item*>& items)
{
    for (Item* item : items)
        item->release();
    items.clear();
}

// An array that always owns its items, as the text-buffer array owns its texts.
class ItemArray final : public ArrayP {
    S_POOLED_CLASS(ItemArray, "s_test_ItemArray")
public:
    ItemArray()
        : ArrayP(&s::thread::poolOf<Item>())
    {
    }
};

}

TEST(ArrayPointer, WithAPoolAsCleanerReturnsEveryElementToThePool)
{
    struct Case {
        const char* name;
        void (*dispose)(Pooled<ArrayP>&);
    };
    const Case cases[] = {
        { "release", [](Pooled<ArrayP>& a) { a.replace(); } },
        { "free storage", [](Pooled<ArrayP>& a) { a->freeStorage(); } },
        { "dispose all", [](Pooled<ArrayP>& a) { a->disposeAll(); } },
    };
    for (const Case& c : cases) {
        std::vector<Item*> held = drainItemPool();
        Pooled<ArrayP> array;
        array->setCleaner(&s::thread::poolOf<Item>());
        std::vector<Item*> items;
        for (int i = 1; i <= 5; ++i) {
            Item* item = Item::get();
            item->value = i;
            items.push_back(item);
            array->push(item);
        }
        c.dispose(array);
        EXPECT_EQ(s::thread::poolOf<Item>().freeCount(), 5u) << c.name;
        if (array) {
            EXPECT_EQ(array->count(), 0u) << c.name;
        }
        // Every one came back reset; the pool hands them out again, last in first out.
        for (int i = 4; i >= 0; --i) {
            Item* again = Item::get();
            EXPECT_EQ(again, items[i]) << c.name;
            EXPECT_EQ(again->value, 0) << c.name;
            held.push_back(again);
        }
        releaseAll(held);
    }
}

TEST(ArrayPointer, RemovingAndClearingDoNotDispose)
{
    std::vector<Item*> held = drainItemPool();
    Pooled<ArrayP> array;
    array->setCleaner(&s::thread::poolOf<Item>());
    std::vector<Item*> items;
    for (int i = 0; i < 4; ++i) {
        items.push_back(Item::get());
        array->push(items.back());
    }
    EXPECT_EQ(array->removeAt(0), items[0]);
    array->dropLast(1);
    array->clear();
    EXPECT_EQ(s::thread::poolOf<Item>().freeCount(), 0u);
    EXPECT_EQ(array->find(items[1]), -1);
    releaseAll(items);
    releaseAll(held);
}

TEST(ArrayPointer, DestructionDisposesOwnedElements)
{
    std::vector<Item*> held = drainItemPool();
    {
        ArrayP local;
        local.setCleaner(&s::thread::poolOf<Item>());
        local.push(Item::get());
        local.push(Item::get());
    }
    EXPECT_EQ(s::thread::poolOf<Item>().freeCount(), 2u);
    releaseAll(held);
}

TEST(ArrayPointer, APlainArrayForgetsItsCleanerOnReleaseAndAnOwningSubclassKeepsIt)
{
    ArrayP* plain = ArrayP::get();
    plain->setCleaner(&s::thread::poolOf<Item>());
    plain->release();
    ArrayP* again = ArrayP::get();
    EXPECT_EQ(again, plain);
    EXPECT_EQ(again->cleaner(), nullptr);
    again->release();

    std::vector<Item*> held = drainItemPool();
    ItemArray* owning = ItemArray::get();
    EXPECT_STREQ(owning->className(), "s_test_ItemArray");
    owning->push(Item::get());
    owning->release(); // the element goes back to its pool, the array to its own
    EXPECT_EQ(s::thread::poolOf<Item>().freeCount(), 1u);
    ItemArray* owningAgain = ItemArray::get();
    EXPECT_EQ(owningAgain, owning);
    EXPECT_EQ(owningAgain->cleaner(), &s::thread::poolOf<Item>());
    EXPECT_EQ(owningAgain->count(), 0u);
    owningAgain->release();
    releaseAll(held);
}

TEST(ArrayPointer, ATextArrayReturnsEveryTextBufferToTheTextBufferPool)
{
    using s::str::StrArray;
    using s::str::strbuffer::StrBuffer;
    struct Case {
        const char* name;
        void (*dispose)(Pooled<StrArray>&);
    };
    const Case cases[] = {
        { "release", [](Pooled<StrArray>& a) { a.replace(); } },
        { "free storage", [](Pooled<StrArray>& a) { a->freeStorage(); } },
    };
    for (const Case& c : cases) {
        std::vector<Pooled<StrBuffer>> held; // empties the text pool for the test's life
        while (s::thread::poolOf<StrBuffer>().freeCount() > 0)
            held.emplace_back();
        Pooled<StrArray> texts;
        std::vector<StrBuffer*> elements;
        for (const char16_t* text : { u"one", u"two", u"three" })
            elements.push_back(texts->addCopy(text));
        ASSERT_EQ(s::thread::poolOf<StrBuffer>().freeCount(), 0u);
        c.dispose(texts);
        EXPECT_EQ(s::thread::poolOf<StrBuffer>().freeCount(), 3u) << c.name;
        for (int i = 2; i >= 0; --i) {
            held.emplace_back();
            EXPECT_EQ(held.back().get(), elements[i]) << c.name; // last in, first out
        }
    }
}
