// controls.h: the control model. The core owns forms and their controls as
// plain objects; the Win32 host paints them and turns input into their events;
// tests read the properties and fire the events directly.
#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/dirty_region.h"

namespace mj::ui {

// Container units to whole pixels, as the host draws them (a control's right
// edge is its rounded left plus its rounded width).
[[nodiscard]] int toPixels(double units, double unitsPerPixel);

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

// A decoded picture: 32-bit pixels 0xAARRGGBB, row by row from the top. Alpha 0
// is transparent (GIF transparency); anything else is drawn opaque.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    // The resource number it was loaded from, 0 when none; lets tests and logs
    // tell which picture a control shows.
    int resourceId = 0;
};
using PictureRef = std::shared_ptr<const Picture>;

struct Font {
    std::string name = "宋体";
    double size = 9.0;
    bool bold = false;
    friend bool operator==(const Font&, const Font&) = default;
};

enum class Kind { Form, PictureBox, Image, Label, TextBox, ListBox, Component };

enum MouseButton : int { ButtonNone = 0, ButtonLeft = 1, ButtonRight = 2, ButtonMiddle = 4 };

// Control::mousePointer values the host knows.
enum MousePointer : int { PointerDefault = 0, PointerArrow = 1, PointerSizeAll = 15, PointerCustom = 99 };

// Mouse position in the control's own units (pixels inside picture boxes,
// twips on forms), relative to the control's top left.
struct MouseEvent {
    int button = ButtonNone;
    int shift = 0;
    double x = 0, y = 0;
};

class Container;
class Form;

class Control {
public:
    Control(Kind kind, std::string name, int index);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    [[nodiscard]] Kind kind() const { return kind_; }
    [[nodiscard]] const std::string& name() const { return name_; }
    // Index within its control array, -1 for a control that is not in one.
    [[nodiscard]] int index() const { return index_; }
    [[nodiscard]] Container* parent() const { return parent_; }
    [[nodiscard]] Form* form();

    // Geometry in the container's units, kept with fractions; the host rounds
    // only when it draws.
    [[nodiscard]] double left() const { return left_; }
    [[nodiscard]] double top() const { return top_; }
    [[nodiscard]] double width() const { return width_; }
    [[nodiscard]] double height() const { return height_; }
    void setLeft(double v);
    void setTop(double v);
    virtual void setWidth(double v);
    virtual void setHeight(double v);
    void move(double left, double top);
    void move(double left, double top, double width, double height);

    [[nodiscard]] bool visible() const { return visible_; }
    void setVisible(bool v);
    [[nodiscard]] bool enabled() const { return enabled_; }
    void setEnabled(bool v);

    [[nodiscard]] const PictureRef& picture() const { return picture_; }
    void setPicture(PictureRef p);
    // Images stretch their picture to their size when set; otherwise an image
    // takes its picture's size.
    [[nodiscard]] bool stretch() const { return stretch_; }
    void setStretch(bool v);

    [[nodiscard]] const std::string& caption() const { return caption_; }
    void setCaption(std::string text);
    [[nodiscard]] const Font& font() const { return font_; }
    void setFont(Font f);
    void setFontSize(double size);
    [[nodiscard]] Color foreColor() const { return foreColor_; }
    void setForeColor(Color c);
    [[nodiscard]] Color backColor() const { return backColor_; }
    void setBackColor(Color c);
    // Labels: a transparent back shows what lies behind them.
    [[nodiscard]] bool transparentBack() const { return transparentBack_; }
    void setTransparentBack(bool v);
    enum class Align { Left, Right, Center };
    [[nodiscard]] Align alignment() const { return alignment_; }
    void setAlignment(Align a);
    [[nodiscard]] const std::string& toolTip() const { return toolTip_; }
    void setToolTip(std::string text);
    // The pointer shown over the control (MousePointer values; the host shows
    // a hand for PointerCustom, the four-way arrow for PointerSizeAll).
    // Nothing is repainted when it changes.
    [[nodiscard]] int mousePointer() const { return mousePointer_; }
    void setMousePointer(int p) { mousePointer_ = p; }
    // Free text a caller may hang on a control (a window's "speak1" tag).
    [[nodiscard]] const std::string& tag() const { return tag_; }
    void setTag(std::string t) { tag_ = std::move(t); }
    // Text and list boxes the host shows as the system's own edit and list
    // controls (typing with an input method, scrolling), not painted ones.
    [[nodiscard]] bool native() const { return native_; }
    void setNative(bool on) { native_ = on; }

    // Stacking within the container: front is drawn last and hit first.
    void bringToFront();
    void sendToBack();

    // Where the control paints, in its form's window pixels, cut to the
    // picture boxes it sits in; empty when it or a box around it is hidden or
    // it is on no form.
    [[nodiscard]] PixelRect paintedRect() const;

    // Events; the host fires them, tests may too.
    std::function<void()> onClick;
    std::function<void()> onDblClick;
    std::function<void(const MouseEvent&)> onMouseDown;
    std::function<void(const MouseEvent&)> onMouseUp;
    std::function<void(const MouseEvent&)> onMouseMove;
    // Key code and shift state; the handler may change the code.
    std::function<void(int& keyCode, int shift)> onKeyDown;
    // The character typed (the handler may change it, 0 drops it); a text box
    // gets it before it reaches the text.
    std::function<void(int& keyAscii)> onKeyPress;
    // When set, the control takes the mouse only where this says so (a
    // component that shows nothing lets clicks through to what lies behind).
    std::function<bool(double x, double y)> isHit;

    // Copies the design properties (not events, not array slot) from another
    // control of the same kind: how a control array's new element is made.
    virtual void copyPropertiesFrom(const Control& other);

protected:
    // Before a change that may move, resize or hide the control: its form
    // notes where it is painted now.
    void willChange();
    // After any change: the form notes where the control is painted now, and
    // the change is passed up to the form's host.
    void changed();
    // Passes a change up to the form's host without noting any rectangle.
    void notify();

private:
    friend class Container;
    friend class Form;
    void noteRect();
    Kind kind_;
    std::string name_;
    int index_;
    Container* parent_ = nullptr;
    // The form at the top of the tree the control sits in, if the top is one. A
    // control is made inside its container and never moves to another, so the
    // form is known once it is adopted and every change finds it at once.
    Form* form_ = nullptr;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    PictureRef picture_;
    bool stretch_ = false;
    std::string caption_;
    Font font_;
    Color foreColor_{0, 0, 0};
    Color backColor_{255, 255, 255};
    bool transparentBack_ = false;
    Align alignment_ = Align::Left;
    std::string toolTip_;
    int mousePointer_ = 0;
    std::string tag_;
    bool native_ = false;
};

class TextBox : public Control {
public:
    TextBox(std::string name, int index) : Control(Kind::TextBox, std::move(name), index) {}
    [[nodiscard]] const std::string& text() const { return caption(); }
    // A new text fires onChange, as typing does; the caret stays inside it.
    void setText(std::string t);
    // Caret and selection in characters from the start of the text.
    [[nodiscard]] int selStart() const { return selStart_; }
    void setSelStart(int chars);
    [[nodiscard]] int selLength() const { return selLength_; }
    void setSelLength(int chars);
    [[nodiscard]] bool hasFocus() const { return hasFocus_; }
    // Asks for the keyboard focus; the host moves it and fires onGotFocus.
    void setFocus();
    // The host reports focus changes here.
    void focusChanged(bool has);

    std::function<void()> onChange;
    std::function<void()> onGotFocus;
    std::function<void()> onLostFocus;
    // The host's way to move the real focus.
    std::function<void()> onFocusRequest;

private:
    int selStart_ = 0;
    int selLength_ = 0;
    bool hasFocus_ = false;
};

class ListBox : public Control {
public:
    ListBox(std::string name, int index) : Control(Kind::ListBox, std::move(name), index) {}
    [[nodiscard]] const std::vector<std::string>& items() const { return items_; }
    void clear();
    void addItem(std::string item);
    [[nodiscard]] int listCount() const { return static_cast<int>(items_.size()); }
    // Index of the first item shown; the chat history scrolls to its last line.
    [[nodiscard]] int topIndex() const { return topIndex_; }
    void setTopIndex(int i);
    // The selected item, -1 for none.
    [[nodiscard]] int listIndex() const { return listIndex_; }
    void setListIndex(int i);
    // A list box shows whole lines only: its height snaps down to a whole number
    // of item heights (at least one) in the container's units.
    void setHeight(double v) override;
    // Height of one item in the container's units, from the font size.
    [[nodiscard]] double itemHeight() const;
    void copyPropertiesFrom(const Control& other) override;

    // Scrolling of a painted list, as the system's list boxes scroll: a
    // vertical bar at the right edge while the items do not all fit, the
    // wheel, and the arrow and page keys while the list has the focus. The
    // native ones scroll themselves.
    [[nodiscard]] int visibleRows() const;
    // The first row shown when the list is scrolled to its end.
    [[nodiscard]] int maxTopIndex() const { return std::max(0, listCount() - visibleRows()); }
    [[nodiscard]] bool showsScrollBar() const { return !native() && listCount() > visibleRows(); }
    // Scrolls by whole rows, never past either end.
    void scrollBy(int rows);
    // Up, down, page up, page down, home and end (virtual-key codes) move the
    // selection and keep it in view; false for any other key.
    bool navigationKey(int keyCode);

    // The scroll bar in the list's own pixels: its left edge, the height of
    // each arrow button and the thumb (none when the track is too short).
    static constexpr int ScrollBarWidth = 16;
    struct ScrollBar {
        int left = 0, width = 0, height = 0;
        int arrow = 0;
        int thumbTop = 0, thumbHeight = 0;  // thumbHeight 0: no thumb
    };
    [[nodiscard]] ScrollBar scrollBar() const;
    enum class ScrollPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };
    // The part of the bar at a point in the list's own pixels.
    [[nodiscard]] ScrollPart scrollPartAt(int x, int y) const;
    // Scrolls as a press on that part does once (the thumb does nothing).
    void scrollByPart(ScrollPart part);
    // The first row that puts the thumb's top nearest to `thumbTop` pixels.
    [[nodiscard]] int topIndexForThumb(int thumbTop) const;
    // The list's size in whole pixels, as the host draws it.
    [[nodiscard]] int widthPixels() const;
    [[nodiscard]] int heightPixels() const;

private:
    std::vector<std::string> items_;
    int topIndex_ = 0;
    int listIndex_ = -1;
};

// A component placed like a control (browser, camera, video view,
// animated picture); what it shows is the component's business.
class Component : public Control {
public:
    Component(std::string type, std::string name, int index)
        : Control(Kind::Component, std::move(name), index), type_(std::move(type)) {}
    [[nodiscard]] const std::string& type() const { return type_; }
    // The video viewer's two options, set once when a viewer is made. Our
    // viewer always fills itself with the frame, whatever they say.
    [[nodiscard]] bool viewOption0() const { return viewOption0_; }
    void setViewOption0(bool v) { viewOption0_ = v; }
    [[nodiscard]] bool viewOption1() const { return viewOption1_; }
    void setViewOption1(bool v) { viewOption1_ = v; }

private:
    std::string type_;
    bool viewOption0_ = false;
    bool viewOption1_ = false;
};

// Holds child controls in stacking order, back to front.
class Container : public Control {
public:
    Container(Kind kind, std::string name, int index, double unitsPerPixel)
        : Control(kind, std::move(name), index), unitsPerPixel_(unitsPerPixel) {}

    // Twips on forms (15 to the pixel), pixels in picture boxes.
    [[nodiscard]] double unitsPerPixel() const { return unitsPerPixel_; }

    // Adds a new child and returns it, borrowed (the container owns it).
    template <class T, class... Args>
    T& add(Args&&... args) {
        auto child = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *child;
        adopt(std::move(child));
        return ref;
    }

    // The child with that name and array index, or nullptr. Searches nested
    // containers too.
    [[nodiscard]] Control* find(std::string_view name, int index = -1) const;
    template <class T>
    [[nodiscard]] T* findAs(std::string_view name, int index = -1) const {
        return dynamic_cast<T*>(find(name, index));
    }
    // Children in stacking order, back first.
    [[nodiscard]] std::vector<Control*> children() const;
    // Position of the child in the stacking order (0 = back), -1 when absent.
    [[nodiscard]] int zIndexOf(const Control& child) const;

    // Loads element `index` of the control array `name` as a copy of its element
    // 0 (hidden, at the front of the stack). Returns the existing element when
    // it is loaded already, nullptr when element 0 does not exist here.
    Control* loadElement(std::string_view name, int index);
    // Unloads element `index` (> 0) of the array; false when it is not loaded.
    bool unloadElement(std::string_view name, int index);

    // Called on any change below this container; forms pass it to their host.
    virtual void childChanged() { notify(); }

private:
    friend class Control;
    // The controls of one name in this container, in the order they were added.
    struct Named {
        std::vector<Control*> elements;
        // Set while every element sits at its own array index, as when an array
        // is loaded 0, 1, 2, ...: a lookup is then one subscript, hit or miss,
        // where loading a wall of tiles would otherwise scan all loaded so far.
        bool atOwnIndex = true;
        [[nodiscard]] Control* at(int index) const;
        // The array's element 0, the last added when there are several.
        [[nodiscard]] Control* prototype() const;
        void add(Control& c);
        void remove(const Control& c);
    };
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
    };
    void adopt(std::unique_ptr<Control> child);
    void adopt(std::unique_ptr<Control> child, Named& named);
    void moveToFront(Control& c);
    void moveToBack(Control& c);
    double unitsPerPixel_;
    std::vector<std::unique_ptr<Control>> children_;
    // The table code looks controls up by name on every tile it touches; an
    // index per name and the nested containers keep that from scanning every
    // child each time. Hashed, not ordered: a lookup costs one compare of the
    // name, and a miss in a nested container usually none.
    std::unordered_map<std::string, Named, NameHash, std::equal_to<>> byName_;
    std::vector<Container*> nested_;
};

class PictureBox : public Container {
public:
    PictureBox(std::string name, int index) : Container(Kind::PictureBox, std::move(name), index, 1.0) {}
};

class Image : public Control {
public:
    Image(std::string name, int index) : Control(Kind::Image, std::move(name), index) {}
};

class Label : public Control {
public:
    Label(std::string name, int index) : Control(Kind::Label, std::move(name), index) {}
};

// A top-level window. Geometry is in screen twips.
class Form : public Container {
public:
    explicit Form(std::string name) : Container(Kind::Form, std::move(name), -1, 15.0) {
        form_ = this;
        setVisible(false);
    }
    enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };
    [[nodiscard]] WindowState windowState() const { return windowState_; }
    void setWindowState(WindowState s);
    [[nodiscard]] bool topmost() const { return topmost_; }
    void setTopmost(bool on);
    // Borderless windows paint their own frame.
    [[nodiscard]] bool borderless() const { return borderless_; }
    void setBorderless(bool on) { borderless_ = on; }
    // Layered windows: overall alpha 0..255, or -1 for an opaque window.
    [[nodiscard]] int alpha() const { return alpha_; }
    void setAlpha(int a);
    // A shaped window's outline in its own pixels; empty for a rectangle.
    struct Rect {
        int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
        friend bool operator==(const Rect&, const Rect&) = default;
    };
    [[nodiscard]] const std::vector<Rect>& region() const { return region_; }
    void setRegion(std::vector<Rect> rects);

    // The host listens here to repaint; tests may count changes.
    std::function<void()> onChanged;
    // The parts of the window that changed since the host last took them.
    [[nodiscard]] const DirtyRegion& dirty() const { return dirty_; }
    DirtyRegion takeDirty() { return dirty_.take(); }
    // The host's handler of window-state changes (resize event).
    std::function<void()> onResize;
    // Messages the window procedure does not handle itself (the hall's posted
    // messages). `sent` tells a sent message from a posted one. Returns true
    // when handled; otherwise the default processing runs.
    std::function<bool(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam, bool sent)> onWindowMessage;
    // Set by the host: lets the user move the window with the mouse until the
    // button is released (a pop-up without a caption is dragged by its body).
    std::function<void()> moveWithMouse;
    // The user asked to close the window (the unload event follows the close).
    std::function<void()> onUnload;
    // Gives the window the input focus (it comes to the front as the active
    // window); the host moves the real focus through onFocusRequest.
    void setFocus() {
        if (onFocusRequest) onFocusRequest();
    }
    std::function<void()> onFocusRequest;
    // The system's handle of the window once the host shows it, else 0.
    std::uintptr_t windowHandle = 0;
    void childChanged() override;

private:
    WindowState windowState_ = WindowState::Normal;
    bool topmost_ = false;
    bool borderless_ = true;
    DirtyRegion dirty_;
    friend class Control;
    int alpha_ = -1;
    std::vector<Rect> region_;
};

}  // namespace mj::ui
