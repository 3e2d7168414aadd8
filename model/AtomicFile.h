#pragma once
// Every file the tool writes goes through here: the new content is written to a temporary file
// beside the target, flushed to disk and checked, and only then renamed over the target. A failed
// write (a full disk, a folder in the way, no permission) leaves the old file byte for byte.
#include <string>
#include <vector>

namespace dt {

// True on success; otherwise `why` holds the reason in the system's words ("No space left on device").
bool WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes, std::string& why);
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& why);

// Writes a file that must not exist yet, with the same care; the name is taken exclusively, so two
// processes can never both believe they wrote it. False with `nameTaken` when a file is already there.
bool WriteNewFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes, std::string& why,
                            bool& nameTaken);

// Reads a regular file, at most `limit` bytes. False with the reason ("No such file or directory",
// "Is a directory", "Not a regular file" for a device or a FIFO) on failure.
bool ReadFileChecked(const std::string& path, std::vector<unsigned char>& out, std::string& why,
                     size_t limit = static_cast<size_t>(-1));

// Creates `dir` and its missing parents. False with the reason on failure.
bool MakeDirectories(const std::string& dir, std::string& why);

}  // namespace dt
