// heap_image.cpp: the region allocator behind every operator new of the
// client fuzz targets, and the image it is put back to.
#include "shared/fuzz/heap_image.h"

#include <dlfcn.h>
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

#define MJ_RAW __attribute__((no_sanitize("address")))

namespace mj::fuzz::heap_image {
namespace {

constexpr std::size_t RegionSize = std::size_t{4} << 30;
// Block alignment, header size and least tail.
constexpr std::size_t Granule = 16;
// What libFuzzer's malloc limit would refuse as one allocation.
constexpr std::size_t LargestBlock = std::size_t{2048} << 20;
constexpr std::uint32_t LiveTag = 0x6c697665;
constexpr std::uint32_t FreedTag = 0x66726565;

struct Header {
    std::uint64_t size;
    std::uint32_t tag;
    std::uint32_t array;
};
static_assert(sizeof(Header) == Granule);

struct Saved {
    char* top;
    char* bytes;
    char* shadow;
};

struct Region {
    char* base = nullptr;
    char* top = nullptr;
    // Bytes at and above high are poisoned: nothing was handed out there
    // since the last restore.
    char* high = nullptr;
    // A fixed table: its own bookkeeping must never land in the region.
    std::array<Saved, 16> images{};
    std::size_t imageCount = 0;
    std::size_t shadowScale = 3;
    std::size_t shadowOffset = 0;
};
// operator new can only find its heap through process-wide state.
Region region;
thread_local bool placing = false;
// Statics being made on this thread: theirs is the ordinary heap.
thread_local int makingStatics = 0;

[[noreturn]] void fail(const char* what, const void* p) {
    std::fprintf(stderr, "==heap image== %s: %p\n", what, p);
    __sanitizer_print_stack_trace();
    std::abort();
}

char* mapped(std::size_t bytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) fail("cannot map", nullptr);
    return static_cast<char*>(p);
}

void ensureRegion() {
    if (region.base) return;
    region.base = mapped(RegionSize);
    region.top = region.high = region.base;
    __asan_get_shadow_mapping(&region.shadowScale, &region.shadowOffset);
}

char* shadowOf(const char* p) {
    return reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(p) >> region.shadowScale) + region.shadowOffset);
}

// The C library's own copy: the sanitizer's would refuse poisoned bytes and
// shadow memory alike.
void rawCopy(char* to, const char* from, std::size_t bytes) {
    using Copy = void* (*)(void*, const void*, std::size_t);
    static const Copy copy = reinterpret_cast<Copy>(dlsym(RTLD_NEXT, "memcpy"));
    if (!copy) fail("no memcpy in the C library", nullptr);
    copy(to, from, bytes);
}

// Everything handed out at or above `from` becomes untouchable again, and
// the next block starts there.
void poisonAbove(char* from) {
    if (region.high > from) ASAN_POISON_MEMORY_REGION(from, static_cast<std::size_t>(region.high - from));
    region.top = region.high = from;
}

bool inRegion(const void* p) {
    const char* c = static_cast<const char*>(p);
    return region.base && c >= region.base && c < region.base + RegionSize;
}

std::uintptr_t roundUp(std::uintptr_t v, std::size_t to) { return (v + to - 1) / to * to; }

MJ_RAW void* allocate(std::size_t n, std::size_t align, bool array) {
    ensureRegion();
    if (n > LargestBlock) fail("allocation larger than the fuzzer's malloc limit", nullptr);
    align = std::max(align, Granule);
    char* const from = region.top;
    char* user = reinterpret_cast<char*>(roundUp(reinterpret_cast<std::uintptr_t>(from) + sizeof(Header), align));
    char* end = reinterpret_cast<char*>(roundUp(reinterpret_cast<std::uintptr_t>(user) + n + Granule, Granule));
    if (end > region.base + RegionSize) fail("region exhausted", nullptr);
    auto* h = reinterpret_cast<Header*>(user) - 1;
    h->size = n;
    h->tag = LiveTag;
    h->array = array ? 1 : 0;
    region.top = end;
    region.high = std::max(region.high, end);
    ASAN_POISON_MEMORY_REGION(from, static_cast<std::size_t>(user - from));
    ASAN_UNPOISON_MEMORY_REGION(user, n);
    ASAN_POISON_MEMORY_REGION(user + n, static_cast<std::size_t>(end - (user + n)));
    return user;
}

MJ_RAW void release(void* p, bool array, std::size_t sized) {
    auto* h = static_cast<Header*>(p) - 1;
    if (reinterpret_cast<std::uintptr_t>(p) % Granule != 0) fail("free of a pointer no allocation returned", p);
    if (h->tag == FreedTag) fail("double free", p);
    if (h->tag != LiveTag) fail("free of a pointer no allocation returned", p);
    if ((h->array != 0) != array) fail("new and delete of different forms (array / single)", p);
    if (sized != 0 && sized != h->size) fail("delete with a size other than the allocation's", p);
    h->tag = FreedTag;
    ASAN_POISON_MEMORY_REGION(p, h->size);
}

void* newBlock(std::size_t n, std::size_t align, bool array, bool mayFail) {
    if (placing && makingStatics == 0) return allocate(n, align, array);
    void* p = nullptr;
    if (align > alignof(std::max_align_t)) {
        if (posix_memalign(&p, align, std::max<std::size_t>(n, 1)) != 0) p = nullptr;
    } else {
        p = std::malloc(std::max<std::size_t>(n, 1));
    }
    if (!p && !mayFail) throw std::bad_alloc();
    return p;
}

void deleteBlock(void* p, bool array, std::size_t sized = 0) {
    if (!p) return;
    if (inRegion(p)) {
        release(p, array, sized);
    } else {
        std::free(p);
    }
}

}  // namespace

void place(bool on) {
    ensureRegion();
    placing = on;
}

void clear() {
    ensureRegion();
    poisonAbove(region.base);
}

MJ_RAW int take() {
    ensureRegion();
    const std::size_t bytes = static_cast<std::size_t>(region.top - region.base);
    const std::size_t shadowBytes = bytes >> region.shadowScale;
    Saved saved{region.top, mapped(std::max<std::size_t>(bytes, 1)), mapped(std::max<std::size_t>(shadowBytes, 1))};
    rawCopy(saved.bytes, region.base, bytes);
    rawCopy(saved.shadow, shadowOf(region.base), shadowBytes);
    if (region.imageCount == region.images.size()) fail("too many images", nullptr);
    region.images[region.imageCount] = saved;
    return static_cast<int>(region.imageCount++);
}

MJ_RAW void restore(int image) {
    if (image < 0 || static_cast<std::size_t>(image) >= region.imageCount) fail("no such image", nullptr);
    const Saved& saved = region.images[static_cast<std::size_t>(image)];
    const std::size_t bytes = static_cast<std::size_t>(saved.top - region.base);
    rawCopy(region.base, saved.bytes, bytes);
    rawCopy(shadowOf(region.base), saved.shadow, bytes >> region.shadowScale);
    poisonAbove(saved.top);
}

}  // namespace mj::fuzz::heap_image

namespace hi = mj::fuzz::heap_image;

// Every form of new and delete, so that none falls back to the sanitizer's.
void* operator new(std::size_t n) { return hi::newBlock(n, 0, false, false); }
void* operator new[](std::size_t n) { return hi::newBlock(n, 0, true, false); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return hi::newBlock(n, 0, false, true); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return hi::newBlock(n, 0, true, true); }
void* operator new(std::size_t n, std::align_val_t a) {
    return hi::newBlock(n, static_cast<std::size_t>(a), false, false);
}
void* operator new[](std::size_t n, std::align_val_t a) {
    return hi::newBlock(n, static_cast<std::size_t>(a), true, false);
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    return hi::newBlock(n, static_cast<std::size_t>(a), false, true);
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    return hi::newBlock(n, static_cast<std::size_t>(a), true, true);
}
void operator delete(void* p) noexcept { hi::deleteBlock(p, false); }
void operator delete[](void* p) noexcept { hi::deleteBlock(p, true); }
void operator delete(void* p, const std::nothrow_t&) noexcept { hi::deleteBlock(p, false); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { hi::deleteBlock(p, true); }
void operator delete(void* p, std::size_t n) noexcept { hi::deleteBlock(p, false, n); }
void operator delete[](void* p, std::size_t n) noexcept { hi::deleteBlock(p, true, n); }
void operator delete(void* p, std::align_val_t) noexcept { hi::deleteBlock(p, false); }
void operator delete[](void* p, std::align_val_t) noexcept { hi::deleteBlock(p, true); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { hi::deleteBlock(p, false); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { hi::deleteBlock(p, true); }
void operator delete(void* p, std::size_t n, std::align_val_t) noexcept { hi::deleteBlock(p, false, n); }
void operator delete[](void* p, std::size_t n, std::align_val_t) noexcept { hi::deleteBlock(p, true, n); }

// Linked with --wrap for these three, so that a function's static made
// during an input is not placed in the region, which the next restore
// would take back from under it.
extern "C" int __real___cxa_guard_acquire(std::uint64_t* guard);
extern "C" void __real___cxa_guard_release(std::uint64_t* guard);
extern "C" void __real___cxa_guard_abort(std::uint64_t* guard);

extern "C" int __wrap___cxa_guard_acquire(std::uint64_t* guard) {
    const int first = __real___cxa_guard_acquire(guard);
    if (first) ++hi::makingStatics;
    return first;
}
extern "C" void __wrap___cxa_guard_release(std::uint64_t* guard) {
    --hi::makingStatics;
    __real___cxa_guard_release(guard);
}
extern "C" void __wrap___cxa_guard_abort(std::uint64_t* guard) {
    --hi::makingStatics;
    __real___cxa_guard_abort(guard);
}
