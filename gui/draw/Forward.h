#pragma once

namespace s::gui::draw {
struct Rect;
struct Size;
struct Region;
struct Picture;
class ICanvas;
class RecordingCanvas;
}
