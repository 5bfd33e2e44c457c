#pragma once

// The requests that download workers send to windows through IWindow::sendRequest. A handler
// tells them apart by the address of the name, so always pass these constants, never a copy of
// their text.
namespace s::video::gui::dialogs::videodl {

// To the job's Owner: a1 = 1 when a worker starts, 0 when it ends; a2 = 0.
inline constexpr char ProcessUpdateDownloadedNum[] = "ProcessUpdateDownloadedNum";

// To the job's Owner, at most once a second per job: a1 = address of an int64_t copy of Speed
// (bytes per second), a2 = address of an int64_t copy of Eta (milliseconds).
inline constexpr char ProcessUpdateSpeedAndEta[] = "ProcessUpdateSpeedAndEta";

// To the job's LogListener, through sendRequestTo with the generation the window had when it
// became the listener: a1 = address of a const s::str::StrBuffer holding the text just appended
// to the job's Log; a2 = 0.
inline constexpr char ProcessUpdateLog[] = "ProcessUpdateLog";

}
