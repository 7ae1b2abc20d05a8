#pragma once
// Failures the archive reader raises. All derive from EZipError, itself a std::runtime_error.
#include <stdexcept>
#include <string>

namespace dkscr {

class EZipError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The archive file cannot be opened (missing, unreadable, a folder).
class EZipOpenError : public EZipError {
 public:
  using EZipError::EZipError;
};

// No end record: "Incomplete Zip File". LoadDirectory turns it into an empty directory.
class EZipIncomplete : public EZipError {
 public:
  EZipIncomplete() : EZipError("Incomplete Zip File") {}
};

// Neither the central directory nor a local header could be read: "Not a valid zip file!".
class EZipBadFile : public EZipError {
 public:
  EZipBadFile() : EZipError("Not a valid zip file!") {}
};

// An entry's data ends before its compressed size: "Premature end of file reached".
class EZipFatal : public EZipError {
 public:
  EZipFatal() : EZipError("Premature end of file reached") {}
};

// The stream did not take the decoded bytes: "Cant write uncompressed file".
class EZipCantWrite : public EZipError {
 public:
  EZipCantWrite() : EZipError("Cant write uncompressed file") {}
};

// Extraction would pass the output budget set for it: "Archive expands too far".
class EZipTooLarge : public EZipError {
 public:
  EZipTooLarge() : EZipError("Archive expands too far") {}
};

}  // namespace dkscr
