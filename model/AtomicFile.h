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

// Whole-file read, at most `limit` bytes. False with the reason ("No such file or directory",
// "Is a directory") on failure.
bool ReadFileChecked(const std::string& path, std::vector<unsigned char>& out, std::string& why,
                     size_t limit = static_cast<size_t>(-1));

// Creates `dir` and its missing parents. False with the reason on failure.
bool MakeDirectories(const std::string& dir, std::string& why);

}  // namespace dt
