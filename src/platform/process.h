// process.h: the process itself: command line, single instance, folders,
// message boxes, the screen, the log and the one way to end.
#pragma once
#include <string>
#include <string_view>

namespace mj::platform {

struct ScreenSize {
    int widthPx = 1024;
    int heightPx = 768;
};

class Process {
public:
    virtual ~Process() = default;
    // The launch line as the hall passed it (UTF-8).
    [[nodiscard]] virtual std::string commandLine() const = 0;
    // True when another instance of the client already runs. The first call
    // claims the instance for this process.
    [[nodiscard]] virtual bool anotherInstanceRunning() = 0;
    // The folder of the program, without a trailing separator.
    [[nodiscard]] virtual std::string programFolder() const = 0;
    // A modal box with one OK button; returns when the user closes it.
    virtual void messageBox(std::string_view text, std::string_view title) = 0;
    [[nodiscard]] virtual ScreenSize screenSize() const = 0;
    // Opens a web address in the system's default browser, shown normally;
    // the result is not looked at.
    virtual void openInBrowser(std::string_view address) = 0;
    // One line of the client's diagnostic log.
    virtual void log(std::string_view line) = 0;
    // Opens a folder in the system's file browser.
    virtual void openFolder(const std::string& path) = 0;
    // Ends the process. The in-memory implementation throws ProcessEnded so that
    // tests observe the end instead of the process stopping.
    [[noreturn]] virtual void endProcess(int exitCode) = 0;
};

// Thrown by test implementations of Process::endProcess.
struct ProcessEnded {
    int exitCode = 0;
};

}  // namespace mj::platform
