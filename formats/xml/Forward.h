#pragma once

namespace s::xml {
class IXml;
class Node;
class Attributes;
class AttrFactory;
struct Attribute;
class MappedData;
}
