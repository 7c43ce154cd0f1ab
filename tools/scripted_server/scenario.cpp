// scenario.cpp: the line parser of the scenario format.
#include "scenario.h"

#include <charconv>
#include <memory>
#include <optional>
#include <sstream>

#include "gbk.h"
#include "shared/wire.h"

namespace scripted {
namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

class ParseError {
public:
    explicit ParseError(std::string m) : message(std::move(m)) {}
    std::string message;
};

// Splits a line into words and "quoted strings"; '#' outside quotes starts a
// comment.
std::vector<Token> tokenize(std::string_view line) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Token t{"", true};
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\\' && i < line.size()) {
                    const char e = line[i++];
                    if (e == 'n') {
                        t.text += '\n';
                    } else if (e == '"' || e == '\\') {
                        t.text += e;
                    } else {
                        throw ParseError(std::string("unknown escape \\") + e + " in a quoted text");
                    }
                } else {
                    t.text += d;
                }
            }
            if (!closed) throw ParseError("quoted text has no closing \"");
            out.push_back(std::move(t));
        } else {
            std::size_t j = i;
            while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r' && line[j] != '#' &&
                   line[j] != '"') {
                ++j;
            }
            out.push_back({std::string(line.substr(i, j - i)), false});
            i = j;
        }
    }
    return out;
}

long long parseInteger(const std::string& s, long long lo, long long hi, const char* what) {
    std::string_view v = s;
    bool negative = false;
    if (!v.empty() && v[0] == '-') {
        negative = true;
        v.remove_prefix(1);
    }
    int base = 10;
    if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
        base = 16;
        v.remove_prefix(2);
    }
    long long n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n, base);
    if (v.empty() || ec != std::errc() || end != v.data() + v.size()) {
        throw ParseError(std::string(what) + " '" + s + "' is not a whole number");
    }
    if (negative) n = -n;
    if (n < lo || n > hi) {
        throw ParseError(std::string(what) + " " + s + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
    }
    return n;
}

// "250ms", "6s", "1.5s".
Millis parseDuration(const std::string& s) {
    std::size_t unitAt = s.find_first_not_of("0123456789.");
    if (unitAt == 0 || unitAt == std::string::npos) {
        throw ParseError("duration '" + s + "' needs a number and a unit (ms or s)");
    }
    const std::string unit = s.substr(unitAt);
    const std::string number = s.substr(0, unitAt);
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec != std::errc() || end != number.data() + number.size()) {
        throw ParseError("duration '" + s + "' has a malformed number");
    }
    if (unit == "ms") return Millis(static_cast<long long>(value + 0.5));
    if (unit == "s") return Millis(static_cast<long long>(value * 1000 + 0.5));
    throw ParseError("duration '" + s + "' has unit '" + unit + "', expected ms or s");
}

std::pair<std::size_t, std::size_t> parseRange(const std::string& s) {
    const std::size_t dots = s.find("..");
    if (dots == std::string::npos) throw ParseError("range '" + s + "' must be written FROM..TO");
    const auto from = parseInteger(s.substr(0, dots), 0, 271, "range start");
    const auto to = parseInteger(s.substr(dots + 2), 0, 271, "range end");
    if (to < from) throw ParseError("range '" + s + "' ends before it starts");
    return {static_cast<std::size_t>(from), static_cast<std::size_t>(to)};
}

std::vector<std::uint8_t> parseHexBytes(const std::vector<Token>& t, std::size_t from) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = from; i < t.size(); ++i) {
        const std::string& h = t[i].text;
        if (t[i].quoted || h.empty() || h.size() % 2 != 0) {
            throw ParseError("'" + h + "' is not hex bytes (two hex digits per byte)");
        }
        for (std::size_t k = 0; k < h.size(); k += 2) {
            unsigned v = 0;
            const auto [end, ec] = std::from_chars(h.data() + k, h.data() + k + 2, v, 16);
            if (ec != std::errc() || end != h.data() + k + 2) {
                throw ParseError("'" + h + "' is not hex bytes (two hex digits per byte)");
            }
            out.push_back(static_cast<std::uint8_t>(v));
        }
    }
    if (out.empty()) throw ParseError("no bytes given");
    return out;
}

std::vector<std::uint8_t> gbkBytes(const Token& t) {
    if (!t.quoted) throw ParseError("text must be in double quotes");
    auto gbk = utf8ToGbk(t.text);
    if (!gbk) throw ParseError("\"" + t.text + "\" has a character GBK cannot hold");
    return {gbk->begin(), gbk->end()};
}

void need(const std::vector<Token>& t, std::size_t n, const char* usage) {
    if (t.size() != n) throw ParseError(std::string("usage: ") + usage);
}

// Skips an optional '=' after position i; returns the index of the next token.
std::size_t skipEquals(const std::vector<Token>& t, std::size_t i) {
    return (i < t.size() && !t[i].quoted && t[i].text == "=") ? i + 1 : i;
}

Patch parseField(const std::vector<Token>& t, std::string label, int line) {
    Patch p;
    p.label = std::move(label);
    p.line = line;
    const std::string& kw = t[0].text;
    auto single = [&](std::size_t offset) {
        const std::size_t i = skipEquals(t, 1);
        if (t.size() != i + 1) throw ParseError("usage: " + kw + " N");
        p.offset = offset;
        p.bytes = {static_cast<std::uint8_t>(parseInteger(t[i].text, 0, 255, kw.c_str()))};
    };
    if (kw == "seat") {
        single(mj::wire::Seat);
    } else if (kw == "byte5") {
        single(mj::wire::Byte5);
    } else if (kw == "byte7") {
        single(mj::wire::Byte7);
    } else if (kw == "value") {
        if (t.size() < 3) throw ParseError("usage: value K = N");
        const auto k = parseInteger(t[1].text, 0, 3, "value index");
        const std::size_t i = skipEquals(t, 2);
        if (t.size() != i + 1) throw ParseError("usage: value K = N");
        const auto v = parseInteger(t[i].text, -32768, 65535, "value");
        const auto word = static_cast<std::uint16_t>(v);  // two's complement for negatives
        p.offset = mj::wire::Value + 2 * static_cast<std::size_t>(k);
        p.bytes = {static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word & 0xFF)};
    } else if (kw == "bytes") {
        if (t.size() < 3) throw ParseError("usage: bytes OFFSET = HH HH ...");
        p.offset = static_cast<std::size_t>(parseInteger(t[1].text, 0, 271, "offset"));
        p.bytes = parseHexBytes(t, skipEquals(t, 2));
    } else if (kw == "text") {
        need(t, 3, "text OFFSET \"text\"");
        p.offset = static_cast<std::size_t>(parseInteger(t[1].text, 0, 271, "offset"));
        p.bytes = gbkBytes(t[2]);
        if (p.bytes.empty()) throw ParseError("empty text checks nothing; use zero FROM..TO");
    } else if (kw == "field") {
        need(t, 3, "field FROM..TO \"text\"");
        const auto [from, to] = parseRange(t[1].text);
        p.offset = from;
        p.bytes = gbkBytes(t[2]);
        const std::size_t width = to - from + 1;
        if (p.bytes.size() > width) {
            throw ParseError("text of " + std::to_string(p.bytes.size()) + " GBK bytes does not fit in " +
                             std::to_string(width) + " bytes");
        }
        p.bytes.resize(width, 0);
    } else if (kw == "zero") {
        need(t, 2, "zero FROM..TO");
        const auto [from, to] = parseRange(t[1].text);
        p.offset = from;
        p.bytes.assign(to - from + 1, 0);
    } else if (kw == "echo") {
        p.offset = mj::wire::Echo;
        p.bytes = parseHexBytes(t, skipEquals(t, 1));
        if (p.bytes.size() != 2) throw ParseError("usage: echo HH HH (two bytes)");
    } else if (kw == "key") {
        const std::size_t i = skipEquals(t, 1);
        if (t.size() != i + 1) throw ParseError("usage: key N");
        const auto k = static_cast<std::uint32_t>(parseInteger(t[i].text, 0, 0xFFFFFFFFLL, "key"));
        p.offset = mj::wire::SessionKey;
        p.bytes = {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k >> 8), static_cast<std::uint8_t>(k >> 16),
                   static_cast<std::uint8_t>(k >> 24)};
    } else {
        throw ParseError("unknown statement '" + kw + "'");
    }
    if (p.offset + p.bytes.size() > mj::WireMessageSize) {
        throw ParseError("bytes " + std::to_string(p.offset) + ".." + std::to_string(p.offset + p.bytes.size() - 1) +
                         " run past byte 271");
    }
    return p;
}

bool isFieldKeyword(const std::string& w) {
    static const std::set<std::string> fields{"seat", "byte5", "byte7", "value", "bytes",
                                              "text", "field", "zero",  "echo",  "key"};
    return fields.count(w) != 0;
}

int parseCmd(const Token& t) { return static_cast<int>(parseInteger(t.text, 0, 65535, "command")); }

// "[after D] [within D]" from position i on.
void parseTimes(const std::vector<Token>& t, std::size_t i, Step& s, bool allowAfter) {
    while (i < t.size()) {
        const std::string& w = t[i].text;
        if (i + 1 >= t.size()) throw ParseError("'" + w + "' needs a duration");
        if (w == "within") {
            s.within = parseDuration(t[i + 1].text);
        } else if (w == "after" && allowAfter) {
            s.after = parseDuration(t[i + 1].text);
        } else {
            throw ParseError("unexpected '" + w + "'");
        }
        i += 2;
    }
    if (s.after > s.within) throw ParseError("'after' is later than 'within'");
}

struct Block {
    std::vector<Step> steps;
    long long repeat = 1;
    int line = 0;
};

}  // namespace

ParseResult parseScenario(std::string_view text) {
    ParseResult result;
    std::vector<Block> blocks(1);
    bool canAttach = false;  // the last line was a send/expect or one of its fields
    int lineNo = 0;
    std::size_t pos = 0;
    try {
        while (pos <= text.size()) {
            const std::size_t nl = text.find('\n', pos);
            const std::string_view raw = text.substr(pos, nl == std::string_view::npos ? text.size() - pos : nl - pos);
            pos = nl == std::string_view::npos ? text.size() + 1 : nl + 1;
            ++lineNo;
            std::vector<Token> t;
            try {
                t = tokenize(raw);
            } catch (const ParseError& e) {
                throw ParseError("line " + std::to_string(lineNo) + ": " + e.message);
            }
            if (t.empty()) continue;
            try {
                const std::string& kw = t[0].text;
                if (t[0].quoted) throw ParseError("a line cannot start with a quoted text");
                if (isFieldKeyword(kw)) {
                    if (!canAttach) throw ParseError("field line '" + kw + "' must follow a send or expect");
                    Step& target = blocks.back().steps.back();
                    std::string label(raw);
                    label.erase(0, label.find_first_not_of(" \t"));
                    target.message.patches.push_back(parseField(t, label, lineNo));
                    continue;
                }
                canAttach = false;
                Step s;
                s.line = lineNo;
                if (kw == "accept") {
                    s.kind = StepKind::Accept;
                    parseTimes(t, 1, s, false);
                } else if (kw == "send") {
                    need(t, 2, "send CMD");
                    s.kind = StepKind::Send;
                    s.message.cmd = parseCmd(t[1]);
                    canAttach = true;
                } else if (kw == "expect") {
                    if (t.size() < 2) throw ParseError("usage: expect CMD|any|close [after D] [within D]");
                    if (t[1].text == "close") {
                        s.kind = StepKind::ExpectClose;
                        parseTimes(t, 2, s, false);
                    } else {
                        s.kind = StepKind::Expect;
                        s.message.cmd = t[1].text == "any" ? -1 : parseCmd(t[1]);
                        parseTimes(t, 2, s, true);
                        canAttach = true;
                    }
                } else if (kw == "quiet" || kw == "no-accept" || kw == "wait") {
                    need(t, 2, (kw + " DURATION").c_str());
                    s.kind = kw == "quiet" ? StepKind::Quiet : kw == "wait" ? StepKind::Wait : StepKind::NoAccept;
                    s.duration = parseDuration(t[1].text);
                } else if (kw == "close") {
                    need(t, 1, "close");
                    s.kind = StepKind::Close;
                } else if (kw == "ignore") {
                    if (t.size() < 2) throw ParseError("usage: ignore CMD... | ignore none");
                    s.kind = StepKind::Ignore;
                    if (!(t.size() == 2 && t[1].text == "none")) {
                        for (std::size_t i = 1; i < t.size(); ++i) s.ignored.insert(parseCmd(t[i]));
                    }
                } else if (kw == "mark") {
                    need(t, 2, "mark NAME");
                    if (t[1].quoted) throw ParseError("a mark's name is one word, without quotes");
                    s.kind = StepKind::Mark;
                    s.name = t[1].text;
                } else if (kw == "await") {
                    if (t.size() < 2 || t[1].quoted) throw ParseError("usage: await NAME [within D]");
                    s.kind = StepKind::Await;
                    s.name = t[1].text;
                    s.within = DefaultAwait;
                    parseTimes(t, 2, s, false);
                } else if (kw == "repeat") {
                    need(t, 2, "repeat N");
                    Block b;
                    b.repeat = parseInteger(t[1].text, 1, 10000, "repeat count");
                    b.line = lineNo;
                    blocks.push_back(std::move(b));
                    continue;
                } else if (kw == "end") {
                    need(t, 1, "end");
                    if (blocks.size() < 2) throw ParseError("'end' without 'repeat'");
                    Block b = std::move(blocks.back());
                    blocks.pop_back();
                    for (long long r = 0; r < b.repeat; ++r) {
                        blocks.back().steps.insert(blocks.back().steps.end(), b.steps.begin(), b.steps.end());
                    }
                    continue;
                } else {
                    throw ParseError("unknown statement '" + kw + "'");
                }
                blocks.back().steps.push_back(std::move(s));
            } catch (const ParseError& e) {
                throw ParseError("line " + std::to_string(lineNo) + ": " + e.message);
            }
        }
        if (blocks.size() > 1) {
            throw ParseError("line " + std::to_string(blocks.back().line) + ": 'repeat' has no 'end'");
        }
    } catch (const ParseError& e) {
        result.error = e.message;
        return result;
    }
    result.steps = std::move(blocks.front().steps);
    if (result.steps.empty()) result.error = "the scenario has no steps";
    return result;
}

std::string_view toString(StepKind kind) {
    switch (kind) {
    case StepKind::Accept:
        return "accept";
    case StepKind::Send:
        return "send";
    case StepKind::Expect:
        return "expect";
    case StepKind::ExpectClose:
        return "expect close";
    case StepKind::Quiet:
        return "quiet";
    case StepKind::NoAccept:
        return "no-accept";
    case StepKind::Wait:
        return "wait";
    case StepKind::Close:
        return "close";
    case StepKind::Ignore:
        return "ignore";
    case StepKind::Mark:
        return "mark";
    case StepKind::Await:
        return "await";
    }
    return "unknown step";
}

std::string describe(const Step& step) {
    std::ostringstream o;
    o << "line " << step.line << ": " << toString(step.kind);
    switch (step.kind) {
    case StepKind::Send:
    case StepKind::Expect:
        if (step.message.cmd < 0) {
            o << " any";
        } else {
            o << " cmd " << step.message.cmd;
        }
        if (step.kind == StepKind::Expect) {
            if (step.after.count() > 0) o << " after " << step.after.count() << " ms";
            o << " within " << step.within.count() << " ms";
        }
        break;
    case StepKind::Accept:
    case StepKind::ExpectClose:
        o << " within " << step.within.count() << " ms";
        break;
    case StepKind::Quiet:
    case StepKind::NoAccept:
    case StepKind::Wait:
        o << " " << step.duration.count() << " ms";
        break;
    case StepKind::Ignore:
        if (step.ignored.empty()) o << " none";
        for (int c : step.ignored) o << " " << c;
        break;
    case StepKind::Mark:
        o << " " << step.name;
        break;
    case StepKind::Await:
        o << " " << step.name << " within " << step.within.count() << " ms";
        break;
    case StepKind::Close:
        break;
    }
    return o.str();
}

}  // namespace scripted
