#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// Clang's thread-safety analysis: a member says which mutex guards it, a function which mutex it needs
// or must not hold, and a build with -Wthread-safety checks every access. Other compilers ignore them.
#if defined(__clang__)
#define QV_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define QV_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(name) QV_THREAD_ANNOTATION(capability(name))
#define SCOPED_CAPABILITY QV_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(mutex) QV_THREAD_ANNOTATION(guarded_by(mutex))
#define ACQUIRED_BEFORE(...) QV_THREAD_ANNOTATION(acquired_before(__VA_ARGS__))
#define ACQUIRED_AFTER(...) QV_THREAD_ANNOTATION(acquired_after(__VA_ARGS__))
#define REQUIRES(...) QV_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define ACQUIRE(...) QV_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) QV_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define EXCLUDES(...) QV_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))

namespace platform {

// A std::mutex the analysis knows about (the standard library's own carries no annotations).
class CAPABILITY("mutex") Mutex {
public:
    void lock() ACQUIRE() { mutex_.lock(); }
    void unlock() RELEASE() { mutex_.unlock(); }

private:
    friend class MutexLock;
    std::mutex mutex_;
};

// Holds a Mutex for its scope. It may be released and taken again inside the scope, and condition
// variables wait through it: the analysis then sees the mutex held before and after every wait, so
// guarded members read in a wait loop are checked like any others.
class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : lock_(mutex.mutex_) {}
    ~MutexLock() RELEASE() {}
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

    void unlock() RELEASE() { lock_.unlock(); }
    void lock() ACQUIRE() { lock_.lock(); }

    void wait(std::condition_variable& condition) { condition.wait(lock_); }
    // False when the time ran out.
    template <class Rep, class Period>
    bool waitFor(std::condition_variable& condition, std::chrono::duration<Rep, Period> timeout) {
        return condition.wait_for(lock_, timeout) == std::cv_status::no_timeout;
    }
    template <class TimePoint>
    bool waitUntil(std::condition_variable& condition, TimePoint deadline) {
        return condition.wait_until(lock_, deadline) == std::cv_status::no_timeout;
    }

private:
    std::unique_lock<std::mutex> lock_;
};

}  // namespace platform
