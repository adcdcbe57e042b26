// Which codes name a directory directly below their root, and what making and removing them touches.
#include "setup/ChildDirectory.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// "\x95\x5C" and "\x81\x5C" are GBK characters whose trail byte is a backslash.
const struct {
    const char* name;
    bool child;
} kNames[] = {
    { "P9", true },
    { "A01", true },
    { "客户", true },
    { "x.y", true },
    { ".hidden", true },
    { "a b", true },
    { "\x95\x5C", true },
    { "a\x95\x5C" "b", true },
    { "\x81\x5C..", true },
    { "", false },
    { ".", false },
    { "..", false },
    { "...", false },
    { ". .", false },
    { ".. ", false },
    { "..\\x", false },
    { "a\\..\\..\\y", false },
    { "X\\Y", false },
    { "\\x", false },
    { "x\\", false },
    { "../x", false },
    { "a/b", false },
    { "C:\\x", false },
    { "C:x", false },
    { "x:stream", false },
    { "\\\\server\\share", false },
    { "\x95\x5C\\..", false },
    { "NUL", false },
    { "com1.txt", false },
    { "Lpt9 ", false },
    { "CONX", true },
    { "COM0", true },
};

TEST(ChildDirectory, NamesDirectlyBelowTheRoot)
{
    for (const auto& c : kNames) {
        TRACE_CASE(kNames, c);
        EXPECT_EQ(c.child, IsChildName(c.name)) << "name \"" << c.name << "\"";
    }
}

TEST(ChildDirectory, MakesAndRemovesOnlyChildren)
{
    test::TempDir dir("child");
    const std::string root = dir / "root";
    ASSERT_TRUE(test::MakeDir(root));
    ASSERT_TRUE(test::MakeDir(dir / "victim"));
    for (const auto& c : kNames) {
        TRACE_CASE(kNames, c);
        setup::CreateChildDirectory(root, c.name);
    }
    EXPECT_EQ((std::vector<std::string>{ "root", "victim" }), test::ListDir(dir.Path())) << "nothing beside the root";
    size_t children = 0;
    for (const auto& c : kNames) {
        TRACE_CASE(kNames, c);
        children += c.child ? 1 : 0;
    }
    EXPECT_EQ(children, test::ListDir(root).size()) << "one directory per child name";
    EXPECT_TRUE(test::IsDirectory(root + "\\\x95\x5C"));

    setup::RemoveChildDirectory(root, "..\\victim");
    setup::RemoveChildDirectory(root, "..");
    setup::RemoveChildDirectory(root, "...");
    EXPECT_TRUE(test::IsDirectory(dir / "victim"));
    for (const auto& c : kNames) {
        TRACE_CASE(kNames, c);
        setup::RemoveChildDirectory(root, c.name);
    }
    EXPECT_TRUE(test::ListDir(root).empty());
    EXPECT_TRUE(test::IsDirectory(root)) << "the root itself stays";
}

TEST(ChildDirectory, OneLevelOnlyAndNonEmptyDirectoriesStay)
{
    test::TempDir dir("child");
    const std::string root = dir / "missing";
    setup::CreateChildDirectory(root, "P9");
    EXPECT_FALSE(test::Exists(root)) << "a missing root is not created";

    ASSERT_TRUE(test::MakeDir(dir / "P9"));
    ASSERT_TRUE(test::WriteFile(dir / "P9\\file.txt", "x"));
    setup::RemoveChildDirectory(dir.Path(), "P9");
    EXPECT_TRUE(test::Exists(dir / "P9\\file.txt"));
}

} // namespace
