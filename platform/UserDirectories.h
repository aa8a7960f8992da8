#pragma once
// The per-user directories of the XDG base directory rules, each with the program's own
// folder "parvela/" below it, and the temporary directories. An installed program's own
// directory is read-only to its users: what it keeps per user lies here. Where the program
// creates one of the XDG directories it does so with mode 0700, as the rules ask
// (CreateDirectories with TFileAccess::OwnerOnly, AtomicFile.h).

#include <string>

namespace parvela {

// $XDG_CONFIG_HOME/parvela/, else ~/.config/parvela/; ends in "/". Relative values of the
// variable are ignored, as the rules ask; the home directory is $HOME, else the user's entry
// in the password database.
std::string UserConfigDirectory();

// $XDG_DATA_HOME/parvela/, else ~/.local/share/parvela/; ends in "/".
std::string UserDataDirectory();

// $XDG_CACHE_HOME/parvela/, else ~/.cache/parvela/; ends in "/".
std::string UserCacheDirectory();

// The shared temporary directory: $TMPDIR, else $TMP, else $TEMP, else /tmp; ends in "/".
std::string TemporaryDirectory();

// This user's own directory for temporary files (reports, the single-instance socket):
// $XDG_RUNTIME_DIR/parvela/ when that variable names an existing directory, else
// "parvela-<uid>/" in the temporary directory; ends in "/". It is created with mode 0700
// when missing. Raises EOSError when it cannot be created, or when what is there is no
// directory, is a symbolic link, belongs to another user or can be entered by others: in a
// shared directory another user may have planted it to read or replace what we write.
std::string PrivateTemporaryDirectory();

} // namespace parvela
