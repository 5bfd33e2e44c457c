#include "app/ColumnSettings.h"

#include "formats/map/IMappedData.h"

#include <algorithm>
#include <string>

namespace s::app {

namespace {

std::u16string section(std::u16string_view windowName, std::u16string_view name)
{
    std::u16string path(windowName);
    path += u'\\';
    path += name;
    return path;
}

std::u16string entryName(int32_t index)
{
    std::u16string name = u"_";
    for (char c : std::to_string(index))
        name += char16_t(c);
    return name;
}

}

void ColumnSettings::read(map::IMappedData& store, std::u16string_view windowName)
{
    *this = ColumnSettings();
    std::u16string orderPath = section(windowName, u"ColumnOrder1");
    std::u16string widthPath = section(windowName, u"ColumnWidth1");
    std::u16string ascPath = section(windowName, u"ColumnSortOrderAsc1");
    std::u16string sortPath = section(windowName, u"ColumnSortOrder1");

    // Step 1: the number of entries; below 1 nothing else is read.
    int32_t length = store.getS32(orderPath.c_str(), u"length", 0);
    if (length < 1)
        return;
    stored = true;
    length = std::min(length, maxEntries);

    // Step 2: each entry with its defaults (the index itself for order and priority).
    for (int32_t i = 0; i < length; ++i) {
        std::u16string name = entryName(i);
        order.push_back(store.getS32(orderPath.c_str(), name.c_str(), i));
        widths.push_back(store.getS32(widthPath.c_str(), name.c_str(), 0));
        ascending.push_back(store.getBool(ascPath.c_str(), name.c_str(), true));
        sortPriority.push_back(store.getS32(sortPath.c_str(), name.c_str(), i));
    }
}

void ColumnSettings::write(map::IMappedData& store, std::u16string_view windowName) const
{
    std::u16string orderPath = section(windowName, u"ColumnOrder1");
    std::u16string widthPath = section(windowName, u"ColumnWidth1");
    std::u16string ascPath = section(windowName, u"ColumnSortOrderAsc1");
    std::u16string sortPath = section(windowName, u"ColumnSortOrder1");
    int32_t count = int32_t(order.size());
    store.setS32(orderPath.c_str(), u"length", count);
    for (int32_t i = 0; i < count; ++i) {
        std::u16string name = entryName(i);
        store.setS32(orderPath.c_str(), name.c_str(), order[i]);
        if (size_t(i) < widths.size())
            store.setS32(widthPath.c_str(), name.c_str(), widths[i]);
        if (size_t(i) < ascending.size())
            store.setBool(ascPath.c_str(), name.c_str(), ascending[i]);
        if (size_t(i) < sortPriority.size())
            store.setS32(sortPath.c_str(), name.c_str(), sortPriority[i]);
    }
}

std::vector<int32_t> ColumnSettings::widthsFor(const std::vector<int32_t>& builtIn) const
{
    if (!stored || widths.size() < builtIn.size())
        return builtIn;
    std::vector<int32_t> result(builtIn.size());
    for (size_t i = 0; i < builtIn.size(); ++i) {
        int32_t width = widths[i];
        if (width <= 0)
            width = builtIn[i];
        else if (width < minWidth)
            width = minWidth;
        result[i] = width;
    }
    return result;
}

std::vector<int32_t> ColumnSettings::orderFor(int32_t columnCount) const
{
    if (!stored || !isPermutation(order, columnCount))
        return {};
    return order;
}

bool ColumnSettings::hasSortFor(int32_t columnCount) const
{
    return stored && columnCount > 0 && int32_t(sortPriority.size()) == columnCount && int32_t(ascending.size()) == columnCount
        && isPermutation(sortPriority, columnCount);
}

bool ColumnSettings::isPermutation(const std::vector<int32_t>& values, int32_t count)
{
    if (count <= 0 || int32_t(values.size()) != count)
        return false;
    std::vector<bool> seen(size_t(count), false);
    for (int32_t value : values) {
        if (value < 0 || value >= count || seen[size_t(value)])
            return false;
        seen[size_t(value)] = true;
    }
    return true;
}

}
