// win32_web_browser.h: the system's web browser control hosted in a pane of a
// form: a child window over the pane's place, the control embedded in place
// in it, its navigation events passed to the pane's handlers from the message
// loop. When the control cannot be made, a navigation is reported failed, as
// a pane without a page engine would.
#pragma once
#include <windows.h>

#include <memory>
#include <set>
#include <string>

#include "platform/components.h"
#include "platform/controls.h"
#include "platform/process.h"

namespace mj::platform::win32 {

// What one navigation has come to. The control may report a failure more than
// once (a missing page gives the server's status, then the engine's own) and
// may complete the error page it shows afterwards: only the first end counts.
class PageLoadWatch {
public:
    enum class Report { None, Complete, Failed };
    void start() { state_ = State::Loading; }
    [[nodiscard]] bool loading() const { return state_ == State::Loading; }
    // NavigateError: the first failure of a navigation is reported.
    Report error();
    // DocumentComplete (also of a frame): reported unless the page failed.
    Report complete();
    // The bound for a navigation passed: a page still loading has failed.
    Report timeout();

private:
    enum class State { Idle, Loading, Complete, Failed };
    State state_ = State::Idle;
};

// The status a navigation that outlasts its bound is reported with (the
// system's "connection timed out").
inline constexpr int NavigationTimedOut = static_cast<int>(0x800C000BU);
// The status of a navigation when there is no control to navigate.
inline constexpr int NoBrowserControl = -1;

class WebBrowserPane;

// The live panes, so a form's change moves and shows theirs.
class BrowserPanes {
public:
    // Places every pane of that form over its control again (on every change
    // of the form).
    void follow(const ui::Form& form);

private:
    friend class WebBrowserPane;
    std::set<WebBrowserPane*> live_;
};

struct WebBrowserOptions {
    // The control's class; another one is only for tests of the fallback.
    CLSID control{};
    // How long a navigation may take before it counts as failed.
    UINT completionLimitMs = 20000;
};
[[nodiscard]] WebBrowserOptions defaultWebBrowserOptions();

class WebBrowserPane : public Browser {
public:
    WebBrowserPane(Process& process, BrowserPanes& panes, WebBrowserOptions options);
    ~WebBrowserPane() override;
    WebBrowserPane(const WebBrowserPane&) = delete;
    WebBrowserPane& operator=(const WebBrowserPane&) = delete;

    void setPane(ui::Control* pane) override;
    // Never waits: the page loads while the message loop runs, and every
    // outcome arrives through the loop, never from inside this call.
    void navigate(const std::string& url) override;

    // The control is embedded and can show pages (for tests).
    [[nodiscard]] bool hostsControl() const;
    // The child window the control sits in, nullptr before the first navigation.
    [[nodiscard]] HWND window() const;
    // Moves and shows the child window as the pane is now.
    void follow();
    [[nodiscard]] const ui::Control* pane() const { return pane_; }

    struct Impl;

private:
    Process& process_;
    BrowserPanes& panes_;
    ui::Control* pane_ = nullptr;
    std::unique_ptr<Impl> impl_;
};

}  // namespace mj::platform::win32
