// controls.cpp: the control model's bookkeeping (geometry, stacking, arrays).
#include "platform/controls.h"

#include <algorithm>
#include <cmath>

namespace mj::ui {

Control::Control(Kind kind, std::string name, int index) : kind_(kind), name_(std::move(name)), index_(index) {}

Form* Control::form() { return form_; }

int toPixels(double units, double unitsPerPixel) { return static_cast<int>(std::lround(units / unitsPerPixel)); }

namespace {
constexpr int Far = 1 << 30;

// Where the host draws a control: its rectangle in window pixels (from which
// its children are offset) and the part of it that shows (to which they are
// cut). False when nothing of it shows.
bool place(const Control& c, PixelRect& rect, PixelRect& shown) {
    const Container* parent = c.parent();
    if (!c.visible() || !parent) return false;
    int ox = 0, oy = 0;
    PixelRect clip{-Far, -Far, Far, Far};
    if (parent->kind() != Kind::Form) {
        PixelRect parentRect;
        if (!place(*parent, parentRect, clip)) return false;
        ox = parentRect.left;
        oy = parentRect.top;
    }
    const double upp = parent->unitsPerPixel();
    rect.left = ox + toPixels(c.left(), upp);
    rect.top = oy + toPixels(c.top(), upp);
    rect.right = rect.left + toPixels(c.width(), upp);
    rect.bottom = rect.top + toPixels(c.height(), upp);
    shown = intersect(rect, clip);
    return !shown.empty();
}
}  // namespace

PixelRect Control::paintedRect() const {
    PixelRect rect, shown;
    return place(*this, rect, shown) ? shown : PixelRect{};
}

void Control::noteRect() {
    // A window already due to be painted whole gains nothing from a rectangle
    // (as from the first change after it is made until the host first paints
    // it), so the rectangle is not worked out for it.
    Form* f = form();
    if (!f || f->dirty_.all()) return;
    const PixelRect r = paintedRect();
    if (!r.empty()) f->dirty_.add(r);
}

void Control::willChange() { noteRect(); }

void Control::changed() {
    if (kind_ == Kind::Form) {
        static_cast<Form*>(this)->dirty_.addAll();
    } else {
        noteRect();
    }
    notify();
}

void Control::notify() {
    if (parent_) {
        parent_->childChanged();
    } else if (kind_ == Kind::Form) {
        static_cast<Form*>(this)->childChanged();
    }
}

void Control::setLeft(double v) {
    if (left_ != v) {
        willChange();
        left_ = v;
        changed();
    }
}
void Control::setTop(double v) {
    if (top_ != v) {
        willChange();
        top_ = v;
        changed();
    }
}
void Control::setWidth(double v) {
    if (width_ != v) {
        willChange();
        width_ = v;
        changed();
    }
}
void Control::setHeight(double v) {
    if (height_ != v) {
        willChange();
        height_ = v;
        changed();
    }
}
void Control::move(double left, double top) {
    setLeft(left);
    setTop(top);
}
void Control::move(double left, double top, double width, double height) {
    setLeft(left);
    setTop(top);
    setWidth(width);
    setHeight(height);
}
void Control::setVisible(bool v) {
    if (visible_ != v) {
        willChange();
        visible_ = v;
        changed();
    }
}
void Control::setEnabled(bool v) {
    if (enabled_ != v) {
        enabled_ = v;
        changed();
    }
}

void Control::setPicture(PictureRef p) {
    willChange();
    picture_ = std::move(p);
    // An image that does not stretch takes its picture's size, in its
    // container's units.
    if (kind_ == Kind::Image && !stretch_ && picture_ && parent_) {
        const double u = parent_->unitsPerPixel();
        width_ = picture_->width * u;
        height_ = picture_->height * u;
    }
    changed();
}
void Control::setStretch(bool v) {
    if (stretch_ != v) {
        stretch_ = v;
        changed();
    }
}
void Control::setCaption(std::string text) {
    if (caption_ != text) {
        caption_ = std::move(text);
        changed();
    }
}
void Control::setFont(Font f) {
    if (!(font_ == f)) {
        font_ = std::move(f);
        changed();
    }
}
void Control::setFontSize(double size) {
    Font f = font_;
    f.size = size;
    setFont(std::move(f));
}
void Control::setForeColor(Color c) {
    if (!(foreColor_ == c)) {
        foreColor_ = c;
        changed();
    }
}
void Control::setBackColor(Color c) {
    if (!(backColor_ == c)) {
        backColor_ = c;
        changed();
    }
}
void Control::setTransparentBack(bool v) {
    if (transparentBack_ != v) {
        transparentBack_ = v;
        changed();
    }
}
void Control::setAlignment(Align a) {
    if (alignment_ != a) {
        alignment_ = a;
        changed();
    }
}
void Control::setToolTip(std::string text) { toolTip_ = std::move(text); }

void Control::bringToFront() {
    if (parent_) parent_->moveToFront(*this);
}
void Control::sendToBack() {
    if (parent_) parent_->moveToBack(*this);
}

void Control::copyPropertiesFrom(const Control& o) {
    left_ = o.left_;
    top_ = o.top_;
    width_ = o.width_;
    height_ = o.height_;
    visible_ = o.visible_;
    enabled_ = o.enabled_;
    picture_ = o.picture_;
    stretch_ = o.stretch_;
    caption_ = o.caption_;
    font_ = o.font_;
    foreColor_ = o.foreColor_;
    backColor_ = o.backColor_;
    transparentBack_ = o.transparentBack_;
    alignment_ = o.alignment_;
    toolTip_ = o.toolTip_;
    mousePointer_ = o.mousePointer_;
    tag_ = o.tag_;
    native_ = o.native_;
}

// ---- ListBox

void TextBox::setText(std::string t) {
    if (t == text()) return;
    setCaption(std::move(t));
    setSelStart(selStart_);
    if (onChange) onChange();
}
namespace {
// Characters, not bytes: continuation bytes start none.
int charCount(const std::string& text) {
    int count = 0;
    for (const char ch : text)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++count;
    return count;
}
}  // namespace

void TextBox::setSelStart(int chars) {
    const int count = charCount(text());
    const int start = std::clamp(chars, 0, count);
    const int length = std::clamp(selLength_, 0, count - start);
    if (start == selStart_ && length == selLength_) return;
    selStart_ = start;
    selLength_ = length;
    changed();
}
void TextBox::setSelLength(int chars) {
    const int length = std::clamp(chars, 0, charCount(text()) - selStart_);
    if (length == selLength_) return;
    selLength_ = length;
    changed();
}
void TextBox::setFocus() {
    if (onFocusRequest)
        onFocusRequest();
    else
        focusChanged(true);
}
void TextBox::focusChanged(bool has) {
    if (has == hasFocus_) return;
    hasFocus_ = has;
    if (has && onGotFocus) onGotFocus();
    if (!has && onLostFocus) onLostFocus();
}

void ListBox::setListIndex(int i) {
    listIndex_ = (i >= 0 && i < listCount()) ? i : -1;
    changed();
}

void ListBox::clear() {
    items_.clear();
    topIndex_ = 0;
    listIndex_ = -1;
    changed();
}
void ListBox::addItem(std::string item) {
    items_.push_back(std::move(item));
    changed();
}
void ListBox::setTopIndex(int i) {
    const int last = std::max(0, listCount() - 1);
    topIndex_ = std::clamp(i, 0, last);
    changed();
}
double ListBox::itemHeight() const {
    // One text line of the font in pixels (points at 96 dpi plus leading),
    // converted to the container's units.
    const double px = std::ceil(font().size * 96.0 / 72.0) + 3.0;
    const double u = parent() ? parent()->unitsPerPixel() : 1.0;
    return px * u;
}
void ListBox::setHeight(double v) {
    const double line = itemHeight();
    const double lines = std::max(1.0, std::floor(v / line));
    Control::setHeight(lines * line);
}
namespace {
double unitsOf(const Control& c) { return c.parent() ? c.parent()->unitsPerPixel() : 1.0; }
}  // namespace
int ListBox::widthPixels() const { return toPixels(width(), unitsOf(*this)); }
int ListBox::heightPixels() const { return toPixels(height(), unitsOf(*this)); }
int ListBox::visibleRows() const {
    const int line = std::max(1, toPixels(itemHeight(), unitsOf(*this)));
    return std::max(1, heightPixels() / line);
}
void ListBox::scrollBy(int rows) {
    const int top = std::clamp(std::min(topIndex_, maxTopIndex()) + rows, 0, maxTopIndex());
    if (top != topIndex_) setTopIndex(top);
}
bool ListBox::navigationKey(int keyCode) {
    constexpr int PageUp = 33, PageDown = 34, End = 35, Home = 36, Up = 38, Down = 40;
    const int last = listCount() - 1;
    const int page = visibleRows();
    int to = listIndex_;
    switch (keyCode) {
    case Up:
        to = listIndex_ < 0 ? 0 : listIndex_ - 1;
        break;
    case Down:
        to = listIndex_ + 1;
        break;
    case PageUp:
        to = listIndex_ < 0 ? 0 : listIndex_ - (page - 1);
        break;
    case PageDown:
        to = listIndex_ < 0 ? page - 1 : listIndex_ + (page - 1);
        break;
    case Home:
        to = 0;
        break;
    case End:
        to = last;
        break;
    default:
        return false;
    }
    if (last < 0) return true;
    to = std::clamp(to, 0, last);
    if (to != listIndex_) setListIndex(to);
    // The selected row comes into view at the nearer edge.
    if (to < topIndex_)
        setTopIndex(to);
    else if (to >= topIndex_ + page)
        setTopIndex(std::min(to - page + 1, maxTopIndex()));
    return true;
}
ListBox::ScrollBar ListBox::scrollBar() const {
    ScrollBar b;
    if (!showsScrollBar()) return b;
    b.height = heightPixels();
    b.width = std::min(ScrollBarWidth, widthPixels());
    b.left = widthPixels() - b.width;
    // A bar shorter than two whole buttons squeezes them, as the system's do.
    b.arrow = std::min(ScrollBarWidth, b.height / 2);
    const int track = b.height - 2 * b.arrow;
    constexpr int MinThumb = 8;
    if (track < MinThumb) return b;
    const int rows = visibleRows();
    b.thumbHeight = std::clamp(track * rows / std::max(1, listCount()), MinThumb, track);
    const int range = maxTopIndex();
    const int top = std::min(topIndex_, range);
    b.thumbTop = b.arrow + (range > 0 ? (track - b.thumbHeight) * top / range : 0);
    return b;
}
ListBox::ScrollPart ListBox::scrollPartAt(int x, int y) const {
    const ScrollBar b = scrollBar();
    if (b.width <= 0 || x < b.left || x >= b.left + b.width || y < 0 || y >= b.height) return ScrollPart::None;
    if (y < b.arrow) return ScrollPart::LineUp;
    if (y >= b.height - b.arrow) return ScrollPart::LineDown;
    if (b.thumbHeight == 0) return ScrollPart::None;
    if (y < b.thumbTop) return ScrollPart::PageUp;
    if (y >= b.thumbTop + b.thumbHeight) return ScrollPart::PageDown;
    return ScrollPart::Thumb;
}
void ListBox::scrollByPart(ScrollPart part) {
    const int page = visibleRows();
    switch (part) {
    case ScrollPart::LineUp:
        scrollBy(-1);
        break;
    case ScrollPart::LineDown:
        scrollBy(1);
        break;
    case ScrollPart::PageUp:
        scrollBy(-page);
        break;
    case ScrollPart::PageDown:
        scrollBy(page);
        break;
    case ScrollPart::Thumb:
    case ScrollPart::None:
        break;
    }
}
int ListBox::topIndexForThumb(int thumbTop) const {
    const ScrollBar b = scrollBar();
    const int free = b.height - 2 * b.arrow - b.thumbHeight;
    if (b.thumbHeight == 0 || free <= 0) return std::min(topIndex_, maxTopIndex());
    const int range = maxTopIndex();
    const int at = std::clamp(thumbTop - b.arrow, 0, free);
    return (at * range + free / 2) / free;
}
void ListBox::copyPropertiesFrom(const Control& other) {
    Control::copyPropertiesFrom(other);
    if (auto* l = dynamic_cast<const ListBox*>(&other)) items_ = l->items_;
}

// ---- Container

Control* Container::Named::at(int index) const {
    const bool inRange = index >= 0 && static_cast<std::size_t>(index) < elements.size();
    if (atOwnIndex) return inRange ? elements[static_cast<std::size_t>(index)] : nullptr;
    // Control arrays are made in index order, so the entry at the index is
    // nearly always the one; the scan covers arrays made otherwise.
    if (inRange && elements[static_cast<std::size_t>(index)]->index() == index)
        return elements[static_cast<std::size_t>(index)];
    for (Control* c : elements) {
        if (c->index() == index) return c;
    }
    return nullptr;
}

Control* Container::Named::prototype() const {
    if (atOwnIndex) return elements.empty() ? nullptr : elements.front();
    for (auto it = elements.rbegin(); it != elements.rend(); ++it) {
        if ((*it)->index() == 0) return *it;
    }
    return nullptr;
}

void Container::Named::add(Control& c) {
    atOwnIndex = atOwnIndex && c.index() == static_cast<int>(elements.size());
    elements.push_back(&c);
}

void Container::Named::remove(const Control& c) {
    std::erase(elements, &c);
    // An unload from the middle leaves the later elements off their index, and
    // unloading those too mends it; unloads are rare enough to look afresh.
    atOwnIndex = true;
    for (std::size_t k = 0; k < elements.size(); ++k) {
        if (elements[k]->index() != static_cast<int>(k)) {
            atOwnIndex = false;
            break;
        }
    }
}

void Container::adopt(std::unique_ptr<Control> child) {
    Named& named = byName_[child->name()];
    adopt(std::move(child), named);
}

void Container::adopt(std::unique_ptr<Control> child, Named& named) {
    child->parent_ = this;
    child->form_ = form_;
    Control& ref = *child;
    named.add(ref);
    if (auto* sub = dynamic_cast<Container*>(&ref)) nested_.push_back(sub);
    children_.push_back(std::move(child));
    ref.changed();
}

Control* Container::find(std::string_view name, int index) const {
    if (auto it = byName_.find(name); it != byName_.end()) {
        if (Control* hit = it->second.at(index)) return hit;
    }
    for (Container* sub : nested_) {
        if (Control* hit = sub->find(name, index)) return hit;
    }
    return nullptr;
}

std::vector<Control*> Container::children() const {
    std::vector<Control*> out;
    out.reserve(children_.size());
    for (const auto& c : children_) out.push_back(c.get());
    return out;
}

int Container::zIndexOf(const Control& child) const {
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (children_[i].get() == &child) return static_cast<int>(i);
    }
    return -1;
}

void Container::moveToFront(Control& c) {
    auto it = std::find_if(children_.begin(), children_.end(), [&](const auto& p) { return p.get() == &c; });
    if (it == children_.end()) return;
    // Restacking shows or hides parts of it: its rectangle is painted again.
    if (it + 1 != children_.end()) c.noteRect();
    std::rotate(it, it + 1, children_.end());
    c.notify();
}

void Container::moveToBack(Control& c) {
    auto it = std::find_if(children_.begin(), children_.end(), [&](const auto& p) { return p.get() == &c; });
    if (it == children_.end()) return;
    if (it != children_.begin()) c.noteRect();
    std::rotate(children_.begin(), it, it + 1);
    c.notify();
}

namespace {
std::unique_ptr<Control> makeLike(const Control& proto, int index) {
    switch (proto.kind()) {
    case Kind::Image:
        return std::make_unique<Image>(proto.name(), index);
    case Kind::Label:
        return std::make_unique<Label>(proto.name(), index);
    case Kind::TextBox:
        return std::make_unique<TextBox>(proto.name(), index);
    case Kind::ListBox:
        return std::make_unique<ListBox>(proto.name(), index);
    case Kind::PictureBox:
        return std::make_unique<PictureBox>(proto.name(), index);
    case Kind::Component:
        return std::make_unique<Component>(static_cast<const Component&>(proto).type(), proto.name(), index);
    case Kind::Form:
        return nullptr;
    }
    return nullptr;
}
}  // namespace

Control* Container::loadElement(std::string_view name, int index) {
    // One lookup serves both the element asked for and its element 0.
    auto it = byName_.find(name);
    Control* proto = nullptr;
    if (it != byName_.end()) {
        if (Control* here = it->second.at(index)) return here;
        proto = it->second.prototype();
    }
    for (Container* sub : nested_) {
        if (Control* below = sub->find(name, index)) return below;
    }
    if (!proto) return nullptr;
    auto made = makeLike(*proto, index);
    if (!made) return nullptr;
    made->copyPropertiesFrom(*proto);
    // A newly loaded element starts hidden, like its siblings loaded at run time.
    made->visible_ = false;
    Control& ref = *made;
    adopt(std::move(made), it->second);
    return &ref;
}

bool Container::unloadElement(std::string_view name, int index) {
    if (index <= 0) return false;
    auto named = byName_.find(name);
    if (named == byName_.end() || !named->second.at(index)) return false;
    auto it = std::find_if(children_.begin(), children_.end(),
                           [&](const auto& p) { return p->name() == name && p->index() == index; });
    if (it == children_.end()) return false;
    (*it)->willChange();
    Control* gone = it->get();
    named->second.remove(*gone);
    nested_.erase(std::remove(nested_.begin(), nested_.end(), gone), nested_.end());
    children_.erase(it);
    childChanged();
    return true;
}

// ---- Form

void Form::setWindowState(WindowState s) {
    if (windowState_ == s) return;
    windowState_ = s;
    changed();
    if (onResize) onResize();
}

void Form::setTopmost(bool on) {
    topmost_ = on;
    changed();
}

void Form::setAlpha(int a) {
    alpha_ = a;
    changed();
}

void Form::setRegion(std::vector<Rect> rects) {
    region_ = std::move(rects);
    changed();
}

void Form::childChanged() {
    if (onChanged) onChanged();
}

}  // namespace mj::ui
