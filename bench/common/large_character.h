// Generated characters for the printing benchmarks: the large one has
// 2,055 items (1,000 skills, 700 spells, 300 advantages and a few of every
// other kind) and a long description and notes, which the bundled sheet
// prints on about 43 pages.  The text is deterministic, so every run and
// every build prints the same pages.
#pragma once

#include <filesystem>
#include <string>

namespace quillet::bench {

// The character file's text; `scale` multiplies every item list (2 and 4
// check that the cost grows linearly).
std::string largeCharacterText(int scale = 1);

// A sheet script that draws nothing: what is left is the program's start,
// reading the character and writing an empty document.
inline constexpr const char* kEmptySheet = "'VBScript\r\nSub main\r\nEnd Sub\r\n";

// A folder in the system's temporary folder, removed with everything in it
// when this goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path path_;
};

} // namespace quillet::bench
