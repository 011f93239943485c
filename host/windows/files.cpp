// Files on Windows. A file is replaced whole or not at all: the new file is
// written beside the target, flushed to disk, and moved over it in one step
// (a plain rename fails on Windows when the target exists); anything that is
// neither a file nor missing (a device) is written in place. A file is read
// whole through its own reads, in binary. Paths are UTF-8.
#include "host/files.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "host/windows/text.h"

namespace {

using Writer = bool (*)(std::FILE* file, const void* what);

void setErrno(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: errno = EACCES; break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
    case ERROR_FILENAME_EXCED_RANGE: errno = ENAMETOOLONG; break;
    default: errno = EIO; break;
    }
}

bool saveInPlace(const std::wstring& path, Writer write, const void* what) {
    std::FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) return false;
    const bool written = write(file, what);
    return std::fclose(file) == 0 && written;
}

// ".img-<pid>-<attempt>.saving" in the target's folder, made new (never an
// existing file), written, flushed to disk, then moved over the target.
bool saveReplacing(const std::wstring& path, Writer write, const void* what) {
    const std::size_t slash = path.find_last_of(L"/\\");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    std::wstring temp;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temp = folder + L".img-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) +
               L".saving";
        handle = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            setErrno(GetLastError());
            return false;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) return false;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    std::FILE* file = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
    if (file == nullptr) {
        if (fd >= 0) {
            _close(fd);
        } else {
            CloseHandle(handle);
        }
        DeleteFileW(temp.c_str());
        return false;
    }
    bool ok = write(file, what) && std::fflush(file) == 0 && FlushFileBuffers(handle) != 0;
    ok = std::fclose(file) == 0 && ok;
    if (ok && MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        setErrno(GetLastError());
        ok = false;
    }
    if (!ok) {
        const int why = errno;
        DeleteFileW(temp.c_str());
        errno = why;
    }
    return ok;
}

}  // namespace

bool HOSTSaveThrough(const char* path, Writer write, const void* what) {
    const std::wstring wide = HOSTWide(path);
    if (wide.empty()) {
        errno = path == nullptr || path[0] == '\0' ? ENOENT : EINVAL;
        return false;
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return saveReplacing(wide, write, what);
        if (error == ERROR_PATH_NOT_FOUND) {
            errno = ENOENT;
            return false;
        }
        return saveInPlace(wide, write, what);   // a device name, say
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        errno = EISDIR;
        return false;
    }
    return saveReplacing(wide, write, what);
}

// "N": the stream is not inherited by child processes.
std::FILE* HOSTOpenWrite(const char* path) {
    const std::wstring wide = HOSTWide(path);
    if (wide.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    return _wfopen(wide.c_str(), L"wbN");
}

bool HOSTFileLength(std::FILE* file, std::uint64_t* length) {
    if (file == nullptr || length == nullptr) return false;
    const int fd = _fileno(file);
    struct _stat64 status {};
    if (fd < 0 || _fstat64(fd, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG || status.st_size <= 0 ||
        _lseeki64(fd, 0, SEEK_SET) != 0) {
        return false;
    }
    _setmode(fd, _O_BINARY);
    *length = static_cast<std::uint64_t>(status.st_size);
    return true;
}

std::int64_t HOSTReadSome(std::FILE* file, void* to, std::size_t count) {
    const int fd = file != nullptr ? _fileno(file) : -1;
    if (fd < 0) return -1;
    _setmode(fd, _O_BINARY);
    const unsigned chunk = count > 0x40000000u ? 0x40000000u : static_cast<unsigned>(count);
    return _read(fd, to, chunk);
}

std::filesystem::path HOSTPath(const char* path) { return std::filesystem::path(HOSTWide(path)); }
