#pragma once

namespace s::io {

class IOutputStream;

// An object whose content can be handed to a byte stream as it stands (an array its elements'
// bytes, say), so writers need not know the object's class.
class IInputStreamable {
public:
    virtual ~IInputStreamable() = default;

    // Writes the content's bytes to out; false when the stream refused some of them.
    virtual bool streamTo(IOutputStream& out) const = 0;
};

}
