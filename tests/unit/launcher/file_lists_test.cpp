// "--file-list=" files: their text, their place among the Java arguments,
// which of them the launcher deletes, and lists it cannot read.
#include "file_lists.h"

#include <algorithm>

#include "launcher_fixture.h"

using fake::ProcessEnded;
using varkel::WideString;
using Args = std::vector<std::u16string>;

namespace {

constexpr const char16_t* kTemp = u"C:\\Users\\someone\\AppData\\Local\\Temp\\";

bool deleted(const std::u16string& path) {
    const auto& calls = fake::machine().calls;
    return std::find(calls.begin(), calls.end(), "DeleteFile " + utf8(path)) != calls.end();
}

}  // namespace

TEST(DecodeFileList, LinesAndTheirExactText) {
    struct Case {
        const char* name;
        std::string bytes;
        Args lines;
        std::size_t badLine;
    };
    const Case cases[] = {
        {"empty", "", {}, 0},
        {"CR LF, empty lines skipped", "C:\\a.log\r\n\r\nC:\\b.log\r\n", {u"C:\\a.log", u"C:\\b.log"}, 0},
        {"LF, no final line end", "a\n\nb", {u"a", u"b"}, 0},
        {"byte-order mark", "\xEF\xBB\xBF" "a\r\n", {u"a"}, 0},
        {"blanks and tabs are text", " a b \t\n", {u" a b \t"}, 0},
        {"any script", "C:\\\xC3\xA4\xE6\x97\xA5 \xF0\x9F\x98\x80.log\n", {u"C:\\\u00E4\u65E5 \U0001F600.log"}, 0},
        {"a lone surrogate, as the extension writes it", "x\xED\xA0\x80y\n", {u"x\xD800y"}, 0},
        {"a byte that is no UTF-8", "a\nb\n\xE4rger.log\n", {}, 3},
        {"an overlong form", "\xC0\xAF\n", {}, 1},
        {"cut at the end", "ok\n\xE6\x97", {}, 2},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        varkel::FileListText list = varkel::decodeFileList(c.bytes);
        EXPECT_EQ(list.lines, c.lines);
        EXPECT_EQ(list.badLine, c.badLine);
    }
}

// The lists' lines stand in each option's place; relative names resolve in
// the executable's directory, as "--conf=" names do.
TEST_F(LauncherTest, FileListsMixWithOtherArgumentsInOrder) {
    struct Case {
        const char16_t* commandLine;
        Args expected;
    };
    const Case cases[] = {
        {u"a --file-list=one.txt b \"--file-list=C:\\My Lists\\two.txt\" c",
         {u"a", u"1a", u"1 b", u"b", u"2a", u"c"}},
        {u"--file-list=one.txt --file-list=one.txt", {u"1a", u"1 b", u"1a", u"1 b"}},
        {u"--file-list=empty.txt x", {u"x"}},
        {u"--file-list= --File-List=one.txt", {u"--file-list=", u"--File-List=one.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.commandLine));
        SetUp();
        machine().files[u"C:\\Varkel\\one.txt"] = "1a\r\n1 b\r\n";
        machine().files[u"C:\\My Lists\\two.txt"] = "2a\n";
        machine().files[u"C:\\Varkel\\empty.txt"] = "";
        ProcessEnded end = launch(c.commandLine);
        EXPECT_EQ(end.code, 0u);
        EXPECT_TRUE(machine().boxes.empty());
        EXPECT_EQ(jvm().arguments, c.expected);
    }
}

// Only the extension's lists go, and only once the Java program holds its
// arguments.
TEST_F(LauncherTest, OnlyTheExtensionsListsAreDeletedAfterTheHandOver) {
    struct Case {
        const char* name;
        std::u16string path;
        bool javaFound;
        bool deleted;
    };
    const std::u16string temp = kTemp;
    const Case cases[] = {
        {"the extension's list", temp + u"Varkel-selection-12-34.txt", true, true},
        {"named in another letter case", u"c:\\users\\SOMEONE\\appdata\\local\\temp\\varkel-SELECTION-1.TXT", true,
         true},
        {"the launch ends before the hand-over", temp + u"Varkel-selection-12-34.txt", false, false},
        {"another name in the temporary folder", temp + u"my-list.txt", true, false},
        {"in a folder below it", temp + u"sub\\Varkel-selection-1.txt", true, false},
        {"elsewhere", u"C:\\Lists\\Varkel-selection-1.txt", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (!c.javaFound) machine().libraries.clear();
        machine().files[c.path] = "C:\\a.log\r\n";
        launch(u"\"--file-list=" + c.path + u"\"");
        EXPECT_EQ(jvm().arguments, c.javaFound ? Args{u"C:\\a.log"} : Args{});
        EXPECT_EQ(deleted(c.path), c.deleted);
        EXPECT_EQ(machine().files.count(c.path) == 0, c.deleted);
    }
}

TEST_F(LauncherTest, UnreadableFileListEndsWithTwoBeforeTheJvm) {
    struct Case {
        const char* name;
        std::string bytes;  // empty: no such file
        bool unreadable;
        std::u16string message;
    };
    const Case cases[] = {
        {"missing", "", false,
         u"Unable to open file list \"C:\\Varkel\\missing.txt\":\nError 2: \"File not found.\"\nJava program won't be "
         u"launched."},
        {"unreadable", "a\n", true,
         u"Error while reading file list \"C:\\Varkel\\missing.txt\":\nError 30: \"\"\nJava program won't be "
         u"launched."},
        {"not UTF-8", "a\n\xE4\n", false,
         u"File list \"C:\\Varkel\\missing.txt\" is not UTF-8 text (line 2).\nJava program won't be launched."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (!c.bytes.empty()) machine().files[u"C:\\Varkel\\missing.txt"] = c.bytes;
        if (c.unreadable) machine().unreadableFiles.insert(u"C:\\Varkel\\missing.txt");
        ProcessEnded end = launch(u"x --file-list=missing.txt");
        EXPECT_EQ(end.code, 2u);
        EXPECT_EQ(end.how, ProcessEnded::How::exitProcess);
        EXPECT_EQ(onlyBox().text, c.message);
        EXPECT_EQ(onlyBox().style, 0x10010u);
        EXPECT_FALSE(jvm().created);
    }
}
