// lazy_form.cpp: make on first use, unload and collect.
#include "shell/lazy_form.h"

namespace mj::shell {

ui::Form& LazyForm::get() {
    if (!form_) {
        form_ = std::make_unique<ui::Form>(name_);
        ++loads_;
        // Attached before loading, so the load step's layering reaches a real window.
        if (onMade) onMade(*form_);
        if (load_) load_(*form_);
    }
    return *form_;
}

void LazyForm::unload() {
    if (!form_) return;
    form_->setVisible(false);
    retired_.push_back(std::move(form_));
    if (onRetired) onRetired();
}

void LazyForm::collect() {
    for (auto& f : retired_) {
        if (onDestroy) onDestroy(*f);
    }
    retired_.clear();
}

}  // namespace mj::shell
