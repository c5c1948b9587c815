#pragma once

#include <string>

#include "base/outcome.h"
#include "code/codejob.h"

namespace dedur {

// Renders a Mustache template over the job. Variables: `file`, `name`,
// `layout`, `count`, `patterns`; per pattern `number`, `name`, `width`,
// `height`, `seg`, `com`, `lr`, `tb`, `byte_count`, `bytes` (each `value`,
// `hex`, `bin`, `index`, `last`), `rows` (each `text`), `first`, `last`.
// Nothing is HTML-escaped: the output is code. A template that does not
// parse, is larger than limits::TemplateBytes, nests sections deeper than
// limits::TemplateDepth or holds a partial is refused, naming the line.
Outcome renderCodeTemplate(const CodeJob& job, const std::string& templateText,
                           const std::string& templateName, std::string& out);
struct GlyphSubset;
// A Mustache template over a font subset: `name`, `width`, `height`,
// `layout`, `count` and `glyphs`, each with `codepoint` (decimal), `hex` (the
// code point in four or more hex digits), `big5` (four hex digits), `char`
// (UTF-8), `width`, `bytes` (as for patterns), `rows` (each `text`), `index`
// and `last`.
Outcome renderSubsetTemplate(const GlyphSubset& subset, const std::string& templateText,
                             const std::string& templateName, const std::string& name,
                             std::string& out);
// The same handed on a piece at a time; checkSubsetTemplate refuses what it
// would refuse, before anything is written.
Outcome checkSubsetTemplate(const std::string& templateText, const std::string& templateName);
Outcome renderSubsetTemplate(const GlyphSubset& subset, const std::string& templateText,
                             const std::string& templateName, const std::string& name,
                             const CodeSink& sink);

// Refuses a template that does not parse, or patterns the panel layout
// cannot place, before anything is written.
Outcome checkCodeTemplate(const CodeJob& job, const std::string& templateText,
                          const std::string& templateName);
// The same handed on a piece at a time (a large output is never whole in
// memory); nothing is handed on when the template is refused.
Outcome renderCodeTemplate(const CodeJob& job, const std::string& templateText,
                           const std::string& templateName, const CodeSink& sink);

} // namespace dedur
