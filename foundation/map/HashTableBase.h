#pragma once

#include "foundation/base/IDestructor.h"
#include "foundation/base/IObject.h"
#include "foundation/col/ICollection.h"
#include "foundation/map/MapNode.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>

namespace s::map {

// A chained hash table from objects to objects: the rules of MapTable and Map, which differ only
// in where their nodes come from. Keys are compared by their hash and equals
// (hashIgnoreCase / equalsIgnoreCase with the ignore-case flag), so text buffers work as keys.
//
// The bucket array grows through fixed prime sizes (211, 431, 863, ...): an insert first moves
// the table to the next size once the entries reach half the buckets. An insert never replaces:
// a key already present makes it fail and leaves the table as it was.
//
// With cleaners the table owns its keys and values: clear(), remove(), reset() and destruction
// dispose of them. The cleaners receive the key and value as IObject* (converted to void*), so
// use CleanerIObject, CleanerPooledIObject or a cleaner that expects exactly that.
class HashTableBase : public base::IObject
    , public col::ICollection
    , public thread::IPoolable {
public:
    static constexpr uint32_t levelCount = 20;
    static constexpr uint32_t bucketCounts[levelCount] = {
        211, 431, 863, 1733, 3467, 6947, 13901, 27803, 55609, 111227,
        222461, 444929, 889871, 1779761, 3559537, 7119103, 14238221, 28476473, 56952947, 113905901
    };

    HashTableBase(const HashTableBase&) = delete;
    HashTableBase& operator=(const HashTableBase&) = delete;

    // Adds key → value; false (and nothing changed, the caller keeps both) when the key is
    // already present.
    bool insert(base::IObject* key, base::IObject* value);
    // The value stored for key, or the caller's default.
    base::IObject* get(const base::IObject* key, base::IObject* defaultValue = nullptr) const;
    bool contains(const base::IObject* key) const;
    // The stored key equal to key (the table's own object), or null.
    base::IObject* storedKey(const base::IObject* key) const;

    // Removes the entry and disposes of its key and value through the cleaners; false when absent.
    bool remove(const base::IObject* key);
    // Removes the entry and hands its key and value to the caller, undisposed; false when absent.
    bool take(const base::IObject* key, base::IObject*& storedKey, base::IObject*& storedValue);

    // Disposes of every key and value through the cleaners; nodes go back to their pool, the
    // bucket array stays at its size.
    void clear() override;
    uint32_t count() const override { return m_count; }

    uint32_t level() const { return m_level; }
    // 0 until the first insert allocates the buckets.
    uint32_t bucketCount() const { return m_buckets ? bucketCounts[m_level] : 0; }

    void setCleaners(base::IDestructor* keyCleaner, base::IDestructor* valueCleaner)
    {
        m_keyCleaner = keyCleaner;
        m_valueCleaner = valueCleaner;
    }
    base::IDestructor* keyCleaner() const { return m_keyCleaner; }
    base::IDestructor* valueCleaner() const { return m_valueCleaner; }

    // Set before the first insert: hashes of stored entries are not recomputed.
    void setIgnoreCase(bool ignoreCase);
    bool ignoreCase() const { return m_ignoreCase; }

    // Calls f(key, value) for every entry, bucket by bucket, each chain in insertion order.
    // f must not change the table.
    template<class F>
    void forEach(F&& f) const
    {
        if (!m_buckets)
            return;
        for (uint32_t b = 0, n = bucketCounts[m_level]; b < n; ++b) {
            for (const MapNode* node = m_buckets[b]; node; node = node->next)
                f(node->key, node->value);
        }
    }

    // Range-for over the entries (same order as forEach); invalidated by any change.
    class ConstIterator {
    public:
        struct Entry {
            base::IObject* key;
            base::IObject* value;
        };
        Entry operator*() const { return { m_node->key, m_node->value }; }
        ConstIterator& operator++();
        bool operator==(const ConstIterator& other) const { return m_node == other.m_node; }

    private:
        friend class HashTableBase;
        ConstIterator(const HashTableBase* table, uint32_t bucket, const MapNode* node)
            : m_table(table)
            , m_bucket(bucket)
            , m_node(node)
        {
        }
        const HashTableBase* m_table;
        uint32_t m_bucket;
        const MapNode* m_node;
    };
    ConstIterator begin() const;
    ConstIterator end() const { return ConstIterator(this, 0, nullptr); }

    // Empties the table (disposing through the cleaners), forgets the cleaners and the flag,
    // keeps the bucket array.
    void reset() override;

protected:
    HashTableBase() = default;
    // Subclasses call clear() and freeBuckets() in their destructors, while giveBack exists.
    ~HashTableBase() override;
    void freeBuckets();

    virtual MapNode* takeNode() = 0;
    virtual void giveBack(MapNode* node) = 0;

private:
    uint32_t keyHash(const base::IObject* key) const;
    bool keysEqual(const base::IObject* key, const MapNode* node) const;
    MapNode* findNode(const base::IObject* key, uint32_t hash) const;
    // Unlinks the node of key and returns it, or null.
    MapNode* unlink(const base::IObject* key);
    void moveToLevel(uint32_t level);
    void disposeNode(MapNode* node);

    MapNode** m_buckets { nullptr };
    uint32_t m_level { 0 };
    uint32_t m_count { 0 };
    base::IDestructor* m_keyCleaner { nullptr };
    base::IDestructor* m_valueCleaner { nullptr };
    bool m_ignoreCase { false };
};

}
