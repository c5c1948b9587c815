#pragma once

#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/limits.h"
#include "cliargs.h"
#include "code/codejob.h"
#include "code/sidecar.h"
#include "document/patternstore.h"
#include "imagedocument.h"

namespace dedur::cli {

// The ranges the options are checked against.
inline constexpr int PanelSegs = 96; // --seg 1..96
inline constexpr int PanelComs = 48; // --com 1..48
inline constexpr int MaxPatternCount = INT_MAX;
inline constexpr int MaxMemoryFileSize = static_cast<int>(limits::MemoryFileBytes);

const Command& infoCommand();
const Command& newCommand();
const Command& exportCommand();
const Command& tableCommand();
const Command& glyphCommand();
const Command& drawCommand();
const Command& makeFontsCommand();
const Command& transformCommand();
const Command& importPanelCommand();
const Command& importImageCommand();
const Command& renderCommand();
const Command& codeCommand();
const Command& namesCommand();
const Command& addCommand();
const Command& deleteCommand();
const Command& moveCommand();
const Command& placeCommand();
const Command& fontExportCommand();
const Command& fontImportCommand();
const Command& fontSubsetCommand();
const Command& framesCommand();
const Command& newImageCommand();

// Reads a pattern file, locked until the program ends (see patternpair.h);
// on failure prints the reader's message and returns false.
bool loadPatternFile(const std::string& path, Document& doc);
// A pattern file as loadPatternFile reads it or, when the name ends in .pbm,
// .xbm, .png or .gif, an image document (locked alike); what the image said
// beyond its dots and its sidecar (delays included) are kept for its save
// and for readSidecarOf. loadPatternFile itself refuses an image by name.
bool loadDocument(const std::string& path, Document& doc);
// Writes an image loaded by loadDocument with `sidecar`, in its own format
// or `format`; false after the message. savePatternFile saves an image so
// with the sidecar it was read with.
bool saveImageFile(const std::string& path, const Document& doc, const Sidecar& sidecar,
                   std::optional<ImageFormat> format);
// What the image loaded from `path` said beyond its dots.
const ImageFacts& imageFactsOf(const std::string& path);
// Makes pattern `number` (from 1) current; prints why not when the file has none.
bool selectPatternNumber(Document& doc, int number, const std::string& path);
// Saves a pattern file; on failure prints the writer's message and returns false.
bool savePatternFile(const std::string& path, Document& doc);
// Whether OUT may be written: refused when it is one of the command's
// INPUTS (the same file, links followed), whatever --force says, or when it
// exists and --force was not given; prints why not.
bool outputAllowed(const std::vector<std::string>& inputs, const std::string& output, bool force);
bool outputAllowed(const std::string& input, const std::string& output, bool force);
// The text made by `make` (which hands it on a piece at a time) goes to
// standard output or, through the safe routine, to --output (refused as
// outputAllowed refuses it).
bool writeOut(const std::vector<std::string>& inputs, const ParsedArgs& args,
              const std::function<void(const CodeSink&)>& make);
bool writeOut(const std::string& source, const ParsedArgs& args,
              const std::function<void(const CodeSink&)>& make);
// Flushes standard output; false after a message when a write to it failed.
bool standardOutputWritten();
// Direction codes 0..3 given as --lr/--tb; false (with a message) otherwise.
bool readDirection(const ParsedArgs& args, const char* name, int fallback, int& code,
                   std::string& error);

} // namespace dedur::cli
