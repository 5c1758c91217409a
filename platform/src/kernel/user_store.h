// Each player's own copy of the files a program writes beside itself, the way
// Windows keeps a legacy program's writes to a protected program folder in a
// per-user store. The programs keep writing "options.ini" and
// "Pearlwreck\\hiscore.dat" in their own folders; here those writes land in
// $XDG_DATA_HOME/ludora/ (LUDORA_DATA_DIR when set) under the same relative
// path, and reads find the player's copy first and the installed file otherwise.
//
// The store is in use when the launcher's folder (the program's own folder or
// the one above it) holds the marker the install rules put there, when that
// folder is not writable, or when LUDORA_DATA_DIR is set. Otherwise every
// function here hands the path back unchanged: the build tree, a portable copy
// and the Windows layout behave as they always did.
#pragma once

#include <string>

namespace ludora::kernel {

// The file the install rules place beside the launcher.
inline constexpr const char* InstalledMarkerName = "ludora.installed";

// Where a read of `host_path` looks: the player's copy when there is one.
std::string path_for_reading(const std::string& host_path);

// Where a write to `host_path` goes: the player's copy when the store covers it,
// with its folders made and, when `keep_contents`, the installed contents copied
// in first. Empty when the store covers it but saves cannot be kept.
std::string path_for_writing(const std::string& host_path, bool keep_contents);

// The file a C stdio open of the Windows path `windows_path` with `mode` acts
// on; empty when it would write and saves cannot be kept.
std::string path_for_stdio_open(const char* windows_path, const char* mode);

// The player's copy of a folder when the store covers it and holds one, else empty.
std::string stored_folder(const std::string& host_folder);

// True for a path inside the installed folder while the store covers it: such
// a file is never changed, only copied.
bool is_installed_path(const std::string& host_path);

// The folder that holds every player's copy; empty when the store is not in use
// or saves cannot be kept.
std::string user_store_root();

// Called after every completed write, rename, copy or delete made through the
// file functions. A build whose store lives elsewhere (a browser's IndexedDB
// mount) installs a listener here to save its folder; natively nobody listens.
// stdio writes are heard at the rename or profile write that follows them.
using FileWriteListener = void (*)(const std::string& host_path);
void set_file_write_listener(FileWriteListener listener);
void file_write_completed(const std::string& host_path);

} // namespace ludora::kernel
