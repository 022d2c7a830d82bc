#include "project/build_outcome_text.h"

#include "core/save_failure_text.h"

namespace corv::project {

std::string BuildStopText(BuildOutcome outcome) {
    switch (outcome) {
    case BuildOutcome::Built: break;
    case BuildOutcome::BlocksStopped: return "the blocks above stop the build";
    case BuildOutcome::DictionaryFull: return "the dictionary words run past the dictionary area's bank";
    case BuildOutcome::DictionaryRom: return "the ROM is too small for the dictionary area";
    case BuildOutcome::IpsTooLarge:
    case BuildOutcome::IpsMismatch: return "no IPS patch gives the translated ROM from the original";
    case BuildOutcome::BpsMismatch: return "no BPS patch gives the translated ROM from the original";
    }
    return {};
}

std::string CannotWriteText(const core::SaveResult& save) {
    return save.ok() ? "cannot write this file" : "cannot write this file: " + core::SaveFailureReason(save);
}

}  // namespace corv::project
