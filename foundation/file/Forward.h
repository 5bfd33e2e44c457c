#pragma once

namespace s::file {
class IFileInputStream;
class IFileOutputStream;
class IPath;
enum class SeekOrigin;
}

namespace s::file::os {
class FileInputStream;
class FileOutputStream;
class Path;
class PathArray;
}
