#include "platform/fileops.h"

#include <chrono>
#include <filesystem>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

FilePtr openfile(const std::string& name, const char* mode)
{
    return FilePtr(std::fopen(name.c_str(), mode));
}

namespace {

enum class Made { ok, taken, failed };

// Creates name, failing when anything has that name already.
Made createnew(const std::string& name, FilePtr& file)
{
#ifdef _WIN32
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Made::taken : Made::failed;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR | _O_BINARY);
    if (fd == -1) {
        CloseHandle(h);
    } else {
        file.reset(_fdopen(fd, "w+b"));
        if (!file)
            _close(fd);
    }
    if (!file)
        DeleteFileA(name.c_str());
#else
    const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == EEXIST ? Made::taken : Made::failed;
    file.reset(fdopen(fd, "w+b"));
    if (!file) {
        close(fd);
        unlink(name.c_str());
    }
#endif
    return file ? Made::ok : Made::failed;
}

// Names another process cannot foresee, without a source that may be
// missing: the clock and the process number seed the generator.
std::uint32_t randomname()
{
#ifdef _WIN32
    const std::uint64_t pid = GetCurrentProcessId();
#else
    const std::uint64_t pid = static_cast<std::uint64_t>(getpid());
#endif
    static std::mt19937_64 gen(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                               (pid << 32));
    return static_cast<std::uint32_t>(gen());
}

}  // namespace

FilePtr createunique(const std::string& beside, std::string& name)
{
    FilePtr file;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(randomname()));
        name = beside + suffix;
        if (createnew(name, file) != Made::taken)
            return file;
    }
    return file;
}

long long filesize(std::FILE* f)
{
#ifdef _WIN32
    if (_fseeki64(f, 0, SEEK_END) != 0)
        return -1;
#else
    if (fseeko(f, 0, SEEK_END) != 0)
        return -1;
#endif
    return tellfile(f);
}

bool seekfile(std::FILE* f, long long pos)
{
#ifdef _WIN32
    return _fseeki64(f, pos, SEEK_SET) == 0;
#else
    return fseeko(f, pos, SEEK_SET) == 0;
#endif
}

long long tellfile(std::FILE* f)
{
#ifdef _WIN32
    return _ftelli64(f);
#else
    return ftello(f);
#endif
}

bool replacefile(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    // Another program may hold the old file open for a moment (a virus
    // scanner, an indexer, another run comparing names), and Windows then
    // refuses to replace it: the replacement is tried for a second.
    for (int tries = 1;; ++tries) {
        if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING))
            return true;
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || tries == 50)
            return false;
        Sleep(20);
    }
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool samefile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}
