#pragma once

namespace s::xml {

// The kind shared by the objects of an XML document, so a generic holder can tell them apart
// from other library objects.
class IXml {
public:
    virtual ~IXml() = default;
};

}
