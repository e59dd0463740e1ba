// The executable's command line and where it finds its data.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/program.h"

namespace az {
namespace {

namespace fs = std::filesystem;

TEST(CommandLine, OptionsAndMistakes) {
    using A = CommandLine::Action;
    struct Case {
        std::vector<std::string> args;
        A action;
    };
    const Case cases[] = {
        {{}, A::Play},
        {{"--help"}, A::Help},
        {{"-h"}, A::Help},
        {{"--version"}, A::Version},
        {{"--version", "--help"}, A::Help},
        {{"--bogus"}, A::Usage},
        {{"-x"}, A::Usage},
        {{"intro.swf"}, A::Usage},
        {{"--help", "--bogus"}, A::Usage},
        {{"--"}, A::Usage},
    };
    for (const Case& c : cases) {
        const CommandLine cl = parseCommandLine(c.args);
        std::string all;
        for (const auto& a : c.args) all += a + " ";
        EXPECT_EQ(cl.action, c.action) << all;
        EXPECT_EQ(cl.error.empty(), c.action != A::Usage) << all;
    }
    EXPECT_EQ(parseCommandLine({"--bogus"}).error, "unknown option --bogus");
}

TEST(CommandLine, UsageNamesEveryOption) {
    const std::string u = usageText();
    EXPECT_EQ(u.rfind("usage: agent-zaza", 0), 0u);
    EXPECT_NE(u.find("--help"), std::string::npos);
    EXPECT_NE(u.find("--version"), std::string::npos);
    EXPECT_FALSE(std::string(programVersion()).empty());
}

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("az-data-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

TEST_F(DataFolder, BesideTheExecutableInTheBuildTree) {
    fs::create_directories(root_ / "bin/assets");
    EXPECT_EQ(dataFolderFor(root_ / "bin"), root_ / "bin");
}

TEST_F(DataFolder, ShareFolderWhenInstalled) {
    fs::create_directories(root_ / "usr/bin");
    fs::create_directories(root_ / "usr/share/agent-zaza/assets");
    EXPECT_EQ(dataFolderFor(root_ / "usr/bin"), root_ / "usr/share/agent-zaza");
}

TEST_F(DataFolder, BuildTreeWinsOverAnInstalledCopy) {
    fs::create_directories(root_ / "bin/assets");
    fs::create_directories(root_ / "share/agent-zaza/assets");
    EXPECT_EQ(dataFolderFor(root_ / "bin"), root_ / "bin");
}

TEST_F(DataFolder, NeitherStaysBesideTheExecutable) {
    fs::create_directories(root_ / "bin");
    // A file named like the folder is not the folder.
    fs::create_directories(root_ / "share/agent-zaza");
    std::ofstream(root_ / "share/agent-zaza/assets") << "x";
    EXPECT_EQ(dataFolderFor(root_ / "bin"), root_ / "bin");
}

}  // namespace
}  // namespace az
