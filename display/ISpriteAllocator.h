#pragma once
// Grants or refuses the memory the sprite engine asks for: its slot list, the work list of an
// update and the figures' background buffers. The default grants every request and leaves real
// shortages to the allocation itself; tests refuse chosen requests to drive the failure paths.
#include <cstddef>

namespace mapreg {

class ISpriteAllocator {
public:
    enum class EPurpose { SpriteList, WorkList, Background };

    virtual ~ISpriteAllocator() = default;

    // Answers false to make the allocation of nBytes for the given purpose fail.
    virtual bool MayAllocate(EPurpose ePurpose, std::size_t nBytes) = 0;
};

// The allocator used when an engine is given none: it grants everything.
ISpriteAllocator& DefaultSpriteAllocator();

} // namespace mapreg
