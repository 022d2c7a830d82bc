// The build of a project: the same bytes every time and on any number of threads, the room of
// the original kept from build to build, nothing written or changed when a block stops it, the
// patches applied first and the IPS patch giving the translated ROM from the original.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/address.h"
#include "insert/insertion.h"
#include "patches/ips_create.h"
#include "patches/ips_patch.h"
#include "project/project_fixture.h"
#include "script/preview_encoder.h"
#include "script/script_text.h"
#include "script/text_block.h"

namespace corv::testing {
namespace {

using project::BlockState;
using project::BuildOutcome;

class ProjectBuild : public ProjectTest {};

const project::BlockResult& resultFor(const project::BuildResult& build, uint32_t address) {
    return *std::find_if(build.blocks.begin(), build.blocks.end(),
                         [&](const project::BlockResult& b) { return b.address == address; });
}

TEST_F(ProjectBuild, SameBytesEveryTimeAndOnAnyNumberOfThreads) {
    for (size_t n = 0; n < 4; ++n) translate(textBlock(n), 1.0, n + 1);
    const project::BuildResult first = build(1);
    ASSERT_EQ(first.outcome, BuildOutcome::Built);
    for (size_t n = 0; n < game_->textBlocks.size(); ++n) {
        EXPECT_EQ(resultFor(first, textBlock(n).address).state, n < 4 ? BlockState::Built : BlockState::NoScript)
            << n;
    }
    const project::BuildResult again = build(1);
    const project::BuildResult twoThreads = build(2);
    const project::BuildResult manyThreads = build(5);
    EXPECT_EQ(again.rom, first.rom);
    EXPECT_EQ(again.ips, first.ips);
    EXPECT_EQ(twoThreads.rom, first.rom);
    EXPECT_EQ(twoThreads.ips, first.ips);
    EXPECT_EQ(manyThreads.rom, first.rom);
    EXPECT_NE(first.rom, game_->rom);  // the translation went in
}

TEST_F(ProjectBuild, TheBuiltBlocksHoldTheirTranslationAndTheIpsGivesTheRomFromTheOriginal) {
    translate(textBlock(0), 1.0);
    const project::BuildResult result = build(2);
    ASSERT_EQ(result.outcome, BuildOutcome::Built);
    // The block in the translated ROM equals what inserting its script into the original gives.
    core::RomImage rom(game_->rom, dir_ / "copy.smc");
    auto maps = std::make_unique<script::CodeMaps>();
    const script::BlockDataLoad dataFile = script::ParseBlockDataFile(game_->blockDataFile, *maps);
    script::TextBlockLoad load = script::LoadTextBlock(rom.data(), dataFile.blocks, textBlock(0).address);
    ASSERT_TRUE(load.block);
    script::TableFile table;
    ASSERT_EQ(table.load(dir_ / "game/corvane.tbl"), script::TableLoadResult::Loaded);
    script::MemoryScriptText script(*script::LoadScriptFile(scriptPath(textBlock(0))));
    std::vector<uint8_t> preview(script::kPreviewByteBufferSize);
    insert::RecordedProgress progress;
    uint32_t end = load.block->end;
    ASSERT_EQ(insert::InsertScript(rom, *load.block->buffer, load.block->info, end, script, table, preview, progress)
                  .outcome,
              insert::InsertionOutcome::Inserted);
    ASSERT_EQ(insert::InsertDictionaryArea(rom, table), insert::DictionaryAreaResult::Written);
    EXPECT_TRUE(std::equal(result.rom.begin(), result.rom.end(), rom.fileBytes().begin(), rom.fileBytes().end()));

    std::vector<uint8_t> patched = game_->rom;
    ASSERT_EQ(patches::ApplyIpsPatch(patched, result.ips), patches::IpsStatus::Applied);
    EXPECT_EQ(patched, result.rom);
}

TEST_F(ProjectBuild, ABlockTranslatedFurtherKeepsTheRoomOfTheOriginal) {
    const demo::DemoBlock& block = textBlock(0);
    translate(block, 0.5);
    const project::ProjectFile file = loadProject();
    const project::BuildResult first = build();
    ASSERT_EQ(first.outcome, BuildOutcome::Built);
    ASSERT_EQ(project::WriteBuildOutputs(file, first).outcome, project::WriteOutcome::Written);

    translate(block, 3.0);
    // Inserted into the first build's ROM, the longer script meets the shorter room it left.
    core::RomImage firstRom;
    ASSERT_EQ(core::OpenRomFile(firstRom, file.outputRom.path), core::RomOpenResult::Opened);
    auto maps = std::make_unique<script::CodeMaps>();
    const script::BlockDataLoad dataFile = script::ParseBlockDataFile(game_->blockDataFile, *maps);
    script::TextBlockLoad load = script::LoadTextBlock(firstRom.data(), dataFile.blocks, block.address);
    ASSERT_TRUE(load.block);
    script::TableFile table;
    ASSERT_EQ(table.load(dir_ / "game/corvane.tbl"), script::TableLoadResult::Loaded);
    script::MemoryScriptText script(*script::LoadScriptFile(scriptPath(block)));
    std::vector<uint8_t> preview(script::kPreviewByteBufferSize);
    insert::RecordedProgress progress;
    uint32_t end = load.block->end;
    const insert::InsertionResult intoFirstBuild =
        insert::InsertScript(firstRom, *load.block->buffer, load.block->info, end, script, table, preview, progress);
    EXPECT_EQ(intoFirstBuild.outcome, insert::InsertionOutcome::DoesNotFit);
    EXPECT_GT(intoFirstBuild.excessBytes, 0u);

    // The project builds from the original, where the room is the original's.
    const project::BuildResult second = build();
    ASSERT_EQ(second.outcome, BuildOutcome::Built);
    const project::BlockResult& result = resultFor(second, block.address);
    EXPECT_EQ(result.state, BlockState::Built);
    EXPECT_EQ(result.fit->room, int64_t(block.end - block.romOffset));
}

TEST_F(ProjectBuild, CheckErrorsOfEveryBlockStopTheBuildAndNothingIsWritten) {
    for (size_t n : {0u, 2u}) {
        translate(textBlock(n), 1.0);
        // Drop the entry of string 1.
        std::string text = *script::LoadScriptFile(scriptPath(textBlock(n)));
        const size_t at = text.find(".STRING 1\n");
        ASSERT_NE(at, std::string::npos);
        text.replace(at, 10, ".STRNG 1\n");
        ASSERT_TRUE(script::SaveScriptFile(scriptPath(textBlock(n)), text));
    }
    translate(textBlock(1), 1.0);
    const project::BuildResult result = build(2);
    EXPECT_EQ(result.outcome, BuildOutcome::BlocksStopped);
    EXPECT_TRUE(result.rom.empty());
    for (size_t n : {0u, 2u}) {
        const project::BlockResult& block = resultFor(result, textBlock(n).address);
        ASSERT_EQ(block.state, BlockState::CheckErrors) << n;
        ASSERT_EQ(block.errors.size(), 2u);
        // The text of string 1 now stands between string 0's ".ENDS" and another: in no entry.
        EXPECT_EQ(block.errors[0].number, 0u);
        EXPECT_EQ(block.errors[0].findings.at(0).kind, check::FindingKind::StrayClosingLine);
        // The search for ".STRING 1" now lands on ".STRING 10".
        EXPECT_EQ(block.errors[1].number, 1u);
        EXPECT_EQ(block.errors[1].findings.at(0).kind, check::FindingKind::WrongEntry);
    }
    EXPECT_EQ(resultFor(result, textBlock(1).address).state, BlockState::Built);
}

TEST_F(ProjectBuild, ABlockOverItsRoomStopsTheBuildWithTheBytesOver) {
    const demo::DemoBlock* largest = &textBlock(0);
    for (size_t n = 0; n < game_->textBlocks.size(); ++n) {
        if (textBlock(n).data.size() > largest->data.size()) largest = &textBlock(n);
    }
    translate(*largest, 4.0);
    const project::BuildResult result = build();
    EXPECT_EQ(result.outcome, BuildOutcome::BlocksStopped);
    const project::BlockResult& block = resultFor(result, largest->address);
    EXPECT_EQ(block.state, BlockState::DoesNotFit);
    EXPECT_GT(block.excessBytes, 0u);
    EXPECT_EQ(block.fit->left(), -int64_t(block.excessBytes));
}

TEST_F(ProjectBuild, PatchesApplyFirstSkippedBlocksStayAndTheOriginalIsNeverWritten) {
    // A code patch that changes four bytes after the dictionary area's free room.
    std::vector<uint8_t> patched = game_->rom;
    const uint32_t at = 0x136100;
    std::fill_n(patched.begin() + at, 4, uint8_t{0xEA});
    const patches::IpsCreation patch = patches::CreateIpsPatch(game_->rom, patched);
    std::ofstream(dir_ / "code.ips", std::ios::binary)
        .write(reinterpret_cast<const char*>(patch.patch.data()), std::streamsize(patch.patch.size()));
    std::string text = projectText();
    text.replace(text.find("patches = []"), 12, "patches = [\"code.ips\"]");
    text += "[blocks.D40000]\nskip = true\n";
    writeProject(text);
    translate(textBlock(0), 1.0);
    translate(textBlock(1), 1.0);
    ASSERT_EQ(textBlock(1).address, 0xD40000u);

    const auto originalBefore = readBytes(dir_ / "game/corvane.smc");
    const project::ProjectFile file = loadProject();
    project::BuildOptions options;
    options.jobs = 2;
    std::vector<size_t> progress;  // the progress arrives one call at a time, counting up to the total
    options.progress = [&](size_t done, size_t total) {
        EXPECT_EQ(total, game_->textBlocks.size());
        progress.push_back(done);
    };
    const project::BuildResult result = project::BuildProject(file, *loadInputs(file), options);
    ASSERT_EQ(progress.size(), game_->textBlocks.size());
    for (size_t i = 0; i < progress.size(); ++i) EXPECT_EQ(progress[i], i + 1);
    ASSERT_EQ(result.outcome, BuildOutcome::Built);
    ASSERT_EQ(project::WriteBuildOutputs(file, result).outcome, project::WriteOutcome::Written);
    EXPECT_EQ(readBytes(dir_ / "game/corvane.smc"), originalBefore);

    const auto rom = readBytes(dir_ / "build/translated.smc");
    EXPECT_EQ(rom, result.rom);
    EXPECT_EQ(readBytes(dir_ / "build/translated.ips"), result.ips);
    EXPECT_TRUE(std::all_of(rom.begin() + at, rom.begin() + at + 4, [](uint8_t b) { return b == 0xEA; }));
    EXPECT_EQ(resultFor(result, 0xD40000).state, BlockState::Skipped);
    const demo::DemoBlock& skipped = textBlock(1);
    EXPECT_TRUE(std::equal(rom.begin() + skipped.romOffset, rom.begin() + skipped.end,
                           game_->rom.begin() + skipped.romOffset));
    EXPECT_EQ(resultFor(result, textBlock(0).address).state, BlockState::Built);
}

TEST_F(ProjectBuild, AnOutputNamingTheOriginalIsRefusedAndNothingIsWritten) {
    std::string text = projectText();
    text.replace(text.find("'build/translated.smc'"), 22, "'game/corvane.smc'");
    writeProject(text);
    translate(textBlock(0), 1.0);
    const auto originalBefore = readBytes(dir_ / "game/corvane.smc");
    const project::ProjectFile file = loadProject();
    const project::BuildResult result = project::BuildProject(file, *loadInputs(file), project::BuildOptions{});
    ASSERT_EQ(result.outcome, BuildOutcome::Built);
    const project::WriteResult written = project::WriteBuildOutputs(file, result);
    EXPECT_EQ(written.outcome, project::WriteOutcome::OutputIsInput);
    EXPECT_EQ(written.failed->key, "output.rom");
    EXPECT_EQ(readBytes(dir_ / "game/corvane.smc"), originalBefore);
    EXPECT_FALSE(fs::exists(dir_ / "build/translated.ips"));
}

}  // namespace
}  // namespace corv::testing
