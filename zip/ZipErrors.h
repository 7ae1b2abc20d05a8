#pragma once
// Failures the archive reader raises. All derive from ZipError, itself a std::runtime_error.
#include <stdexcept>
#include <string>

namespace dkscr {

class ZipError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// No end record: "Incomplete Zip File". LoadDirectory turns it into an empty directory.
class ZipIncompleteError : public ZipError {
 public:
  ZipIncompleteError() : ZipError("Incomplete Zip File") {}
};

// Neither the central directory nor a local header could be read: "Not a valid zip file!".
class ZipDamagedError : public ZipError {
 public:
  ZipDamagedError() : ZipError("Not a valid zip file!") {}
};

// An entry's data ends before its compressed size: "Premature end of file reached".
class ZipTruncatedError : public ZipError {
 public:
  ZipTruncatedError() : ZipError("Premature end of file reached") {}
};

// The stream did not take the decoded bytes: "Cant write uncompressed file".
class ZipWriteError : public ZipError {
 public:
  ZipWriteError() : ZipError("Cant write uncompressed file") {}
};

// Extraction would pass the output budget set for it: "Archive expands too far".
class ZipTooLargeError : public ZipError {
 public:
  ZipTooLargeError() : ZipError("Archive expands too far") {}
};

}  // namespace dkscr
