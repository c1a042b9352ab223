#include "script/objects/file_items.h"

#include "common/stop_request.h"
#include "script/lib/file_status.h"
#include "script/lib/path_text.h"
#include "script/objects/native_member.h"
#include "script/objects/refused_member.h"
#include "script/objects/text_stream.h"

#include <algorithm>

namespace quillet::script {

namespace {

const NativeClass& folderClass();

// Attribute bits as the FileSystemObject reports them.
constexpr int32_t kReadOnly = 1, kHidden = 2, kDirectory = 16;

// A File or a Folder: the path and what it may reach.
class FileItem : public NativeObject {
public:
    FileItem(const NativeClass& cls, ReadableFoldersRef folders, Text path)
        : NativeObject(cls), folders_(std::move(folders)), path_(std::move(path))
    {
    }

    const Text& path() const { return path_; }
    Text name() const { return fileNameOf(path_); }
    const ReadableFoldersRef& folders() const { return folders_; }
    std::string realPath() const { return folders_->resolve(path_); }
    bool isFolder() const { return &nativeClass() == &folderClass(); }
    // A file or folder gone since the object was made is error 53 or 76.
    FileStatus status() const
    {
        const FileStatus s = fileStatus(realPath());
        if (s.kind == FileKind::Missing)
            throw VbError(isFolder() ? vberr::PathNotFound : vberr::FileNotFound);
        return s;
    }
    // A name starting with "." is what hidden means here.
    int32_t attributes() const
    {
        const FileStatus s = status();
        const Text n = name();
        return (isFolder() ? kDirectory : 0) | (s.writable ? 0 : kReadOnly) | (!n.empty() && n[0] == u'.' ? kHidden : 0);
    }
    // The folder holding this one: Nothing for the root.
    Value parentFolder() const
    {
        const Text parent = parentFolderOf(path_);
        return parent.empty() ? Value::nothing() : makeFolderObject(folders_, parent);
    }

private:
    MemoryCharge charge_{sizeof(FileItem)};
    ReadableFoldersRef folders_;
    Text path_;
};

FileItem& item(NativeObject& o) { return static_cast<FileItem&>(o); }

// The members File and Folder share.
void addCommonMembers(NativeClass& c)
{
    c.add(nativeMember(u"Path", {}, 0, [](NativeObject& o, std::span<Value>) { return Value::string(item(o).path()); }),
          true);
    c.add(readOnlyProperty(u"Name", [](NativeObject& o, std::span<Value>) { return Value::string(item(o).name()); }));
    c.add(nativeMember(u"ShortName", {}, 0,
                       [](NativeObject& o, std::span<Value>) { return Value::string(item(o).name()); }));
    c.add(nativeMember(u"ShortPath", {}, 0,
                       [](NativeObject& o, std::span<Value>) { return Value::string(item(o).path()); }));
    c.add(nativeMember(u"ParentFolder", {}, 0, [](NativeObject& o, std::span<Value>) { return item(o).parentFolder(); }));
    c.add(nativeMember(u"DateLastModified", {}, 0,
                       [](NativeObject& o, std::span<Value>) { return Value::date(item(o).status().modified); }));
    c.add(nativeMember(u"DateLastAccessed", {}, 0,
                       [](NativeObject& o, std::span<Value>) { return Value::date(item(o).status().accessed); }));
    c.add(nativeMember(u"DateCreated", {}, 0,
                       [](NativeObject& o, std::span<Value>) { return Value::date(item(o).status().created); }));
    c.add(readOnlyProperty(u"Attributes",
                           [](NativeObject& o, std::span<Value>) { return Value::longInt(item(o).attributes()); }));
    c.add(refusedMember(u"Drive", 0, 0));
    c.add(refusedMember(u"Copy", 2, 1));
    c.add(refusedMember(u"Move", 1, 1));
    c.add(refusedMember(u"Delete", 1, 0));
}

// A size as the FileSystemObject gives it: Long while it fits, Double beyond.
Value sizeValue(uint64_t size)
{
    if (size <= 0x7FFFFFFF)
        return Value::longInt(static_cast<int32_t>(size));
    return Value::dbl(static_cast<double>(size));
}

const NativeClass& fileClass()
{
    static const NativeClass cls = [] {
        NativeClass c(u"File");
        addCommonMembers(c);
        c.add(nativeMember(u"Size", {}, 0,
                           [](NativeObject& o, std::span<Value>) { return sizeValue(item(o).status().size); }));
        c.add(nativeMember(u"OpenAsTextStream", {ArgKind::Int32, ArgKind::Int32}, 0,
                           [](NativeObject& o, std::span<Value> a) {
                               const int32_t mode = hasValue(a, 0) ? a[0].rawLong() : 1;
                               const TextFormat format = textFormatFrom(hasValue(a, 1) ? a[1].rawLong() : 0);
                               requireReadMode(mode);
                               return openTextStream(item(o).realPath(), format);
                           }));
        return c;
    }();
    return cls;
}

// ---- Files and Folders --------------------------------------------------

enum class ListKind : uint8_t { Files, Folders };

class FileList : public NativeObject {
public:
    FileList(const NativeClass& cls, ListKind kind, ReadableFoldersRef folders, Text folder,
             std::vector<Text> names, MemoryCharge charge)
        : NativeObject(cls), charge_(std::move(charge)), kind_(kind), folders_(std::move(folders)),
          folder_(std::move(folder)), names_(std::move(names))
    {
    }

    int32_t count() const { return static_cast<int32_t>(names_.size()); }
    Value item(const Text& name) const
    {
        if (std::find(names_.begin(), names_.end(), name) == names_.end())
            throw VbError(kind_ == ListKind::Files ? vberr::FileNotFound : vberr::PathNotFound);
        return element(name);
    }
    Value element(const Text& name) const
    {
        const Text path = joinPath(folder_, name);
        return kind_ == ListKind::Files ? makeFileObject(folders_, path) : makeFolderObject(folders_, path);
    }
    std::unique_ptr<Enumerator> enumerate() override;

private:
    // Charged first: covers the names below.
    MemoryCharge charge_;
    ListKind kind_;
    ReadableFoldersRef folders_;
    Text folder_;
    std::vector<Text> names_;
};

class FileListEnumerator : public Enumerator {
public:
    FileListEnumerator(Value list, std::vector<Text> names) : list_(std::move(list)), names_(std::move(names)) {}
    bool next(Value& out) override
    {
        if (at_ >= names_.size())
            return false;
        out = static_cast<const FileList*>(list_.rawObject())->element(names_[at_++]);
        return true;
    }

private:
    Value list_; // keeps the list alive while it is walked
    std::vector<Text> names_;
    size_t at_ = 0;
};

std::unique_ptr<Enumerator> FileList::enumerate()
{
    return std::make_unique<FileListEnumerator>(Value::object(this), names_);
}

const NativeClass& fileListClass(ListKind kind)
{
    static const auto make = [](const char16_t* name) {
        NativeClass c(name);
        c.add(nativeMember(u"Item", {ArgKind::AutomationText}, 1,
                           [](NativeObject& o, std::span<Value> a) {
                               return static_cast<FileList&>(o).item(a[0].rawText());
                           }),
              true);
        c.add(nativeMember(u"Count", {}, 0, [](NativeObject& o, std::span<Value>) {
            return Value::longInt(static_cast<FileList&>(o).count());
        }));
        return c;
    };
    static const NativeClass files = make(u"Files");
    static const NativeClass subFolders = make(u"Folders");
    return kind == ListKind::Files ? files : subFolders;
}

// The files or the folders directly in `folder` that the script may read
// (an entry that is a link leading outside is left out).
Value listOf(const FileItem& folder, ListKind kind)
{
    const FileKind wanted = kind == ListKind::Files ? FileKind::File : FileKind::Folder;
    MemoryCharge charge(sizeof(FileList));
    std::vector<Text> names;
    for (const std::string& entry : folderEntries(folder.realPath())) {
        pollStop(); // a folder may hold any number of entries
        const Text name = fromUtf8(entry);
        const std::optional<std::string> real = folder.folders()->tryResolve(joinPath(folder.path(), name));
        if (!real || fileStatus(*real).kind != wanted)
            continue;
        charge.grow(sizeof(Text) + textHeapBytes(name.capacity()));
        names.push_back(name);
    }
    return makeObject<FileList>(fileListClass(kind), kind, folder.folders(), folder.path(), std::move(names),
                                std::move(charge));
}

const NativeClass& folderClass()
{
    static const NativeClass cls = [] {
        NativeClass c(u"Folder");
        addCommonMembers(c);
        c.add(nativeMember(u"Files", {}, 0,
                           [](NativeObject& o, std::span<Value>) { return listOf(item(o), ListKind::Files); }));
        c.add(nativeMember(u"SubFolders", {}, 0,
                           [](NativeObject& o, std::span<Value>) { return listOf(item(o), ListKind::Folders); }));
        c.add(nativeMember(u"IsRootFolder", {}, 0,
                           [](NativeObject& o, std::span<Value>) { return Value::boolean(item(o).path() == u"/"); }));
        c.add(refusedMember(u"CreateTextFile", 3, 1));
        return c;
    }();
    return cls;
}

} // namespace

Value makeFileObject(const ReadableFoldersRef& folders, Text path)
{
    if (fileStatus(folders->resolve(path)).kind != FileKind::File)
        throw VbError(vberr::FileNotFound);
    return makeObject<FileItem>(fileClass(), folders, std::move(path));
}

Value makeFolderObject(const ReadableFoldersRef& folders, Text path)
{
    if (fileStatus(folders->resolve(path)).kind != FileKind::Folder)
        throw VbError(vberr::PathNotFound);
    return makeObject<FileItem>(folderClass(), folders, std::move(path));
}

} // namespace quillet::script
