#include "code/codetemplate.h"

#include <algorithm>
#include <array>
#include <kainjow/mustache.hpp>

#include "base/numbertext.h"

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

// The placeholders of one pattern's bytes, where they ended up in the tree.
struct ByteRun {
    const Data* first;
    const Data* end;
    const std::vector<uint8_t>* bytes;
};

class CodeContext : public kainjow::mustache::basic_context<std::string> {
  public:
    CodeContext(const Data& top, std::vector<ByteRun> runs, ByteNodes& nodes)
        : runs_(std::move(runs)), nodes_(nodes) {
        std::sort(runs_.begin(), runs_.end(),
                  [](const ByteRun& a, const ByteRun& b) { return a.first < b.first; });
        stack_.push_back(&top);
    }

    void push(const Data* data) override { stack_.push_back(data); }
    void pop() override { stack_.pop_back(); }

    const Data* get(const std::string& name) const override {
        if (name == ".") return stack_.back();
        for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
            if (const Data* found = byteField(*it, name)) return found;
            if (const Data* found = (*it)->get(name)) return found;
        }
        return nullptr;
    }
    const Data* get_partial(const std::string& name) const override {
        for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
            if (const Data* found = (*it)->get(name)) return found;
        }
        return nullptr;
    }

  private:
    const Data* byteField(const Data* item, const std::string& name) const {
        if (!item->is_bool()) return nullptr;
        auto run = std::upper_bound(runs_.begin(), runs_.end(), item,
                                    [](const Data* d, const ByteRun& r) { return d < r.first; });
        if (run == runs_.begin()) return nullptr;
        --run;
        if (item >= run->end) return nullptr;
        const size_t i = static_cast<size_t>(item - run->first);
        const uint8_t b = (*run->bytes)[i];
        if (name == "value") return &nodes_.value[b];
        if (name == "hex") return &nodes_.hex[b];
        if (name == "bin") return &nodes_.bin[b];
        if (name == "index") return &nodes_.indexNode(i);
        if (name == "last") return i + 1 == run->bytes->size() ? &nodes_.yes : &nodes_.no;
        return nullptr;
    }

    std::vector<const Data*> stack_;
    std::vector<ByteRun> runs_;
    ByteNodes& nodes_;
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
    d.set("bytes", DataList(p.bytes.size(), Data(false)));
    DataList rows;
    rows.reserve(static_cast<size_t>(p.height));
    for (int y = 0; y < p.height; ++y) rows.emplace_back("text", Data(artRow(p, y)));
    d.set("rows", rows);
    d.set("first", first);
    d.set("last", last);
    return d;
}

Outcome templateRefusal(const std::string& name, const char* what, const std::string& why) {
    return Outcome::refused({"The template \"" + name + "\" " + what + ": " + why, " ",
                             MessageButtons::Ok, MessageIcon::Question});
}

struct StringSink {
    std::string& out;
    StringSink& operator<<(const std::string& text) {
        out += text;
        return *this;
    }
};

} // namespace

Outcome renderCodeTemplate(const CodeJob& job, const std::string& templateText,
                           const std::string& templateName, std::string& out) {
    out.clear();
    for (const CodePattern& p : job.patterns) {
        if (!p.offPanel.empty()) {
            return Outcome::refused({p.offPanel, " ", MessageButtons::Ok, MessageIcon::Question});
        }
    }
    kainjow::mustache::mustache view(templateText);
    if (!view.is_valid())
        return templateRefusal(templateName, "cannot be used", view.error_message());
    view.set_custom_escape([](const std::string& text) { return text; });
    Data top;
    top.set("file", job.file);
    top.set("name", job.name);
    top.set("layout", std::string(layoutName(job.layout)));
    top.set("count", std::to_string(job.patterns.size()));
    DataList patterns;
    patterns.reserve(job.patterns.size());
    for (size_t i = 0; i < job.patterns.size(); ++i) {
        patterns.push_back(patternData(job.patterns[i], i == 0, i + 1 == job.patterns.size()));
    }
    top.set("patterns", patterns);
    // The byte placeholders as they stand in the finished tree.
    std::vector<ByteRun> runs;
    const DataList& placed = top.get("patterns")->list_value();
    for (size_t i = 0; i < placed.size(); ++i) {
        const DataList& bytes = placed[i].get("bytes")->list_value();
        if (!bytes.empty()) {
            runs.push_back({bytes.data(), bytes.data() + bytes.size(), &job.patterns[i].bytes});
        }
    }
    ByteNodes nodes;
    CodeContext context(top, std::move(runs), nodes);
    StringSink sink{out};
    view.render(context, sink);
    if (!view.is_valid()) {
        out.clear();
        return templateRefusal(templateName, "cannot be rendered", view.error_message());
    }
    return {};
}

} // namespace dedur
