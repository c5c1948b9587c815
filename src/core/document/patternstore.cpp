#include "document/patternstore.h"

#include <algorithm>
#include <cstring>

namespace dedur {

namespace {

void put16(uint8_t* out, int16_t value) {
    const auto bits = static_cast<uint16_t>(value);
    out[0] = static_cast<uint8_t>(bits & 0xFF);
    out[1] = static_cast<uint8_t>(bits >> 8);
}

int16_t get16(const uint8_t* in) {
    return static_cast<int16_t>(static_cast<uint16_t>(in[0] | (in[1] << 8)));
}

struct RecordSpan {
    size_t offset = 0;
    size_t length = 0;
};

// Where record `index` lies; index clamped into the store.
RecordSpan spanOf(const Document& doc, int index) {
    const std::vector<size_t>& offsets = recordIndex(doc);
    if (offsets.size() < 2) return {};
    const size_t last = offsets.size() - 2;
    const size_t i = index < 0 ? last : std::min(static_cast<size_t>(index), last);
    return {offsets[i], offsets[i + 1] - offsets[i]};
}

void setCurrentSize(Document& doc, int width, int height) {
    doc.patternWidth = static_cast<int16_t>(width);
    doc.patternHeight = static_cast<int16_t>(height);
    doc.patternDotCount = std::max(0, width) * std::max(0, height);
}

// The working copy of a blank current record, without reading the store (an
// append must not rebuild the record index).
void clearWorkDots(Document& doc) {
    std::fill(doc.workDots.begin(), doc.workDots.end(), 0);
    std::fill_n(
        doc.workDots.begin(),
        std::min(static_cast<size_t>(std::max(doc.patternDotCount, 0)), doc.workDots.size()),
        DOT_OFF);
}

std::vector<uint8_t> blankRecord(const PatternHeader& header) {
    std::vector<uint8_t> record(recordLength(header), 0);
    encodeHeader(header, record.data());
    return record;
}

void addRecord(Document& doc, const PatternHeader* header, bool atCurrent) {
    PatternHeader newHeader;
    if (header) {
        newHeader = *header;
    } else {
        newHeader = headerFromDefinition(doc.panelDefinition);
    }
    setCurrentSize(doc, newHeader.width, newHeader.height);
    const std::vector<uint8_t> record = blankRecord(newHeader);
    const size_t at = atCurrent ? patternOffset(doc, doc.currentPattern) : doc.store.size();
    doc.store.insert(doc.store.begin() + static_cast<std::ptrdiff_t>(at), record.begin(),
                     record.end());
    invalidateRecordIndex(doc);
    if (!atCurrent) doc.currentPattern = doc.patternCount;
    doc.patternCount += 1;
    clearWorkDots(doc);
    doc.modifiedFlag = true;
}

} // namespace

const std::vector<size_t>& recordIndex(const Document& doc) {
    std::vector<size_t>& offsets = doc.recordOffsets;
    const size_t size = doc.store.size();
    const size_t count = static_cast<size_t>(std::max(doc.patternCount, 0));
    if (offsets.size() == count + 1 && offsets.back() == size) return offsets;
    // A store cut short (it never is, but the records must not be read past
    // its end) ends the index early.
    offsets.clear();
    offsets.reserve(count + 1);
    size_t offset = 0;
    while (offsets.size() < count && offset + HeaderSize <= size) {
        offsets.push_back(offset);
        offset += std::min(recordLength(decodeHeader(doc.store.data() + offset)), size - offset);
    }
    offsets.push_back(offset);
    return offsets;
}

void encodeHeader(const PatternHeader& h, uint8_t* out) {
    put16(out, h.width);
    put16(out + 2, h.height);
    put16(out + 4, h.beginSeg);
    put16(out + 6, h.beginCom);
    put16(out + 8, h.leftToRight);
    put16(out + 10, h.topToBottom);
}

PatternHeader decodeHeader(const uint8_t* in) {
    return {get16(in), get16(in + 2), get16(in + 4), get16(in + 6), get16(in + 8), get16(in + 10)};
}

size_t recordLength(const PatternHeader& h) {
    const size_t w = h.width > 0 ? static_cast<size_t>(h.width) : 0;
    const size_t ht = h.height > 0 ? static_cast<size_t>(h.height) : 0;
    return HeaderSize + packedRowBytes(static_cast<int>(w)) * ht;
}

PatternHeader headerFromDefinition(const PanelDefinition& d) {
    return {d.width, d.height, d.beginSeg, d.beginCom, d.leftToRight, d.topToBottom};
}

Document::Document() {
    makeBlankDocument(*this);
}

void setDocumentKind(Document& doc, DocumentKind kind) {
    doc.kind = kind;
    const int side = doc.maxSide();
    doc.workDots.assign(static_cast<size_t>(side) * static_cast<size_t>(side), 0);
}

void makeBlankDocument(Document& doc) {
    doc.store = blankRecord(headerFromDefinition(doc.panelDefinition));
    invalidateRecordIndex(doc);
    doc.patternCount = 1;
    doc.currentPattern = 0;
    setCurrentSize(doc, doc.panelDefinition.width, doc.panelDefinition.height);
    clearWorkDots(doc);
}

size_t patternOffset(const Document& doc, int index) {
    if (index < 0 || index >= doc.patternCount) return doc.store.size();
    return spanOf(doc, index).offset;
}

void getHeader(const Document& doc, int index, PatternHeader& out) {
    if (doc.editType != EditMode::Pattern || doc.store.size() < HeaderSize) return;
    if (index < 0) index = doc.currentPattern;
    out = decodeHeader(doc.store.data() + spanOf(doc, index).offset);
}

void writeHeader(const Document& doc, uint8_t* destination, bool fromDefaults) {
    PatternHeader header;
    if (fromDefaults) {
        header = headerFromDefinition(doc.panelDefinition);
    } else {
        getHeader(doc, -1, header);
    }
    if (destination) encodeHeader(header, destination);
}

std::optional<std::vector<uint8_t>> selectPattern(Document& doc, int index, PatternHeader& out,
                                                  bool makeCurrent) {
    if (index < 0 || index >= doc.patternCount || doc.store.size() < HeaderSize) {
        return std::nullopt;
    }
    out = decodeHeader(doc.store.data() + spanOf(doc, index).offset);
    std::vector<uint8_t> dots(doc.workDots.size(), 0);
    recordDots(doc, index, dots.data());
    if (makeCurrent) setCurrentSize(doc, out.width, out.height);
    return dots;
}

void recordDots(const Document& doc, int index, uint8_t* out) {
    const RecordSpan span = spanOf(doc, index);
    if (span.length < HeaderSize) return;
    const PatternHeader h = decodeHeader(doc.store.data() + span.offset);
    if (span.length != recordLength(h) || h.width > doc.maxSide() || h.height > doc.maxSide()) {
        return;
    }
    unpackDots(doc.store.data() + span.offset + HeaderSize, h.width, h.height, out);
}

void reloadWorkDots(Document& doc) {
    const RecordSpan span = spanOf(doc, doc.currentPattern);
    if (doc.patternCount < 1 || span.length < HeaderSize) return;
    const PatternHeader h = decodeHeader(doc.store.data() + span.offset);
    setCurrentSize(doc, h.width, h.height);
    recordDots(doc, doc.currentPattern, doc.workDots.data());
}

void storeWorkDots(Document& doc) {
    if (doc.editType != EditMode::Pattern || doc.patternCount < 1) return;
    const RecordSpan span = spanOf(doc, doc.currentPattern);
    if (span.length < HeaderSize) return;
    const PatternHeader h = decodeHeader(doc.store.data() + span.offset);
    if (span.length != recordLength(h) || h.width != doc.patternWidth ||
        h.height != doc.patternHeight || h.width > doc.maxSide() || h.height > doc.maxSide()) {
        return;
    }
    packDots(doc.workDots.data(), h.width, h.height, doc.store.data() + span.offset + HeaderSize);
}

void appendPattern(Document& doc, const PatternHeader* header) {
    addRecord(doc, header, false);
}

void insertPattern(Document& doc, const PatternHeader* header) {
    addRecord(doc, header, true);
}

bool deletePattern(Document& doc) {
    if (doc.patternCount <= 1) return false;
    const RecordSpan span = spanOf(doc, doc.currentPattern);
    doc.store.erase(doc.store.begin() + static_cast<std::ptrdiff_t>(span.offset),
                    doc.store.begin() + static_cast<std::ptrdiff_t>(span.offset + span.length));
    invalidateRecordIndex(doc);
    const int oldCount = doc.patternCount;
    doc.patternCount -= 1;
    if (doc.currentPattern > oldCount - 2) doc.currentPattern = oldCount - 2;
    reloadWorkDots(doc);
    doc.modifiedFlag = true;
    return true;
}

void fillPattern(Document& doc, uint8_t character) {
    const RecordSpan span = spanOf(doc, doc.currentPattern);
    const PatternHeader h =
        span.length >= HeaderSize ? decodeHeader(doc.store.data() + span.offset) : PatternHeader{};
    if (h.width >= 1 && h.width <= doc.maxSide() && span.length == recordLength(h)) {
        const std::string text(static_cast<size_t>(h.width), static_cast<char>(character));
        std::vector<uint8_t> row(packedRowBytes(h.width));
        packTextRow(text.data(), text.size(), h.width, row.data());
        const size_t rowBytes = packedRowBytes(h.width);
        for (int y = 0; y < h.height; ++y) {
            std::memcpy(doc.store.data() + span.offset + HeaderSize + y * rowBytes, row.data(),
                        rowBytes);
        }
        if (doc.editType == EditMode::Pattern) reloadWorkDots(doc);
    }
    doc.modifiedFlag = true;
}

void replaceCurrentRecord(Document& doc, const PatternHeader& header) {
    const RecordSpan span = spanOf(doc, doc.currentPattern);
    const std::vector<uint8_t> record = blankRecord(header);
    const auto first = doc.store.begin() + static_cast<std::ptrdiff_t>(span.offset);
    doc.store.erase(first, first + static_cast<std::ptrdiff_t>(span.length));
    doc.store.insert(doc.store.begin() + static_cast<std::ptrdiff_t>(span.offset), record.begin(),
                     record.end());
    invalidateRecordIndex(doc);
    setCurrentSize(doc, header.width, header.height);
    clearWorkDots(doc);
    doc.modifiedFlag = true;
}

} // namespace dedur
