#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/outcome.h"
#include "code/sidecar.h"
#include "document/patternstore.h"

namespace dedur {

// A 1-bit picture (or a GIF's frames) held as a document of kind Image: each
// frame is a record of the store, its header holding the frame's width and
// height (the SEG/COM fields zero), one record for a still picture. A GIF's
// delays go where an animation's are kept, the sidecar's `delays` (frame
// number from 1 -> ms), so that frame play and onion skin work unchanged.

enum class ImageFormat { Pbm, Xbm, Png, Gif };

// The format a file name asks for, by its extension (.pbm .xbm .png .gif,
// any case); nothing for any other name, a pattern file's included.
std::optional<ImageFormat> imageFormatOfPath(const std::string& path);
// "PBM", "XBM", "PNG", "GIF".
const char* imageFormatName(ImageFormat format);

// What a file said beyond its dots, kept so that a save writes it back.
struct ImageFacts {
    ImageFormat format = ImageFormat::Pbm;
    int loops = 0; // a GIF's plays; 0 for ever
    // The identifier an XBM had (NAME of NAME_bits) and its hot spot.
    std::string xbmName;
    std::optional<std::pair<int, int>> xbmHotSpot;
};

// Reads a PBM (P1 or P4), XBM, PNG or GIF into `doc` (made of kind Image,
// the first frame current, not modified) and the sidecar beside it
// (sidecarPath(path), when there is one) into `sidecar`, whose delays then
// become the GIF's. The format is told by the file's first bytes, not its
// name. A PNG pixel is set when it is darker than middle grey laid over
// white (fully transparent: clear); a GIF's frames are each the screen as a
// player shows it then. Sizes are checked from the headers before a pixel is
// decoded: each side 1..limits::ImageSide, at most limits::GifFrames frames
// and limits::ImageDocumentDots dots in all. Refused with the reason; `doc`
// and `sidecar` are then left as they were.
Outcome readImageDocument(const std::string& path, Document& doc, Sidecar& sidecar,
                          ImageFacts& facts);

// The same on a file's bytes already in memory, without a sidecar (`name`
// for the messages); the GIF's delays go to `delays`.
Outcome decodeImageDocument(std::string_view data, const std::string& name, Document& doc,
                            std::map<int, int>& delays, ImageFacts& facts);

// Writes the document as `format` through writeFileSafely: PBM as P4, XBM
// named by facts.xbmName (else after the file's name) with its hot spot,
// PNG of one bit a pixel (set dots black on white), GIF with every frame,
// the sidecar's delays and facts.loops. A document of several frames is
// refused for PBM, XBM and PNG ("... has N frames; ...") unless `frame`
// names the one frame (0-based) to write. The sidecar beside `path` is
// written (names, profiles, the layout; not the delays, which the GIF keeps)
// when it holds something or a sidecar is already there. `doc` is left as
// it is: the caller marks it saved (and takes its new file stamp).
Outcome writeImageDocument(const std::string& path, const Document& doc, const Sidecar& sidecar,
                           const ImageFacts& facts, ImageFormat format, int frame = -1);

// Makes `doc` one blank frame of width x height dots (each 1..ImageSide),
// current and not modified; refused with the reason otherwise.
Outcome newImageDocument(Document& doc, int width, int height);

// A C identifier made from a file's name ("logo 2.xbm" -> "logo_2").
std::string xbmNameOfPath(const std::string& path);

} // namespace dedur
