#pragma once
// Why a file operation failed, as the errno value the system gave, and the sentence
// of the string table that explains it to the user.

namespace mapreg {

class CFileError {
public:
    CFileError() = default;
    // An errno value; 0 means no error.
    explicit CFileError(int errorNumber) : m_nErrno(errorNumber) {}

    bool IsError() const { return m_nErrno != 0; }
    int Errno() const { return m_nErrno; }
    bool IsNotFound() const;

    // String id of the sentence that says why: not found, no permission, disk full ...
    // forWriting picks the generic text when the errno has no sentence of its own.
    unsigned ReasonId(bool forWriting) const;

private:
    int m_nErrno = 0;
};

} // namespace mapreg
