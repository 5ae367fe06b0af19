#pragma once
// The answer to one request that a later start of the program handed over: it hears that the
// map will be opened only when it is about to be, and that it will not be when the program ends
// first, so that it can open the map itself. A request left unanswered is refused.

namespace mapreg {

class IShellReply {
public:
    virtual ~IShellReply() = default;

    // False once the later start has stopped waiting (it then runs on its own).
    virtual bool IsWaiting() const = 0;
    // The request is carried out now.
    virtual void Accept() = 0;
    // The request will not be carried out (the program ends).
    virtual void Refuse() = 0;
};

} // namespace mapreg
