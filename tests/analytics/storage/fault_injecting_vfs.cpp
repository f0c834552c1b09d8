#include "tests/analytics/storage/fault_injecting_vfs.h"

#include <cstring>

namespace quorvel::testing {

namespace {

using Call = FaultInjectingVfs::Call;

// Our file in front of the wrapped file system's, which lives right after it in the same allocation.
struct FaultFile {
    sqlite3_file base;
    sqlite3_file* real;
    FaultInjectingVfs* owner;
};

FaultInjectingVfs* ownerOf(sqlite3_vfs* vfs) {
    return static_cast<FaultInjectingVfs*>(vfs->pAppData);
}

sqlite3_file* realFile(sqlite3_file* file) {
    return reinterpret_cast<FaultFile*>(file)->real;
}

int intercept(sqlite3_file* file, Call call, bool isWriteStep) {
    return reinterpret_cast<FaultFile*>(file)->owner->intercept(call, isWriteStep);
}

int fileClose(sqlite3_file* file) {
    return realFile(file)->pMethods->xClose(realFile(file));
}

int fileRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    const int injected = intercept(file, Call::Read, false);
    if (injected != SQLITE_OK) return injected;
    return realFile(file)->pMethods->xRead(realFile(file), buffer, amount, offset);
}

int fileWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    const int injected = intercept(file, Call::Write, true);
    if (injected != SQLITE_OK) return injected;
    return realFile(file)->pMethods->xWrite(realFile(file), buffer, amount, offset);
}

int fileTruncate(sqlite3_file* file, sqlite3_int64 size) {
    const int injected = intercept(file, Call::Truncate, true);
    if (injected != SQLITE_OK) return injected;
    return realFile(file)->pMethods->xTruncate(realFile(file), size);
}

int fileSync(sqlite3_file* file, int flags) {
    const int injected = intercept(file, Call::Sync, true);
    if (injected != SQLITE_OK) return injected;
    return realFile(file)->pMethods->xSync(realFile(file), flags);
}

int fileSize(sqlite3_file* file, sqlite3_int64* size) {
    return realFile(file)->pMethods->xFileSize(realFile(file), size);
}

int fileLock(sqlite3_file* file, int level) {
    const int injected = intercept(file, Call::Lock, false);
    if (injected != SQLITE_OK) return injected;
    return realFile(file)->pMethods->xLock(realFile(file), level);
}

int fileUnlock(sqlite3_file* file, int level) {
    return realFile(file)->pMethods->xUnlock(realFile(file), level);
}

int fileCheckReservedLock(sqlite3_file* file, int* reserved) {
    return realFile(file)->pMethods->xCheckReservedLock(realFile(file), reserved);
}

int fileControl(sqlite3_file* file, int operation, void* argument) {
    return realFile(file)->pMethods->xFileControl(realFile(file), operation, argument);
}

int fileSectorSize(sqlite3_file* file) {
    return realFile(file)->pMethods->xSectorSize(realFile(file));
}

int fileDeviceCharacteristics(sqlite3_file* file) {
    return realFile(file)->pMethods->xDeviceCharacteristics(realFile(file));
}

// Version 1: no shared memory and no memory mapping, so every page goes through xRead and xWrite.
const sqlite3_io_methods kFileMethods = [] {
    sqlite3_io_methods methods{};
    methods.iVersion = 1;
    methods.xClose = fileClose;
    methods.xRead = fileRead;
    methods.xWrite = fileWrite;
    methods.xTruncate = fileTruncate;
    methods.xSync = fileSync;
    methods.xFileSize = fileSize;
    methods.xLock = fileLock;
    methods.xUnlock = fileUnlock;
    methods.xCheckReservedLock = fileCheckReservedLock;
    methods.xFileControl = fileControl;
    methods.xSectorSize = fileSectorSize;
    methods.xDeviceCharacteristics = fileDeviceCharacteristics;
    return methods;
}();

int vfsOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    auto* owner = ownerOf(vfs);
    auto* fault = reinterpret_cast<FaultFile*>(file);
    fault->base.pMethods = nullptr;
    fault->real = reinterpret_cast<sqlite3_file*>(fault + 1);
    fault->owner = owner;
    const int injected = owner->intercept(Call::Open, (flags & SQLITE_OPEN_MAIN_DB) == 0);
    if (injected != SQLITE_OK) return injected;
    const int result = owner->wrapped()->xOpen(owner->wrapped(), name, fault->real, flags, outFlags);
    if (result == SQLITE_OK) fault->base.pMethods = &kFileMethods;
    return result;
}

int vfsDelete(sqlite3_vfs* vfs, const char* name, int syncDirectory) {
    auto* owner = ownerOf(vfs);
    const int injected = owner->intercept(Call::Delete, true);
    if (injected != SQLITE_OK) return injected;
    return owner->wrapped()->xDelete(owner->wrapped(), name, syncDirectory);
}

int vfsAccess(sqlite3_vfs* vfs, const char* name, int flags, int* result) {
    return ownerOf(vfs)->wrapped()->xAccess(ownerOf(vfs)->wrapped(), name, flags, result);
}

int vfsFullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out) {
    return ownerOf(vfs)->wrapped()->xFullPathname(ownerOf(vfs)->wrapped(), name, size, out);
}

void* vfsDlOpen(sqlite3_vfs* vfs, const char* name) {
    return ownerOf(vfs)->wrapped()->xDlOpen(ownerOf(vfs)->wrapped(), name);
}

void vfsDlError(sqlite3_vfs* vfs, int size, char* message) {
    ownerOf(vfs)->wrapped()->xDlError(ownerOf(vfs)->wrapped(), size, message);
}

void (*vfsDlSym(sqlite3_vfs* vfs, void* library, const char* symbol))(void) {
    return ownerOf(vfs)->wrapped()->xDlSym(ownerOf(vfs)->wrapped(), library, symbol);
}

void vfsDlClose(sqlite3_vfs* vfs, void* library) {
    ownerOf(vfs)->wrapped()->xDlClose(ownerOf(vfs)->wrapped(), library);
}

int vfsRandomness(sqlite3_vfs* vfs, int size, char* out) {
    return ownerOf(vfs)->wrapped()->xRandomness(ownerOf(vfs)->wrapped(), size, out);
}

int vfsSleep(sqlite3_vfs* vfs, int microseconds) {
    return ownerOf(vfs)->wrapped()->xSleep(ownerOf(vfs)->wrapped(), microseconds);
}

int vfsCurrentTime(sqlite3_vfs* vfs, double* now) {
    return ownerOf(vfs)->wrapped()->xCurrentTime(ownerOf(vfs)->wrapped(), now);
}

int vfsGetLastError(sqlite3_vfs* vfs, int size, char* out) {
    return ownerOf(vfs)->wrapped()->xGetLastError(ownerOf(vfs)->wrapped(), size, out);
}

int vfsCurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* now) {
    return ownerOf(vfs)->wrapped()->xCurrentTimeInt64(ownerOf(vfs)->wrapped(), now);
}

// The code a write step fails with: a full disk for writes when asked, else the I/O error of its call.
int writeStepCode(Call call, int fullOrIOError) {
    if (fullOrIOError == SQLITE_FULL && call == Call::Write) return SQLITE_FULL;
    switch (call) {
        case Call::Open:
            return SQLITE_CANTOPEN;
        case Call::Write:
            return SQLITE_IOERR_WRITE;
        case Call::Truncate:
            return SQLITE_IOERR_TRUNCATE;
        case Call::Sync:
            return SQLITE_IOERR_FSYNC;
        case Call::Delete:
            return SQLITE_IOERR_DELETE;
        default:
            return SQLITE_IOERR;
    }
}

}  // namespace

FaultInjectingVfs::FaultInjectingVfs() : wrapped_(sqlite3_vfs_find(nullptr)) {
    vfs_.iVersion = 2;
    vfs_.szOsFile = static_cast<int>(sizeof(FaultFile)) + wrapped_->szOsFile;
    vfs_.mxPathname = wrapped_->mxPathname;
    vfs_.zName = "quorvel-faults";
    vfs_.pAppData = this;
    vfs_.xOpen = vfsOpen;
    vfs_.xDelete = vfsDelete;
    vfs_.xAccess = vfsAccess;
    vfs_.xFullPathname = vfsFullPathname;
    vfs_.xDlOpen = vfsDlOpen;
    vfs_.xDlError = vfsDlError;
    vfs_.xDlSym = vfsDlSym;
    vfs_.xDlClose = vfsDlClose;
    vfs_.xRandomness = vfsRandomness;
    vfs_.xSleep = vfsSleep;
    vfs_.xCurrentTime = vfsCurrentTime;
    vfs_.xGetLastError = vfsGetLastError;
    vfs_.xCurrentTimeInt64 = vfsCurrentTimeInt64;
    sqlite3_vfs_register(&vfs_, 1);
}

FaultInjectingVfs::~FaultInjectingVfs() {
    sqlite3_vfs_unregister(&vfs_);
}

void FaultInjectingVfs::fail(Call call, int resultCode, int skip, int times) {
    platform::MutexLock lock(mutex_);
    rules_[static_cast<std::size_t>(call)] = {resultCode, skip, times};
}

void FaultInjectingVfs::failWriteStep(int index, int fullOrIOError) {
    platform::MutexLock lock(mutex_);
    failingWriteStep_ = writeSteps_ + index;
    writeStepCode_ = fullOrIOError;
}

void FaultInjectingVfs::clear() {
    platform::MutexLock lock(mutex_);
    rules_ = {};
    failingWriteStep_ = -1;
}

int FaultInjectingVfs::count(Call call) const {
    platform::MutexLock lock(mutex_);
    return counts_[static_cast<std::size_t>(call)];
}

int FaultInjectingVfs::writeSteps() const {
    platform::MutexLock lock(mutex_);
    return writeSteps_;
}

void FaultInjectingVfs::resetCounts() {
    platform::MutexLock lock(mutex_);
    counts_ = {};
    if (failingWriteStep_ >= 0) failingWriteStep_ -= writeSteps_;
    writeSteps_ = 0;
}

int FaultInjectingVfs::intercept(Call call, bool isWriteStep) {
    platform::MutexLock lock(mutex_);
    ++counts_[static_cast<std::size_t>(call)];
    if (isWriteStep && writeSteps_++ == failingWriteStep_) return writeStepCode(call, writeStepCode_);
    Rule& rule = rules_[static_cast<std::size_t>(call)];
    if (rule.resultCode == SQLITE_OK || rule.times == 0) return SQLITE_OK;
    if (rule.skip > 0) {
        --rule.skip;
        return SQLITE_OK;
    }
    if (rule.times > 0) --rule.times;
    return rule.resultCode;
}

}  // namespace quorvel::testing
