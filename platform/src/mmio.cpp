// RIFF files through the multimedia file calls, with a write buffer.
#include "paths.h"

#include <mmsystem.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t BUFFER_BYTES = 8192;

struct MmioFile {
    int descriptor = -1;
    bool buffered = false;
    std::vector<char> pending;  // bytes not yet written, starting at pendingStart
    off_t pendingStart = 0;
    off_t position = 0;
    bool failed = false;
};

struct MmioFiles {
    std::mutex mutex;
    std::map<uintptr_t, std::shared_ptr<MmioFile>> open;
    uintptr_t next = 0x70000;
};

MmioFiles& files() {
    static MmioFiles* instance = new MmioFiles;
    return *instance;
}

std::shared_ptr<MmioFile> fileOf(HMMIO handle) {
    std::lock_guard<std::mutex> lock(files().mutex);
    auto found = files().open.find(reinterpret_cast<uintptr_t>(handle));
    return found == files().open.end() ? nullptr : found->second;
}

bool writeAt(int descriptor, const char* data, size_t count, off_t offset) {
    while (count > 0) {
        ssize_t written = pwrite(descriptor, data, count, offset);
        if (written <= 0) return false;
        data += written;
        count -= static_cast<size_t>(written);
        offset += written;
    }
    return true;
}

bool flush(MmioFile& file) {
    if (!file.pending.empty()) {
        if (!writeAt(file.descriptor, file.pending.data(), file.pending.size(), file.pendingStart))
            file.failed = true;
        file.pending.clear();
    }
    file.pendingStart = file.position;
    return !file.failed;
}

bool write(MmioFile& file, const char* data, size_t count) {
    if (!file.buffered) {
        if (!writeAt(file.descriptor, data, count, file.position)) return false;
        file.position += static_cast<off_t>(count);
        return true;
    }
    if (file.pending.empty()) file.pendingStart = file.position;
    file.pending.insert(file.pending.end(), data, data + count);
    file.position += static_cast<off_t>(count);
    return file.pending.size() < BUFFER_BYTES || flush(file);
}

bool seekTo(MmioFile& file, off_t offset) {
    if (!flush(file)) return false;
    file.position = offset;
    file.pendingStart = offset;
    return true;
}

bool writeNumber(MmioFile& file, DWORD value) {
    char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                     static_cast<char>((value >> 16) & 0xFF), static_cast<char>((value >> 24) & 0xFF)};
    return write(file, bytes, sizeof bytes);
}

}  // namespace

HMMIO WINAPI mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags) {
    auto fail = [info](UINT error) {
        if (info) info->wErrorRet = error;
        return static_cast<HMMIO>(nullptr);
    };
    if (!fileName || !*fileName) return fail(MMIOERR_CANNOTOPEN);
    std::string path = zplat::hostPathFor(fileName);
    int access = (flags & MMIO_READWRITE) ? O_RDWR : (flags & MMIO_WRITE) ? O_WRONLY : O_RDONLY;
    if (flags & MMIO_CREATE) access |= O_CREAT;
    // No O_TRUNC: the file is cut only once the hold on it has been taken.
    int descriptor = open(path.c_str(), access | O_CLOEXEC, 0644);
    if (descriptor < 0) return fail((flags & MMIO_CREATE) ? MMIOERR_CANNOTOPEN : MMIOERR_FILENOTFOUND);
    DWORD sharing = flags & 0x70;
    int hold = sharing == MMIO_EXCLUSIVE ? LOCK_EX : LOCK_SH;
    if (flock(descriptor, hold | LOCK_NB) != 0) {
        close(descriptor);
        return fail(MMIOERR_CANNOTOPEN);
    }
    if ((flags & MMIO_CREATE) && ftruncate(descriptor, 0) != 0) {
        close(descriptor);
        return fail(MMIOERR_CANNOTWRITE);
    }
    auto file = std::make_shared<MmioFile>();
    file->descriptor = descriptor;
    file->buffered = (flags & MMIO_ALLOCBUF) != 0;
    std::lock_guard<std::mutex> lock(files().mutex);
    uintptr_t handle = files().next;
    files().next += 0x10;
    files().open[handle] = file;
    if (info) info->wErrorRet = 0;
    return reinterpret_cast<HMMIO>(handle);
}

MMRESULT WINAPI mmioClose(HMMIO handle, UINT) {
    std::shared_ptr<MmioFile> file;
    {
        std::lock_guard<std::mutex> lock(files().mutex);
        auto found = files().open.find(reinterpret_cast<uintptr_t>(handle));
        if (found == files().open.end()) return MMSYSERR_INVALHANDLE;
        file = found->second;
        files().open.erase(found);
    }
    bool written = flush(*file);
    close(file->descriptor);  // also gives up the hold
    return written ? MMSYSERR_NOERROR : MMIOERR_CANNOTWRITE;
}

LONG WINAPI mmioWrite(HMMIO handle, const char* data, LONG count) {
    auto file = fileOf(handle);
    if (!file || count < 0 || (!data && count > 0)) return -1;
    return write(*file, data, static_cast<size_t>(count)) ? count : -1;
}

LONG WINAPI mmioRead(HMMIO handle, char* data, LONG count) {
    auto file = fileOf(handle);
    if (!file || count < 0 || (!data && count > 0) || !flush(*file)) return -1;
    ssize_t got = pread(file->descriptor, data, static_cast<size_t>(count), file->position);
    if (got < 0) return -1;
    file->position += got;
    file->pendingStart = file->position;
    return static_cast<LONG>(got);
}

LONG WINAPI mmioSeek(HMMIO handle, LONG offset, int origin) {
    auto file = fileOf(handle);
    if (!file || !flush(*file)) return -1;
    off_t base = 0;
    if (origin == SEEK_CUR) base = file->position;
    if (origin == SEEK_END) base = lseek(file->descriptor, 0, SEEK_END);
    off_t target = base + offset;
    if (target < 0 || !seekTo(*file, target)) return -1;
    return static_cast<LONG>(target);
}

MMRESULT WINAPI mmioCreateChunk(HMMIO handle, LPMMCKINFO chunk, UINT flags) {
    auto file = fileOf(handle);
    if (!file) return MMSYSERR_INVALHANDLE;
    if (!chunk) return MMSYSERR_INVALPARAM;
    if (flags & MMIO_CREATERIFF) chunk->ckid = FOURCC_RIFF;
    if (flags & MMIO_CREATELIST) chunk->ckid = FOURCC_LIST;
    bool withType = (flags & (MMIO_CREATERIFF | MMIO_CREATELIST)) != 0;
    off_t start = file->position;
    bool written = writeNumber(*file, chunk->ckid) && writeNumber(*file, chunk->cksize) &&
                   (!withType || writeNumber(*file, chunk->fccType));
    if (!written) return MMIOERR_CANNOTWRITE;
    chunk->dwDataOffset = static_cast<DWORD>(start + 8);  // a form type counts as data
    chunk->dwFlags = MMIO_DIRTY;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mmioAscend(HMMIO handle, LPMMCKINFO chunk, UINT) {
    auto file = fileOf(handle);
    if (!file) return MMSYSERR_INVALHANDLE;
    if (!chunk || file->position < static_cast<off_t>(chunk->dwDataOffset)) return MMSYSERR_INVALPARAM;
    off_t end = file->position;
    DWORD actual = static_cast<DWORD>(end - chunk->dwDataOffset);
    if (actual != chunk->cksize) {
        if (!seekTo(*file, static_cast<off_t>(chunk->dwDataOffset) - 4) ||
            !writeNumber(*file, actual) || !seekTo(*file, end))
            return MMIOERR_CANNOTWRITE;
        chunk->cksize = actual;
    }
    if (actual % 2 != 0 && !write(*file, "", 1)) return MMIOERR_CANNOTWRITE;
    chunk->dwFlags = 0;
    return MMSYSERR_NOERROR;
}
