// The version line of --version and Help > About.

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "about/version.h"

namespace corv::about {
namespace {

TEST(VersionTest, LineNamesProgramVersionAndCommitWhenThereIsOne) {
    EXPECT_EQ(FormatVersionLine("corvtool", "1.2.3", "0123456789ab"), "corvtool 1.2.3 (commit 0123456789ab)");
    EXPECT_EQ(FormatVersionLine("CorvComp", "1.2.3", "0123456789ab-modified"),
              "CorvComp 1.2.3 (commit 0123456789ab-modified)");
    EXPECT_EQ(FormatVersionLine("CorvaneText", "1.2.3", ""), "CorvaneText 1.2.3");
}

TEST(VersionTest, BuildCarriesTheProjectVersionAndAWellFormedCommit) {
    EXPECT_EQ(ProjectVersion(), CORV_EXPECTED_VERSION);
    const std::string commit(GitCommit());
    // Empty for a build outside a checkout; otherwise an abbreviated hash.
    if (!commit.empty()) {
        EXPECT_TRUE(std::regex_match(commit, std::regex("[0-9a-f]{12}(-modified)?"))) << commit;
    }
    EXPECT_EQ(VersionLine("corvtool"), FormatVersionLine("corvtool", CORV_EXPECTED_VERSION, commit));
}

TEST(VersionTest, AboutTextIsTheVersionLineThenThePurpose) {
    EXPECT_EQ(AboutText("CorvComp", "Packs blocks."), VersionLine("CorvComp") + "\n\nPacks blocks.");
}

TEST(VersionTest, OnlyALoneVersionOptionAsksForTheVersion) {
    const char* alone[] = {"prog", "--version"};
    const char* rom[] = {"prog", "game.smc"};
    const char* more[] = {"prog", "--version", "game.smc"};
    const char* shortForm[] = {"prog", "-v"};
    const char* none[] = {"prog"};
    EXPECT_TRUE(AsksForVersion(2, alone));
    EXPECT_FALSE(AsksForVersion(2, rom));
    EXPECT_FALSE(AsksForVersion(3, more));
    EXPECT_FALSE(AsksForVersion(2, shortForm));
    EXPECT_FALSE(AsksForVersion(1, none));
}

}  // namespace
}  // namespace corv::about
