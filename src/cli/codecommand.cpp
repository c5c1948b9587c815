#include <filesystem>
#include <functional>
#include <iostream>

#include "base/fileread.h"
#include "base/limits.h"
#include "base/safewrite.h"
#include "code/codeformats.h"
#include "code/codetemplate.h"
#include "code/sidecar.h"
#include "commands.h"
#include "fontcode/iconfont.h"
#include "panel/panelexport.h"
#include "patternpair.h"

namespace dedur::cli {

namespace {

// A profile given by name (from the sidecar) or as a file of its keys;
// `where` says which, for the messages about its values.
bool loadProfile(const std::string& wanted, const Sidecar& sidecar, const std::string& patternPath,
                 CodeProfile& profile, std::string& where) {
    if (const auto found = sidecar.profiles.find(wanted); found != sidecar.profiles.end()) {
        profile = found->second;
        where = "The profile " + quotedPath(wanted) + " in " + quotedPath(sidecarPath(patternPath));
        return true;
    }
    where = "The profile file " + quotedPath(wanted);
    std::string text;
    if (readFileLimited(wanted, limits::SidecarBytes, text) != FileReadStatus::Ok) {
        failure("No profile " + quotedPath(wanted) + " in " + quotedPath(sidecarPath(patternPath)) +
                ", and no such file");
        return false;
    }
    Sidecar wrapped;
    const Outcome read = parseSidecar("[profiles.given]\n" + text, wanted, wrapped);
    if (!read.ok() || !wrapped.profiles.count("given")) {
        failure(quotedPath(wanted) + " is not a code profile: " + read.message.text);
        return false;
    }
    profile = wrapped.profiles["given"];
    return true;
}

// --first as a code point: 0xE000, U+E000 or 57344.
std::optional<char32_t> codePointOption(const std::string& text) {
    int base = 10;
    std::string_view digits = text;
    if (digits.size() > 2 && (digits.substr(0, 2) == "0x" || digits.substr(0, 2) == "0X" ||
                              digits.substr(0, 2) == "U+" || digits.substr(0, 2) == "u+")) {
        base = 16;
        digits.remove_prefix(2);
    }
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    uint32_t value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
    }
    if (value > 0x10FFFF) return std::nullopt;
    return static_cast<char32_t>(value);
}

// --colors FG,BG.
bool coloursOption(const std::string& text, LvglImageOptions& lvgl) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    const auto foreground = colourNamed(std::string_view(text).substr(0, comma));
    const auto background = colourNamed(std::string_view(text).substr(comma + 1));
    if (!foreground || !background) return false;
    lvgl.foreground = *foreground;
    lvgl.background = *background;
    return true;
}

// The command line's options over the profile's.
void applyOptions(const ParsedArgs& args, CodeProfile& profile) {
    if (const auto format = args.value("format")) {
        profile.format = *format;
        profile.templateFile.clear();
    }
    if (const auto file = args.value("template")) profile.templateFile = *file;
    if (const auto layout = args.value("layout")) profile.layout = *layout;
    if (const auto name = args.value("name")) profile.name = *name;
    if (args.has("invert")) profile.invert = true;
    if (args.has("progmem")) profile.progmem = true;
}

int runCode(const ParsedArgs& args) {
    const Command& self = codeCommand();
    const std::string& source = args.positional[0];
    const int choices = args.has("pattern") + args.has("all") + args.has("range");
    if (choices > 1) return usageError(self, "give only one of --pattern, --all and --range");
    if (args.has("format") && args.has("template")) {
        return usageError(self, "give --format or --template, not both");
    }
    std::string error;
    int number = 1;
    if (!numberOption(args, "pattern", 1, INT_MAX, number, error)) return usageError(self, error);
    if (const auto name = args.value("name"); name && !isIdentifier(*name)) {
        return usageError(self, "--name must be a C identifier (a letter or _ first, then "
                                "letters, digits and _)");
    }

    Document doc;
    if (!loadDocument(source, doc)) return 1;
    const bool image = doc.kind == DocumentKind::Image;
    Sidecar sidecar;
    if (image) {
        if (!readSidecarOf(source, doc, sidecar)) return 1;
    } else if (const Outcome read = readSidecar(source, sidecar); !read.ok()) {
        std::cerr << "dedur-cli: warning: " << read.message.text << "\n";
    }
    // What the command reads, which its output may never replace.
    std::vector<std::string> inputs{source, sidecarPath(source)};
    CodeProfile profile;
    // An image's own layout, kept beside it, unless a profile or --layout says another.
    if (!sidecar.layout.empty()) profile.layout = sidecar.layout;
    std::string where;
    if (const auto wanted = args.value("profile")) {
        if (!loadProfile(*wanted, sidecar, source, profile, where)) return 1;
        if (!sidecar.profiles.count(*wanted)) inputs.push_back(*wanted);
        // A profile's template is found beside the pattern file.
        if (!profile.templateFile.empty() &&
            std::filesystem::path(profile.templateFile).is_relative()) {
            profile.templateFile =
                (std::filesystem::path(source).parent_path() / profile.templateFile).string();
        }
    }
    // A bad value the profile gave is the profile's fault, not the command line's.
    const CodeProfile given = profile;
    applyOptions(args, profile);
    const auto badValue = [&](const std::string& key, const std::string& value, const char* usage) {
        if (!where.empty() && !args.has(key) &&
            value == (key == "layout" ? given.layout
                      : key == "name" ? given.name
                                      : given.format)) {
            return failure(where + " has " + key + " = " + quotedPath(value) + "; " + usage);
        }
        return usageError(self, std::string("--") + key + " must be " + usage);
    };

    const auto layout = layoutNamed(profile.layout);
    if (!layout) {
        return badValue("layout", profile.layout,
                        "rows-msb, rows-lsb, pages-lsb, pages-msb or panel");
    }
    if (image && layout == CodeLayout::Panel) {
        return failure("The panel layout places patterns on the SEG/COM panel; " +
                       quotedPath(source) +
                       " is an image: give rows-msb, rows-lsb, pages-lsb or pages-msb");
    }
    const auto format = formatNamed(profile.format);
    const auto fontFormat = profile.templateFile.empty() ? iconFontFormatNamed(profile.format)
                                                         : std::optional<FontFormat>();
    if (profile.templateFile.empty() && !format && !fontFormat) {
        return badValue("format", profile.format,
                        "c, xbm, micropython, rust, asm, json, lvgl, lvgl-font, u8g2-font or "
                        "gfx-font");
    }
    if ((args.has("first") || args.has("spacing") || args.has("baseline")) && !fontFormat) {
        return usageError(self, "--first, --spacing and --baseline go with --format lvgl-font, "
                                "u8g2-font or gfx-font");
    }
    const bool lvglImage = profile.templateFile.empty() && format == CodeFormat::Lvgl;
    if ((args.has("lvgl") || args.has("colors")) && !lvglImage) {
        return usageError(self, "--lvgl and --colors go with --format lvgl");
    }
    IconFontOptions icons;
    if (const auto first = args.value("first")) {
        const auto code = codePointOption(*first);
        if (!code) {
            return usageError(self, "--first must be a code point up to 0x10FFFF, such as "
                                    "0xE000, U+E000 or 57344");
        }
        icons.first = *code;
    }
    if (!numberOption(args, "spacing", 0, limits::IconSpacing, icons.spacing, error) ||
        !numberOption(args, "baseline", 0, limits::IconBaseline, icons.baseline, error)) {
        return usageError(self, error);
    }
    LvglImageOptions lvgl;
    if (const auto version = args.value("lvgl"); version && *version != "8" && *version != "9") {
        return usageError(self, "--lvgl must be 8 or 9");
    } else if (version) {
        lvgl.version = *version == "8" ? 8 : 9;
    }
    if (const auto colours = args.value("colors"); colours && !coloursOption(*colours, lvgl)) {
        return usageError(self, "--colors must be two colours FG,BG, each #RRGGBB or one of black, "
                                "white, red, green, blue, yellow, cyan, magenta and gray");
    }
    if (!profile.name.empty() && !isIdentifier(profile.name)) {
        return badValue("name", profile.name,
                        "a C identifier (a letter or _ first, then letters, digits and _)");
    }

    RangeChoice choice = RangeChoice::All;
    std::string rangeText = profile.patterns;
    if (rangeText == CurrentPatternChoice) {
        // The pattern the dialog showed when the profile was kept.
        if (profile.pattern > doc.patternCount) {
            return failure(where + " has pattern = " + std::to_string(profile.pattern) + "; " +
                           quotedPath(source) + " has " + std::to_string(doc.patternCount) +
                           (doc.patternCount == 1 ? " pattern" : " patterns"));
        }
        if (!selectPatternNumber(doc, std::max(profile.pattern, 1), source)) return 1;
        choice = RangeChoice::Current;
    } else if (!rangeText.empty()) {
        choice = RangeChoice::Numbers;
    }
    if (args.has("pattern")) {
        if (!selectPatternNumber(doc, number, source)) return 1;
        choice = RangeChoice::Current;
    }
    if (args.has("all")) choice = RangeChoice::All;
    if (const auto range = args.value("range")) {
        choice = RangeChoice::Numbers;
        rangeText = *range;
    }
    const PanelRange range =
        parsePanelRange(choice, rangeText, doc.patternCount, doc.currentPattern);
    if (!range.ok()) return failure(range.outcome.message.text);
    // The range reader takes a number past the last pattern as the last;
    // the code would then hold another pattern than the one asked for.
    if (choice == RangeChoice::Numbers) {
        if (const std::string past = rangePastLast(rangeText, doc.patternCount, quotedPath(source));
            !past.empty()) {
            return failure(past);
        }
    }

    CodeOptions options;
    options.name = profile.name;
    // A font keeps its glyphs in its own form, whatever the layout.
    options.layout = fontFormat ? CodeLayout::RowsMsb : *layout;
    options.invert = profile.invert;
    options.progmem = profile.progmem;
    options.animation = args.has("animation");
    options.delays = sidecar.delays;
    CodeJob job = makeCodeJob(doc, range.panelFlags, sidecar.names, options, source);
    // The heading names the file written, as the editor's Save does.
    if (const auto output = args.value("output")) {
        job.output = std::filesystem::path(*output).filename().string();
    }
    if (fontFormat) {
        icons.names = sidecar.names;
        FontOutput output;
        output.name = job.name;
        output.comment = "The patterns of " + job.file + " as icons, made by dedur";
        // A dry run first, so that a refusal writes nothing at all.
        if (const Outcome checked = writeIconFont(*fontFormat, job, icons, output,
                                                  [](std::string_view) { return false; });
            !checked.ok()) {
            return failure(checked.message.text);
        }
        Outcome made;
        const bool written = writeOut(inputs, args, [&](const CodeSink& sink) {
            made = writeIconFont(*fontFormat, job, icons, output, sink);
        });
        if (!made.ok()) return failure(made.message.text);
        return written ? 0 : 1;
    }
    if (profile.templateFile.empty()) {
        // Refused before anything is written; then made while it is written.
        if (const Outcome checked = checkCodeFormat(job, *format); !checked.ok()) {
            return failure(checked.message.text);
        }
        if (const Outcome named = checkCodeNames(job, *format); !named.ok()) {
            return failure(named.message.text);
        }
        return writeOut(inputs, args,
                        [&](const CodeSink& sink) { (void)writeCode(job, *format, sink, lvgl); })
                   ? 0
                   : 1;
    }
    inputs.push_back(profile.templateFile);
    std::string templateText;
    if (const FileReadStatus status =
            readFileLimited(profile.templateFile, limits::TemplateBytes, templateText);
        status != FileReadStatus::Ok) {
        return failure("Could not read the template " + quotedPath(profile.templateFile) + ": " +
                       readFailureReason(profile.templateFile, status));
    }
    if (const Outcome checked = checkCodeTemplate(job, templateText, profile.templateFile);
        !checked.ok()) {
        return failure(checked.message.text);
    }
    if (const Outcome named = checkCodeNames(job, std::nullopt); !named.ok()) {
        return failure(named.message.text);
    }
    Outcome rendered;
    const bool written = writeOut(inputs, args, [&](const CodeSink& sink) {
        rendered = renderCodeTemplate(job, templateText, profile.templateFile, sink);
    });
    if (!rendered.ok()) return failure(rendered.message.text);
    return written ? 0 : 1;
}

// The layouts as the option lists them, from the table the editor shows too.
std::string layoutHelp() {
    std::string text;
    for (const CodeLayout l : AllCodeLayouts) {
        text += text.empty() ? "  --layout L     " : "                 ";
        text += layoutName(l);
        text += l == CodeLayout::RowsMsb ? " (default): " : ": ";
        text += layoutDescription(l);
        text += l == AllCodeLayouts[std::size(AllCodeLayouts) - 1] ? "\n" : ";\n";
    }
    return text;
}

} // namespace

const Command& codeCommand() {
    static const std::string usage =
        "usage: dedur-cli code FILE.pat [--pattern N | --range TEXT | --all]\n"
        "                     [--format c|xbm|micropython|rust|asm|json | --template FILE]\n"
        "                     [--layout L] [--name NAME] [--invert] [--progmem] [--animation]\n"
        "                     [--format lvgl [--lvgl 8|9] [--colors FG,BG]]\n"
        "                     [--format lvgl-font|u8g2-font|gfx-font [--first CODE]\n"
        "                      [--spacing N] [--baseline B]]\n"
        "                     [--profile NAME|FILE] [--output OUT [--force]]\n"
        "\n"
        "Writes the chosen patterns' dots as bytes in the layout a display driver reads,\n"
        "in a programming language or through a Mustache template; to standard output\n"
        "unless --output is given. Every pattern unless one is chosen.\n"
        "  --pattern N    pattern N, counted from 1\n"
        "  --range TEXT   numbers and ranges such as \"2, 4-6\"\n"
        "  --all          every pattern (the default)\n"
        "  --format F     c (default), xbm, micropython, rust, asm or json;\n"
        "                 lvgl: an LVGL image (lv_image_dsc_t) per pattern, rows-msb;\n"
        "                 lvgl-font, u8g2-font, gfx-font: the patterns as the glyphs of\n"
        "                 a font for LVGL, u8g2 or Adafruit GFX, with a #define of each\n"
        "                 icon's code and UTF-8 string (NAME_ICON_<pattern name>)\n"
        "  --template F   a Mustache template instead of a built-in format\n" +
        layoutHelp() +
        "  --name NAME    the identifier (a C identifier; default from FILE's name)\n"
        "  --invert       swap set and clear dots\n"
        "  --progmem      put the C arrays in program memory (AVR; nothing elsewhere)\n"
        "  --animation    the patterns are frames: add NAME_FRAME_COUNT and the delays\n"
        "                 (NAME_DELAYS_MS; see \"frames\") in C, Rust, MicroPython and JSON\n"
        "  --profile P    a profile kept in FILE.pat.toml, or a file of profile keys;\n"
        "                 the options above override it\n"
        "  --lvgl 8|9     the LVGL version of the images (9, lv_image_dsc_t, by default;\n"
        "                 8: lv_img_dsc_t)\n"
        "  --colors FG,BG the images' colours of set and clear dots, each #RRGGBB or\n"
        "                 black, white, red, green, blue, yellow, cyan, magenta, gray\n"
        "                 (default black,white)\n"
        "  --first CODE   the code of the first icon (0xE000 by default, U+E000 or 57344\n"
        "                 alike); the next pattern takes the next code\n"
        "  --spacing N    blank columns after each icon, 0..96 (default 0)\n"
        "  --baseline B   the icons' baseline B rows above their bottom, 0..96 (default 0)\n"
        "  --output OUT   write OUT instead of standard output\n"
        "  --force        replace an existing OUT\n"
        "Patterns named with \"dedur-cli names\" keep their names in the code.\n"
        "An image (FILE.pbm, .xbm, .png or .gif) is written the same way, its frames\n"
        "taken as patterns; without --layout it takes the layout kept beside it\n"
        "(new-image --layout), and the panel layout is refused.\n";
    static const Command command{
        "code",
        "write patterns as code for a display driver (C, XBM, MicroPython, Rust, ...)",
        usage.c_str(),
        {{"pattern", true},
         {"range", true},
         {"all", false},
         {"format", true},
         {"template", true},
         {"layout", true},
         {"name", true},
         {"invert", false},
         {"progmem", false},
         {"animation", false},
         {"profile", true},
         {"lvgl", true},
         {"colors", true},
         {"first", true},
         {"spacing", true},
         {"baseline", true},
         {"output", true},
         {"force", false}},
        1,
        1,
        runCode};
    return command;
}

} // namespace dedur::cli
