#pragma once
// The table file (*.tbl): code-to-text pairs. Two 8-bit maps (single- and multi-character
// texts) and the dictionary map, keyed by the low byte of a four-digit code, whose words the
// script encoder substitutes and the dictionary area writes into the ROM. The single-character
// lines also give the character map (character_map.h) that every writer of game bytes uses.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/character_map.h"

namespace corv::script {

enum class TableLoadResult {
    Loaded,
    CannotOpen,  // the maps keep their previous content; the name is recorded all the same
};

class TableFile {
public:
    // An empty slot (std::nullopt) differs from a slot holding an empty text.
    using Slots = std::array<std::optional<std::string>, 256>;

    // Records `path` as the table file name first, then reads it (see TableLoadResult).
    TableLoadResult load(const std::filesystem::path& path);
    // Parses table text that is already in memory (the maps are emptied first).
    void parse(std::string_view text);
    void release();

    // A table counts as loaded once a name was recorded, even if its read failed.
    [[nodiscard]] bool hasName() const { return !fileName_.empty(); }
    [[nodiscard]] const std::filesystem::path& fileName() const { return fileName_; }

    [[nodiscard]] const Slots& singleCharacters() const { return single_; }
    [[nodiscard]] const Slots& multiCharacters() const { return multi_; }
    [[nodiscard]] const Slots& dictionary() const { return dictionary_; }
    // Slot k of the dictionary map; slots 256 and up are always empty.
    [[nodiscard]] const std::optional<std::string>& dictionaryWord(unsigned slot) const;

    // The character map of the single-character lines, with the lines it refuses and its
    // warnings; the identity before any load.
    [[nodiscard]] const CharacterMap& characterMap() const { return characters_.map; }
    [[nodiscard]] const std::vector<RefusedCharacterLine>& refusedCharacterLines() const { return characters_.refused; }
    [[nodiscard]] const std::vector<CharacterMapWarning>& characterWarnings() const { return characters_.warnings; }

private:
    Slots single_;
    Slots multi_;
    Slots dictionary_;
    CharacterMapLoad characters_;
    std::filesystem::path fileName_;
};

}  // namespace corv::script
