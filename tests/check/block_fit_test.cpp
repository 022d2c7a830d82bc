// The block fit against the real insertion on every demo block: the kana dump as it is, cut
// short and made longer, fitting and not fitting; and the update of one entry.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "check/check_demo_support.h"
#include "core/address.h"
#include "core/block_decoder.h"
#include "core/rom_image.h"
#include "check/block_fit.h"
#include "insert/stand_in.h"
#include "preview/translation_font.h"
#include "script/script_file.h"

namespace corv::check {
using namespace corv::script;
namespace {

using testing_support::ChangeLines;
using testing_support::Demo;

std::string randomLetters(std::mt19937& random, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += static_cast<char>('a' + random() % 26);
    return text;
}

// Inserts `scriptText` for block n with the real insertion and compares with the fit. Without
// `knownEnd` both search for the end of the block's room.
void expectFitEqualsInsertion(size_t n, const std::string& scriptText, int& fitted, int& over, bool knownEnd = true,
                              insert::UntranslatedEntries untranslated = insert::UntranslatedEntries::AsWritten) {
    const auto& demo = Demo();
    core::RomImage rom(demo.game.rom, "fit.smc");
    TextBlock block = demo.block(rom.data(), n);
    if (!knownEnd) block.end = 0;

    MemoryScriptText fitScript(scriptText);
    BlockFit fit(rom.data(), *block.buffer, block.info, block.end, untranslated);
    fit.encodeAll(fitScript, demo.table);
    const FitFigures figures = fit.figures();
    const auto standIns = std::count_if(fit.entries().begin(), fit.entries().end(),
                                        [](const EncodedEntry& entry) { return entry.standIn; });

    MemoryScriptText script(scriptText);
    uint32_t endOfRoom = block.end;
    std::vector<uint8_t> preview(kPreviewByteBufferSize);
    script::testing_support::RecordingProgress progress;
    const insert::InsertionResult result =
        insert::InsertScript(rom, *block.buffer, insert::InsertionBlock(block.info, insert::InsertionCompressor::Standard, untranslated),
                             endOfRoom, script, demo.table, preview, progress);

    ASSERT_EQ(figures.outcome, result.outcome);
    EXPECT_EQ(size_t(standIns), result.standIns.size());
    if (knownEnd) {
        EXPECT_EQ(figures.room, int64_t{block.end} - core::AddressToRomOffset(block.info.blockAddress));
    }
    if (result.outcome == insert::InsertionOutcome::Inserted) {
        ++fitted;
        EXPECT_EQ(figures.layoutLength, result.newLength);
        // The new compressed block ends exactly where the fit said.
        auto again = std::make_unique<core::BlockBuffer>();
        const uint32_t end = core::DecompressBlock(rom.data(), block.info.blockAddress, *again);
        EXPECT_EQ(end - core::AddressToRomOffset(block.info.blockAddress), figures.needed);
        EXPECT_GE(figures.left(), 0);
    } else if (result.outcome == insert::InsertionOutcome::DoesNotFit) {
        ++over;
        EXPECT_EQ(figures.layoutLength, result.newLength);
        EXPECT_EQ(std::min<int64_t>(-figures.left(), 0xFFFF), int64_t(result.excessBytes));
    }
}

TEST(BlockFit, EqualsTheInsertionWithPlayTestStandInsOnEveryDemoBlock) {
    const auto& demo = Demo();
    int fitted = 0;
    int over = 0;
    for (size_t n = 0; n < demo.load.blocks.size(); ++n) {
        SCOPED_TRACE("block " + std::to_string(n));
        const core::RomImage rom(demo.game.rom, "fit.smc");
        const TextBlock block = demo.block(rom.data(), n);
        // Every third string translated, the others the skeleton's two empty lines.
        std::string script;
        for (unsigned k = 0; k < block.info.stringCount; ++k) {
            script += ".STRING " + std::to_string(k) + "\n" + (k % 3 == 0 ? "Done[KEY]\n" : "\n\n") + ".ENDS\n";
        }
        expectFitEqualsInsertion(n, script, fitted, over, true, insert::UntranslatedEntries::StandIn);
    }
    EXPECT_GT(fitted, 0);
    // The marker is drawn with glyphs the translation font has.
    for (const char c : insert::StandInMarker(1234567890)) {
        const auto& rows = preview::TranslationFont()[static_cast<uint8_t>(c)];
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](uint8_t row) { return row != 0; })) << c;
    }
}

TEST(BlockFit, EqualsTheInsertionOnEveryDemoBlock) {
    const auto& demo = Demo();
    int fitted = 0;
    int over = 0;
    std::mt19937 random(11);
    for (size_t n = 0; n < demo.load.blocks.size(); ++n) {
        SCOPED_TRACE("block " + std::to_string(n));
        const core::RomImage rom(demo.game.rom, "fit.smc");
        const std::string dump = demo.kanaDump(demo.block(rom.data(), n));
        expectFitEqualsInsertion(n, dump, fitted, over);
        expectFitEqualsInsertion(n, dump, fitted, over, false);
        expectFitEqualsInsertion(n, ChangeLines(dump, [](const std::string& line, size_t) {
                                     return line.substr(0, line.size() / 2);
                                 }), fitted, over);
        expectFitEqualsInsertion(n, ChangeLines(dump, [&](const std::string& line, size_t) {
                                     return line + randomLetters(random, 12);
                                 }), fitted, over);
    }
    // Both kinds of outcome must have been compared.
    EXPECT_GT(fitted, 0);
    EXPECT_GT(over, 0);
}

TEST(BlockFit, OneChangedEntryIsTheOnlyOneEncodedAgain) {
    const auto& demo = Demo();
    const core::RomImage rom(demo.game.rom, "fit.smc");
    size_t largest = 0;
    for (size_t n = 1; n < demo.load.blocks.size(); ++n) {
        if (demo.block(rom.data(), n).info.length > demo.block(rom.data(), largest).info.length) largest = n;
    }
    const TextBlock block = demo.block(rom.data(), largest);
    const std::string dump = demo.kanaDump(block);
    MemoryScriptText script(dump);
    BlockFit fit(rom.data(), *block.buffer, block.info, block.end);
    fit.encodeAll(script, demo.table);
    const FitFigures before = fit.figures();
    const size_t encodedOnce = fit.encodings();

    // String 3's entry grows by a line; the text of the others moves but does not change.
    const std::string opening = EntrySearchText(3) + "\n";
    std::string changed = dump;
    changed.insert(changed.find(opening) + opening.size(), "A new first line of string three\n");
    script.setText(changed);
    fit.updateEntry(3, script, demo.table);
    const FitFigures after = fit.figures();
    EXPECT_EQ(fit.encodings(), encodedOnce + 1);
    EXPECT_GT(after.layoutLength, before.layoutLength);

    MemoryScriptText fresh(changed);
    BlockFit full(rom.data(), *block.buffer, block.info, block.end);
    full.encodeAll(fresh, demo.table);
    const FitFigures expected = full.figures();
    EXPECT_EQ(after.outcome, expected.outcome);
    EXPECT_EQ(after.layoutLength, expected.layoutLength);
    EXPECT_EQ(after.needed, expected.needed);
    EXPECT_EQ(fit.entries()[3].bytes, full.entries()[3].bytes);
}

}  // namespace
}  // namespace corv::check
