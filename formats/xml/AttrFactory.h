#pragma once

#include "formats/xml/Attribute.h"
#include "foundation/thread/Factory.h"

namespace s::xml {

// The pool of attribute records. A record handed out is zero-filled; one put back has its two
// texts freed.
class AttrFactory final : public thread::Factory {
public:
    static AttrFactory& instance();

    Attribute* take() { return static_cast<Attribute*>(get()); }
    void give(Attribute* record)
    {
        if (!record->borrowed)
            put(record);
    }

    // A record holding copies of the name and the (already escaped) value.
    Attribute* make(const char16_t* name, uint32_t nameLength, const char16_t* value, uint32_t valueLength);

    void resetRecord(void* record) override;
    void destroyRecord(void* record) override;

    const char* className() const override { return "s_xml_AttrFactory"; }

private:
    AttrFactory();
    ~AttrFactory() override;
};

}
