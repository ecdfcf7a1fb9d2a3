// The replaced global operator new and delete. They allocate with malloc and free, and count
// while a scenario is watched.

#include "allocation_hook.h"

#include <cstdlib>
#include <new>

namespace {

struct Watch {
    bool counting = false;
    bool paused = false;
    uint64_t count = 0;
    uint64_t failAt = 0;
    bool failed = false;
    void (*observer)(uint64_t) = nullptr;
};

Watch g_watch;

// Counts one allocation; true when it is the one that must fail.
bool CountAllocation() {
    if (!g_watch.counting || g_watch.paused) {
        return false;
    }
    ++g_watch.count;
    if (g_watch.observer != nullptr) {
        g_watch.paused = true;
        g_watch.observer(g_watch.count);
        g_watch.paused = false;
    }
    if (g_watch.count != g_watch.failAt) {
        return false;
    }
    // One failure only: the handler's box, the clean-up and the exit must be able to run.
    g_watch.counting = false;
    g_watch.failed = true;
    return true;
}

void* Allocate(std::size_t size) {
    if (CountAllocation()) {
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) {
            throw std::bad_alloc();
        }
        // A handler that returns has freed memory: try again, as operator new does.
        handler();
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void* AllocateNoThrow(std::size_t size) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

namespace fault {

void StartCounting(uint64_t failAt) {
    g_watch.count = 0;
    g_watch.failAt = failAt;
    g_watch.failed = false;
    g_watch.paused = false;
    g_watch.counting = true;
}

uint64_t StopCounting() {
    g_watch.counting = false;
    return g_watch.count;
}

bool AllocationFailed() {
    return g_watch.failed;
}

void SetAllocationObserver(void (*observer)(uint64_t number)) {
    g_watch.observer = observer;
}

NotCounted::NotCounted() : wasPaused(g_watch.paused) {
    g_watch.paused = true;
}

NotCounted::~NotCounted() {
    g_watch.paused = wasPaused;
}

}  // namespace fault

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateNoThrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateNoThrow(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
