// heap_image_test.cpp: the heap the client fuzz targets reset between inputs.
// A reset that left anything behind, or a region that hid the faults the
// sanitizer would have reported on the ordinary heap, would make every
// figure and every silence of those targets a lie.
#include "shared/fuzz/heap_image.h"

#include <gtest/gtest.h>
#include <sanitizer/asan_interface.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mj::fuzz {
namespace {

struct Prepared {
    std::map<std::string, std::vector<int>> tables;
    std::string name = "a client built once and put back after every input";
};

// Builds one state in the emptied region and saves it.
std::pair<Prepared*, int> prepare(int seed) {
    heap_image::clear();
    heap_image::Placing placing;
    auto* p = new Prepared;
    for (int i = 0; i < 50; ++i) p->tables["t" + std::to_string(i)].assign(10, seed + i);
    return {p, heap_image::take()};
}

TEST(HeapImage, RestoreUndoesWritesFreesAndGrowth) {
    auto [p, image] = prepare(0);
    {
        heap_image::Placing placing;
        p->tables.erase("t3");
        p->tables["t7"].resize(10000, -1);
        p->tables["new"] = {1, 2, 3};
        p->name.assign(500, 'x');
    }
    heap_image::restore(image);
    ASSERT_EQ(p->tables.size(), 50u);
    EXPECT_EQ(p->tables.count("new"), 0u);
    EXPECT_EQ(p->tables["t3"], std::vector<int>(10, 3));
    EXPECT_EQ(p->tables["t7"], std::vector<int>(10, 7));
    EXPECT_EQ(p->name, "a client built once and put back after every input");
    // A block freed during the input is usable again, one made is not.
    EXPECT_EQ(__asan_region_is_poisoned(p->tables["t3"].data(), 10 * sizeof(int)), nullptr);
}

TEST(HeapImage, StatesSavedInTurnComeBackInAnyOrder) {
    auto [a, imageA] = prepare(100);
    auto [b, imageB] = prepare(200);
    for (int round = 0; round < 3; ++round) {
        heap_image::restore(imageA);
        {
            heap_image::Placing placing;
            EXPECT_EQ(a->tables["t1"][0], 101);
            a->tables["t1"][0] = -5;
            a->tables.clear();
        }
        heap_image::restore(imageB);
        heap_image::Placing placing;
        EXPECT_EQ(b->tables["t1"][0], 201);
        b->tables["t2"].push_back(9);
    }
}

TEST(HeapImage, AStaticMadeDuringAnInputOutlivesTheRestore) {
    auto [p, image] = prepare(0);
    const std::string* made = nullptr;
    {
        heap_image::Placing placing;
        static const std::string kept(300, 'k');  // longer than any short-string buffer
        made = &kept;
    }
    heap_image::restore(image);
    {
        heap_image::Placing placing;
        p->tables["fill"].assign(100000, 1);  // reuses the region past the image
    }
    EXPECT_EQ(*made, std::string(300, 'k'));
}

using HeapImageDeath = ::testing::Test;

TEST(HeapImageDeath, FaultsInTheRegionAreStillReported) {
    prepare(0);
    struct Case {
        const char* what;
        void (*fault)();
        const char* report;
    };
    const Case cases[] = {
        {"overrun by one",
         [] {
             auto* v = new char[13];
             volatile std::size_t past = 13;
             volatile char c = v[past];
             (void)c;
         },
         "use-after-poison"},
        {"use after free",
         [] {
             auto* v = new int(4);
             delete v;
             volatile int c = *v;
             (void)c;
         },
         "use-after-poison"},
        {"double free",
         [] {
             auto* v = new int(4);
             delete v;
             delete v;
         },
         "double free"},
        {"array new, single delete",
         [] {
             auto* v = new int[4];
             ::operator delete(v);
         },
         "different forms"},
        {"free of an inner pointer",
         [] {
             auto* v = new int[8];
             delete[](v + 4);
         },
         "no allocation returned"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Placing only in the dying child: the test framework's own
        // blocks must stay on the ordinary heap.
        EXPECT_DEATH(
            {
                heap_image::Placing placing;
                c.fault();
            },
            c.report);
    }
}

TEST(HeapImageDeath, WhatAnInputMadeIsUntouchableAfterTheRestore) {
    auto [p, image] = prepare(0);
    int* made = nullptr;
    {
        heap_image::Placing placing;
        made = new int(42);
    }
    heap_image::restore(image);
    EXPECT_DEATH(
        {
            volatile int c = *made;
            (void)c;
        },
        "use-after-poison");
    (void)p;
}

}  // namespace
}  // namespace mj::fuzz
