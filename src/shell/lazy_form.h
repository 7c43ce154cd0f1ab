// lazy_form.h: a pop-up window made on first use. Reading it, reaching one
// of its controls or showing it makes it (hidden) and runs its load step;
// unloading forgets it, and the next use makes it again in its design state.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace mj::shell {

class LazyForm {
public:
    // `load` builds the window's controls and runs its load step.
    LazyForm(std::string name, std::function<void(ui::Form&)> load) : name_(std::move(name)), load_(std::move(load)) {}
    LazyForm(const LazyForm&) = delete;
    LazyForm& operator=(const LazyForm&) = delete;

    // The window, made and loaded when it is not.
    ui::Form& get();
    [[nodiscard]] bool isLoaded() const { return form_ != nullptr; }
    // The window when it is loaded, else nullptr; for callers that must not load it.
    [[nodiscard]] ui::Form* ifLoaded() const { return form_.get(); }
    // Visible only when loaded and shown; never loads the window.
    [[nodiscard]] bool shown() const { return form_ && form_->visible(); }
    // Forgets the window. One that is not loaded stays unloaded. The object
    // itself lives on hidden until `collect` (its own handler may be running).
    void unload();
    // Destroys unloaded windows; only from a timer, never inside their handlers.
    void collect();
    [[nodiscard]] std::size_t retiredCount() const { return retired_.size(); }
    // How many times the load step ran.
    [[nodiscard]] int loads() const { return loads_; }

    // Given the window once it is made, and before it is destroyed (the host).
    std::function<void(ui::Form&)> onMade;
    std::function<void(ui::Form&)> onDestroy;
    // Told when a window was unloaded, so a timer can collect it later.
    std::function<void()> onRetired;

private:
    std::string name_;
    std::function<void(ui::Form&)> load_;
    std::unique_ptr<ui::Form> form_;
    std::vector<std::unique_ptr<ui::Form>> retired_;
    int loads_ = 0;
};

}  // namespace mj::shell
