// prop_requests.cpp: the plug-in's requests and the timed label.
#include "props/prop_requests.h"

#include <charconv>
#include <cmath>

#include "link/client.h"
#include "link/general.h"
#include "props/box_phase.h"

namespace mj::props {

namespace {

using link::Client;

constexpr int HistoryWidth = 44;
constexpr std::size_t StripChars = 45;
constexpr long MaxLabelCoordinate = 1024;
constexpr long MaxFontSize = 72;
constexpr long MaxColor = 0xFFFFFF;
constexpr long MaxTimerInterval = 65535;
constexpr int MaxKeyCode = 255;

bool inRange(long v, long lo, long hi) { return v >= lo && v <= hi; }

std::string_view trimmed(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\0')) t.remove_suffix(1);
    return t;
}

void runControlClick(Client& c, std::string_view name, int index) {
    if (ui::Control* x = c.mainForm.find(name, index); x && x->onClick) x->onClick();
}

}  // namespace

int textWidthUnits(const platform::TextCodec& codec, std::string_view text) {
    int units = 0;
    for (const auto& ch : link::utf8Chars(text)) {
        bool lossless = true;
        const std::string gbk = codec.toGbk(ch, &lossless);
        units += lossless && gbk.size() == 2 ? 2 : 1;
    }
    return units;
}

std::optional<int> requestNumber(std::string_view text) {
    const std::string_view t = trimmed(text);
    if (t.empty()) return std::nullopt;
    double v = 0;
    const char* first = t.data();
    if (*first == '+') ++first;
    const auto r = std::from_chars(first, t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
    const double n = std::nearbyint(v);
    if (n < -32768 || n > 32767) return std::nullopt;
    return static_cast<int>(n);
}

std::optional<std::string> requestProblem(const platform::PropRequest& r) {
    switch (r.kind) {
    case PropKindLabel: {
        if (r.text.empty()) return std::nullopt;
        if (r.rect.size() != 4) return "a label with " + std::to_string(r.rect.size()) + " rectangle values";
        if (r.style.size() < 5) return "a label with " + std::to_string(r.style.size()) + " style values";
        if (!inRange(r.rect[0], 1, MaxLabelCoordinate) || !inRange(r.rect[1], 1, MaxLabelCoordinate) ||
            !inRange(r.rect[2], 0, MaxLabelCoordinate) || !inRange(r.rect[3], 0, MaxLabelCoordinate))
            return "a label off the table";
        if (!inRange(r.style[2], 1, MaxFontSize)) return "a label font size of " + std::to_string(r.style[2]);
        if (!inRange(r.style[3], 0, MaxColor)) return "a label colour out of range";
        if (!inRange(r.style[4], 0, 2)) return "a label alignment of " + std::to_string(r.style[4]);
        return std::nullopt;
    }
    case PropKindChatTarget:
    case PropKindKey:
    case PropKindPlayerCard: {
        const auto n = requestNumber(r.text);
        if (!n) return "kind " + std::to_string(r.kind) + " with a text that is not a number";
        if (r.kind == PropKindKey && !inRange(*n, 0, MaxKeyCode)) return "a key code of " + std::to_string(*n);
        return std::nullopt;
    }
    case -1:
    case PropKindText:
    case PropKindPacket:
        return std::nullopt;
    default:
        return "an unknown kind " + std::to_string(r.kind);
    }
}

void carryOutRequest(Client& c, platform::PropRequest& r) {
    if (auto why = requestProblem(r)) {
        ++c.props.badRequests;
        c.log("props request ignored: " + *why);
        return;
    }
    switch (r.kind) {
    case PropKindText:
        if (r.text.empty()) return;
        addSystemMessage(c, r.text);
        r.text.clear();
        return;
    case PropKindLabel:
        if (r.text.empty()) return;
        showPropMessage(c, r.text, r.rect, r.style);
        r.text.clear();
        r.rect.clear();
        r.style.clear();
        return;
    case PropKindChatTarget: {
        const int n = *requestNumber(r.text);
        if (n >= 1 && n <= 3) runControlClick(c, "Tou", n);
        return;
    }
    case PropKindKey: {
        int key = *requestNumber(r.text);
        if (c.pic1KeyDown) c.pic1KeyDown(c, key, 0);
        return;
    }
    case PropKindPlayerCard: {
        const int n = *requestNumber(r.text);
        // The card itself, not a made-up pointer move over a face.
        if (n >= 0 && n <= 3 && c.showPlayerCard) c.showPlayerCard(c, n);
        return;
    }
    default:
        return;
    }
}

void addToMessageStrip(Client& c, const std::string& text) {
    ui::ListBox& line0 = *c.sysmsg[0];
    ui::ListBox& line1 = *c.sysmsg[1];
    auto replace = [&text](ui::ListBox& l) {
        l.clear();
        l.addItem(text);
    };
    if (line1.listCount() == 0) {
        replace(line0.listCount() == 0 ? line0 : line1);
        return;
    }
    const std::string moved = line1.items().front();
    line0.clear();
    line0.addItem(moved);
    replace(line1);
}

void addSystemMessage(Client& c, std::string& text) {
    if (c.loadChatWindows) c.loadChatWindows(c);
    if (ui::ListBox* history = c.talkText1) {
        link::addWrappedText(c.p.codec, *history, text, HistoryWidth);
        if (history->listCount() > 0) history->setTopIndex(history->listCount() - 1);
    }
    const auto chars = link::utf8Chars(text);
    if (chars.size() > StripChars) {
        std::string cut;
        for (std::size_t k = 0; k < StripChars; ++k) cut += chars[k];
        text = std::move(cut);
    }
    addToMessageStrip(c, text);
}

void showPropMessage(Client& c, const std::string& text, const std::vector<long>& rect,
                     const std::vector<long>& style) {
    auto& s = c.props;
    ui::Label& label = propLabel(c);
    label.setVisible(false);
    label.move(static_cast<double>(rect[2]), static_cast<double>(rect[3]), static_cast<double>(rect[0]),
               static_cast<double>(rect[1]));
    label.setFontSize(static_cast<double>(style[2]));
    const auto color = static_cast<std::uint32_t>(style[3]);
    label.setForeColor({static_cast<std::uint8_t>(color & 0xFF), static_cast<std::uint8_t>(color >> 8 & 0xFF),
                        static_cast<std::uint8_t>(color >> 16 & 0xFF)});
    constexpr ui::Control::Align Aligns[3] = {ui::Control::Align::Left, ui::Control::Align::Right,
                                              ui::Control::Align::Center};
    label.setAlignment(Aligns[style[4]]);
    label.setCaption(text);
    label.setVisible(true);
    label.bringToFront();
    // The reward display owns the timer while it runs: a label then keeps no
    // time of its own, so the settlement it leads to is never held up.
    if (style[0] >= 1 && style[1] >= 1 && !s.rewardShowing) {
        // An interval beyond what a timer takes is the longest it takes.
        s.timerProp->setInterval(platform::Millis(std::min(style[0], MaxTimerInterval)));
        s.propLabelTickLimit = static_cast<int>(std::min<long>(style[1], 32767));
        s.propLabelTicks = 0;
        s.propLabelOn = true;
        s.timerProp->setEnabled(true);
    }
}

ui::Label& propLabel(Client& c) {
    createPropLabel(c);
    return *c.props.lbProp;
}

void createPropLabel(Client& c) {
    if (c.props.lbProp) return;
    auto& label = c.pic1->add<ui::Label>("LbProp", -1);
    label.setVisible(false);
    label.setTransparentBack(true);
    c.props.lbProp = &label;
}

void timerPropTick(Client& c) {
    auto& s = c.props;
    s.timerProp->setEnabled(false);
    if (s.rewardShowing) {
        rewardTick(c);
        return;
    }
    if (!s.propLabelOn) return;
    ++s.propLabelTicks;
    if (s.propLabelTicks >= s.propLabelTickLimit) {
        propLabel(c).setCaption("");
        propLabel(c).setVisible(false);
        s.propLabelTicks = 0;
        s.propLabelOn = false;
        return;
    }
    s.timerProp->setEnabled(true);
}

}  // namespace mj::props
