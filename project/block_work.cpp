#include "project/block_work.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

#include "check/box_lines.h"
#include "core/address.h"
#include "insert/stand_in.h"
#include "project/parallel_for.h"
#include "script/preview_encoder.h"
#include "script/entry_words.h"
#include "script/script_file.h"
#include "script/script_text.h"
#include "script/string_decoder.h"
#include "script/string_record.h"

namespace corv::project {
namespace {

// One thread's state: its own copy of the patched ROM to insert into (put back after every
// block, so each block starts from the same bytes) and the encoder's buffer.
class BlockWorker {
public:
    BlockWorker(const ProjectFile& project, const ProjectInputs& inputs, const BlockWorkOptions& options,
                std::vector<BlockResult>& results)
        : project_(project), inputs_(inputs), options_(options), results_(results),
          box_(check::BoxOfDataFile(inputs.dataFile)) {
        if (options.mode == BlockWorkMode::Build) {
            scratch_ = inputs.patched;
            preview_.resize(script::kPreviewByteBufferSize);
        }
    }

    void operator()(size_t i) { work(results_[i]); }

private:
    void work(BlockResult& result) {
        if (project_.skips(result.address)) {
            result.state = BlockState::Skipped;
            return;
        }
        script::TextBlockLoad load =
            script::LoadTextBlock(inputs_.patched.data(), inputs_.dataFile.blocks, result.address);
        if (!load.block) {
            result.state = BlockState::Unreadable;
            result.problem = load.problem;
            return;
        }
        script::TextBlock& block = *load.block;
        const std::vector<unsigned> textStrings = TextStringNumbers(block);
        result.counts.strings = static_cast<unsigned>(textStrings.size());

        const std::filesystem::path scriptPath = script::ScriptPathFor(project_.scripts.path, result.address);
        std::error_code error;
        if (!std::filesystem::exists(scriptPath, error)) {
            result.state = BlockState::NoScript;
            return;
        }
        const auto text = script::LoadScriptFile(scriptPath);
        if (!text) {
            result.state = BlockState::ScriptUnreadable;
            return;
        }
        script::MemoryScriptText script(*text);
        result.counts = CountTranslation(script, textStrings);
        if (options_.mode == BlockWorkMode::Status) {
            check::BlockFit fit(inputs_.patched.data(), *block.buffer, block.info, block.end, untranslatedEntries());
            fit.encodeAll(script, inputs_.table);
            result.fit = fit.figures(options_.compressor);
            result.state = BlockState::Measured;
            return;
        }
        if (options_.mode == BlockWorkMode::Check) {
            checkOnly(result, block, script);
            return;
        }
        if (result.counts.translated == 0) {
            result.state = BlockState::Untranslated;
            return;
        }
        if (refusesUnfinished(result)) {
            result.state = BlockState::Unfinished;
            return;
        }
        if (!checkBlock(result, block, script)) return;
        insertBlock(result, block, script);
    }

    bool refusesUnfinished(const BlockResult& result) const {
        return options_.untranslated == UntranslatedStrings::Refuse && !result.counts.untranslated.empty();
    }

    // What the build would say of the block, short of inserting it. A script that translates
    // nothing is checked too: the text typed outside its entries is what a team wants to hear of.
    void checkOnly(BlockResult& result, const script::TextBlock& block, script::ScriptText& script) {
        if (!checkBlock(result, block, script)) return;
        result.outcome = result.fit->outcome;
        if (result.counts.translated == 0) {
            result.state = BlockState::Untranslated;
        } else if (refusesUnfinished(result)) {
            result.state = BlockState::Unfinished;
        } else if (result.outcome == insert::InsertionOutcome::Inserted) {
            result.state = BlockState::Measured;
        } else if (result.outcome == insert::InsertionOutcome::DoesNotFit) {
            result.state = BlockState::DoesNotFit;
            result.excessBytes = static_cast<uint32_t>(-result.fit->left());
        } else {
            result.state = BlockState::Refused;
        }
    }

    bool checkBlock(BlockResult& result, const script::TextBlock& block, script::ScriptText& script) {
        check::BlockReport report =
            check::CheckBlock(inputs_.patched.data(), block, script, inputs_.table, box_, untranslatedEntries());
        result.fit = report.fit;
        // The check works the maximising figures out only for a block over or tight; otherwise the
        // standard compressor's already fit and the line shows those.
        if (options_.compressor == core::Compressor::Maximising && report.maximised) result.fit = report.maximised;
        if (options_.compressor == core::Compressor::Standard) result.maximised = report.maximised;
        for (check::StringReport& string : report.strings) {
            // An untranslated string of a project is stood in with the original's codes, refused,
            // or kept with its block as in the original: it drops none of them.
            if (!string.translated) {
                std::erase_if(string.findings,
                              [](const check::Finding& f) { return f.kind == check::FindingKind::DroppedCode; });
            }
            if (!string.findings.empty()) result.findings.push_back(string);
        }
        for (check::StringReport& string : report.strings) {
            std::erase_if(string.findings,
                          [](const check::Finding& f) { return check::SeverityOf(f.kind) != check::Severity::Error; });
            if (!string.findings.empty()) result.errors.push_back(std::move(string));
        }
        if (result.errors.empty()) return true;
        result.state = BlockState::CheckErrors;
        return false;
    }

    void insertBlock(BlockResult& result, script::TextBlock& block, script::ScriptText& script) {
        const uint32_t roomStart = core::AddressToRomOffset(block.info.blockAddress);
        uint32_t endOfRoom = block.end;
        const auto how = options_.compressor == core::Compressor::Maximising ? insert::InsertionCompressor::Maximising
                                                                             : insert::InsertionCompressor::Standard;
        insert::RecordedProgress progress;
        const insert::InsertionResult inserted =
            insert::InsertScript(scratch_, *block.buffer, insert::InsertionBlock(block.info, how, untranslatedEntries()),
                                 endOfRoom, script,
                                 inputs_.table, preview_, progress);
        result.outcome = inserted.outcome;
        result.excessBytes = inserted.excessBytes;
        result.message = inserted.message;
        if (inserted.outcome == insert::InsertionOutcome::DoesNotFit) {
            result.state = BlockState::DoesNotFit;
            return;
        }
        if (inserted.outcome != insert::InsertionOutcome::Inserted) {
            result.state = BlockState::Refused;
            return;
        }
        result.state = BlockState::Built;
        result.standIns = inserted.standIns;
        const auto data = scratch_.data();
        const auto original = inputs_.patched.data();
        result.roomOffset = roomStart;
        result.roomBytes.assign(data.begin() + roomStart, data.begin() + endOfRoom);
        std::copy(original.begin() + roomStart, original.begin() + endOfRoom, data.begin() + roomStart);
        if (const auto mark = script::InsertedMarkOffset(data.size(), block.info.index)) {
            result.markOffset = static_cast<uint32_t>(*mark);
            result.markValue = data[result.markOffset];
            data[result.markOffset] = original[result.markOffset];
        }
    }

    // A release build refuses untranslated strings before anything is inserted.
    insert::UntranslatedEntries untranslatedEntries() const {
        return options_.untranslated == UntranslatedStrings::StandIn ? insert::UntranslatedEntries::StandIn
                                                                     : insert::UntranslatedEntries::AsWritten;
    }

    const ProjectFile& project_;
    const ProjectInputs& inputs_;
    const BlockWorkOptions& options_;
    std::vector<BlockResult>& results_;
    check::BoxMetrics box_;
    core::RomImage scratch_;
    std::vector<uint8_t> preview_;
};

}  // namespace

size_t BlockResult::warningCount() const {
    size_t count = 0;
    for (const check::StringReport& string : findings) {
        count += size_t(std::count_if(string.findings.begin(), string.findings.end(), [](const check::Finding& f) {
            return check::SeverityOf(f.kind) == check::Severity::Warning && f.kind != check::FindingKind::EmptyTranslation;
        }));
    }
    return count;
}

bool StopsBuild(BlockState state) {
    switch (state) {
    case BlockState::Built:
    case BlockState::Measured:
    case BlockState::Skipped:
    case BlockState::NoScript:
    case BlockState::Untranslated: return false;
    default: return true;
    }
}

std::vector<unsigned> TextStringNumbers(const script::TextBlock& block) {
    std::vector<unsigned> numbers;
    for (unsigned n = 0; n < block.info.stringCount; ++n) {
        if (script::RecordType(block.bytes(), n) == script::kTextRecordType) numbers.push_back(n);
    }
    return numbers;
}

BlockCounts CountTranslation(script::ScriptText& script, const std::vector<unsigned>& textStrings) {
    BlockCounts counts;
    counts.strings = static_cast<unsigned>(textStrings.size());
    for (const unsigned n : textStrings) {
        const auto lines = script::LookupEntry(script, static_cast<int>(n));
        if (!lines) continue;
        if (!script::EntryHoldsText(*lines)) {
            counts.untranslated.push_back(n);
            continue;
        }
        ++counts.translated;
        for (const std::string& line : *lines) counts.characters += line.size();
    }
    return counts;
}

std::vector<BlockResult> WorkOnBlocks(const ProjectFile& project, const ProjectInputs& inputs,
                                      const BlockWorkOptions& options) {
    std::vector<BlockResult> results(inputs.dataFile.blocks.size());
    for (size_t i = 0; i < results.size(); ++i) {
        results[i].address = inputs.dataFile.blocks[i].address;
        results[i].index = static_cast<uint32_t>(i);
    }
    std::mutex progressLock;
    size_t done = 0;
    ParallelFor(results.size(), options.jobs, [&] {
        return [&, worker = BlockWorker(project, inputs, options, results)](size_t i) mutable {
            worker(i);
            if (!options.progress) return;
            const std::lock_guard lock(progressLock);
            options.progress(++done, results.size());
        };
    });
    return results;
}

}  // namespace corv::project
