#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <sys/stat.h>

#include "base/safewrite.h"
#include "code/sidecar.h"
#include "document/patternfile.h"
#include "editor.h"
#include "editorsettings.h"
#include "filefaults.h"
#include "fonts/glyphfile.h"
#include "panel/tables.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "testsupport.h"
#include "textclip/logfontrecord.h"

using namespace dedur;
using namespace dedur::test;
namespace fs = std::filesystem;

namespace {

size_t entriesIn(const fs::path& dir) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

void hardLinked(const TempDir& d) {
    writeBytes(d.file("a.pat"), "old");
    fs::create_hard_link(d.file("a.pat"), d.file("b.pat"));
}

// What stands at dir/"a.pat" before the write.
enum class Before { PlainFile, ReadOnlyFile, LinkToFileElsewhere, DanglingLink, HardLink, Folder };

void makeBefore(const TempDir& d, Before before) {
    const std::string a = d.file("a.pat");
    switch (before) {
    case Before::PlainFile:
    case Before::ReadOnlyFile:
        writeBytes(a, "old");
        fs::permissions(a, fs::perms(before == Before::PlainFile ? 0640 : 0444));
        break;
    case Before::LinkToFileElsewhere:
        fs::create_directory(d.file("real"));
        writeBytes(d.file("real/b.pat"), "old");
        fs::create_symlink("real/b.pat", a);
        break;
    case Before::DanglingLink:
        fs::create_symlink("missing.pat", a);
        break;
    case Before::HardLink:
        hardLinked(d);
        break;
    case Before::Folder:
        fs::create_directory(a);
        break;
    }
}

// Checks words of `after`: "name=bytes", "name@" a link, "name/" a folder,
// "name!" nothing, "name:640" the mode, "name#2" the links to a file or the
// entries of a folder ("." the test's folder).
void checkAfter(const TempDir& d, const std::string& after) {
    std::istringstream words(after);
    for (std::string w; words >> w;) {
        const size_t at = w.find_last_of("=@/!:#");
        const std::string path = d.file(w.substr(0, at));
        const char kind = w[at];
        std::ostringstream got;
        if (kind == '=') got << readBytes(path);
        if (kind == ':') got << std::oct << static_cast<int>(fs::status(path).permissions());
        if (kind == '#')
            got << (fs::is_directory(path) ? entriesIn(path) : fs::hard_link_count(path));
        if (kind == '@' || kind == '/' || kind == '!') {
            got << (kind == '@'   ? fs::is_symlink(path)
                    : kind == '/' ? fs::is_directory(path)
                                  : !fs::exists(path));
        }
        EXPECT_EQ(at + 1 == w.size() ? "1" : w.substr(at + 1), got.str()) << w;
    }
}

struct TargetCase {
    const char* name;
    FileRole role;
    Before before;
    Failure step;
    int error;
    const char* after;
};

// clang-format off
const TargetCase TargetCases[] = {
    {"PlainFileKeepsItsMode", FileRole::User, Before::PlainFile, Failure::None, 0, "a.pat=new a.pat:640 .#1"},
    {"ReadOnlyFileRefused", FileRole::User, Before::ReadOnlyFile, Failure::Refused, ReadOnlyFile, "a.pat=old"},
    {"SymlinkSavesItsTarget", FileRole::User, Before::LinkToFileElsewhere, Failure::None, 0, "a.pat@ real/b.pat=new real#1"},
    {"DanglingSymlinkRefused", FileRole::User, Before::DanglingLink, Failure::Refused, DanglingLink, "a.pat@ missing.pat!"},
    {"HardLinkWrittenInPlace", FileRole::User, Before::HardLink, Failure::None, 0, "a.pat=new b.pat=new a.pat#2"},
    {"ProgramNameHardLinkSplit", FileRole::Program, Before::HardLink, Failure::None, 0, "a.pat=new b.pat=old"},
    {"DirectoryRefused", FileRole::User, Before::Folder, Failure::Refused, EISDIR, "a.pat/"},
};
// clang-format on

class SafeWriteTarget : public ::testing::TestWithParam<TargetCase> {};

TEST_P(SafeWriteTarget, WritesOrRefuses) {
    const TargetCase& c = GetParam();
    TempDir dir;
    makeBefore(dir, c.before);
    const Outcome outcome = writeFileSafely(dir.file("a.pat"), "new", c.role);
    EXPECT_EQ(c.step, outcome.failure) << outcome.reason();
    EXPECT_EQ(c.error, outcome.error) << outcome.reason();
    checkAfter(dir, c.after);
}

INSTANTIATE_TEST_SUITE_P(Targets, SafeWriteTarget, ::testing::ValuesIn(TargetCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SafeWrite, DirectoryWithoutRoomForATemporaryIsWrittenInPlace) {
    TempDir dir;
    const std::string path = dir.file("a.pat");
    writeBytes(path, "old contents");
    const bool root = ::geteuid() == 0;
    // As root the write runs as nobody, who may write the file but not the
    // directory; otherwise the directory is made read-only.
    fs::permissions(path, fs::perms(0666));
    if (!root) fs::permissions(dir.path(), fs::perms(0555));
    EXPECT_TRUE(runAsOtherUser([&] { return writeFileSafely(path, "new").ok(); }));
    fs::permissions(dir.path(), fs::perms(0755));
    EXPECT_EQ("new", readBytes(path));
    EXPECT_EQ(1u, entriesIn(dir.path()));
}

// A stream of unknown length into a hard-linked file: the room is made
// first, so the stream is made whole before the old bytes are touched.
TEST(SafeWrite, StreamsInPiecesWhateverTheTarget) {
    TempDir dir;
    hardLinked(dir);
    const auto pieces = [](uint64_t size) {
        return ByteStream{size, [](const ByteStream::Put& put) {
                              for (const char* piece : {"ne", "", "w!"}) {
                                  if (!put(piece)) return;
                              }
                          }};
    };
    ASSERT_TRUE(writeFileSafely(dir.file("a.pat"), pieces(ByteStream::UnknownSize)).ok());
    EXPECT_EQ("new!", readBytes(dir.file("b.pat")));
    ASSERT_TRUE(writeFileSafely(dir.file("c.pat"), pieces(4)).ok());
    EXPECT_EQ("new!", readBytes(dir.file("c.pat")));
    // A stream that makes other than it announced is not saved.
    EXPECT_EQ(EIO, writeFileSafely(dir.file("c.pat"), pieces(9)).error);
    EXPECT_EQ("new!", readBytes(dir.file("c.pat")));
}

TEST(SafeWrite, KeepsOwnerAndGroupOfAnotherUsersFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the file to another user";
    TempDir dir;
    const std::string path = dir.file("a.pat");
    writeBytes(path, "old");
    ASSERT_EQ(0, ::chown(path.c_str(), NobodyId, NobodyId));
    ASSERT_TRUE(writeFileSafely(path, "new").ok());
    struct stat status {};
    ASSERT_EQ(0, ::stat(path.c_str(), &status));
    EXPECT_EQ(NobodyId, status.st_uid);
    EXPECT_EQ(NobodyId, status.st_gid);
    EXPECT_EQ("new", readBytes(path));
}

TEST(SafeWrite, RemovesTemporariesOfDeadSavesOnly) {
    TempDir dir;
    const std::string path = dir.file("a.pat");
    writeBytes(path, "old");
    // Process 4194305 lies above any pid_max; process 1 always runs.
    const std::string dead = dir.file(".a.pat.dedur-4194305.tmp");
    const std::string deadNew = dir.file(".a.pat.dedur-4194305-abcdef.tmp");
    const std::string running = dir.file(".a.pat.dedur-1-abcdef.tmp");
    const std::string otherFile = dir.file(".b.pat.dedur-4194305.tmp");
    for (const std::string& p : {dead, deadNew, running, otherFile}) writeBytes(p, "x");
    ASSERT_TRUE(writeFileSafely(path, "new").ok());
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_FALSE(fs::exists(deadNew));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(otherFile));
    EXPECT_EQ(3u, entriesIn(dir.path()));
}

TEST(SafeWrite, LinkAtTheOldTemporaryNameIsNotWrittenThrough) {
    TempDir dir;
    writeBytes(dir.file("victim"), "keep");
    writeBytes(dir.file("a.pat"), "old");
    const std::string guess = dir.file(".a.pat.dedur-" + std::to_string(::getpid()) + ".tmp");
    fs::create_symlink(dir.file("victim"), guess);
    ASSERT_TRUE(writeFileSafely(dir.file("a.pat"), "new").ok());
    EXPECT_EQ("keep", readBytes(dir.file("victim")));
    EXPECT_EQ("new", readBytes(dir.file("a.pat")));
}

TEST(SafeWrite, FullDiskInPlaceWriteTouchesNothing) {
    FullDisk disk;
    const std::string path = disk.file("a.pat");
    writeBytes(path, "old");
    fs::create_hard_link(path, disk.file("b.pat"));
    Outcome outcome;
    disk.whileFull([&] { outcome = writeFileSafely(path, std::string(100000, '1')); });
    EXPECT_TRUE(outcome.failedToOpen()) << outcome.reason();
    EXPECT_EQ("old", readBytes(path));
}

TEST(AppendToFile, FailedAppendCutsBackOrRemoves) {
    FullDisk disk;
    const std::string kept = disk.file("16X15.TAB");
    const std::string made = disk.file("24X24.TAB");
    writeBytes(kept, "first");
    Outcome first;
    Outcome second;
    disk.whileFull([&] {
        first = appendToFile(kept, std::string(100000, 'x'));
        second = appendToFile(made, std::string(100000, 'x'));
    });
    EXPECT_EQ(Failure::Write, first.failure);
    EXPECT_EQ(Failure::Write, second.failure);
    EXPECT_EQ("first", readBytes(kept));
    EXPECT_FALSE(fs::exists(made));
}

TEST(AppendToFile, AppendsButNeverThroughALink) {
    TempDir dir;
    writeBytes(dir.file("victim"), "keep");
    fs::create_symlink(dir.file("victim"), dir.file("16X15.TAB"));
    fs::create_hard_link(dir.file("victim"), dir.file("24X24.TAB"));
    EXPECT_EQ(PlantedLink, appendToFile(dir.file("16X15.TAB"), "x").error);
    EXPECT_EQ(PlantedLink, appendToFile(dir.file("24X24.TAB"), "x").error);
    EXPECT_EQ("keep", readBytes(dir.file("victim")));
    ASSERT_TRUE(appendToFile(dir.file("8X15.TAB"), "ab").ok());
    ASSERT_TRUE(appendToFile(dir.file("8X15.TAB"), "cd").ok());
    EXPECT_EQ("abcd", readBytes(dir.file("8X15.TAB")));
}

TEST(CreateEmptyFile, OnlyWhereNothingHasTheName) {
    TempDir dir;
    fs::create_symlink(dir.file("elsewhere"), dir.file("DEDUR.INI"));
    EXPECT_FALSE(createEmptyFile(dir.file("DEDUR.INI")));
    EXPECT_FALSE(fs::exists(dir.file("elsewhere")));
    EXPECT_TRUE(createEmptyFile(dir.file("NEW.INI")));
    EXPECT_EQ(0u, fs::file_size(dir.file("NEW.INI")));
}

TEST(WriteFileRange, WritesInPlaceOrRefuses) {
    TempDir dir;
    const std::string path = dir.file("STD16X15.fon");
    writeBytes(path, "0123456789");
    ASSERT_TRUE(writeFileRange(path, 2, "ab", 2).ok());
    EXPECT_EQ("01ab456789", readBytes(path));
    fs::permissions(path, fs::perms(0444));
    EXPECT_EQ(ReadOnlyFile, writeFileRange(path, 0, "zz", 2).error);
    EXPECT_TRUE(writeFileRange(dir.file("missing"), 0, "zz", 2).failedToOpen());
    EXPECT_EQ("01ab456789", readBytes(path));
}

TEST(WriteFailureMessage, NamesTheFileAndTheReason) {
    const Message m = writeFailureMessage("/tmp/a\x1b.DAT", {Failure::Write, ENOSPC, {}});
    EXPECT_EQ("Could not write \"/tmp/a\\x1b.DAT\": No space left on device", m.text);
}

// Every writer of the program on a full disk: the old file stays whole and
// the caller learns that nothing was written.
struct WriterCase {
    const char* name;
    const char* file;
    // Runs the writer on `path`; the message it gives, "" for silent ones.
    std::function<std::optional<std::string>(const std::string& path)> write;
    const char* message; // what the message starts with
};

using Said = std::optional<std::string>;

Said said(const Outcome& outcome) {
    return outcome.ok() ? std::nullopt : Said(outcome.message.text);
}

const WriterCase WriterCases[] = {
    {"PatternSave", "a.pat",
     [](const std::string& path) {
         Document doc;
         appendPattern(doc, nullptr);
         const Outcome r = writePatternFile(doc, path);
         EXPECT_EQ(!r.ok(), doc.modifiedFlag);
         return said(r);
     },
     "file open error !"},
    {"Settings", "DEDUR.INI",
     [](const std::string& path) {
         return writeSetting(path, "others", "PATFILE", std::string(300, 'p')) ? std::nullopt
                                                                               : Said("");
     },
     ""},
    {"HexTable", "HEX.TAB",
     [](const std::string& path) {
         return said(writeTableFile(path, std::string(100000, 'F'), false));
     },
     "Could not write"},
    {"GlyphPastTheEndOfAShortFile", "STD16X15.fon",
     [](const std::string& path) {
         FontEdit fonts;
         fonts.std16x15Path = path;
         uint8_t record[30] = {1};
         Message error;
         // The last Big5 code lies some 390 KB into the file.
         const int at = accessBig5Glyph(fonts, EditMode::Font16x15, 0xF9, 0xD5, record,
                                        GlyphAccess::Write, &error);
         return at >= 0 ? std::nullopt : Said(error.text);
     },
     "Could not write"},
};

class FullDiskWriter : public ::testing::TestWithParam<WriterCase> {};

TEST_P(FullDiskWriter, KeepsTheOldFileAndSaysSo) {
    const WriterCase& c = GetParam();
    FullDisk disk;
    const std::string path = disk.file(c.file);
    const std::string old = "[others]\r\nEDITTYPE = 1\r\n";
    writeBytes(path, old);
    std::optional<std::string> message;
    disk.whileFull([&] { message = c.write(path); });
    ASSERT_TRUE(message.has_value()) << "written on a full disk";
    EXPECT_NE(std::string::npos, message->find(c.message)) << *message;
    EXPECT_EQ(old, readBytes(path));
    EXPECT_EQ(1u, entriesIn(fs::path(path).parent_path()));
    // With room again the same write goes through.
    EXPECT_FALSE(c.write(path).has_value());
}

INSTANTIATE_TEST_SUITE_P(Writers, FullDiskWriter, ::testing::ValuesIn(WriterCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The names the program keeps for itself: a link planted there is never
// written through, and the target keeps its bytes.
struct PlantedCase {
    const char* name;
    const char* file;
    std::function<bool(const std::string& directory)> write; // true when it wrote
};

const PlantedCase PlantedCases[] = {
    {"HexTable", "HEX.TAB",
     [](const std::string& d) { return writeTableFile(d + "/HEX.TAB", "F0", false).ok(); }},
    {"PasteRecord", "bitmap.dat",
     [](const std::string& d) {
         return writeFileSafely(d + "/bitmap.dat", "x", FileRole::Program).ok();
     }},
    {"MessageFont", "MYMSG.$LF",
     [](const std::string& d) { return writeLogFontFile(d + "/MYMSG.$LF", LogFontRecord{}).ok(); }},
    {"SettingsTemporary", "~TMP001.TMP",
     [](const std::string& d) {
         writeBytes(d + "/DEDUR.INI", "");
         return !writeSetting(d + "/DEDUR.INI", "others", "A", "1");
     }},
    {"Settings", "DEDUR.INI",
     [](const std::string& d) {
         const bool existed = fs::exists(d + "/victim");
         Editor editor(d);
         const bool refused = loadSettings(editor) == 0 && editor.settingsLinkRefused;
         editor.settings.gridX = 11;
         saveModeSettings(editor);
         saveColour(editor, "DOTCOLOR", 255);
         return !refused || existed != fs::exists(d + "/victim");
     }},
    // The command line checks the sidecar's name before it writes; the
    // editor's save of the names comes here directly.
    {"PatternSidecar", "a.pat.toml",
     [](const std::string& d) {
         Sidecar names;
         names.names[1] = "bell";
         return writeSidecar(d + "/a.pat", names).ok();
     }},
};

class PlantedLinkAt : public ::testing::TestWithParam<PlantedCase> {};

TEST_P(PlantedLinkAt, IsLeftAlone) {
    TempDir dir;
    const std::string victim = dir.file("victim");
    const std::string link = dir.file(GetParam().file);
    // A link to a missing file would be created through; one to a file
    // would be overwritten.
    for (const bool dangling : {true, false}) {
        fs::remove(victim);
        fs::remove(link);
        if (!dangling) writeBytes(victim, "keep");
        fs::create_symlink(victim, link);
        EXPECT_FALSE(GetParam().write(dir.path().string())) << (dangling ? "dangling" : "");
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(!dangling, fs::exists(victim));
        if (!dangling) {
            EXPECT_EQ("keep", readBytes(victim));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FixedNames, PlantedLinkAt, ::testing::ValuesIn(PlantedCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
