// The build's patches and its release folder: the BPS beside the IPS (and which the project
// keys choose), the BPS applied to the original and to the headered demo ROM, the release
// folder's files and read-me figures, and every way a write fails leaving the files as they were.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>

#include "core/file_save.h"
#include "patches/bps_file.h"
#include "patches/bps_patch.h"
#include "patches/ips_patch.h"
#include "patches/rom_identity.h"
#include "project/build_outputs.h"
#include "project/project_error_text.h"
#include "project/release_files.h"
#include "project/project_fixture.h"
#include "tests/tools/tree_snapshot.h"

namespace corv::testing {
namespace {

using project::BuildOutcome;
using project::ProjectProblem;
using project::WriteOutcome;

constexpr char kReleaseTable[] = "[release]\ntitle = 'Corvane in English'\nversion = '1.2'\n";

// Fails the n-th time (from 0) that saves reach `step`, with EIO.
class FailNth final : public core::SaveStepHook {
public:
    FailNth(core::SaveStep step, int n) : step_(step), left_(n) {}
    int beforeStep(core::SaveStep step) override {
        if (step != step_) return 0;
        return left_-- == 0 ? EIO : 0;
    }

private:
    core::SaveStep step_;
    int left_;
};

// The 1-based line of the first `needle` in `text`.
int lineOf(const std::string& text, const std::string& needle) {
    const size_t at = text.find(needle);
    EXPECT_NE(at, std::string::npos) << needle;
    return 1 + int(std::count(text.begin(), text.begin() + std::ptrdiff_t(at), '\n'));
}

std::string identityText(const patches::FileIdentity& identity) {
    char crc[48];
    std::snprintf(crc, sizeof crc, "%llu bytes, CRC32 %08X\n", static_cast<unsigned long long>(identity.size),
                  unsigned(identity.crc32));
    return crc + std::string("    MD5   ") + patches::DigestHex(identity.md5) + "\n    SHA-1 " +
           patches::DigestHex(identity.sha1) + "\n";
}

std::vector<uint8_t> behindZeroHeader(std::span<const uint8_t> data) {
    std::vector<uint8_t> bytes(core::kCopierHeaderSize + data.size(), 0);
    std::copy(data.begin(), data.end(), bytes.begin() + core::kCopierHeaderSize);
    return bytes;
}

class ProjectRelease : public ProjectTest {
protected:
    void SetUp() override {
        ProjectTest::SetUp();
        text_ = projectText() + kReleaseTable;
        writeProject(text_);
        translate(textBlock(0), 1.0);
        translate(textBlock(1), 1.0);
    }
    // The project text with `from` replaced by `to`.
    void change(const std::string& from, const std::string& to) {
        const size_t at = text_.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text_.replace(at, from.size(), to);
        writeProject(text_);
    }
    project::ReleaseFiles release(const project::ProjectFile& file, const project::BuildResult& built) const {
        auto made = project::MakeReleaseFiles(file, {dir_ / "release", "release.dir", 9}, loadInputs(file)->original,
                                              built);
        EXPECT_TRUE(std::holds_alternative<project::ReleaseFiles>(made));
        return std::get<project::ReleaseFiles>(std::move(made));
    }
    // Builds the project and makes its release into release/, ready for WriteBuildOutputs.
    void buildWithRelease() {
        file_ = loadProject();
        built_ = build();
        ASSERT_EQ(built_.outcome, BuildOutcome::Built);
        files_ = release(file_, built_);
        options_.release = &files_;
    }
    std::set<std::string> namesIn(const fs::path& folder) const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
        return names;
    }
    std::string text_;
    project::ProjectFile file_;
    project::BuildResult built_;
    project::ReleaseFiles files_;
    project::OutputWriteOptions options_;
};

TEST_F(ProjectRelease, TheBuildsBpsGivesTheBuiltRomFromTheOriginalAndTheHeaderedOneBehindItsHeader) {
    const project::BuildResult built = build();
    ASSERT_EQ(built.outcome, BuildOutcome::Built);
    ASSERT_FALSE(built.bps.empty());
    ASSERT_FALSE(built.ips.empty());
    const patches::BpsApplication applied = patches::ApplyBpsPatch(game_->rom, built.bps);
    ASSERT_EQ(applied.status, patches::BpsStatus::Applied);
    EXPECT_EQ(applied.target, built.rom);

    const std::vector<uint8_t> headered = readBytes(dir_ / "game" / demo::kHeaderedRomFileName);
    ASSERT_EQ(headered.size(), game_->rom.size() + core::kCopierHeaderSize);
    const patches::BpsFileApplication behind = patches::ApplyBpsToFile(headered, core::kCopierHeaderSize, built.bps);
    ASSERT_EQ(behind.status, patches::BpsStatus::Applied);
    EXPECT_EQ(behind.madeFor, patches::BpsMadeFor::RomWithoutHeader);
    std::vector<uint8_t> expected = headered;
    std::copy(built.rom.begin(), built.rom.end(), expected.begin() + core::kCopierHeaderSize);
    EXPECT_EQ(behind.image, expected);

    std::vector<uint8_t> other = game_->rom;
    other[0x8000] ^= 0x01;
    EXPECT_EQ(patches::ApplyBpsToFile(other, 0, built.bps).status, patches::BpsStatus::WrongSource);
}

TEST_F(ProjectRelease, AHeaderedOriginalGivesABpsOfItsDataAndAnIpsOfTheWholeFile) {
    change("game/corvane.smc", std::string("game/") + demo::kHeaderedRomFileName);
    const project::ProjectFile file = loadProject();
    const project::BuildResult built = build();
    ASSERT_EQ(built.outcome, BuildOutcome::Built);
    const std::vector<uint8_t> headered = readBytes(dir_ / "game" / demo::kHeaderedRomFileName);
    ASSERT_EQ(built.rom.size(), headered.size());
    std::vector<uint8_t> viaIps = headered;
    ASSERT_EQ(patches::ApplyIpsPatch(viaIps, built.ips), patches::IpsStatus::Applied);
    EXPECT_EQ(viaIps, built.rom);
    const patches::BpsApplication viaBps = patches::ApplyBpsPatch(game_->rom, built.bps);
    ASSERT_EQ(viaBps.status, patches::BpsStatus::Applied);
    EXPECT_TRUE(std::equal(viaBps.target.begin(), viaBps.target.end(), built.rom.begin() + core::kCopierHeaderSize,
                           built.rom.end()));

    const project::ReleaseFiles files = release(file, built);
    const std::string readme(files.files.back().bytes.begin(), files.files.back().bytes.end());
    EXPECT_NE(readme.find("With the 512-byte copier header the translators' ROM has:\n    " +
                          identityText(patches::IdentifyFile(headered))),
              std::string::npos) << readme;
    EXPECT_NE(readme.find("only to the ROM above with a copier header"), std::string::npos) << readme;
}

TEST_F(ProjectRelease, OutputFormatsChooseThePatchesTheBuildMakesAndWrites) {
    change("[output]\n", "[output]\nformats = ['ips']\n");
    project::ProjectFile file = loadProject();
    EXPECT_FALSE(file.writesBps);
    project::BuildResult built = build();
    ASSERT_EQ(built.outcome, BuildOutcome::Built);
    EXPECT_TRUE(built.bps.empty());
    ASSERT_EQ(project::WriteBuildOutputs(file, built).outcome, WriteOutcome::Written);
    EXPECT_EQ(namesIn(dir_ / "build"), (std::set<std::string>{"translated.ips", "translated.smc"}));
    EXPECT_EQ(project::CheckBuildOutputs(file).state, project::OutputsState::Whole);

    // Only a BPS, named by its own key; the IPS key is not needed then.
    change("formats = ['ips']\n", "formats = ['bps']\nbps = 'out/t.bps'\n");
    change("ips = 'build/translated.ips'\n", "");
    file = loadProject();
    EXPECT_EQ(project::CheckBuildOutputs(file).state, project::OutputsState::NoRecord);  // the record is of others
    built = build();
    ASSERT_EQ(built.outcome, BuildOutcome::Built);
    EXPECT_TRUE(built.ips.empty());
    ASSERT_EQ(project::WriteBuildOutputs(file, built).outcome, WriteOutcome::Written);
    EXPECT_EQ(readBytes(dir_ / "out/t.bps"), built.bps);
    const project::ReleaseFiles files = release(file, built);
    ASSERT_EQ(files.files.size(), 2u);
    EXPECT_EQ(files.files[0].path.path, dir_ / "release/t.bps");
    const std::string readme(files.files[1].bytes.begin(), files.files[1].bytes.end());
    EXPECT_EQ(readme.find("IPS"), std::string::npos) << readme;

    // By default both, the BPS beside the IPS.
    writeProject(projectText());
    file = loadProject();
    EXPECT_TRUE(file.writesBps && file.writesIps);
    EXPECT_EQ(file.outputBps.path, dir_ / "build/translated.bps");
}

TEST_F(ProjectRelease, KeysOfTheWrongKindAreNamedByLineAndKey) {
    const std::string base = projectText();
    const auto withOutput = [&](const std::string& lines) {
        std::string text = base;
        text.replace(text.find("[output]\n"), 9, "[output]\n" + lines);
        return text;
    };
    const std::string noPatchPath = [&] {
        std::string text = base;
        text.erase(text.find("ips = 'build/translated.ips'\n"), 29);
        return text;
    }();
    const struct {
        std::string text;
        ProjectProblem problem;
        std::string key;
        std::string lineOf;  // the line holding this
    } cases[] = {
        {withOutput("formats = ['bps',\n  'zip']\n"), ProjectProblem::WrongType, "output.formats", "'zip'"},
        {withOutput("formats = ['ips', 'ips']\n"), ProjectProblem::WrongType, "output.formats", "formats"},
        {withOutput("formats = []\n"), ProjectProblem::WrongType, "output.formats", "formats"},
        {withOutput("formats = 'bps'\n"), ProjectProblem::WrongType, "output.formats", "formats"},
        {withOutput("bps = 7\n"), ProjectProblem::WrongType, "output.bps", "bps = 7"},
        {noPatchPath, ProjectProblem::MissingKey, "output.ips", "[output]"},
        {base + "[release]\ntitle = \"One\\nSHA-1 0000\"\n", ProjectProblem::WrongType, "release.title", "title ="},
        {base + "[release]\nversion = '" + std::string(101, '9') + "'\n", ProjectProblem::WrongType,
         "release.version", "version ="},
        {base + "[release]\nversion = ''\n", ProjectProblem::WrongType, "release.version", "version ="},
        {base + "[release]\ndirr = 'out'\n", ProjectProblem::UnknownKey, "release.dirr", "dirr"},
        {base + "[release]\ndir = 3\n", ProjectProblem::WrongType, "release.dir", "dir = 3"},
        {"release = 3\n" + base, ProjectProblem::WrongType, "release", "release = 3"},
    };
    for (const auto& c : cases) {
        writeProject(c.text);
        const project::ProjectLoad load = project::LoadProjectFile(projectPath());
        ASSERT_TRUE(load.error) << c.key;
        const std::string text = project::ProjectErrorText(projectPath(), *load.error);
        EXPECT_EQ(load.error->problem, c.problem) << text;
        EXPECT_EQ(load.error->key, c.key) << text;
        EXPECT_EQ(load.error->line, lineOf(c.text, c.lineOf)) << text;
        EXPECT_NE(text.find(projectPath().string() + ":" + std::to_string(load.error->line) + ": "), std::string::npos)
            << text;
    }
    // A title with an accent and a version of words are fine.
    writeProject(base + "[release]\ntitle = 'Corvane, \xC3\xA9" "dition anglaise'\nversion = '1.0 beta'\n");
    EXPECT_EQ(loadProject().release.title, "Corvane, \xC3\xA9" "dition anglaise");
}

TEST_F(ProjectRelease, AReleaseNeedsItsTitleAndVersionAndNamesThatDoNotMeet) {
    const project::BuildResult built = build();
    ASSERT_EQ(built.outcome, BuildOutcome::Built);
    const auto errorOf = [&](const std::string& text) {
        writeProject(text);
        const project::ProjectFile file = loadProject();
        auto made = project::MakeReleaseFiles(file, {dir_ / "release", "--release-dir", 0}, loadInputs(file)->original,
                                              built);
        EXPECT_TRUE(std::holds_alternative<project::ProjectError>(made)) << text;
        return std::holds_alternative<project::ProjectError>(made) ? std::get<project::ProjectError>(made)
                                                                   : project::ProjectError{};
    };
    const std::string base = projectText();
    project::ProjectError error = errorOf(base);
    EXPECT_EQ(error.key, "release.title");
    EXPECT_EQ(error.line, 0);
    const std::string untitled = base + "[release]\nversion = '2'\n";
    error = errorOf(untitled);
    EXPECT_EQ(error.problem, ProjectProblem::MissingKey);
    EXPECT_EQ(error.key, "release.title");
    EXPECT_EQ(error.line, lineOf(untitled, "[release]"));
    EXPECT_NE(project::ProjectErrorText(projectPath(), error).find(":" + std::to_string(error.line) +
                                                                    ": the key 'release.title' is missing"),
              std::string::npos);
    error = errorOf(base + "[release]\ntitle = 'T'\n");
    EXPECT_EQ(error.key, "release.version");

    std::string sameName = text_;
    sameName.replace(sameName.find("'build/translated.smc'\n"), 23, "'build/translated.smc'\nbps = 'a/t.patch'\n");
    sameName.replace(sameName.find("'build/translated.ips'"), 22, "'b/t.patch'");
    error = errorOf(sameName);
    EXPECT_EQ(error.problem, ProjectProblem::BadInput);
    EXPECT_EQ(error.key, "output.ips");
    EXPECT_EQ(error.line, lineOf(sameName, "'b/t.patch'"));
    std::string readmeName = text_;
    readmeName.replace(readmeName.find("'build/translated.ips'"), 22, "'build/README.txt'");
    EXPECT_EQ(errorOf(readmeName).key, "output.ips");
}

TEST_F(ProjectRelease, TheReleaseFolderHoldsExactlyThePatchesAndAReadmeWithTheirFigures) {
    ASSERT_NO_FATAL_FAILURE(buildWithRelease());
    const project::ProjectFile& file = file_;
    const project::BuildResult& built = built_;
    const project::OutputWriteOptions& options = options_;
    const project::WriteResult written = project::WriteBuildOutputs(file, built, options);
    ASSERT_EQ(written.outcome, WriteOutcome::Written);
    ASSERT_EQ(written.release.size(), 3u);
    EXPECT_EQ(namesIn(dir_ / "release"), (std::set<std::string>{"translated.bps", "translated.ips", "README.txt"}));
    EXPECT_EQ(readBytes(dir_ / "release/translated.bps"), built.bps);
    EXPECT_EQ(readBytes(dir_ / "release/translated.ips"), built.ips);
    EXPECT_EQ(readBytes(dir_ / "release/translated.bps"), readBytes(dir_ / "build/translated.bps"));

    const std::vector<uint8_t> bytes = readBytes(dir_ / "release/README.txt");
    const std::string readme(bytes.begin(), bytes.end());
    EXPECT_EQ(readme.rfind("Corvane in English\nVersion 1.2\n", 0), 0u) << readme;
    EXPECT_NE(readme.find("translated.bps: BPS patch, " + std::to_string(built.bps.size()) + " bytes"),
              std::string::npos);
    const std::string original = readme.substr(0, readme.find("The patched ROM"));
    const std::string result = readme.substr(readme.find("The patched ROM"));
    EXPECT_NE(original.find("Without a copier header (as dump databases list it):\n    " +
                            identityText(patches::IdentifyFile(game_->rom))),
              std::string::npos) << readme;
    EXPECT_NE(original.find("With a 512-byte copier header of zero bytes:\n    " +
                            identityText(patches::IdentifyFile(behindZeroHeader(game_->rom)))),
              std::string::npos) << readme;
    EXPECT_NE(result.find(identityText(patches::IdentifyFile(built.rom))), std::string::npos) << readme;
    EXPECT_NE(result.find(identityText(patches::IdentifyFile(behindZeroHeader(built.rom)))), std::string::npos);
    EXPECT_NE(readme.find("Apply translated.bps with any BPS patcher"), std::string::npos);

    // The record holds the release; a release folder cleared away after publishing is no fault.
    EXPECT_EQ(project::CheckBuildOutputs(file).state, project::OutputsState::Whole);
    std::ofstream(dir_ / "release/README.txt", std::ios::app) << "edited\n";
    const project::OutputsCheck edited = project::CheckBuildOutputs(file);
    EXPECT_EQ(edited.state, project::OutputsState::Incomplete);
    EXPECT_EQ(edited.differs, nullptr);
    EXPECT_EQ(edited.differsFile, dir_ / "release/README.txt");
    // Written again over its own files, then cleared away.
    ASSERT_EQ(project::WriteBuildOutputs(file, built, options).outcome, WriteOutcome::Written);
    EXPECT_EQ(readBytes(dir_ / "release/README.txt"), bytes);
    fs::remove_all(dir_ / "release");
    EXPECT_EQ(project::CheckBuildOutputs(file).state, project::OutputsState::Whole);
}

TEST_F(ProjectRelease, AFileTheReleaseDoesNotWriteInItsFolderRefusesEverything) {
    ASSERT_NO_FATAL_FAILURE(buildWithRelease());
    const project::ProjectFile& file = file_;
    const project::BuildResult& built = built_;
    const project::ReleaseFiles& files = files_;
    project::OutputWriteOptions& options = options_;
    fs::create_directories(dir_ / "release");
    std::ofstream(dir_ / "release/old-notes.txt") << "notes of 1.1\n";
    const TreeSnapshot before = SnapshotTree(dir_);
    const project::WriteResult refused = project::WriteBuildOutputs(file, built, options);
    EXPECT_EQ(refused.outcome, WriteOutcome::ReleaseNotEmpty);
    EXPECT_EQ(refused.stray, dir_ / "release/old-notes.txt");
    EXPECT_EQ(SnapshotTree(dir_), before);

    // A release folder that would hold the project (the project's own folder) is refused too.
    project::ReleaseFiles here{{dir_, "release.dir", 3}, files.files};
    for (project::ReleaseFile& f : here.files) f.path.path = dir_ / f.path.path.filename();
    options.release = &here;
    EXPECT_EQ(project::WriteBuildOutputs(file, built, options).outcome, WriteOutcome::ReleaseNotEmpty);
    EXPECT_EQ(SnapshotTree(dir_), before);
}

TEST_F(ProjectRelease, AWriteFailingAtAnyFileLeavesEveryOutputAsItWas) {
    ASSERT_NO_FATAL_FAILURE(buildWithRelease());
    const project::ProjectFile& file = file_;
    const project::BuildResult& first = built_;
    project::OutputWriteOptions& options = options_;

    // Into an empty project: no folder is left either.
    const TreeSnapshot empty = SnapshotTree(dir_);
    FailNth failFresh(core::SaveStep::Replace, 3);
    options.hook = &failFresh;
    EXPECT_EQ(project::WriteBuildOutputs(file, first, options).outcome, WriteOutcome::CannotWrite);
    EXPECT_EQ(SnapshotTree(dir_), empty);
    options.hook = nullptr;
    ASSERT_EQ(project::WriteBuildOutputs(file, first, options).outcome, WriteOutcome::Written);

    translate(textBlock(2), 1.0);
    const project::BuildResult second = build();
    ASSERT_EQ(second.outcome, BuildOutcome::Built);
    ASSERT_NE(second.bps, first.bps);
    const project::ReleaseFiles secondFiles = release(file, second);
    options.release = &secondFiles;
    const TreeSnapshot old = SnapshotTree(dir_);
    // Six files: the ROM, the two patches and the release's three; each rename and each sync fails once.
    for (const core::SaveStep step : {core::SaveStep::Replace, core::SaveStep::Sync}) {
        for (int n = 0; n < 6; ++n) {
            FailNth hook(step, n);
            options.hook = &hook;
            const project::WriteResult failed = project::WriteBuildOutputs(file, second, options);
            EXPECT_EQ(failed.outcome, WriteOutcome::CannotWrite) << n;
            EXPECT_EQ(failed.save.error, EIO) << n;
            EXPECT_EQ(SnapshotTree(dir_), old) << "step " << int(step) << ", file " << n;
        }
    }
    EXPECT_EQ(project::CheckBuildOutputs(file).state, project::OutputsState::Whole);
    options.hook = nullptr;
    ASSERT_EQ(project::WriteBuildOutputs(file, second, options).outcome, WriteOutcome::Written);
    EXPECT_EQ(readBytes(dir_ / "release/translated.bps"), second.bps);
}

}  // namespace
}  // namespace corv::testing
