#pragma once

namespace s::video::gui::dialogs::videodl {
class ClipboardWatch;
class IMainInputs;
class LinkText;
class PageScan;
class YouTubeLinks;
}
