#include "patches/bps_action_writer.h"

namespace corv::patches {

void BpsActionWriter::add(BpsAction kind, uint64_t length, uint64_t from) {
    if (length == 0) return;
    const bool copy = kind == BpsAction::SourceCopy || kind == BpsAction::TargetCopy;
    if (pending_.length > 0 && pending_.kind == kind && (!copy || from == pending_.from + pending_.length)) {
        pending_.length += length;
        return;
    }
    if (pending_.length > 0) write(pending_);
    pending_ = {kind, length, from};
}

void BpsActionWriter::finish() {
    if (pending_.length > 0) write(pending_);
    pending_ = {};
}

uint64_t BpsActionWriter::sourceCopy() const {
    const bool pendingCopy = pending_.length > 0 && pending_.kind == BpsAction::SourceCopy;
    return pendingCopy ? pending_.from + pending_.length : sourceCopy_;
}

uint64_t BpsActionWriter::targetCopy() const {
    const bool pendingCopy = pending_.length > 0 && pending_.kind == BpsAction::TargetCopy;
    return pendingCopy ? pending_.from + pending_.length : targetCopy_;
}

void BpsActionWriter::write(const Action& action) {
    PutBpsNumber(out_, BpsActionWord(action.kind, action.length));
    switch (action.kind) {
    case BpsAction::SourceRead:
        ++counts_.sourceReads;
        counts_.sourceReadBytes += action.length;
        break;
    case BpsAction::TargetRead:
        out_.insert(out_.end(), target_.begin() + static_cast<ptrdiff_t>(output_),
                    target_.begin() + static_cast<ptrdiff_t>(output_ + action.length));
        ++counts_.targetReads;
        counts_.targetReadBytes += action.length;
        break;
    case BpsAction::SourceCopy:
    case BpsAction::TargetCopy: {
        uint64_t& position = action.kind == BpsAction::SourceCopy ? sourceCopy_ : targetCopy_;
        PutBpsNumber(out_, BpsMoveNumber(position, action.from));
        position = action.from + action.length;
        if (action.kind == BpsAction::SourceCopy) {
            ++counts_.sourceCopies;
            counts_.sourceCopyBytes += action.length;
        } else {
            ++counts_.targetCopies;
            counts_.targetCopyBytes += action.length;
        }
        break;
    }
    }
    output_ += action.length;
}

}  // namespace corv::patches
