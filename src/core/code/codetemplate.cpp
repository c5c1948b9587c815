#include "code/codetemplate.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <kainjow/mustache.hpp>
#include <map>

#include "base/limits.h"
#include "base/numbertext.h"
#include "code/glyphsubset.h"
#include "document/patternstore.h"

namespace dedur {
namespace {

// Where the renderer's text goes while a render runs (none outside one).
using TextHandler = std::function<void(const std::string&)>;
thread_local const TextHandler* renderOutput = nullptr;

// Thrown to end a render whose reader wants no more.
struct RenderStopped {};

// A line is handed on in pieces of this much once it shows text.
constexpr size_t LinePiece = size_t{64} << 10;

// One line of the renderer's output. The library keeps a line whole until
// its end to drop lines of section tags only; a line that has shown text is
// never dropped, so it is handed on as it grows and memory stays small
// however long the line.
class RenderLine {
  public:
    template <typename... Args> RenderLine& append(Args&&... args) {
        text_.append(std::forward<Args>(args)...);
        if (text_.size() >= LinePiece) spill();
        return *this;
    }
    operator const std::string&() const { return text_; }
    auto begin() const { return text_.begin(); }
    auto end() const { return text_.end(); }
    bool shown() const { return shown_; }
    void clear() {
        text_.clear();
        scanned_ = 0;
        shown_ = false;
    }

  private:
    void spill() {
        if (!renderOutput) return;
        // Only what came since the last look is looked at.
        for (; !shown_ && scanned_ < text_.size(); ++scanned_) {
            shown_ = text_[scanned_] != ' ' && text_[scanned_] != '\t';
        }
        // Blanks beyond the bound are shown: the line is kept whole then
        // rather than held in memory.
        if (!shown_ && text_.size() <= limits::TemplateHeldBlanks) return;
        shown_ = true;
        (*renderOutput)(text_);
        text_.clear();
        scanned_ = 0;
    }

    std::string text_;
    size_t scanned_ = 0;
    bool shown_ = false;
};

} // namespace
} // namespace dedur

// Only this file renders templates, so the library's line state is ours here.
template <> class kainjow::mustache::line_buffer_state<std::string> {
  public:
    dedur::RenderLine data;
    bool contained_section_tag = false;

    bool is_empty_or_contains_only_whitespace() const {
        if (data.shown()) return false;
        for (const char ch : data) {
            if (ch != ' ' && ch != '\t') return false;
        }
        return true;
    }
    void clear() {
        data.clear();
        contained_section_tag = false;
    }
};

namespace dedur {

namespace {

using Data = kainjow::mustache::data;
using DataList = kainjow::mustache::list;

// What a byte shows, made once for every value and every place: the byte
// nodes of a pattern are placeholders, and the context below answers their
// names from these, so a file of millions of bytes builds no node per byte.
struct ByteNodes {
    std::array<Data, 256> value, hex, bin;
    std::vector<Data> index;
    Data yes{true};
    Data no{false};

    ByteNodes() {
        for (int b = 0; b < 256; ++b) {
            value[b] = Data(std::to_string(b));
            hex[b] = Data(std::string{HexDigits[b >> 4], HexDigits[b & 0xF]});
            std::string bits;
            for (int bit = 7; bit >= 0; --bit) bits += (b >> bit) & 1 ? '1' : '0';
            bin[b] = Data(bits);
        }
    }
    const Data& indexNode(size_t i) {
        while (index.size() <= i) index.emplace_back(std::to_string(index.size()));
        return index[i];
    }
};

// Names the bytes and rows of the pattern being rendered from shared nodes: a
// pattern's `bytes` (and `rows`) is a list of placeholders shared by every
// pattern of its byte count (height), and a placeholder's fields come from
// the pattern below it on the stack and the placeholder's place in its list.
class CodeContext : public kainjow::mustache::basic_context<std::string> {
  public:
    CodeContext(const Data& top, const CodeJob& job, ByteNodes& nodes) : job_(job), nodes_(nodes) {
        const DataList& patterns = top.get("patterns")->list_value();
        patterns_ = patterns.data();
        patternsEnd_ = patterns.data() + patterns.size();
        for (const CodePattern& p : job.patterns) {
            placeholdersFor(bytePlaceholders_, p.bytes.size());
            placeholdersFor(rowPlaceholders_, static_cast<size_t>(p.height));
        }
        stack_.push_back(&top);
    }

    void push(const Data* data) override { stack_.push_back(data); }
    void pop() override { stack_.pop_back(); }

    const Data* get(const std::string& name) const override {
        if (name == ".") return stack_.back();
        for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
            if (const Data* found = special(*it, name)) return found;
            if (const Data* found = (*it)->get(name)) return found;
        }
        return nullptr;
    }
    // Partials never come from the data: a value could name itself.
    const Data* get_partial(const std::string&) const override { return nullptr; }

  private:
    using Placeholders = std::map<size_t, Data>;
    static void placeholdersFor(Placeholders& lists, size_t count) {
        Data& list = lists[count];
        if (list.is_list()) return;
        list = Data(Data::type::list);
        for (size_t i = 0; i < count; ++i) list.push_back(Data(false));
    }
    // Where `item` stands in the pattern's list of `count` placeholders; -1
    // when it is none of them.
    static long placeOf(const Placeholders& lists, size_t count, const Data* item) {
        const DataList& list = lists.at(count).list_value();
        if (list.empty() || item < list.data() || item >= list.data() + list.size()) return -1;
        return item - list.data();
    }

    // The pattern nearest the top of the stack.
    const CodePattern* currentPattern() const {
        for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
            if (*it >= patterns_ && *it < patternsEnd_) {
                return &job_.patterns[static_cast<size_t>(*it - patterns_)];
            }
        }
        return nullptr;
    }

    const Data* special(const Data* item, const std::string& name) const {
        if (item >= patterns_ && item < patternsEnd_) {
            const CodePattern& p = job_.patterns[static_cast<size_t>(item - patterns_)];
            if (name == "bytes") return &bytePlaceholders_.at(p.bytes.size());
            if (name == "rows") return &rowPlaceholders_.at(static_cast<size_t>(p.height));
            return nullptr;
        }
        if (!item->is_bool()) return nullptr;
        const CodePattern* p = currentPattern();
        if (!p) return nullptr;
        if (name == "text") {
            const long y = placeOf(rowPlaceholders_, static_cast<size_t>(p->height), item);
            if (y < 0) return nullptr;
            // Used by the renderer before it asks again.
            rowText_ = Data(artRow(*p, static_cast<int>(y)));
            return &rowText_;
        }
        const long at = placeOf(bytePlaceholders_, p->bytes.size(), item);
        if (at < 0) return nullptr;
        const size_t i = static_cast<size_t>(at);
        const uint8_t b = p->bytes[i];
        if (name == "value") return &nodes_.value[b];
        if (name == "hex") return &nodes_.hex[b];
        if (name == "bin") return &nodes_.bin[b];
        if (name == "index") return &nodes_.indexNode(i);
        if (name == "last") return i + 1 == p->bytes.size() ? &nodes_.yes : &nodes_.no;
        return nullptr;
    }

    const CodeJob& job_;
    ByteNodes& nodes_;
    Placeholders bytePlaceholders_;
    Placeholders rowPlaceholders_;
    mutable Data rowText_;
    const Data* patterns_ = nullptr;
    const Data* patternsEnd_ = nullptr;
    std::vector<const Data*> stack_;
};

Data patternData(const CodePattern& p, bool first, bool last) {
    Data d;
    d.set("number", std::to_string(p.number));
    d.set("name", p.ident);
    d.set("width", std::to_string(p.width));
    d.set("height", std::to_string(p.height));
    d.set("seg", std::to_string(p.seg));
    d.set("com", std::to_string(p.com));
    d.set("lr", std::to_string(p.lr));
    d.set("tb", std::to_string(p.tb));
    d.set("byte_count", std::to_string(p.bytes.size()));
    d.set("delay", std::to_string(p.delay));
    d.set("first", first);
    d.set("last", last);
    return d;
}

Outcome templateRefusal(const std::string& name, const char* what, const std::string& why) {
    return Outcome::refused({"The template \"" + name + "\" " + what + ": " + why, " ",
                             MessageButtons::Ok, MessageIcon::Question});
}

Outcome templateRefusalAt(const std::string& name, size_t line, const std::string& why) {
    return templateRefusal(name, ("cannot be used at line " + std::to_string(line)).c_str(), why);
}

bool blank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The tags as the library reads them (delimiters may change on the way):
// refuses partials and sections nested deeper than the limit, naming the
// line, before the recursive parser and renderer see the text.
Outcome scanTemplate(const std::string& text, const std::string& name) {
    if (text.size() > limits::TemplateBytes) {
        return templateRefusal(name, "cannot be used",
                               "it is larger than " + std::to_string(limits::TemplateBytes >> 20) +
                                   " MB");
    }
    std::string open = "{{", close = "}}";
    size_t at = 0, line = 1, lineCounted = 0, depth = 0;
    const auto lineOf = [&](size_t pos) {
        line += static_cast<size_t>(std::count(text.begin() + static_cast<long>(lineCounted),
                                               text.begin() + static_cast<long>(pos), '\n'));
        lineCounted = pos;
        return line;
    };
    while ((at = text.find(open, at)) != std::string::npos) {
        size_t inside = at + open.size();
        const bool triple =
            open == "{{" && close == "}}" && inside < text.size() && text[inside] == '{';
        if (triple) ++inside;
        const size_t end = text.find(triple ? "}}}" : close, inside);
        if (end == std::string::npos) return {}; // the parser says so
        const size_t endSize = triple ? 3 : close.size();
        size_t first = inside, last = end;
        while (first < last && blank(text[first])) ++first;
        while (last > first && blank(text[last - 1])) --last;
        const std::string_view tag(text.data() + first, last - first);
        // A tag of a new pair of delimiters counts inside {{{ }}} too, as
        // the library reads it; sections and partials only outside.
        const char kind = tag.empty() ? ' ' : triple && tag.front() != '=' ? '&' : tag.front();
        if (kind == '#' || kind == '^') {
            if (++depth > static_cast<size_t>(limits::TemplateDepth)) {
                return templateRefusalAt(name, lineOf(at),
                                         "sections nest more than " +
                                             std::to_string(limits::TemplateDepth) + " deep");
            }
        } else if (kind == '/') {
            if (depth > 0) --depth;
        } else if (kind == '>') {
            return templateRefusalAt(name, lineOf(at), "partials ({{> ...}}) are not taken");
        } else if (kind == '=' && tag.size() >= 5 && tag.back() == '=') {
            // "=<% %>=": the new pair, split at the first space.
            std::string_view pair = tag.substr(1, tag.size() - 2);
            while (!pair.empty() && blank(pair.front())) pair.remove_prefix(1);
            while (!pair.empty() && blank(pair.back())) pair.remove_suffix(1);
            const size_t space = pair.find(' ');
            if (space != std::string_view::npos) {
                std::string_view after = pair.substr(space);
                while (!after.empty() && after.front() == ' ') after.remove_prefix(1);
                if (!after.empty()) {
                    open = std::string(pair.substr(0, space));
                    close = std::string(after);
                }
            }
        }
        at = end + endSize;
    }
    return {};
}

// What the renderer writes, handed on a megabyte at a time; a reader that
// wants no more ends the render.
struct PieceSink {
    static constexpr size_t Piece = size_t{1} << 20;
    const CodeSink& sink;
    std::string buffer;

    PieceSink& operator<<(const std::string& text) {
        buffer += text;
        if (buffer.size() >= Piece) flush();
        return *this;
    }
    void flush() {
        if (!buffer.empty() && !sink(buffer)) throw RenderStopped{};
        buffer.clear();
    }
};

// Renders through `pieces`; a refusal when the render cannot finish.
template <typename Context>
Outcome renderInPieces(kainjow::mustache::mustache& view, Context& context, PieceSink& pieces,
                       const std::string& templateName) {
    const TextHandler handOn = [&pieces](const std::string& text) { pieces << text; };
    const TextHandler* outer = renderOutput;
    renderOutput = &handOn;
    try {
        view.render(context, pieces);
        renderOutput = outer;
    } catch (const RenderStopped&) {
        renderOutput = outer;
        return {}; // the reader has what it wants, or cannot take more
    } catch (...) {
        renderOutput = outer;
        throw;
    }
    if (!view.is_valid()) {
        return templateRefusal(templateName, "cannot be rendered", view.error_message());
    }
    try {
        pieces.flush();
    } catch (const RenderStopped&) {
    }
    return {};
}

} // namespace

Outcome renderCodeTemplate(const CodeJob& job, const std::string& templateText,
                           const std::string& templateName, std::string& out) {
    out.clear();
    Outcome made =
        renderCodeTemplate(job, templateText, templateName, [&out](std::string_view piece) {
            out.append(piece);
            return true;
        });
    if (!made.ok()) out.clear();
    return made;
}

Outcome checkCodeTemplate(const CodeJob& job, const std::string& templateText,
                          const std::string& templateName) {
    for (const CodePattern& p : job.patterns) {
        if (!p.offPanel.empty()) {
            return Outcome::refused({p.offPanel, " ", MessageButtons::Ok, MessageIcon::Question});
        }
    }
    if (Outcome scanned = scanTemplate(templateText, templateName); !scanned.ok()) return scanned;
    const kainjow::mustache::mustache view(templateText);
    if (!view.is_valid()) {
        return templateRefusal(templateName, "cannot be used", view.error_message());
    }
    return {};
}

Outcome renderCodeTemplate(const CodeJob& job, const std::string& templateText,
                           const std::string& templateName, const CodeSink& sink) {
    if (Outcome checked = checkCodeTemplate(job, templateText, templateName); !checked.ok()) {
        return checked;
    }
    kainjow::mustache::mustache view(templateText);
    view.set_custom_escape([](const std::string& text) { return text; });
    Data top;
    top.set("file", job.file);
    top.set("name", job.name);
    top.set("layout", std::string(layoutName(job.layout)));
    top.set("count", std::to_string(job.patterns.size()));
    long total = 0;
    for (const CodePattern& p : job.patterns) total += p.delay;
    top.set("total_ms", std::to_string(total));
    Data patterns{Data::type::list};
    for (size_t i = 0; i < job.patterns.size(); ++i) {
        patterns.push_back(patternData(job.patterns[i], i == 0, i + 1 == job.patterns.size()));
    }
    top.set("patterns", patterns);
    ByteNodes nodes;
    CodeContext context(top, job, nodes);
    PieceSink pieces{sink, {}};
    pieces.buffer.reserve(PieceSink::Piece + (size_t{1} << 16));
    return renderInPieces(view, context, pieces, templateName);
}

Outcome checkSubsetTemplate(const std::string& templateText, const std::string& templateName) {
    if (Outcome scanned = scanTemplate(templateText, templateName); !scanned.ok()) return scanned;
    const kainjow::mustache::mustache view(templateText);
    if (!view.is_valid()) {
        return templateRefusal(templateName, "cannot be used", view.error_message());
    }
    return {};
}

Outcome renderSubsetTemplate(const GlyphSubset& subset, const std::string& templateText,
                             const std::string& templateName, const std::string& name,
                             std::string& out) {
    out.clear();
    Outcome made = renderSubsetTemplate(subset, templateText, templateName, name,
                                        [&out](std::string_view piece) {
                                            out.append(piece);
                                            return true;
                                        });
    if (!made.ok()) out.clear();
    return made;
}

Outcome renderSubsetTemplate(const GlyphSubset& subset, const std::string& templateText,
                             const std::string& templateName, const std::string& name,
                             const CodeSink& sink) {
    if (Outcome checked = checkSubsetTemplate(templateText, templateName); !checked.ok()) {
        return checked;
    }
    kainjow::mustache::mustache view(templateText);
    view.set_custom_escape([](const std::string& text) { return text; });
    static const ByteNodes nodes;
    const GlyphFileShape shape = glyphFileShape(subset.kind);
    Data top;
    top.set("name", name);
    top.set("width", std::to_string(shape.width));
    top.set("height", std::to_string(shape.height));
    top.set("layout", std::string(layoutName(subset.layout)));
    top.set("count", std::to_string(subset.glyphs.size()));
    Data glyphs{Data::type::list};
    for (size_t i = 0; i < subset.glyphs.size(); ++i) {
        const SubsetGlyph& g = subset.glyphs[i];
        Data d;
        d.set("codepoint", std::to_string(g.codePoint));
        d.set("hex", formatText("%04X", static_cast<unsigned>(g.codePoint)));
        d.set("big5", formatText("%04X", g.big5));
        d.set("char", utf8(g.codePoint));
        d.set("width", std::to_string(g.width));
        Data bytes{Data::type::list};
        for (size_t k = 0; k < g.bytes.size(); ++k) {
            Data b;
            b.set("value", nodes.value[g.bytes[k]]);
            b.set("hex", nodes.hex[g.bytes[k]]);
            b.set("bin", nodes.bin[g.bytes[k]]);
            b.set("index", std::to_string(k));
            b.set("last", k + 1 == g.bytes.size());
            bytes.push_back(b);
        }
        d.set("bytes", bytes);
        // The rows, drawn from the bytes read back as rows from the top.
        Data rows{Data::type::list};
        const GlyphFileShape own =
            glyphFileShape(g.width == shape.width ? subset.kind : GlyphFileKind::Ascii8x15);
        const PatternHeader header{
            static_cast<int16_t>(own.width), static_cast<int16_t>(own.height), 1, 1, 0, 2};
        const std::vector<uint8_t> dots =
            dotsFromLayout(g.bytes, own.width, own.height, subset.layout, false, header, {});
        for (int y = 0; y < own.height && !dots.empty(); ++y) {
            std::string row;
            for (int x = 0; x < own.width; ++x) {
                row += dots[static_cast<size_t>(y * own.width + x)] == '1' ? '#' : '.';
            }
            rows.push_back(Data("text", Data(row)));
        }
        d.set("rows", rows);
        d.set("index", std::to_string(i));
        d.set("last", i + 1 == subset.glyphs.size());
        glyphs.push_back(d);
    }
    top.set("glyphs", glyphs);
    PieceSink pieces{sink, {}};
    return renderInPieces(view, top, pieces, templateName);
}

} // namespace dedur
