// Feeds arbitrary bytes to the XML reader, both as UTF-8 (the file path) and as raw UTF-16 units
// (lone surrogates and all), then exercises everything a caller does with the tree.
#include "formats/xml/Node.h"
#include "foundation/col/ArrayU08.h"
#include "foundation/str/StrBuffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using s::str::StrBuffer;
using s::thread::Pooled;
using s::xml::Node;

static void exercise(Node& node)
{
    Pooled<StrBuffer> out;
    node.writeTo(out.get());
    Pooled<s::col::_array::ArrayU08> bytes = Pooled<s::col::_array::ArrayU08>::adopt(node.toUtf8Bytes());

    // Read the written form again: it must parse and write without trouble too.
    Pooled<Node> again;
    again->parseBytes(bytes.get());
    Pooled<StrBuffer> second;
    again->writeTo(second.get());

    // Walk the tree with every getter on every record.
    std::vector<const Node*> pending { &node };
    Pooled<StrBuffer> value;
    size_t visited = 0;
    while (!pending.empty() && visited < 10000) {
        const Node* n = pending.back();
        pending.pop_back();
        ++visited;
        const s::xml::Attributes* attributes = n->getAttributes();
        for (uint32_t i = 0; i < attributes->count(); ++i) {
            const char16_t* name = attributes->at(i)->name;
            n->getString(value.get(), name, u"default", i % 2 == 0);
            (void)n->getS32(name, 1);
            (void)n->getU64(name, 1);
            (void)n->getBool(name, true);
        }
        (void)n->getChild(n->getName(), -1);
        (void)n->getChild(n->getName(), static_cast<int32_t>(n->nameLength()));
        for (uint32_t i = 0; i < n->childCount(); ++i)
            pending.push_back(n->childAt(i));
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        Pooled<Node> node;
        node->parseBytes(data, size);
        exercise(*node);
    }
    {
        std::vector<char16_t> units(size / 2 + 1, 0);
        std::memcpy(units.data(), data, size / 2 * 2);
        Pooled<Node> node;
        const char16_t* end = node->parse(units.data());
        if (end < units.data() || end > units.data() + size / 2)
            std::abort();
        exercise(*node);
    }
    return 0;
}
