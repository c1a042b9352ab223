// The FileSystemObject reads inside its folders and nowhere else, however
// the path is spelled, and never writes.
#include "builtin_harness.h"

#include "script/lib/path_text.h"
#include "script/memory_meter.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace quillet;
using namespace quillet::script;
using namespace quillet::script::testing;

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// sandbox/        the folder the script may read (its current folder)
//   data.txt      "one\r\ntwo\nthree"
//   sub/inner.txt
//   out-link      -> ../outside/secret.txt
//   out-dir-link  -> ../outside
//   in-link       -> data.txt
//   pipe          a named pipe
// outside/secret.txt
//
// The common cases (reading, the errors of missing files and folders, the
// usual refusals) are in the golden lib_file_system.vbs; these are the ways
// round the sandbox a script could try.
class FileSystemObjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("fso-test-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        sandbox_ = root_ / "sandbox";
        outside_ = root_ / "outside";
        fs::create_directories(sandbox_ / "sub");
        fs::create_directories(outside_);
        writeFile(sandbox_ / "data.txt", "one\r\ntwo\nthree");
        writeFile(sandbox_ / "sub" / "inner.txt", "inner");
        writeFile(outside_ / "secret.txt", "secret");
        fs::create_symlink("../outside/secret.txt", sandbox_ / "out-link");
        fs::create_symlink("../outside", sandbox_ / "out-dir-link");
        fs::create_symlink("data.txt", sandbox_ / "in-link");
        ASSERT_EQ(::mkfifo((sandbox_ / "pipe").c_str(), 0600), 0);
        lib_.context.files.readableFolders = {fromUtf8(sandbox_.string())};
        lib_.context.files.currentFolder = fromUtf8(sandbox_.string());
        fso_ = lib_.create(u"Scripting.FileSystemObject");
    }
    void TearDown() override { fs::remove_all(root_); }

    Value path(const fs::path& p) const { return Value::string(fromUtf8(p.string())); }
    Value text(const char16_t* t) const { return Value::string(t); }

    fs::path root_, sandbox_, outside_;
    Library lib_;
    Value fso_;
};

TEST_F(FileSystemObjectTest, ReadsInsideItsFolder)
{
    EXPECT_TRUE(member(fso_, u"FileExists", {text(u"data.txt")}).rawBoolean());
    EXPECT_TRUE(member(fso_, u"FileExists", {path(sandbox_ / "sub" / "inner.txt")}).rawBoolean());
    EXPECT_TRUE(member(fso_, u"FileExists", {text(u"sub\\inner.txt")}).rawBoolean()); // Windows separators
    EXPECT_TRUE(member(fso_, u"FileExists", {text(u"in-link")}).rawBoolean());
    EXPECT_FALSE(member(fso_, u"FileExists", {text(u"pipe")}).rawBoolean());
    EXPECT_TRUE(member(fso_, u"FolderExists", {text(u"sub/../sub/.")}).rawBoolean());

    const Value stream = member(fso_, u"OpenTextFile", {text(u"data.txt"), I(1)});
    EXPECT_EQ(member(stream, u"ReadLine").toText(), u"one");
    EXPECT_EQ(member(stream, u"Line").rawLong(), 2);
    EXPECT_EQ(member(stream, u"ReadAll").toText(), u"two\nthree");
    EXPECT_TRUE(member(stream, u"AtEndOfStream").rawBoolean());

    const Value file = member(fso_, u"GetFile", {text(u"sub/inner.txt")});
    EXPECT_EQ(member(file, u"Size").rawLong(), 5);
    EXPECT_EQ(member(file, u"Name").toText(), u"inner.txt");
    EXPECT_EQ(member(file, u"Path").toText(), fromUtf8((sandbox_ / "sub" / "inner.txt").string()));

    // Hidden means a name starting with "."; folders carry the directory bit.
    writeFile(sandbox_ / ".hidden", "h");
    EXPECT_TRUE(member(fso_, u"FileExists", {text(u".hidden")}).rawBoolean());
    EXPECT_EQ(member(member(fso_, u"GetFile", {text(u".hidden")}), u"Attributes").rawLong() & 2, 2);
    EXPECT_EQ(member(file, u"Attributes").rawLong() & 18, 0);
    EXPECT_EQ(member(member(fso_, u"GetFolder", {text(u"sub")}), u"Attributes").rawLong() & 18, 16);
    // A file gone since its object was made.
    fs::remove(sandbox_ / "sub" / "inner.txt");
    EXPECT_EQ(memberError(file, u"Size"), 53);
}

TEST_F(FileSystemObjectTest, EveryWayOutIsPermissionDenied)
{
    const Value ways[] = {
        text(u"../outside/secret.txt"),
        text(u"sub/../../outside/secret.txt"),
        text(u"..\\outside\\secret.txt"),
        path(outside_ / "secret.txt"),
        text(u"/etc/passwd"),
        text(u"out-link"),                 // a link leading out
        text(u"out-dir-link/secret.txt"),  // a folder link leading out
        text(u"missing/../../outside/secret.txt"),
    };
    for (const Value& way : ways) {
        SCOPED_TRACE(toUtf8(way.toText()));
        EXPECT_EQ(memberError(fso_, u"FileExists", {way}), 70);
        EXPECT_EQ(memberError(fso_, u"OpenTextFile", {way}), 70);
        EXPECT_EQ(memberError(fso_, u"GetFile", {way}), 70);
    }
    EXPECT_EQ(memberError(fso_, u"FolderExists", {text(u"..")}), 70);
    EXPECT_EQ(memberError(fso_, u"GetFolder", {path(root_)}), 70);
    EXPECT_EQ(memberError(fso_, u"GetFolder", {text(u"out-dir-link")}), 70);
    EXPECT_EQ(memberError(fso_, u"FolderExists", {text(u"/")}), 70);
    // Walking up from an allowed folder stops at its edge.
    EXPECT_EQ(member(member(member(fso_, u"GetFolder", {text(u"sub")}), u"ParentFolder"), u"Name").toText(),
              u"sandbox");
}

TEST_F(FileSystemObjectTest, NothingWrites)
{
    for (const int mode : {2, 8}) {
        EXPECT_EQ(memberError(fso_, u"OpenTextFile", {text(u"data.txt"), I(static_cast<int16_t>(mode))}), 70);
        EXPECT_EQ(memberError(fso_, u"OpenTextFile", {text(u"new.txt"), I(static_cast<int16_t>(mode)),
                                                      Value::boolean(true)}),
                  70);
    }
    EXPECT_EQ(memberError(fso_, u"OpenTextFile", {text(u"data.txt"), I(3)}), 5);
    EXPECT_EQ(memberError(fso_, u"CreateFolder", {text(u"newdir")}), 70);
    EXPECT_EQ(memberError(fso_, u"DeleteFolder", {text(u"sub")}), 70);
    EXPECT_EQ(memberError(fso_, u"CopyFile", {text(u"data.txt"), text(u"copy.txt")}), 70);
    EXPECT_EQ(memberError(fso_, u"MoveFile", {text(u"data.txt"), text(u"moved.txt")}), 70);
    EXPECT_EQ(memberError(fso_, u"GetSpecialFolder", {I(2)}), 70);
    EXPECT_EQ(memberError(fso_, u"Drives"), 70);

    const Value file = member(fso_, u"GetFile", {text(u"data.txt")});
    EXPECT_EQ(memberError(file, u"Delete"), 70);
    EXPECT_EQ(memberError(file, u"Copy", {text(u"copy.txt")}), 70);
    EXPECT_EQ(memberError(file, u"Move", {text(u"moved.txt")}), 70);
    EXPECT_EQ(memberError(file, u"Name", {text(u"renamed.txt")}, Access::Let), 70);
    EXPECT_EQ(memberError(file, u"Attributes", {I(1)}, Access::Let), 70);
    const Value stream = member(file, u"OpenAsTextStream");
    EXPECT_EQ(memberError(stream, u"Write", {text(u"x")}), 70);
    EXPECT_EQ(memberError(stream, u"WriteBlankLines", {I(2)}), 70);
    const Value folder = member(fso_, u"GetFolder", {text(u"sub")});
    EXPECT_EQ(memberError(folder, u"CreateTextFile", {text(u"x.txt")}), 70);
    EXPECT_EQ(memberError(folder, u"Delete"), 70);

    // The folder is as it was.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(sandbox_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"data.txt", "in-link", "out-dir-link", "out-link", "pipe", "sub"}));
    std::ifstream data(sandbox_ / "data.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(data), {}), "one\r\ntwo\nthree");
}

TEST_F(FileSystemObjectTest, OnlyRegularFilesOpen)
{
    // A named pipe has no writer: opening it must neither hang nor read.
    EXPECT_EQ(memberError(fso_, u"OpenTextFile", {text(u"pipe")}), 70);
    EXPECT_EQ(memberError(fso_, u"GetFile", {text(u"pipe")}), 53);
    EXPECT_EQ(memberError(fso_, u"OpenTextFile", {text(u"nofolder/missing.txt")}), 76);
    EXPECT_EQ(memberError(fso_, u"GetFile", {text(u"")}), 5);
    EXPECT_EQ(memberError(fso_, u"OpenTextFile", {Value::string(Text(u"data.txt\0x", 10))}), 52);
}

TEST_F(FileSystemObjectTest, ListsOnlyWhatItMayRead)
{
    const Value folder = member(fso_, u"GetFolder", {text(u".")});
    std::vector<Text> files;
    auto e = member(folder, u"Files").rawObject()->enumerate();
    for (Value f; e->next(f);)
        files.push_back(member(f, u"Name").toText());
    EXPECT_EQ(files, (std::vector<Text>{u"data.txt", u"in-link"}));
    const Value subFolders = member(folder, u"SubFolders");
    EXPECT_EQ(member(subFolders, u"Count").rawLong(), 1);
    EXPECT_EQ(member(member(subFolders, u"Item", {text(u"sub")}), u"Name").toText(), u"sub");
    EXPECT_EQ(memberError(member(folder, u"Files"), u"Item", {text(u"out-link")}), 53);
}

TEST_F(FileSystemObjectTest, LargeFilesMeetTheLimits)
{
    // A sparse file far beyond what a script may hold: refused before it is read.
    {
        std::ofstream big(sandbox_ / "big.txt", std::ios::binary);
    }
    fs::resize_file(sandbox_ / "big.txt", uint64_t(3) << 30);
    EXPECT_DOUBLE_EQ(member(member(fso_, u"GetFile", {text(u"big.txt")}), u"Size").toDouble(), 3221225472.0);
    EXPECT_EQ(memberError(fso_, u"OpenTextFile", {text(u"big.txt")}), 7);

    // A stream charges its text to the meter while it is open.
    writeFile(sandbox_ / "medium.txt", std::string(100000, 'x'));
    MeterHandle meter = MemoryMeter::create(size_t(1) << 20);
    MeterScope scope(meter.get());
    const size_t before = meter->used();
    {
        const Value stream = member(fso_, u"OpenTextFile", {text(u"medium.txt")});
        EXPECT_GE(meter->used(), before + 200000);
        member(stream, u"Close");
        EXPECT_LT(meter->used(), before + 1000);
    }
    MeterHandle small = MemoryMeter::create(100000);
    MeterScope smallScope(small.get());
    EXPECT_EQ(memberError(fso_, u"OpenTextFile", {text(u"medium.txt")}), 7);
}

TEST_F(FileSystemObjectTest, WithoutFoldersNothingIsReadable)
{
    Library bare;
    const Value fso = bare.create(u"Scripting.FileSystemObject");
    EXPECT_EQ(memberError(fso, u"FileExists", {path(sandbox_ / "data.txt")}), 70);
    EXPECT_EQ(member(fso, u"GetFileName", {text(u"a/b.txt")}).toText(), u"b.txt");
}

TEST(PathText, TakesPathsApartAsTheHelpersDo)
{
    EXPECT_EQ(fileNameOf(u"/a/b.txt"), u"b.txt");
    EXPECT_EQ(fileNameOf(u"a\\b\\"), u"b");
    EXPECT_EQ(fileNameOf(u"/"), u"");
    EXPECT_EQ(baseNameOf(u"x/archive.tar.gz"), u"archive.tar");
    EXPECT_EQ(baseNameOf(u"noext"), u"noext");
    EXPECT_EQ(extensionOf(u"x/archive.tar.gz"), u"gz");
    EXPECT_EQ(extensionOf(u"dir.d/noext"), u"");
    EXPECT_EQ(parentFolderOf(u"/a/b.txt"), u"/a");
    EXPECT_EQ(parentFolderOf(u"/b.txt"), u"/");
    EXPECT_EQ(parentFolderOf(u"a\\b\\c\\"), u"a\\b");
    EXPECT_EQ(parentFolderOf(u"b.txt"), u"");
    EXPECT_EQ(joinPath(u"a", u"b.txt"), u"a/b.txt");
    EXPECT_EQ(joinPath(u"a/", u"/b.txt"), u"a/b.txt");
    EXPECT_EQ(joinPath(u"a\\", u"b"), u"a\\b");
    EXPECT_EQ(joinPath(u"", u"b"), u"b");
    EXPECT_EQ(absolutePath(u"x/../y/./z", u"/home/u"), u"/home/u/y/z");
    EXPECT_EQ(absolutePath(u"..\\..\\..\\etc", u"/home/u"), u"/etc");
    EXPECT_EQ(absolutePath(u"", u"/home/u/"), u"/home/u");
    EXPECT_EQ(absolutePath(u"/a//b/", u"/x"), u"/a/b");
}

} // namespace
