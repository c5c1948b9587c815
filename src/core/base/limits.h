#pragma once

#include <cstddef>
#include <cstdint>

// Every reader's bounds in one table: what a file may weigh, how deep it may
// nest, how many things it may declare and how many pixels it may ask for.
// Each is checked before the work it bounds, so that a small hostile file
// cannot ask for a large amount of memory or time. The README's safety
// section lists them; keep the two in step.
namespace dedur::limits {

// Sizes in bytes of files read whole.
inline constexpr size_t SettingsFileBytes = size_t{16} << 20;
inline constexpr size_t SidecarBytes = size_t{1} << 20;   // names and numbers only
inline constexpr size_t TemplateBytes = size_t{1} << 20;  // a user's Mustache template
inline constexpr size_t TextFileBytes = size_t{64} << 20; // a subset's text, a file or stdin
inline constexpr size_t BdfFileBytes = size_t{64} << 20;
inline constexpr size_t MemoryFileBytes = size_t{16} << 20; // a .DAT or .BIN read back
inline constexpr size_t FontRecordBytes = size_t{1} << 20;  // EDIT.$LF and the like
inline constexpr size_t ImageFileBytes = size_t{256} << 20;

// Nesting, checked before a parser or renderer sees the text.
inline constexpr int SidecarDepth = 8;   // [profiles.NAME] is two deep
inline constexpr int TemplateDepth = 64; // sections inside sections

// Counts.
inline constexpr int GifFrames = 1000;
inline constexpr int JpegScans = 100; // a progressive JPEG's scans, each a pass over the picture
inline constexpr int BdfGlyphs = 70000;
inline constexpr int BdfGlyphSide = 256;
inline constexpr int BdfGlyphOffset = 1000;   // a BBX offset, either way
inline constexpr size_t BdfLinePiece = 4096;  // read of a line; the rest of a longer one is skipped
inline constexpr size_t BdfRowDigits = 4096;  // a BDF bitmap row, padding included
inline constexpr long BdfBoxReach = 65536;    // a font's bounding box, from the origin either way
inline constexpr int SidecarEntries = 100000; // names, delays and profiles together

// Fonts read as the source of an export or a subset (--from).
inline constexpr size_t FontSourceBytes = size_t{64} << 20; // a font file handed to FreeType
inline constexpr int FontSourceSizeMin = 4;                 // --size, in pixels
inline constexpr int FontSourceSizeMax = 256;
inline constexpr uint64_t FontSourceDots = uint64_t{1} << 27; // all glyphs drawn at that size

// Values.
inline constexpr int FrameDelayMs = 655350; // a frame's delay: what a GIF can hold

// Icon fonts made of patterns.
inline constexpr int IconSpacing = 96;  // --spacing: blank columns after each icon
inline constexpr int IconBaseline = 96; // --baseline: rows of an icon below the baseline

// u8g2 fonts: what its one-byte record size and 8-bit glyph fields hold.
inline constexpr int U8g2RecordBytes = 254;  // its converter refuses a record of 255
inline constexpr int U8g2GlyphSide = 255;    // a box's width and height, cut to its dots
inline constexpr int U8g2GlyphOffset = 128;  // offsets and advance: -128 to 127
inline constexpr long U8g2LastCode = 0xFFFF; // the library looks glyphs up by 16-bit codes

// Waits.
inline constexpr int PairLockWaitMs = 30000; // for another writer of a pattern file and sidecar

// Pixels.
inline constexpr uint64_t ImagePixels = uint64_t{1} << 24; // a picture read whole
inline constexpr int GifSide = 96;                         // no pattern is larger
// An image document's side (a frame of a picture for a graphic display).
inline constexpr int ImageSide = 1024;
// All frames of an image document together (16 MB as the store packs them).
inline constexpr uint64_t ImageDocumentDots = uint64_t{1} << 27;
// A font opened in the editor: every glyph's canvas, as the store packs them.
inline constexpr size_t FontCanvasBytes = size_t{128} << 20;
inline constexpr uint64_t SpecimenPixels = uint64_t{1} << 26;  // render FONT.bdf: the whole sheet
inline constexpr uint64_t RenderGifPixels = uint64_t{1} << 28; // all frames of render OUT.gif
// A pattern drawn as an image (render, the editor's image export): pixels a
// dot, and how often an animated GIF plays (the browsers' 16-bit count; 0
// for ever).
inline constexpr int RenderScaleMin = 1;
inline constexpr int RenderScaleMax = 64;
inline constexpr int GifLoopsMax = 65535;
// The editor's panel view: pixels a SEG or COM line is drawn with.
inline constexpr int PanelViewDotMin = 2;
inline constexpr int PanelViewDotMax = 16;

// Blanks of a template's line that may yet be left out (a line of section
// tags and blanks only is), held until the line shows something.
inline constexpr size_t TemplateHeldBlanks = size_t{16} << 20;

// Output shown rather than written.
inline constexpr size_t ShownCodeBytes = size_t{256} << 10; // a dialog's live text
// Characters without a glyph listed by name in the subset dialog; a text
// may hold a million distinct ones, which no label lays out in time.
inline constexpr int ShownMissingCharacters = 2000;
// Text drawn as a display library draws it: the first lines, the first
// characters of each, and at most this many dots in all.
inline constexpr int PreviewTextLines = 8;
inline constexpr int PreviewLineCharacters = 160;
inline constexpr size_t PreviewDots = size_t{1} << 20;

// What LVGL's lv_font_fmt_txt can hold in a glyph's description and cmaps:
// a glyph's box and advance, its offsets, the bitmap's 20-bit byte index,
// 16-bit glyph ids and 9 bits of cmap count. Beyond them a font is refused.
inline constexpr int LvglGlyphSide = 255;
inline constexpr int LvglOffsetMin = -128;
inline constexpr int LvglOffsetMax = 127;
inline constexpr int LvglAdvance = 255; // 12 bits of advance x 16
inline constexpr size_t LvglBitmapBytes = size_t{1} << 20;
inline constexpr int LvglGlyphs = 65535;
inline constexpr int LvglCmaps = 511;
inline constexpr int LvglCmapSpan = 65535; // code points one cmap covers

// What Adafruit GFX's GFXfont can hold: 16-bit bitmap offsets, 8-bit boxes,
// advances and line pitch, 8-bit signed offsets, and codes 0 to 255 (drawn
// through an unsigned char); remapped, the characters take 0x20 to 0xFF.
inline constexpr size_t GfxBitmapBytes = 65535;
inline constexpr int GfxGlyphSide = 255;
inline constexpr int GfxAdvance = 255;
inline constexpr int GfxLineHeight = 255;
inline constexpr int GfxOffsetMin = -128;
inline constexpr int GfxOffsetMax = 127;
inline constexpr int GfxLastCode = 255;
inline constexpr int GfxRemapCharacters = 224;

} // namespace dedur::limits
