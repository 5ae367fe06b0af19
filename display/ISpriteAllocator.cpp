#include "display/ISpriteAllocator.h"

namespace mapreg {

namespace {

class CGrantingAllocator final : public ISpriteAllocator {
public:
    bool MayAllocate(EPurpose, std::size_t) override { return true; }
};

} // namespace

ISpriteAllocator& DefaultSpriteAllocator() {
    static CGrantingAllocator allocator;
    return allocator;
}

} // namespace mapreg
