// heap_image.h: a heap the client fuzz targets can put back as it was.
//
// While placing is on (on the thread that turned it on), every operator new
// takes its block from one region of its own, one after the other, never
// reusing a freed block. take() saves the region as it stands: the bytes and
// which of them AddressSanitizer lets be touched. restore() writes both back
// and makes everything past them untouchable again. A client built
// once with placing on is thereby brought back, to the byte, to the state it
// was saved in (several states, each built in an emptied region, can be
// saved and brought back in turn): nothing it owns can escape the region, so no part of it can
// be left out of the reset, and an input that finds a fault finds it again
// from a fresh process.
//
// Each block has a poisoned header and a poisoned tail, and a freed block is
// poisoned for the rest of the input, so overruns, uses after free, double
// and mismatched frees are still caught (overruns and uses after free are
// reported as uses of poisoned memory). Leaks inside the region are not:
// the fresh mode of the targets (a client built and taken down per input)
// checks for those.
//
// Statics made while placing is on go to the ordinary heap, where they
// outlive every input as they would in a fresh process.
#pragma once

namespace mj::fuzz::heap_image {

// Turns placing in the region on or off for the calling thread.
void place(bool on);
// Empties the region: what was in it becomes untouchable.
void clear();
// Saves the region as it stands, for restore(): returns the image's number.
int take();
// Writes image `image` back and makes everything past it untouchable.
void restore(int image);

// Places blocks in the region for the lifetime of a scope.
class Placing {
public:
    Placing() { place(true); }
    ~Placing() { place(false); }
    Placing(const Placing&) = delete;
    Placing& operator=(const Placing&) = delete;
};

}  // namespace mj::fuzz::heap_image
