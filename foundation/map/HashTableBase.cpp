#include "foundation/map/HashTableBase.h"

#include <cassert>
#include <cstdlib>
#include <new>

namespace s::map {

namespace {

MapNode** allocateBuckets(uint32_t count)
{
    auto* buckets = static_cast<MapNode**>(std::calloc(count, sizeof(MapNode*)));
    if (!buckets)
        throw std::bad_alloc();
    return buckets;
}

}

HashTableBase::~HashTableBase()
{
    // Subclasses have emptied the table already: their giveBack is gone by now.
    assert(m_count == 0 && !m_buckets);
}

void HashTableBase::freeBuckets()
{
    std::free(m_buckets);
    m_buckets = nullptr;
    m_level = 0;
}

uint32_t HashTableBase::keyHash(const base::IObject* key) const
{
    return m_ignoreCase ? key->hashIgnoreCase() : key->hash();
}

bool HashTableBase::keysEqual(const base::IObject* key, const MapNode* node) const
{
    return m_ignoreCase ? key->equalsIgnoreCase(node->key) : key->equals(node->key);
}

MapNode* HashTableBase::findNode(const base::IObject* key, uint32_t hash) const
{
    if (!m_buckets)
        return nullptr;
    for (MapNode* node = m_buckets[hash % bucketCounts[m_level]]; node; node = node->next) {
        if (node->hash == hash && keysEqual(key, node))
            return node;
    }
    return nullptr;
}

bool HashTableBase::insert(base::IObject* key, base::IObject* value)
{
    assert(key);
    // Step 1: buckets on the first insert, the next level once the entries reach half the buckets.
    if (!m_buckets)
        m_buckets = allocateBuckets(bucketCounts[m_level]);
    else if (m_count >= bucketCounts[m_level] / 2 && m_level + 1 < levelCount)
        moveToLevel(m_level + 1);

    // Step 2: walk the chain to its end; an equal key makes the insert fail.
    uint32_t hash = keyHash(key);
    MapNode** link = &m_buckets[hash % bucketCounts[m_level]];
    for (; *link; link = &(*link)->next) {
        if ((*link)->hash == hash && keysEqual(key, *link))
            return false;
    }

    // Step 3: append the new node.
    MapNode* node = takeNode();
    node->hash = hash;
    node->key = key;
    node->value = value;
    node->next = nullptr;
    *link = node;
    ++m_count;
    return true;
}

void HashTableBase::moveToLevel(uint32_t level)
{
    // Step 1: gather every node onto one list, newest-gathered first.
    MapNode* gathered = nullptr;
    uint32_t oldCount = bucketCounts[m_level];
    for (uint32_t b = 0; b < oldCount; ++b) {
        for (MapNode* node = m_buckets[b]; node;) {
            MapNode* next = node->next;
            node->next = gathered;
            gathered = node;
            node = next;
        }
    }

    // Step 2: the new, empty bucket array.
    std::free(m_buckets);
    m_buckets = nullptr;
    m_buckets = allocateBuckets(bucketCounts[level]);
    m_level = level;

    // Step 3: pushing the reversed list onto the chain heads leaves every chain in gathering
    // order, which is the order appending each node at the end of its chain would give.
    uint32_t newCount = bucketCounts[level];
    while (gathered) {
        MapNode* node = gathered;
        gathered = node->next;
        MapNode*& head = m_buckets[node->hash % newCount];
        node->next = head;
        head = node;
    }
}

base::IObject* HashTableBase::get(const base::IObject* key, base::IObject* defaultValue) const
{
    MapNode* node = findNode(key, keyHash(key));
    return node ? node->value : defaultValue;
}

bool HashTableBase::contains(const base::IObject* key) const
{
    return findNode(key, keyHash(key)) != nullptr;
}

base::IObject* HashTableBase::storedKey(const base::IObject* key) const
{
    MapNode* node = findNode(key, keyHash(key));
    return node ? node->key : nullptr;
}

MapNode* HashTableBase::unlink(const base::IObject* key)
{
    if (!m_buckets)
        return nullptr;
    uint32_t hash = keyHash(key);
    for (MapNode** link = &m_buckets[hash % bucketCounts[m_level]]; *link; link = &(*link)->next) {
        MapNode* node = *link;
        if (node->hash == hash && keysEqual(key, node)) {
            *link = node->next;
            --m_count;
            return node;
        }
    }
    return nullptr;
}

bool HashTableBase::remove(const base::IObject* key)
{
    MapNode* node = unlink(key);
    if (!node)
        return false;
    disposeNode(node);
    return true;
}

bool HashTableBase::take(const base::IObject* key, base::IObject*& storedKey, base::IObject*& storedValue)
{
    MapNode* node = unlink(key);
    if (!node)
        return false;
    storedKey = node->key;
    storedValue = node->value;
    giveBack(node);
    return true;
}

void HashTableBase::disposeNode(MapNode* node)
{
    if (m_keyCleaner) {
        void* key = node->key;
        m_keyCleaner->dispose(key);
    }
    if (m_valueCleaner) {
        void* value = node->value;
        m_valueCleaner->dispose(value);
    }
    giveBack(node);
}

void HashTableBase::clear()
{
    if (!m_buckets)
        return;
    // The chains are detached first and the count dropped, so cleaners that look at the table
    // see it empty.
    uint32_t n = bucketCounts[m_level];
    MapNode* detached = nullptr;
    for (uint32_t b = 0; b < n; ++b) {
        for (MapNode* node = m_buckets[b]; node;) {
            MapNode* next = node->next;
            node->next = detached;
            detached = node;
            node = next;
        }
        m_buckets[b] = nullptr;
    }
    m_count = 0;
    while (detached) {
        MapNode* node = detached;
        detached = node->next;
        disposeNode(node);
    }
}

void HashTableBase::setIgnoreCase(bool ignoreCase)
{
    assert(m_count == 0 && "stored hashes would no longer match");
    m_ignoreCase = ignoreCase;
}

void HashTableBase::reset()
{
    clear();
    m_keyCleaner = nullptr;
    m_valueCleaner = nullptr;
    m_ignoreCase = false;
}

HashTableBase::ConstIterator HashTableBase::begin() const
{
    if (!m_buckets)
        return end();
    for (uint32_t b = 0, n = bucketCounts[m_level]; b < n; ++b) {
        if (m_buckets[b])
            return ConstIterator(this, b, m_buckets[b]);
    }
    return end();
}

HashTableBase::ConstIterator& HashTableBase::ConstIterator::operator++()
{
    m_node = m_node->next;
    if (m_node)
        return *this;
    for (uint32_t b = m_bucket + 1, n = bucketCounts[m_table->m_level]; b < n; ++b) {
        if (m_table->m_buckets[b]) {
            m_bucket = b;
            m_node = m_table->m_buckets[b];
            return *this;
        }
    }
    m_bucket = 0;
    return *this;
}

}
