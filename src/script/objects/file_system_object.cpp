#include "script/objects/file_system_object.h"

#include "script/lib/file_status.h"
#include "script/lib/path_text.h"
#include "script/objects/file_items.h"
#include "script/objects/native_member.h"
#include "script/objects/refused_member.h"
#include "script/objects/text_stream.h"

namespace quillet::script {

namespace {

class FileSystemObject : public NativeObject {
public:
    explicit FileSystemObject(ReadableFoldersRef folders);

    // The absolute form of a path argument, as File and Folder keep it.
    Text absolute(const Value& path) const { return absolutePath(path.rawText(), folders_->currentFolder()); }
    FileKind kindOf(const Value& path) const { return fileStatus(folders_->resolve(absolute(path))).kind; }
    const ReadableFoldersRef& folders() const { return folders_; }

private:
    MemoryCharge charge_{sizeof(FileSystemObject)};
    ReadableFoldersRef folders_;
};

FileSystemObject& self(NativeObject& o) { return static_cast<FileSystemObject&>(o); }

// GetFile, GetFolder and OpenTextFile need a name: "" is error 5.
const Value& namedPath(const Value& path)
{
    if (path.rawText().empty())
        throw VbError(vberr::InvalidCall);
    return path;
}

Value openTextFile(FileSystemObject& fso, std::span<Value> a)
{
    requireReadMode(hasValue(a, 1) ? a[1].rawLong() : 1);
    const bool create = hasValue(a, 2) && a[2].rawBoolean();
    const TextFormat format = textFormatFrom(hasValue(a, 3) ? a[3].rawLong() : 0);
    const std::string real = fso.folders()->resolve(fso.absolute(namedPath(a[0])));
    // Asked to create a file that is not there: that would write.
    if (create && fileStatus(real).kind == FileKind::Missing)
        throw VbError(vberr::PermissionDenied);
    return openTextStream(real, format);
}

// A path helper: text in, text out.
template <Text (*Helper)(TextView)>
NativeMember pathHelper(const char16_t* name)
{
    return nativeMember(name, {ArgKind::AutomationText}, 1,
                        [](NativeObject&, std::span<Value> a) { return Value::string(Helper(a[0].rawText())); });
}

// What would write, delete, move, or reach drives, system folders and the
// console: name, parameters, required ones.
struct Refused {
    const char16_t* name;
    int params;
    int required;
};
constexpr Refused kRefused[] = {
    {u"CreateTextFile", 3, 1}, {u"CreateFolder", 1, 1},     {u"CopyFile", 3, 2},
    {u"CopyFolder", 3, 2},     {u"MoveFile", 2, 2},         {u"MoveFolder", 2, 2},
    {u"DeleteFile", 2, 1},     {u"DeleteFolder", 2, 1},     {u"GetDrive", 1, 1},
    {u"Drives", 0, 0},         {u"GetSpecialFolder", 1, 1}, {u"GetStandardStream", 2, 1},
};

const NativeClass& fileSystemClass()
{
    static const NativeClass cls = [] {
        NativeClass c(u"FileSystemObject");
        using A = ArgKind;
        c.add(nativeMember(u"FileExists", {A::AutomationText}, 1, [](NativeObject& o, std::span<Value> a) {
            return Value::boolean(self(o).kindOf(a[0]) == FileKind::File);
        }));
        c.add(nativeMember(u"FolderExists", {A::AutomationText}, 1, [](NativeObject& o, std::span<Value> a) {
            return Value::boolean(self(o).kindOf(a[0]) == FileKind::Folder);
        }));
        c.add(nativeMember(u"GetFile", {A::AutomationText}, 1, [](NativeObject& o, std::span<Value> a) {
            return makeFileObject(self(o).folders(), self(o).absolute(namedPath(a[0])));
        }));
        c.add(nativeMember(u"GetFolder", {A::AutomationText}, 1, [](NativeObject& o, std::span<Value> a) {
            return makeFolderObject(self(o).folders(), self(o).absolute(namedPath(a[0])));
        }));
        c.add(nativeMember(u"OpenTextFile", {A::AutomationText, A::Int32, A::Bool, A::Int32}, 1,
                           [](NativeObject& o, std::span<Value> a) { return openTextFile(self(o), a); }));
        c.add(nativeMember(u"BuildPath", {A::AutomationText, A::AutomationText}, 2,
                           [](NativeObject&, std::span<Value> a) {
                               return Value::string(joinPath(a[0].rawText(), a[1].rawText()));
                           }));
        c.add(pathHelper<fileNameOf>(u"GetFileName"));
        c.add(pathHelper<baseNameOf>(u"GetBaseName"));
        c.add(pathHelper<extensionOf>(u"GetExtensionName"));
        c.add(pathHelper<parentFolderOf>(u"GetParentFolderName"));
        c.add(nativeMember(u"GetAbsolutePathName", {A::AutomationText}, 1, [](NativeObject& o, std::span<Value> a) {
            return Value::string(self(o).absolute(a[0]));
        }));
        // Paths here have no drive letters.
        c.add(nativeMember(u"GetDriveName", {A::AutomationText}, 1,
                           [](NativeObject&, std::span<Value>) { return Value::string(Text()); }));
        c.add(nativeMember(u"DriveExists", {A::AutomationText}, 1,
                           [](NativeObject&, std::span<Value>) { return Value::boolean(false); }));
        for (const Refused& r : kRefused)
            c.add(refusedMember(r.name, r.params, r.required));
        return c;
    }();
    return cls;
}

FileSystemObject::FileSystemObject(ReadableFoldersRef folders)
    : NativeObject(fileSystemClass()), folders_(std::move(folders))
{
}

} // namespace

Value makeFileSystemObject(Context& context)
{
    auto folders = std::make_shared<const ReadableFolders>(context.files.readableFolders, context.files.currentFolder);
    return makeObject<FileSystemObject>(std::move(folders));
}

} // namespace quillet::script
