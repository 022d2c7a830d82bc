#pragma once
// The project file corvane-project.toml: which original ROM, block data file, table, code
// patches and scripts make one translation, and where the build writes its outputs. Paths in
// the file are relative to the file's folder; every value remembers its key and line so that
// a problem with it can be named where it is shown.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/box_wrap.h"
#include "core/block_encoder.h"
#include "project/editor_state.h"
#include "script/substitutions.h"

namespace corv::project {

inline constexpr char kProjectFileName[] = "corvane-project.toml";
inline constexpr char kDefaultScriptsFolder[] = "Dumps";
// A project file is a page of settings; anything larger is no project file of this program.
inline constexpr uint64_t kLargestProjectFile = 1024 * 1024;

// A path from the project file, resolved against the file's folder.
struct ProjectPath {
    std::filesystem::path path;
    std::string key;  // "rom", "output.ips", "patches[2]"
    int line = 0;     // 1-based line of the value; 0 when it is a default
};

struct BlockOptions {
    bool skip = false;  // left out of the build (kept as in the original)
    std::string key;    // "blocks.340000"
    int line = 0;
};

// The [release] table: what a release folder's read-me says, and where every build writes one.
struct ReleaseSettings {
    std::optional<ProjectPath> dir;     // release.dir: every build writes the release there
    std::optional<std::string> title;   // release.title: the read-me's first line
    std::optional<std::string> version; // release.version
    int titleLine = 0, versionLine = 0;
    int line = 0;  // the table's heading; 0 when there is none
};
// The longest title or version: one line of a read-me.
inline constexpr size_t kLongestReleaseText = 100;
// What a build does with the untranslated strings of a block translated in part: a play-test
// build gives each the stand-in that keeps the original's codes (insert/stand_in.h); a release
// build refuses the block, naming them. A block with no translation at all stays as in the
// original either way.
enum class UntranslatedStrings { StandIn, Refuse };

struct ProjectFile {
    std::filesystem::path file;       // the project file itself
    std::filesystem::path directory;  // its folder: the root of every relative path
    ProjectPath rom;                  // the original ROM, only ever read
    ProjectPath dataFile;
    ProjectPath table;
    ProjectPath scripts;              // one %08X.txt per block
    std::vector<ProjectPath> patches; // applied to the original first, in order
    ProjectPath outputRom;
    ProjectPath outputIps;            // empty path when neither written nor named
    ProjectPath outputBps;            // default: output.ips with the extension .bps
    // output.formats: which patches the build writes (both unless it names one).
    bool writesIps = true;
    bool writesBps = true;
    ReleaseSettings release;
    std::map<uint32_t, BlockOptions> blocks;  // by ROM offset of the block address
    // The [wrap] table: how `corvtool wrap`, the editor's wrap commands and `import-po --wrap`
    // wrap (page_break, player_width, number_width, memory_text_width). The build never wraps.
    check::WrapOptions wrap;
    EditorState editor;  // the [editor] table: only the editor reads it
    int editorLine = 0;  // the line where the [editor] table starts; 0 when there is none
    // `allow_outside = true`, written by hand only: the project may write outside its folder.
    bool allowOutside = false;
    // The [substitutions] table: characters PO imports write differently ("’" = "'").
    script::Substitutions substitutions;
    // `untranslated = "stand-in" | "refuse"`: what a build does with untranslated strings
    // (`build --release` refuses them whatever the file says).
    UntranslatedStrings untranslated = UntranslatedStrings::StandIn;
    // `compressor = "standard" | "maximising"`: the compressor of build, status and check (their
    // --maximise picks the maximising one whatever the file says); the editor's Fit Harder When Over.
    core::Compressor compressor = core::Compressor::Standard;
    int compressorLine = 0;  // 0 when the file has no such key
    // `language = "de"`: the language of the translation, which export-po writes into its PO files.
    std::string language;

    [[nodiscard]] bool skips(uint32_t blockAddress) const;
};

enum class ProjectProblem {
    CannotRead,  // the project file cannot be read
    NotAFile,    // the project file is a FIFO, a device or a folder: not read
    TooLarge,    // the project file is larger than kLargestProjectFile, or the ROM a key names
                 // is larger than the game can be: not read
    TooDeep,     // tables or arrays nest deeper than kMostProjectNesting (at `line`)
    NulCharacter,  // a key or a value holds a NUL character (`key` names where)
    Syntax,      // the file is not TOML; `detail` holds the parser's description
    MissingKey,  // a required key is not there
    WrongType,   // the key holds another kind of value; `detail` names the kind expected
    UnknownKey,  // a key the project file has no use for (often a misspelling)
    BadAddress,  // a key of [blocks] is no hexadecimal block address
    FileMissing, // the file a key names is not there or cannot be read
    NotTheGame,  // the ROM a key names does not hold the game titled CORVANE
    BadInput,    // the file a key names cannot be read as what it should be (`detail` says what)
    LeavesFolder,  // a path the project writes leads outside its folder: `file` as named,
                   // `detail` where it leads (links followed)
    UnclearPath,   // where a path the project writes leads cannot be told (a loop of links)
};

struct ProjectError {
    ProjectProblem problem = ProjectProblem::CannotRead;
    std::string key;  // empty for problems of the whole file
    int line = 0;     // 0 when no line can be given (a missing key)
    std::string detail;
    std::filesystem::path file;  // the file a key names (FileMissing, NotTheGame, BadInput)
};

struct ProjectLoad {
    std::optional<ProjectFile> project;
    std::optional<ProjectError> error;  // set exactly when project is not
};

// The top-level key of the compressor and the names of its values.
inline constexpr char kCompressorKey[] = "compressor";
inline constexpr std::string_view kStandardCompressorName = "standard";
inline constexpr std::string_view kMaximisingCompressorName = "maximising";
[[nodiscard]] std::optional<core::Compressor> ParseCompressorName(std::string_view text);
[[nodiscard]] std::string_view CompressorName(core::Compressor compressor);

// A block address as the project file writes it (a key of [blocks], the editor's last block):
// one to six hexadecimal digits, nothing else.
[[nodiscard]] std::optional<uint32_t> ParseBlockAddress(std::string_view text);

// Reads and checks the project file's structure (not the files it names). Only a regular file
// of at most kLargestProjectFile bytes is read.
[[nodiscard]] ProjectLoad LoadProjectFile(const std::filesystem::path& file);
// The same from text already in memory; `file` gives the folder paths are relative to.
[[nodiscard]] ProjectLoad ParseProjectFile(std::string_view text, const std::filesystem::path& file);

// The commented project file that init-project writes; paths as given (relative to the file).
struct ProjectFileSettings {
    std::string rom;
    std::string dataFile;
    std::string table;
    std::string scripts = kDefaultScriptsFolder;
    std::string outputRom;
    std::string outputIps;
};
[[nodiscard]] std::string ProjectFileText(const ProjectFileSettings& settings);

}  // namespace corv::project
