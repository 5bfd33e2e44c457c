#include "formats/map/IMappedData.h"

#include "foundation/col/ArrayU08.h"

namespace s::map {

bool IMappedData::setBytes(const char16_t* path, const char16_t* name, const ArrayU08& bytes)
{
    return setBytes(path, name, bytes.items(), bytes.count());
}

}
