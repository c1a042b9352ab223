// A fresh folder under /tmp for one test, removed with everything in it
// afterwards, plus a way to run a step as an unprivileged user so that
// permission checks bite even when the tests run as root.
#pragma once

#include "common/text.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillet::testing {

class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/quillet-test-XXXXXX";
        if (::mkdtemp(pattern) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // The folder as HomePath holds it: ending in "/".
    Text home() const { return fromUtf8(path_ + "/"); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(file(name), std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }
    size_t entryCount() const
    {
        size_t n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path_))
            ++n;
        return n;
    }

private:
    std::string path_;
};

// Runs `step` as another, unprivileged user (user and group 65534) in a
// child process.  Only root can switch users: nothing otherwise, and
// nothing when the step could not be run.  The step must not use test
// assertions; it reports through its result.
inline std::optional<bool> runAsOtherUser(const std::function<bool()>& step)
{
    if (::geteuid() != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(step() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

// Runs `step` with the rights of an ordinary user, so that permission
// checks bite even when the tests run as root: directly when we are not
// root, as another user when we are.
inline std::optional<bool> runUnprivileged(const std::function<bool()>& step)
{
    if (::geteuid() != 0)
        return step();
    return runAsOtherUser(step);
}

} // namespace quillet::testing
