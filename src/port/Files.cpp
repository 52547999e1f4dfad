// Win32 file handles over POSIX descriptors; where the world and the player's settings are.
#include "Platform.h"
#include "port/Port.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// A handle is the descriptor plus one, so that no valid handle is null.
HANDLE ToHandle(int fd)
{
    return reinterpret_cast<HANDLE>(intptr_t(fd) + 1);
}
int ToFd(HANDLE handle)
{
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return -1;
    return int(reinterpret_cast<intptr_t>(handle) - 1);
}
} // namespace

namespace port
{
namespace
{
std::string worldFolder; // empty: the current folder
// What marks a folder as holding the world; the settings file says nothing about it.
const char* const WORLD_MARK = "Data/hmap.dat";
} // namespace

void FindWorld()
{
    worldFolder.clear();
    if (access(WORLD_MARK, F_OK) == 0)
        return;
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return;
    std::string program(self, size_t(length));
    std::string installed = program.substr(0, program.rfind('/') + 1) + "../share/gloamfield/";
    if (access((installed + WORLD_MARK).c_str(), F_OK) == 0)
        worldFolder = installed;
}

std::string NativePath(const char* windowsPath)
{
    std::string path = windowsPath ? windowsPath : "";
    for (char& c : path)
        if (c == '\\')
            c = '/';
    // Only the world comes from the world's folder; any other relative path (a settings
    // file, a demo) is the current folder's, as the player gave it.
    if (!worldFolder.empty() && path.compare(0, 5, "Data/") == 0)
        path = worldFolder + path;
    return path;
}
} // namespace port

const char* PlayerSettingsFolder()
{
    // The XDG base directories: $XDG_CONFIG_HOME when it is an absolute path, else
    // ~/.config; the home folder from the user database when $HOME names none.
    static std::string folder;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/')
        folder = config;
    else
    {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/')
        {
            const passwd* user = getpwuid(getuid());
            home = user ? user->pw_dir : nullptr;
        }
        if (home == nullptr || home[0] != '/')
            return nullptr;
        folder = std::string(home) + "/.config";
    }
    if (folder.back() != '/')
        folder += '/';
    folder += "gloamfield/";
    return folder.c_str();
}

namespace
{
HANDLE OpenPath(const std::string& path, DWORD desiredAccess, DWORD creationDisposition)
{
    if (path.empty())
    {
        errno = ENOENT;
        return INVALID_HANDLE_VALUE;
    }
    int flags = 0;
    bool reading = (desiredAccess & GENERIC_READ) != 0;
    bool writing = (desiredAccess & GENERIC_WRITE) != 0;
    flags = reading && writing ? O_RDWR : writing ? O_WRONLY : O_RDONLY;
    switch (creationDisposition)
    {
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    default:
        errno = EINVAL;
        return INVALID_HANDLE_VALUE;
    }
    // Never blocks: a named pipe with no writer would otherwise hold the open for good.
    int fd = open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    // A directory opens on POSIX but is not a file on Windows.
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))
    {
        close(fd);
        errno = EISDIR;
        return INVALID_HANDLE_VALUE;
    }
    if (S_ISREG(info.st_mode))
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return ToHandle(fd);
}
} // namespace

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/,
                          LPSECURITY_ATTRIBUTES, DWORD creationDisposition, DWORD, HANDLE)
{
    if (fileName == nullptr || fileName[0] == '\0')
        return INVALID_HANDLE_VALUE;
    return OpenPath(port::NativePath(fileName), desiredAccess, creationDisposition);
}

HANDLE CreateFileUtf8(const char* name, DWORD access, DWORD /*share*/, DWORD disposition)
{
    return OpenPath(name ? name : "", access, disposition);
}

DWORD GetFileAttributesUtf8(const char* name)
{
    struct stat info;
    if (name == nullptr || stat(name, &info) != 0)
        return INVALID_FILE_ATTRIBUTES;
    if (S_ISDIR(info.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    if (!S_ISREG(info.st_mode))
        return FILE_ATTRIBUTE_DEVICE;
    return access(name, W_OK) == 0 ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

BOOL MoveFileUtf8(const char* from, const char* to)
{
    return rename(from, to) == 0;
}

BOOL DeleteFileUtf8(const char* name)
{
    return unlink(name) == 0;
}

std::string LastErrorText()
{
    return std::strerror(errno);
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED)
{
    if (bytesRead)
        *bytesRead = 0;
    int fd = ToFd(file);
    if (fd < 0 || (buffer == nullptr && bytesToRead > 0))
        return FALSE;
    DWORD total = 0;
    char* out = static_cast<char*>(buffer);
    while (total < bytesToRead)
    {
        ssize_t n = read(fd, out + total, bytesToRead - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            if (bytesRead)
                *bytesRead = total;
            return FALSE;
        }
        if (n == 0)
            break;
        total += DWORD(n);
    }
    if (bytesRead)
        *bytesRead = total;
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh,
                            DWORD moveMethod)
{
    int fd = ToFd(file);
    int whence = moveMethod == FILE_BEGIN     ? SEEK_SET
                 : moveMethod == FILE_CURRENT ? SEEK_CUR
                                              : SEEK_END;
    if (fd < 0 || moveMethod > FILE_END)
        return INVALID_SET_FILE_POINTER;
    off_t offset = distanceToMove;
    if (distanceToMoveHigh)
        offset = off_t((uint64_t(uint32_t(*distanceToMoveHigh)) << 32) | uint32_t(distanceToMove));
    off_t result = lseek(fd, offset, whence);
    if (result < 0)
    {
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceToMoveHigh)
        *distanceToMoveHigh = LONG(uint64_t(result) >> 32);
    return DWORD(uint64_t(result) & 0xFFFFFFFFu);
}

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD fileSizeHigh)
{
    int fd = ToFd(file);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0)
        return INVALID_FILE_SIZE;
    if (fileSizeHigh)
        *fileSizeHigh = DWORD(uint64_t(info.st_size) >> 32);
    return DWORD(uint64_t(info.st_size) & 0xFFFFFFFFu);
}

DWORD WINAPI GetFileType(HANDLE file)
{
    int fd = ToFd(file);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0)
        return FILE_TYPE_UNKNOWN;
    if (S_ISREG(info.st_mode))
        return FILE_TYPE_DISK;
    if (S_ISCHR(info.st_mode))
        return FILE_TYPE_CHAR;
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))
        return FILE_TYPE_PIPE;
    return FILE_TYPE_UNKNOWN;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                      LPOVERLAPPED)
{
    if (bytesWritten)
        *bytesWritten = 0;
    int fd = ToFd(file);
    if (fd < 0 || (buffer == nullptr && bytesToWrite > 0))
    {
        errno = EBADF;
        return FALSE;
    }
    DWORD total = 0;
    const char* in = static_cast<const char*>(buffer);
    while (total < bytesToWrite)
    {
        ssize_t n = write(fd, in + total, bytesToWrite - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
        {
            if (n == 0)
                errno = EIO;
            break;
        }
        total += DWORD(n);
        if (bytesWritten)
            *bytesWritten = total;
    }
    return total == bytesToWrite;
}

BOOL WINAPI FlushFileBuffers(HANDLE file)
{
    int fd = ToFd(file);
    if (fd < 0)
        return FALSE;
    // As on Windows, a handle opened only for reading has nothing to flush and fails
    // (without the cost of a sync).
    int mode = fcntl(fd, F_GETFL);
    if (mode < 0 || (mode & O_ACCMODE) == O_RDONLY)
    {
        return FALSE;
    }
    return fsync(fd) == 0;
}

BOOL WINAPI CloseHandle(HANDLE object)
{
    int fd = ToFd(object);
    return fd >= 0 && close(fd) == 0;
}
