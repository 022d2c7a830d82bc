#include "tools/corvtool/substitutions_argument.h"

#include <ostream>

#include "project/project_error_text.h"
#include "project/substitutions_table.h"

namespace corv::tool {

std::optional<script::Substitutions> LoadSubstitutionsArgument(const std::string& path, std::string_view command,
                                                               std::ostream& err) {
    project::SubstitutionsLoad load = project::LoadSubstitutionsFile(path);
    if (load.error) {
        err << "corvtool " << command << ": " << project::ProjectErrorText(path, *load.error) << '\n';
        return std::nullopt;
    }
    return std::move(load.substitutions);
}

bool TakeSubstitutionsOption(std::vector<std::string>& args, std::optional<std::string>& file, std::string_view command,
                             std::ostream& err) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != kSubstitutionsOption) continue;
        if (i + 1 >= args.size()) {
            err << "corvtool " << command << ": " << kSubstitutionsOption << " needs a file\n";
            return false;
        }
        file = args[i + 1];
        args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
        --i;
    }
    return true;
}

std::optional<std::string> SubstitutedScriptText(const std::string& text, const std::optional<std::string>& file,
                                                 const script::CharacterMap& characters, std::string_view command,
                                                 std::ostream& err) {
    if (!file) return text;
    const auto substitutions = LoadSubstitutionsArgument(*file, command, err);
    if (!substitutions) return std::nullopt;
    return script::SubstituteLatin1(text, *substitutions, characters).latin1;
}

}  // namespace corv::tool
