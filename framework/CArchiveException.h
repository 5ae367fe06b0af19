#pragma once
// Thrown by a loading CArchive when the data cannot be read: the file ends before a
// field is complete, a string claims more bytes than the file has left, or the stream
// reports an error. The map-file reader catches it and reports the failed open.

#include <stdexcept>

namespace mapreg {

class CArchiveException : public std::runtime_error {
public:
    enum class Cause {
        EndOfFile,    // a field or a string runs past the end of the file
        ReadError,    // the stream failed for another reason
        StringTooLong // a string to store does not fit the 32-bit length form
    };

    explicit CArchiveException(Cause cause)
        : std::runtime_error(cause == Cause::EndOfFile   ? "archive: unexpected end of file"
                             : cause == Cause::ReadError ? "archive: read error"
                                                         : "archive: string too long"),
          m_cause(cause) {}

    Cause GetCause() const { return m_cause; }

private:
    Cause m_cause;
};

} // namespace mapreg
