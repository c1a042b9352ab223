// The character file reader over arbitrary file contents.  The bytes go
// into an in-memory file (no disk traffic per run) that the reader opens by
// path, read-only, as it opens any character file.
#include "common/vb_error.h"
#include "state/app_state.h"
#include "state/read_character_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

class SilentReaderUi : public quillet::ReaderUi {
public:
    void messageBox(const quillet::Text&) override {}
    void setMainWindowCaption(const quillet::Text&) override {}
    void setPortraitFileName(const quillet::Text&) override {}
    void doEvents() override {}
};

int memoryFile()
{
    static const int fd = ::memfd_create("character", 0);
    if (fd < 0)
        std::abort();
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quillet;
    const int fd = memoryFile();
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    const Text path = fromUtf8("/proc/self/fd/" + std::to_string(fd));

    AppState state;
    state.HomePath = u"/nonexistent/";
    state.SetDefaults();
    SilentReaderUi ui;
    try {
        ReadCharacterFile(state, ui, path);
    } catch (const VbError&) {
        // A malformed file is an error with its text: what the caller shows.
    }
    // Whatever happened, the program must not stay busy, and what was read
    // must be usable by a sheet script.
    if (state.Busy != kFalse)
        std::abort();
    const KVRCharacter& character = state.currentCharacter();
    for (int16_t list = 1; list <= kItemListCount; ++list)
        for (const auto& item : character.list(list)) {
            try {
                (void)item->TagFullName();
            } catch (const VbError&) {
            }
        }
    return 0;
}
